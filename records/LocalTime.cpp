#include "records/LocalTime.h"

#include <chrono>
#include <cstdio>

namespace {
using std::chrono::days;
using std::chrono::floor;
using std::chrono::milliseconds;

Date DateOf(const LocalDateTime& t) { return Date{t.year, t.month, t.day}; }
}  // namespace

bool IsValidDate(const Date& d) {
    // The calendar's types keep month and day in a byte: out of range they must not get that far.
    if (d.year < 1 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > 31) return false;
    using namespace std::chrono;
    return year_month_day{year{d.year}, month{unsigned(d.month)}, day{unsigned(d.day)}}.ok();
}

// Dates and the time line are those of the wall clock (platform/Clock.h), which converts.
std::int64_t DayNumber(const Date& d) { return floor<days>(milliseconds{LocalMs(d)}).count(); }

Date DateOfDayNumber(std::int64_t days) { return DateOfLocalMs(days * kMsPerDay); }

Date NextDay(const Date& d) { return DateOfDayNumber(DayNumber(d) + 1); }

std::int64_t LocalMs(const Date& d, int hour, int minute, int second, int millisecond) {
    LocalDateTime t;
    t.year = d.year;
    t.month = d.month;
    t.day = d.day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    t.millisecond = millisecond;
    return LocalMilliseconds(t);
}

Date DateOfLocalMs(std::int64_t ms) { return DateOf(LocalDateTimeAt(ms)); }

int MsOfDay(std::int64_t ms) {
    const milliseconds t{ms};
    return int((t - floor<days>(t)).count());
}

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
