#include "sim/CommandTable.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace {

constexpr CommandInfo kCommands[] = {
    {0x10, "SP1Aktiv", ParamKind::Flag, true, true},
    {0x11, "SP2Aktiv", ParamKind::Flag, true, true},
    {0x12, "SP1Funk", ParamKind::Flag, true, true},
    {0x13, "SP2Funk", ParamKind::Flag, true, true},
    {0x14, "SP1Status", ParamKind::Flag, true, true},
    {0x15, "SP2Status", ParamKind::Flag, true, true},
    {0x16, "Durch10", ParamKind::Flag, true, true},
    {0x17, "SoMess", ParamKind::Flag, true, true},
    {0x18, "UShow", ParamKind::Flag, true, true},
    {0x1A, "Qtv", ParamKind::Reset, false, true},
    {0x1B, "BFlag", ParamKind::ClearFlag, false, true},
    {0x20, "Komma", ParamKind::Byte, true, true},
    {0x21, "Runden", ParamKind::Byte, true, true},
    {0x30, "ID", ParamKind::Id, true, false},
    {0x31, "MWert", ParamKind::Value, true, false},
    {0x35, "RTCZeit", ParamKind::Clock, true, true},
    {0x36, "RTCTag", ParamKind::Clock, true, true},
    {0x37, "RTCDatum", ParamKind::Clock, true, true},
    {0x38, "RTCSecZyk", ParamKind::Clock, true, true},
    {0x40, "MBAnf", ParamKind::Word, true, true},
    {0x41, "MBEnd", ParamKind::Word, true, true},
    {0x42, "ABAnf", ParamKind::Word, true, true},
    {0x43, "ABEnd", ParamKind::Word, true, true},
    {0x50, "SP1Wert", ParamKind::Twelve, true, true},
    {0x51, "SP2Wert", ParamKind::Twelve, true, true},
    {0x52, "SP1Hyst", ParamKind::Twelve, true, true},
    {0x53, "SP2Hyst", ParamKind::Twelve, true, true},
    {0x54, "SP1Verz", ParamKind::Twelve, true, true},
    {0x55, "SP2Verz", ParamKind::Twelve, true, true},
    {0x56, "MaxWert", ParamKind::Word, true, true},
    {0x57, "MinWert", ParamKind::Word, true, true},
    {0x58, "Mittel", ParamKind::Word, true, true},
    {0x59, "EVar", ParamKind::Word, true, true},
    {0x60, "DTxt", ParamKind::Text, true, true},
    {0x61, "Broadcast", ParamKind::Latched, true, false},
};

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

}  // namespace

const CommandInfo* FindCommand(std::uint8_t code) {
    const bool write = (code & kWriteBit) != 0;
    const std::uint8_t readCode = code & 0x7F;
    for (const auto& c : kCommands) {
        if (c.readCode == readCode && (write ? c.writable : c.readable)) return &c;
    }
    return nullptr;
}

const CommandInfo* FindParam(std::string_view name) {
    for (const auto& c : kCommands) {
        if (SameText(c.param, name)) return &c;
    }
    return nullptr;
}

unsigned WriteDataBytes(ParamKind kind) {
    switch (kind) {
    case ParamKind::Flag:
    case ParamKind::Byte:
    case ParamKind::Reset: return 1;
    case ParamKind::Text: return 3;
    case ParamKind::ClearFlag: return 0;
    default: return 2;
    }
}

std::string CommandName(std::uint8_t code) {
    const CommandInfo* c = FindCommand(code);
    if (!c) return "Unknown";
    if (c->kind == ParamKind::Reset) return "ResetQtv";
    if (c->kind == ParamKind::ClearFlag) return "ClearBFlag";
    return std::string((code & kWriteBit) ? "Write" : "Read") + std::string(c->param);
}
