#pragma once
// What the bus link and the polling cycle report, turned into entries of the event log: the
// command-set port not opened, lost and opened again; every parameter sent, with its value in
// the form a person reads; a station that stopped answering and that answers again.

#include <cstdint>
#include <map>
#include <string>

#include "link/LinkEvents.h"
#include "link/Sio.h"
#include "records/EventLog.h"

// The listener to install with SetLinkEvents; it writes into log, which must outlive it.
LinkEvents LinkEventsInto(EventLog& log);

// "SP1Wert = 500", "DTxt = bar", "RTCZeit = 10:20": a write request's parameter and value.
std::string WrittenText(std::uint8_t code, const std::uint8_t* data, std::size_t dataCount);

// "2 h 5 min", "3 min 20 s", "12 s".
std::string DurationText(std::int64_t seconds);

// Why a poll got no valid answer, as the event log and the station overview say it:
// "keine Antwort", "falsche Prüfsumme", "Antwort einer anderen Station", ...; "" for None.
std::string FailureText(ExchangeFailure failure);

// Follows every poll's outcome per address. A station counts as silent at its eleventh failed
// poll in a row, which is when the polling cycle rests it and shows it white; the first answer
// afterwards says how long it was away, counted from its first failed poll.
class StationWatch {
public:
    explicit StationWatch(EventLog& log) : log_(log) {}
    // The entry of the eleventh failure names the cause of that failure.
    void NotePoll(int address, bool answered, ExchangeFailure failure = ExchangeFailure::None);

    static constexpr int kFailuresBeforeSilent = 11;

private:
    struct State {
        int failures = 0;
        std::int64_t firstFailureMs = 0;  // local wall clock
        bool silent = false;
    };
    EventLog& log_;
    std::map<int, State> states_;
};
