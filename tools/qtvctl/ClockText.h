#pragma once
// The real-time clock's two bytes as an operator reads them. Date and time travel as packed
// decimal (a byte 0x26 is "26"); a half-byte above 9 shows as '?'.
//   RTCZeit    hours, minutes          -> "time 06:21"
//   RTCTag     day, weekday (low 3 bits, 0 Monday; 7 counts as Monday) -> "day 06, Thursday";
//              a weekday above 6 to be written (no day name chosen)   -> "day 31, no weekday"
//   RTCDatum   month, year             -> "date 12.26 (month.year)"
//   RTCSecZyk  seconds, cycle (binary) -> "seconds 58, cycle 10"

#include <cstdint>
#include <string>
#include <string_view>

// The text for a Read or Write command of the clock, "" for any other command.
std::string ClockText(std::string_view command, std::uint8_t first, std::uint8_t second);
