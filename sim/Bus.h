#pragma once
// The simulated bus: takes the PC's bytes, hands each request to the station it is addressed
// to (or to every station for 0x20), applies the station's faults to its reply, and schedules
// the reply bytes. It never reads a clock: the caller passes the time to every call and collects
// the bytes that have fallen due with takeDue().
//
// Once an answer telegram has begun to leave, the next ACK or NAK from the PC is recorded for
// the station that answered. The byte that the PC sends after the checksum in
// local mode is dropped when it comes before the reply has been handed out or within
// kInterByteGapMs after the request; an STX there is taken as the start of a request instead,
// which the silence before the PC's next byte discards if it was none.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sim/Moment.h"
#include "sim/RequestParser.h"
#include "sim/Station.h"

// One byte at 4800 baud, 8N1: ten bits.
inline constexpr double kByteMsAt4800 = 10.0 * 1000.0 / 4800.0;

struct BusSettings {
    double replyDelayMs = 0;  // from the end of a request to the first reply byte
    bool pacing = false;      // reply bytes leave at 4800 baud
};

class Bus {
public:
    using Log = std::function<void(double ms, const std::string& line)>;

    explicit Bus(BusSettings settings = {});
    Bus(const Bus&) = delete;  // the parser's events point back at this bus
    Bus& operator=(const Bus&) = delete;

    // Adds a station; false when the address is outside 1..31 or taken.
    bool add(const Station& station);
    bool remove(std::uint8_t address);
    Station* station(std::uint8_t address);
    const std::map<std::uint8_t, Station>& stations() const { return stations_; }
    BusSettings& settings() { return settings_; }

    void setLog(Log log) { log_ = std::move(log); }

    void receive(const std::uint8_t* bytes, std::size_t n, const Moment& now);
    // The reply bytes due at nowMs, in order.
    std::vector<std::uint8_t> takeDue(double nowMs);
    // When the next reply byte falls due, if any is waiting.
    std::optional<double> nextDueMs() const;
    bool replyPending() const { return !output_.empty(); }

private:
    struct OutByte {
        std::uint8_t byte;
        double dueMs;
    };

    bool interceptByte(std::uint8_t byte, const Moment& now);
    void onRequest(const Request& r, const Moment& now);
    void onSkipped(const std::vector<std::uint8_t>& bytes, const std::string& why);
    void onBroadcast(const Request& r, const Moment& now);
    void reply(Station& s, const Request& r, const Moment& now);
    std::vector<std::uint8_t> applyFaults(Station& s, const Request& r, const Reply& reply, std::string& note);
    void schedule(const std::vector<std::uint8_t>& bytes, double startMs, double intervalMs);
    void log(double ms, const std::string& line);

    BusSettings settings_;
    std::map<std::uint8_t, Station> stations_;
    RequestParser parser_;
    std::deque<OutByte> output_;
    Log log_;
    Moment current_;  // the moment of the byte being taken
    std::uint8_t awaitingAckFrom_ = 0;
    bool trailingPossible_ = false;  // the next byte may be the one after the checksum
    bool replyStarted_ = false;      // a byte of the reply to the last request has left
    double requestEndMs_ = 0;
};

// Bytes as hexadecimal pairs separated by blanks ("02 01 05").
std::string HexBytes(const std::vector<std::uint8_t>& bytes);
