#pragma once
// The time-outs of a Windows COM port (COMMTIMEOUTS), in one place, so that every backend gives
// reads and writes the same pace. All values are milliseconds.
//
// A read of n bytes is over when
//   - all n bytes have come, or
//   - more than readInterval has passed since the last received byte (the interval only
//     counts once the first byte has come; 0 switches this rule off), or
//   - readTotalConstant + readTotalMultiplier * n has passed since the read began (both 0
//     switch this rule off).
// With neither rule on, a read waits for all n bytes. The one special case of Windows,
// readInterval = MAXDWORD with both totals 0, returns at once with what has already come.
// A write is over after writeTotalConstant + writeTotalMultiplier * n (both 0: no limit).
//
// A Windows backend passes SerialTimeouts into COMMTIMEOUTS field by field and needs none of this.

#include "platform/SerialLine.h"

#include <chrono>
#include <cstddef>
#include <optional>

using SerialClock = std::chrono::steady_clock;

inline constexpr unsigned kReadReturnsAtOnce = 0xFFFFFFFFu;  // MAXDWORD as read interval

// The moment a read is over when no further byte comes; time_point::max() when it has no limit.
// `lastByte` is the arrival of the most recent byte, empty while nothing has come.
SerialClock::time_point ReadDeadline(const SerialTimeouts& timeouts, std::size_t requested,
                                     SerialClock::time_point start,
                                     std::optional<SerialClock::time_point> lastByte);

// The moment a write of n bytes that began at `start` gives up; time_point::max() for no limit.
SerialClock::time_point WriteDeadline(const SerialTimeouts& timeouts, std::size_t n,
                                      SerialClock::time_point start);
