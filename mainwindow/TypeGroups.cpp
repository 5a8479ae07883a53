// The table of group-'2' device types. Add a model by adding its type code here.

#include "mainwindow/TypeGroups.h"

#include <algorithm>
#include <array>

namespace {
constexpr std::array<std::uint16_t, 24> kGroupTwo = {
    0x2520, 0x2521, 0x2530, 0x2531, 0x2540, 0x2541,  // 25xx
    0x3520, 0x3521, 0x3522, 0x3530, 0x3531, 0x3532,  // 35xx; 3520 is the simulator's
    0x3540, 0x3541, 0x3580, 0x3581,                  //
    0x4520, 0x4521, 0x4530, 0x4531,                  // 45xx
    0x5520, 0x5521, 0x5530, 0x5531,                  // 55xx
};
}  // namespace

std::span<const std::uint16_t> GroupTwoTypes() { return kGroupTwo; }

bool IsGroupTwoType(std::uint16_t typ) {
    return std::find(kGroupTwo.begin(), kGroupTwo.end(), typ) != kGroupTwo.end();
}

std::uint8_t TypGruppeOf(std::uint16_t typ) { return IsGroupTwoType(typ) ? kTypGruppeZwei : kTypGruppeAndere; }
