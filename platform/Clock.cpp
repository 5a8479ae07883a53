#include "platform/Clock.h"

#include <chrono>
#include <ctime>
#include <thread>
#include <time.h>
#include <utility>

namespace {

HiResCounter SteadyCounter() {
    return HiResCounter{
        [] { return std::uint64_t{1'000'000'000}; },
        [] {
            const auto since = std::chrono::steady_clock::now().time_since_epoch();
            return static_cast<std::uint64_t>(
                std::chrono::duration_cast<std::chrono::nanoseconds>(since).count());
        }};
}

HiResCounter& CounterInUse() {
    static HiResCounter counter = SteadyCounter();
    return counter;
}

bool& RealClockInUse() {
    static bool real = true;
    return real;
}

std::function<LocalDateTime()>& WallClock() {
    static std::function<LocalDateTime()> clock;
    return clock;
}

LocalDateTime SystemLocalNow() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    std::tm parts{};
    LocalDateTime result;
    if (::localtime_r(&now.tv_sec, &parts) == nullptr) return result;
    result.year = parts.tm_year + 1900;
    result.month = parts.tm_mon + 1;
    result.day = parts.tm_mday;
    result.hour = parts.tm_hour;
    result.minute = parts.tm_min;
    result.second = parts.tm_sec;
    result.weekday = (parts.tm_wday + 6) % 7;  // tm counts from Sunday, we from Monday
    result.millisecond = static_cast<int>(now.tv_nsec / 1'000'000);
    return result;
}

}  // namespace

const HiResCounter& Counter() { return CounterInUse(); }

void SetCounter(HiResCounter counter) {
    RealClockInUse() = !(counter.frequency && counter.now);
    CounterInUse() = RealClockInUse() ? SteadyCounter() : std::move(counter);
}

bool CounterIsRealClock() { return RealClockInUse(); }

void WaitForCounter(std::uint64_t target, std::chrono::nanoseconds spin) {
    const HiResCounter& counter = Counter();
    if (CounterIsRealClock()) {
        // The steady counter counts nanoseconds of the steady clock, so its readings are that
        // clock's time points.
        const auto wakeAt = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(target)) - spin;
        if (wakeAt > std::chrono::steady_clock::now()) std::this_thread::sleep_until(wakeAt);
    }
    while (counter.now() < target) {
    }
}

std::uint64_t CounterMilliseconds() {
    const HiResCounter& counter = Counter();
    const std::uint64_t frequency = counter.frequency();
    if (frequency == 0) return 0;
    const std::uint64_t ticks = counter.now();
    // Split so that ticks * 1000 cannot overflow.
    return ticks / frequency * 1000 + ticks % frequency * 1000 / frequency;
}

LocalDateTime LocalNow() {
    const auto& clock = WallClock();
    return clock ? clock() : SystemLocalNow();
}

void SetWallClock(std::function<LocalDateTime()> clock) { WallClock() = std::move(clock); }

std::int64_t LocalMilliseconds(const LocalDateTime& t) {
    using namespace std::chrono;
    const sys_days day = year{t.year} / month{static_cast<unsigned>(t.month)} / static_cast<unsigned>(t.day);
    const std::int64_t seconds =
        std::int64_t{day.time_since_epoch().count()} * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
    return seconds * 1000 + t.millisecond;
}

LocalDateTime LocalDateTimeAt(std::int64_t localMilliseconds) {
    using namespace std::chrono;
    const std::int64_t ms = localMilliseconds;
    const std::int64_t daysSince = (ms >= 0 ? ms : ms - 86'399'999) / 86'400'000;
    const std::int64_t inDay = ms - daysSince * 86'400'000;
    const sys_days day{days{daysSince}};
    const year_month_day ymd{day};
    LocalDateTime t;
    t.year = int(ymd.year());
    t.month = static_cast<int>(unsigned(ymd.month()));
    t.day = static_cast<int>(unsigned(ymd.day()));
    t.hour = static_cast<int>(inDay / 3'600'000);
    t.minute = static_cast<int>(inDay / 60'000 % 60);
    t.second = static_cast<int>(inDay / 1000 % 60);
    t.millisecond = static_cast<int>(inDay % 1000);
    t.weekday = static_cast<int>(weekday{day}.iso_encoding()) - 1;
    return t;
}
