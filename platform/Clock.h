#pragma once
// The two clocks of the program, both replaceable so that tests need not sleep or wait for
// midnight: the high-resolution counter behind the busy waits of the bus link, and the local
// wall clock behind recording file names, record time stamps and the PC time of the clock dialog.

#include <chrono>
#include <cstdint>
#include <functional>

// High-resolution counter: the steady clock in nanoseconds on Linux, QueryPerformanceCounter at
// QueryPerformanceFrequency on Windows.
struct HiResCounter {
    std::function<std::uint64_t()> frequency;  // counts per second
    std::function<std::uint64_t()> now;
};
// The counter in use; tests may install one that advances on every reading.
const HiResCounter& Counter();
void SetCounter(HiResCounter counter);  // an empty counter restores the system's

// Milliseconds since an arbitrary start, from the same counter (used by the station search).
std::uint64_t CounterMilliseconds();

// The counter in use is the system's, not one a test installed.
bool CounterIsRealClock();

// The last stretch of a wait on the real counter that is spent reading the counter rather than
// sleeping. Measured with bench_pause on the 2-core development machine, 300 pauses of 31.6 ms
// per margin while other builds kept it busy (load 6 to 7): a sleep to the deadline itself wakes
// 110 us late at the median and 170 us at the 90th percentile; from a margin of 0.2 ms on, the
// pause ends within 1 us of its deadline at the median, as the pure busy wait does, and the
// rarer late ends (a few ms) are the scheduler's, pure busy wait included. 1 ms keeps five times
// the usual wake-up delay in hand for 0.6 ms of CPU per pause instead of 31.6 ms.
inline constexpr std::chrono::nanoseconds kCounterSpinMargin = std::chrono::milliseconds(1);

// Waits until the counter in use reaches `target`. On the real clock the wait sleeps until
// `spin` before the target and reads the counter only for the rest, so that it ends as exactly
// as a busy wait without keeping a core busy. A test's counter is only read until it gets there:
// its readings are no moments of real time (they advance with every reading).
void WaitForCounter(std::uint64_t target, std::chrono::nanoseconds spin = kCounterSpinMargin);

struct LocalDateTime {
    int year = 2000;   // e.g. 2026
    int month = 1;     // 1..12
    int day = 1;       // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 0;   // 0 Monday .. 6 Sunday
    int millisecond = 0;  // 0..999; polls, events and clock readings within one second differ here
};
LocalDateTime LocalNow();
void SetWallClock(std::function<LocalDateTime()> clock);  // empty restores the system clock

// Local wall time as milliseconds since 1970-01-01 00:00 local, and back (weekday included).
// Differences of these are what the wall clock shows, daylight-saving changes included.
std::int64_t LocalMilliseconds(const LocalDateTime& t);
LocalDateTime LocalDateTimeAt(std::int64_t localMilliseconds);
