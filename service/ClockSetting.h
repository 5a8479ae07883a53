#pragma once
// Setting a station's real-time clock from the PC's clock, addressed to that station alone, with
// the clock commands and their encoding as the real-time clock dialog uses them: day and weekday,
// month and year, hours and minutes, seconds and cycle value, each two bytes of packed decimal
// (the cycle value binary, kept as the station had it).
//
// The clock is read before and after. The time sent is the PC's time at the moment each request
// is expected to reach the station (the previous exchange's duration ahead), and the writes are
// kept within one minute of the PC's clock, waiting for the next minute if need be, so that no
// minute, hour or day changes between them.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/Clock.h"

struct PcClock {
    std::function<LocalDateTime()> now;  // the PC's local time, with milliseconds
    std::function<void(unsigned ms)> sleep;
};
PcClock SystemPcClock();  // LocalNow and a plain sleep

enum class ClockOutcome {
    Set,            // read back within one second of the PC
    NoAnswer,       // the clock could not be read: nothing was written
    WriteFailed,    // a write was not acknowledged (the rest were not sent)
    ReadBackFailed,  // written, but not read back
    StillOff,       // read back more than one second off
};

struct ClockResult {
    std::uint8_t address = 0;
    ClockOutcome outcome = ClockOutcome::NoAnswer;
    std::string before;  // the clock as read, "dd.mm.yy hh:mm:ss" ("??" where not decimal); "" without answer
    std::string after;
    std::optional<std::int64_t> deviationBefore;  // seconds, station minus PC; none when not a valid time
    std::optional<std::int64_t> deviationAfter;
};

ClockResult SetStationClock(std::uint8_t address, const PcClock& pc = SystemPcClock());

// "dd.mm.yy hh:mm:ss" of the four clock answers' bytes, as the clock dialog shows them.
std::string StationClockText(const std::uint8_t day[2], const std::uint8_t monthYear[2],
                             const std::uint8_t time[2], std::uint8_t seconds);
