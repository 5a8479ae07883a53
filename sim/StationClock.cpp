#include "sim/StationClock.h"

#include <algorithm>

namespace {

constexpr std::int64_t kDay = 86400;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return (a >= 0 ? a : a - b + 1) / b; }

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = FloorDiv(y, 400);
    const int yoe = static_cast<int>(y - era * 400);
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = FloorDiv(z, 146097);
    const int doe = static_cast<int>(z - era * 146097);
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int>(yoe + era * 400) + (m <= 2);
}

int DaysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : kDays[m - 1];
}

}  // namespace

std::optional<int> FromBcd(std::uint8_t byte) {
    if ((byte >> 4) > 9 || (byte & 0x0F) > 9) return std::nullopt;
    return (byte >> 4) * 10 + (byte & 0x0F);
}

std::uint8_t ToBcd(int value) {
    value = std::clamp(value, 0, 99);
    return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10));
}

StationClock::Civil StationClock::ToCivil(std::int64_t seconds) {
    Civil c{};
    const std::int64_t days = FloorDiv(seconds, kDay);
    const std::int64_t rest = seconds - days * kDay;
    CivilFromDays(days, c.year, c.month, c.day);
    c.hour = static_cast<int>(rest / 3600);
    c.minute = static_cast<int>(rest / 60 % 60);
    c.second = static_cast<int>(rest % 60);
    return c;
}

std::int64_t StationClock::FromCivil(const Civil& c) {
    return DaysFromCivil(c.year, c.month, c.day) * kDay + c.hour * 3600 + c.minute * 60 + c.second;
}

int StationClock::WeekdayOf(std::int64_t seconds) {
    // 1970-01-01 was a Thursday (3 when Monday is 0).
    const std::int64_t days = FloorDiv(seconds, kDay);
    return static_cast<int>(((days + 3) % 7 + 7) % 7);
}

std::array<std::uint8_t, 2> StationClock::read(std::uint8_t readCode, std::int64_t hostLocalSeconds) const {
    const std::int64_t t = hostLocalSeconds + offset_;
    const Civil c = ToCivil(t);
    switch (readCode) {
    case 0x35: return {ToBcd(c.hour), ToBcd(c.minute)};
    case 0x36: return {ToBcd(c.day), static_cast<std::uint8_t>((WeekdayOf(t) + weekdayShift_) % 7)};
    case 0x37: return {ToBcd(c.month), ToBcd(c.year % 100)};
    default: return {ToBcd(c.second), cycle_};
    }
}

bool StationClock::setDayAndWeekday(Civil& now, std::uint8_t day, std::uint8_t weekday) {
    const auto d = FromBcd(day);
    if (!d || *d < 1 || *d > 31) return false;
    pendingDay_ = *d;
    now.day = std::min(*d, DaysInMonth(now.year, now.month));
    // A weekday outside 0..6 (the PC sends 0xFF for an unknown name) leaves the weekday to the date.
    weekdayShift_ = 0;
    weekdayWritten_ = weekday <= 6;
    if (weekdayWritten_) weekdayShift_ = (weekday - WeekdayOf(FromCivil(now)) + 7) % 7;
    return true;
}

bool StationClock::setMonthAndYear(Civil& now, std::uint8_t month, std::uint8_t year) {
    const auto m = FromBcd(month);
    const auto y = FromBcd(year);
    if (!m || !y || *m < 1 || *m > 12) return false;
    const int oldWeekday = WeekdayOf(FromCivil(now));
    now.year = 2000 + *y;
    now.month = *m;
    now.day = std::min(pendingDay_.value_or(now.day), DaysInMonth(now.year, now.month));
    pendingDay_.reset();
    // A weekday written with the day stays what it was written as.
    if (weekdayWritten_) weekdayShift_ = (weekdayShift_ + oldWeekday - WeekdayOf(FromCivil(now)) + 14) % 7;
    return true;
}

bool StationClock::write(std::uint8_t readCode, std::uint8_t high, std::uint8_t low, std::int64_t hostLocalSeconds) {
    Civil now = ToCivil(hostLocalSeconds + offset_);
    switch (readCode) {
    case 0x35: {
        const auto h = FromBcd(high);
        const auto m = FromBcd(low);
        if (!h || !m || *h > 23 || *m > 59) return false;
        now.hour = *h;
        now.minute = *m;
        break;
    }
    case 0x36:
        if (!setDayAndWeekday(now, high, low)) return false;
        break;
    case 0x37:
        if (!setMonthAndYear(now, high, low)) return false;
        break;
    default: {
        const auto s = FromBcd(high);
        if (!s || *s > 59) return false;
        now.second = *s;
        cycle_ = low;
        break;
    }
    }
    offset_ = FromCivil(now) - hostLocalSeconds;
    return true;
}
