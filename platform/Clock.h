#pragma once
// The two clocks of the program, both replaceable so that tests need not sleep or wait for
// midnight: the high-resolution counter behind the busy waits of the bus link, and the local
// wall clock behind recording file names, record time stamps and the PC time of the clock dialog.

#include <cstdint>
#include <functional>

// High-resolution counter (a steady clock in nanoseconds on this platform).
struct HiResCounter {
    std::function<std::uint64_t()> frequency;  // counts per second
    std::function<std::uint64_t()> now;
};
// The counter in use; tests may install one that advances on every reading.
const HiResCounter& Counter();
void SetCounter(HiResCounter counter);  // an empty counter restores the steady clock

// Milliseconds since an arbitrary start, from the same counter (used by the station search).
std::uint64_t CounterMilliseconds();

struct LocalDateTime {
    int year = 2000;   // e.g. 2026
    int month = 1;     // 1..12
    int day = 1;       // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 0;   // 0 Monday .. 6 Sunday
    int millisecond = 0;  // 0..999; the trend and the poll statistics tell polls within a second apart
};
LocalDateTime LocalNow();
void SetWallClock(std::function<LocalDateTime()> clock);  // empty restores the system clock
