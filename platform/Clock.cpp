#include "platform/Clock.h"

#include "platform/ProcessHooks.h"
#include "platform/SystemClock.h"

#include <chrono>
#include <thread>
#include <utility>

namespace {

HiResCounter& CounterInUse() {
    static HiResCounter counter = SystemCounter();
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

[[maybe_unused]] const bool kCounterHook = RegisterProcessHook(HookKind::StandIn, "counter", [] {
    return std::function<void()>([saved = CounterInUse(), real = RealClockInUse()] {
        CounterInUse() = saved;
        RealClockInUse() = real;
    });
});
[[maybe_unused]] const bool kWallClockHook = RegisterProcessHook(HookKind::StandIn, "wall clock", SnapshotOf(WallClock()));

}  // namespace

const HiResCounter& Counter() { return CounterInUse(); }

void SetCounter(HiResCounter counter) {
    RealClockInUse() = !(counter.frequency && counter.now);
    CounterInUse() = RealClockInUse() ? SystemCounter() : std::move(counter);
}

bool CounterIsRealClock() { return RealClockInUse(); }

void WaitForCounter(std::uint64_t target, std::chrono::nanoseconds spin) {
    const HiResCounter& counter = Counter();
    if (CounterIsRealClock()) {
        // The system's counter runs with real time, so what is left of the wait is a duration to
        // sleep, all but its last `spin`.
        const std::uint64_t now = counter.now();
        const std::uint64_t frequency = counter.frequency();
        if (target > now && frequency != 0) {
            const std::uint64_t ticks = target - now;
            // Split so that ticks * 10^9 cannot overflow.
            const auto left = std::chrono::nanoseconds(
                static_cast<std::int64_t>(ticks / frequency * 1'000'000'000 + ticks % frequency * 1'000'000'000 / frequency));
            if (left > spin) std::this_thread::sleep_for(left - spin);
        }
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
