#pragma once
// The simulated bus in-process (support/SimLine) behind a line that watches how the link uses it:
// it records the wire (every write and read with its bytes, every RTS switch), counts calls that
// overlap and the threads that make them, and can hold the bus while a request waits for its
// reply, so that a test acts at a known moment of a tick. Installs its line factory and a fast
// counter (every reading 1 ms on: pauses and the search's seconds pass at once) for its
// lifetime.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/FakeCounter.h"
#include "support/SimLine.h"

class WatchedBus {
public:
    explicit WatchedBus(const std::string& busFile);
    ~WatchedBus();
    WatchedBus(const WatchedBus&) = delete;
    WatchedBus& operator=(const WatchedBus&) = delete;

    // The k-th request from now on (counted at RTS on, once it is sent) waits for its reply
    // until release(). held(): it waits now. A hold asked for while one waits counts from the
    // release on.
    void holdAtRequest(int k);
    bool held() const;
    void release();

    // From now on, note which threads use the line (the start-up's opening excluded).
    void watchThreads();
    std::set<std::thread::id> threads() const;
    int overlaps() const;

    // The wire as the line saw it, one entry per call ("W 02 01 04 31 38", "R 06", "RTS 1").
    std::vector<std::string> wire() const;
    // The requests sent, as "address:code" in hexadecimal ("01:31"), in order.
    std::vector<std::string> requests() const;
    std::size_t wireSize() const { return wire().size(); }

    Station& station(std::uint8_t address);

    // Called by the line on each use, from whatever thread.
    struct Use {
        Use(WatchedBus& bus);
        ~Use();
        WatchedBus& bus;
    };
    void record(std::string entry);
    void requestSent();

private:
    FakeCounter counter_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::shared_ptr<SimBusState> sim_;
    std::vector<std::string> wire_;
    std::set<std::thread::id> threads_;
    bool watching_ = false;
    int inUse_ = 0;
    int overlaps_ = 0;
    int requestsToHold_ = 0;  // 0: nothing held
    bool holding_ = false;
};
