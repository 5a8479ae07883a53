#include "extras/TimeTicks.h"

#include <algorithm>
#include <array>

#include "records/LocalTime.h"

namespace {
constexpr std::int64_t kS = 1000, kMin = 60 * kS, kH = 60 * kMin, kD = 24 * kH;
constexpr std::array<std::int64_t, 21> kSteps = {1 * kS,  2 * kS,  5 * kS,  10 * kS,  15 * kS, 30 * kS, 1 * kMin,
                                                 2 * kMin, 5 * kMin, 10 * kMin, 15 * kMin, 30 * kMin, 1 * kH,   2 * kH,
                                                 3 * kH,  6 * kH,  12 * kH, 1 * kD,   2 * kD,  7 * kD,  28 * kD};

QString Label(std::int64_t t, std::int64_t step, bool severalDays) {
    const Date d = DateOfLocalMs(t);
    const int s = MsOfDay(t) / 1000;
    const QString day = QStringLiteral("%1.%2.").arg(d.day, 2, 10, QLatin1Char('0')).arg(d.month, 2, 10, QLatin1Char('0'));
    const QString hm = QStringLiteral("%1:%2").arg(s / 3600, 2, 10, QLatin1Char('0')).arg(s / 60 % 60, 2, 10, QLatin1Char('0'));
    if (step >= kD) return day;
    const QString time = step < kMin ? hm + QStringLiteral(":%1").arg(s % 60, 2, 10, QLatin1Char('0')) : hm;
    return severalDays ? day + QLatin1Char(' ') + time : time;
}
}  // namespace

std::vector<TimeTick> TimeTicks(std::int64_t from, std::int64_t to, int wanted) {
    std::vector<TimeTick> ticks;
    if (to <= from) return ticks;
    wanted = std::max(wanted, 2);
    std::int64_t step = kSteps.back();
    for (std::int64_t candidate : kSteps) {
        if ((to - from) / candidate <= wanted) {
            step = candidate;
            break;
        }
    }
    const bool severalDays = DateOfLocalMs(from) != DateOfLocalMs(to - 1);
    const std::int64_t first = (from / step + (from % step != 0)) * step;  // the times are positive
    for (std::int64_t t = first; t <= to; t += step) ticks.push_back({t, Label(t, step, severalDays)});
    return ticks;
}
