#pragma once
// The command codes a QTV station understands, what each one carries and how its value is kept.
// A write code is its read code plus 0x80; ResetQtv (0x9A) and ClearBFlag (0x9B) have no read.

#include <cstdint>
#include <string_view>

enum class ParamKind {
    Flag,     // one byte; the PC looks at bit 0
    Byte,     // one byte (decimal-point code, last digit)
    Twelve,   // switch points, hysteresis and delays: 12 bits in two bytes
    Word,     // ranges, maximum, minimum, averaging, pulses: two bytes, high first
    Text,     // three-character unit text
    Clock,    // real-time clock, two bytes computed from the running clock
    Id,       // device type, read only
    Value,    // measured value, read only
    Latched,  // value latched by a broadcast ReadMWert, read only
    Reset,    // ResetQtv, write only, one byte
    ClearFlag // ClearBFlag, write only, no data
};

struct CommandInfo {
    std::uint8_t readCode;    // the code without bit 7
    std::string_view param;   // name of the parameter ("SP1Aktiv"); the key in bus files
    ParamKind kind;
    bool readable;
    bool writable;
};

inline constexpr std::uint8_t kWriteBit = 0x80;

// The entry for a read or write code, or null when the station does not know the code.
const CommandInfo* FindCommand(std::uint8_t code);
// The entry of a parameter by name (case-insensitive), or null.
const CommandInfo* FindParam(std::string_view name);

// Data bytes of a write request for the kind.
unsigned WriteDataBytes(ParamKind kind);

// The device command's name for a code, as the PC side calls it ("ReadSP1Wert", "ResetQtv"),
// or "Unknown" for a code no station knows.
std::string CommandName(std::uint8_t code);
