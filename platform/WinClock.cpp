#include "platform/SystemClock.h"

#include <windows.h>

namespace {

std::uint64_t PerformanceFrequency() {
    // Fixed at boot; asked once.
    static const std::uint64_t frequency = [] {
        LARGE_INTEGER f{};
        ::QueryPerformanceFrequency(&f);
        return static_cast<std::uint64_t>(f.QuadPart);
    }();
    return frequency;
}

}  // namespace

HiResCounter SystemCounter() {
    return HiResCounter{[] { return PerformanceFrequency(); },
                        [] {
                            LARGE_INTEGER now{};
                            ::QueryPerformanceCounter(&now);
                            return static_cast<std::uint64_t>(now.QuadPart);
                        }};
}

LocalDateTime SystemLocalNow() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    LocalDateTime result;
    result.year = now.wYear;
    result.month = now.wMonth;
    result.day = now.wDay;
    result.hour = now.wHour;
    result.minute = now.wMinute;
    result.second = now.wSecond;
    result.weekday = (now.wDayOfWeek + 6) % 7;  // Windows counts from Sunday, we from Monday
    result.millisecond = now.wMilliseconds;
    return result;
}
