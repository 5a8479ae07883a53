#include "records/LocalTime.h"

#include <cstdio>

namespace {
bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
}  // namespace

bool IsValidDate(const Date& d) {
    return d.year >= 1 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= DaysInMonth(d.year, d.month);
}

// Days from the civil date (proleptic Gregorian), after H. Hinnant's algorithm.
std::int64_t DayNumber(const Date& d) {
    const int y = d.year - (d.month <= 2);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (d.month + (d.month > 2 ? -3 : 9)) + 2) / 5 + d.day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return std::int64_t(era) * 146097 + doe - 719468;
}

Date DateOfDayNumber(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int doe = int(days - era * 146097);
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    const int day = doy - (153 * mp + 2) / 5 + 1;
    const int month = mp < 10 ? mp + 3 : mp - 9;
    return Date{int(yoe + era * 400 + (month <= 2)), month, day};
}

Date NextDay(const Date& d) { return DateOfDayNumber(DayNumber(d) + 1); }

std::int64_t LocalMs(const Date& d, int hour, int minute, int second, int millisecond) {
    return DayNumber(d) * kMsPerDay + ((hour * 60 + minute) * 60 + second) * kMsPerSecond + millisecond;
}

std::int64_t LocalMs(const LocalDateTime& t) {
    return LocalMs(Date{t.year, t.month, t.day}, t.hour, t.minute, t.second, t.millisecond);
}

Date DateOfLocalMs(std::int64_t ms) { return DateOfDayNumber(FloorDiv(ms, kMsPerDay)); }

int MsOfDay(std::int64_t ms) { return int(ms - FloorDiv(ms, kMsPerDay) * kMsPerDay); }

std::optional<Date> ParseGermanDate(std::string_view text) {
    int parts[3] = {0, 0, 0};
    int part = 0, digits = 0;
    for (char c : text) {
        if (c == '.') {
            if (digits == 0 || ++part > 2) return std::nullopt;
            digits = 0;
        } else if (c >= '0' && c <= '9') {
            if (++digits > (part == 2 ? 4 : 2)) return std::nullopt;
            parts[part] = parts[part] * 10 + (c - '0');
        } else {
            return std::nullopt;
        }
    }
    if (part != 2 || digits != 4) return std::nullopt;
    const Date d{parts[2], parts[1], parts[0]};
    if (!IsValidDate(d)) return std::nullopt;
    return d;
}

std::string GermanDate(const Date& d) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", d.day, d.month, d.year);
    return text;
}

std::string ClockTime(std::int64_t ms) {
    const int s = MsOfDay(ms) / 1000;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    return text;
}
