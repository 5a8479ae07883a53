#pragma once
// FakeLine: a scripted SerialLine for byte-exact tests of the bus link. Nothing here sleeps.
//
// What a test scripts:
//   feed(bytes)          bytes readable at once (as if they were already on the line)
//   queueReply(bytes)    a station's reply, readable only once the PC has sent its next request
//                        (see "When a queued reply is released" below); queue several for several
//                        exchanges, an empty one for a request that gets no reply
//   failOpen / failConfigure / failAllWrites / failWrite(k) / setDeviceGone
// What a test reads back:
//   events()             every open, configure, setTimeouts, read, write, RTS switch and close,
//                        in order, with the bytes read or written
//   written()            all bytes written, concatenated; writes() the blocks one by one
//
// Reads hand out min(n, readable) bytes; when nothing is readable a read returns 0 at once
// (a time-out). A line that is not open, or that is gone, reads -1 and writes false.
//
// When a queued reply is released: at the first write beginning with STX after a read (or the
// first write ever), that is, at the start of each request; the PC's own ACK/NAK and the later
// bytes of a request sent byte by byte do not release anything. A reply queued with
// silentReads = k stays unreadable for k more reads after its release (each of them a time-out).
//
// FakeLineFactory installs a SerialLine factory for its lifetime (SetSerialLineFactory) that
// hands out fake lines, and keeps them: line(i) stays valid until the factory is destroyed,
// even after the link has closed and dropped the line. prepare(line) runs on each new line
// before the link uses it (to make its open fail, to feed it, ...).
//
// Hex("02 05 04 10 1B") turns a hex string (blanks ignored) into bytes; HexOf(bytes) the reverse.
// AnswerTelegram and RequestTelegram build whole telegrams with their checksum.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/SerialLine.h"

using Bytes = std::vector<std::uint8_t>;

Bytes Hex(std::string_view hex);
std::string HexOf(const Bytes& bytes);  // "02 05 04 10 1B"

// A station's answer telegram: STX, address, L = 3 + the data bytes, the data, the checksum.
Bytes AnswerTelegram(std::uint8_t address, const Bytes& data);
// A request telegram as the PC sends it: STX, address, L = 4 + the data bytes, code, data, checksum.
Bytes RequestTelegram(std::uint8_t address, std::uint8_t code, const Bytes& data = {});

struct LineEvent {
    enum Kind { Open, Configure, SetTimeouts, Read, Write, Rts, Close };
    LineEvent(Kind k, Bytes b = {}, long r = 0) : kind(k), bytes(std::move(b)), result(r) {}
    Kind kind;
    Bytes bytes;             // Read: the bytes handed out; Write: the bytes written
    long result = 0;         // Read: the return value; Write/Open/Configure: 1 true, 0 false
    std::size_t requested = 0;  // Read: the number of bytes asked for
    bool on = false;         // Rts
    unsigned port = 0;       // Open
    SerialTimeouts timeouts{};  // SetTimeouts
};

class FakeLine : public SerialLine {
public:
    // --- Script --------------------------------------------------------------------------------
    void feed(const Bytes& bytes);
    void queueReply(const Bytes& bytes, int silentReads = 0);
    void failOpen(bool fail = true) { failOpen_ = fail; }
    void failConfigure(bool fail = true) { failConfigure_ = fail; }
    void failAllWrites(bool fail = true) { failAllWrites_ = fail; }
    void failWrite(int k) { failWrites_.push_back(k); }  // the k-th write on this line, from 1
    void setDeviceGone(bool gone = true) { gone_ = gone; }
    // Called after every event is logged (e.g. to advance a fake counter on each time-out).
    std::function<void(const LineEvent&)> onEvent;

    // --- Observation ---------------------------------------------------------------------------
    const std::vector<LineEvent>& events() const { return events_; }
    std::vector<LineEvent> eventsOf(LineEvent::Kind kind) const;
    std::vector<Bytes> writes() const;
    Bytes written() const;
    int readCount() const;              // all reads, time-outs included
    int emptyReadCount() const;         // reads that returned 0
    std::vector<bool> rtsSwitches() const;
    std::size_t readable() const { return readable_.size(); }
    std::size_t pendingReplies() const { return replies_.size(); }
    void clearEvents() { events_.clear(); }
    unsigned openedPort() const { return port_; }
    const SerialTimeouts& timeouts() const { return timeouts_; }

    // --- SerialLine ----------------------------------------------------------------------------
    bool open(unsigned portNumber) override;
    bool configure() override;
    void setTimeouts(const SerialTimeouts& timeouts) override;
    long read(std::uint8_t* buffer, std::size_t n) override;
    bool write(const std::uint8_t* buffer, std::size_t n) override;
    void setRts(bool on) override;
    void close() override;
    bool isOpen() const override { return open_; }
    bool deviceGone() const override { return gone_; }

private:
    struct Reply {
        Bytes bytes;
        int silentReads;
    };
    void log(LineEvent event);
    void releaseReply();

    std::deque<std::uint8_t> readable_;
    std::deque<Reply> replies_;
    int silentReads_ = 0;
    bool lastWasRead_ = true;
    bool open_ = false;
    bool gone_ = false;
    bool failOpen_ = false;
    bool failConfigure_ = false;
    bool failAllWrites_ = false;
    std::vector<int> failWrites_;
    int writeCount_ = 0;
    unsigned port_ = 0;
    SerialTimeouts timeouts_{};
    std::vector<LineEvent> events_;
};

class FakeLineFactory {
public:
    explicit FakeLineFactory(std::function<void(FakeLine&)> prepare = {});
    ~FakeLineFactory();
    FakeLineFactory(const FakeLineFactory&) = delete;
    FakeLineFactory& operator=(const FakeLineFactory&) = delete;

    std::size_t count() const { return lines_.size(); }
    FakeLine& line(std::size_t i) { return *lines_.at(i); }
    FakeLine& last() { return *lines_.back(); }
    // Runs on every line created from now on, before the link uses it.
    void setPrepare(std::function<void(FakeLine&)> prepare) { prepare_ = std::move(prepare); }

private:
    std::vector<std::shared_ptr<FakeLine>> lines_;
    std::function<void(FakeLine&)> prepare_;
};
