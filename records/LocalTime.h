#pragma once
// Time as the recording files know it: local dates and times of day, without a time zone.
// A point in time is counted in milliseconds on the local time line from 1 January 1970, so that
// a value recorded at 14:03:27 lies at 14:03:27 on the axis whatever the zone of the viewer.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"

struct Date {
    int year = 2000;
    int month = 1;
    int day = 1;
    friend bool operator==(const Date&, const Date&) = default;
    friend auto operator<=>(const Date&, const Date&) = default;
};

constexpr std::int64_t kMsPerSecond = 1000;
constexpr std::int64_t kMsPerDay = 86'400'000;

bool IsValidDate(const Date& d);
std::int64_t DayNumber(const Date& d);  // days since 1970-01-01
Date DateOfDayNumber(std::int64_t days);
Date NextDay(const Date& d);

// Milliseconds on the local time line, the one of LocalMilliseconds (platform/Clock.h), which
// also converts a LocalDateTime.
std::int64_t LocalMs(const Date& d, int hour = 0, int minute = 0, int second = 0, int millisecond = 0);
Date DateOfLocalMs(std::int64_t ms);
int MsOfDay(std::int64_t ms);

// "DD.MM.YYYY" (one-digit day and month accepted); no value for anything else or an impossible day.
std::optional<Date> ParseGermanDate(std::string_view text);
std::string GermanDate(const Date& d);          // "06.12.2026"
std::string ClockTime(std::int64_t ms);         // "14:03:27" (the time of day of a point)
