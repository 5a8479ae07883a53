#include "platform/SystemClock.h"

#include <chrono>
#include <ctime>
#include <time.h>

HiResCounter SystemCounter() {
    return HiResCounter{
        [] { return std::uint64_t{1'000'000'000}; },
        [] {
            const auto since = std::chrono::steady_clock::now().time_since_epoch();
            return static_cast<std::uint64_t>(
                std::chrono::duration_cast<std::chrono::nanoseconds>(since).count());
        }};
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
