#pragma once
// Reading back what the polling cycle wrote: the value text a panel shows (sign place, digits
// with the decimal point, a blank, the unit; or " Ueber" / " Unter" and the unit) and the record
// line of a recording file (the time of day directly followed by that text).
// Views point into the text given; nothing is allocated.

#include <cstdint>
#include <optional>
#include <string_view>

enum class ValueKind : std::uint8_t { Number, Over, Under };

struct ValueText {
    ValueKind kind = ValueKind::Number;
    bool negative = false;
    std::int32_t scaled = 0;     // the digits without the point: "-123.4" is 1234, negative
    std::uint8_t decimals = 0;   // digits behind the point
    std::string_view unit;       // everything behind the blank that follows the number

    double Value() const;        // signed, with the point in place; 0 for Over and Under
};

// The text as FormatValueText builds it. No value for anything it cannot have built.
std::optional<ValueText> ParseValueText(std::string_view text);

struct RecordLine {
    int hour = 0;
    int minute = 0;
    int second = 0;
    ValueText value;
    int SecondOfDay() const { return (hour * 60 + minute) * 60 + second; }
};

// One line of a recording file without its line end. The time of day may have a one-digit hour
// ("9:05:03"), as a Windows long time format may write it.
std::optional<RecordLine> ParseRecordLine(std::string_view line);
