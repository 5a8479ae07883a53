#pragma once
// The device models of group '2': their decimal-point codes 1 and 3 are exchanged and one
// rounding code means something else. A type code's hexadecimal digits are the decimal digits
// the device reports (type 3520 reports 3520).

#include <cstdint>
#include <span>

#include "records/ValueText.h"  // kTypGruppeZwei, kTypGruppeAndere

std::span<const std::uint16_t> GroupTwoTypes();
bool IsGroupTwoType(std::uint16_t typ);
std::uint8_t TypGruppeOf(std::uint16_t typ);
