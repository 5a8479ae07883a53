#pragma once
// The value text a panel shows and a recording file keeps (sign place, digits with the decimal
// point, a blank, the unit; or " Ueber" / " Unter" and the unit): how the polling cycle writes
// it, and how it and the record line of a recording file (the time of day directly followed by
// that text) are read back. Views point into the text given; nothing is allocated.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The device groups the value text tells apart: group '2' exchanges the decimal-point codes 1
// and 3 (mainwindow/TypeGroups says which models belong to it).
inline constexpr std::uint8_t kTypGruppeZwei = '2';    // 50
inline constexpr std::uint8_t kTypGruppeAndere = 0x85;  // 133

// magnitude: the value with its sign taken off (0..32768); negative: the sign that was taken off.
// komma: the device's decimal-point code (digits behind the point); typGruppe: the device group.
// 32767 is the out-of-range mark (" Ueber" / " Unter"). The unit and the text in UTF-8.
std::string FormatValueText(int magnitude, bool negative, std::uint8_t komma, std::uint8_t typGruppe,
                            std::string_view benennung);

// The digits behind the point that code and group give.
int DigitsBehindPoint(std::uint8_t komma, std::uint8_t typGruppe);

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
