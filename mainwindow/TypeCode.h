#pragma once
// A station reports its type as a number whose decimal digits are the type code's hexadecimal
// digits: the report 1234 is type 0x1234, the report 95 is type 0x0095.

#include <QString>
#include <cstdint>

inline std::uint16_t TypeCodeFromReport(std::uint16_t report) {
    const QString hex = QString::asprintf("0x%.4d", int(report));  // "0x%0.4d"
    return static_cast<std::uint16_t>(hex.toUInt(nullptr, 16) & 0xFFFF);
}
