#pragma once
// A station's device type: the number it reports has decimal digits that are the type code's
// hexadecimal digits (the report 1234 is type 0x1234), and the operator reads a type as the
// status line shows it, "QTV120-034" for 0x1234.

#include <cstdint>
#include <optional>
#include <string>

std::uint16_t TypeCodeFromReport(std::uint16_t report);
std::string TypeCodeText(std::uint16_t typeCode);
// The type code of a text in the form of TypeCodeText, or none.
std::optional<std::uint16_t> TypeCodeFromText(const std::string& text);

// Asks the station at BusAdresse for its type; none when it does not answer or reports 0.
std::optional<std::uint16_t> ReadTypeCode();
