#pragma once
// The real-time clock of a simulated station: the host's local time plus the offset that the
// PC's writes leave, with the cycle value the station keeps beside the seconds.
// Every call takes the host's local time (seconds since 1970-01-01 00:00 local), so that tests
// choose the moment.

#include <array>
#include <cstdint>
#include <optional>

class StationClock {
public:
    // The two answer bytes of ReadRTCZeit (0x35) .. ReadRTCSecZyk (0x38).
    std::array<std::uint8_t, 2> read(std::uint8_t readCode, std::int64_t hostLocalSeconds) const;
    // Applies a write of the same parameter; false when the bytes are no valid clock value
    // (the station then refuses with NAK and keeps its time).
    bool write(std::uint8_t readCode, std::uint8_t high, std::uint8_t low, std::int64_t hostLocalSeconds);

    std::int64_t offsetSeconds() const { return offset_; }

private:
    struct Civil {
        int year, month, day, hour, minute, second;
    };
    static Civil ToCivil(std::int64_t seconds);
    static std::int64_t FromCivil(const Civil& c);
    static int WeekdayOf(std::int64_t seconds);  // 0 Monday .. 6 Sunday
    bool setDayAndWeekday(Civil& now, std::uint8_t day, std::uint8_t weekday);
    bool setMonthAndYear(Civil& now, std::uint8_t month, std::uint8_t year);

    std::int64_t offset_ = 0;
    int weekdayShift_ = 0;
    bool weekdayWritten_ = false;
    std::uint8_t cycle_ = 0;
    // A day written just before the month: the PC sends the day first, and the 31st must not
    // be lost because the month running at that moment is shorter.
    std::optional<int> pendingDay_;
};

// Two BCD digits; nullopt when a nibble is above 9.
std::optional<int> FromBcd(std::uint8_t byte);
std::uint8_t ToBcd(int value);  // 0..99
