#include "platform/Clock.h"

#include <chrono>
#include <ctime>
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

std::function<LocalDateTime()>& WallClock() {
    static std::function<LocalDateTime()> clock;
    return clock;
}

LocalDateTime SystemLocalNow() {
    timespec exact{};
    ::clock_gettime(CLOCK_REALTIME, &exact);
    const std::time_t now = exact.tv_sec;
    std::tm parts{};
    LocalDateTime result;
    if (::localtime_r(&now, &parts) == nullptr) return result;
    result.millisecond = static_cast<int>(exact.tv_nsec / 1'000'000);
    result.year = parts.tm_year + 1900;
    result.month = parts.tm_mon + 1;
    result.day = parts.tm_mday;
    result.hour = parts.tm_hour;
    result.minute = parts.tm_min;
    result.second = parts.tm_sec;
    result.weekday = (parts.tm_wday + 6) % 7;  // tm counts from Sunday, we from Monday
    return result;
}

}  // namespace

const HiResCounter& Counter() { return CounterInUse(); }

void SetCounter(HiResCounter counter) {
    if (counter.frequency && counter.now)
        CounterInUse() = std::move(counter);
    else
        CounterInUse() = SteadyCounter();
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
