#pragma once
// The one catalogue of what a QTV station knows, a row per parameter: its name (the device
// commands' name without Read or Write: "SP1Wert"), its command codes (the read code; the write
// code is the read code plus 0x80), the form of its data bytes, the numbers a person may give it,
// and the device commands of link/QtvCommands.h that read and write it. The service's parameter
// list, qtvctl's command table, the parameter-set window and the event log's texts all take their
// rows from here. The simulator keeps a table of its own (sim/CommandTable) on purpose: it is
// what the tests hold this one against.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <variant>

enum class ValueForm {
    Flag,            // one byte, bit 0 counts
    Code,            // one byte, a code (decimal point, last digit)
    Signed,          // two bytes, high first, a signed 16-bit number
    Unsigned,        // two bytes, high first, an unsigned 16-bit number
    Text,            // three characters in the Windows code page
    Time,            // hours, minutes in BCD
    DayAndWeekday,   // day in BCD, weekday 0 Monday .. 6 Sunday
    MonthAndYear,    // month, year in BCD
    SecondsAndCycle,  // seconds in BCD, cycle value 0..255
    None,            // no value (ResetQtv, ClearBFlag, reads of live values)
};

// The device commands by their signatures (none: the parameter has no such command).
using QtvRead = std::variant<std::monostate, std::uint8_t (*)(), std::uint16_t (*)(), std::int16_t (*)(),
                             std::int32_t (*)(), std::int32_t (*)(std::uint8_t*), std::int16_t (*)(std::uint8_t*)>;
// A write without a value (ResetQtv, ClearBFlag) is the parameter's own name, without "Write".
using QtvWrite = std::variant<std::monostate, std::int32_t (*)(), std::int32_t (*)(std::uint8_t),
                              std::int32_t (*)(std::uint16_t), std::int32_t (*)(std::int32_t),
                              std::int32_t (*)(std::int16_t), std::int32_t (*)(std::string_view)>;

struct QtvParameter {
    std::uint8_t readCode;  // the code without bit 7
    const char* name;      // "SP1Wert"
    ValueForm form;
    // The numbers a person may give as the value's text ("500"); both 0 where the value is no
    // number one sets (a text, the clock's bytes, what only a station reports).
    long low;
    long high;
    QtvRead read;
    QtvWrite write;
};

inline constexpr std::uint8_t kQtvWriteBit = 0x80;

// Every parameter, in the order qtvctl lists their commands.
std::span<const QtvParameter> QtvParameters();
// The parameter of a read or write code, or null for a code no station knows.
const QtvParameter* FindQtvParameter(std::uint8_t code);
// The parameter of that name (case does not matter), or null.
const QtvParameter* FindQtvParameter(std::string_view name);

// Names as the stations' users write them: the same letters, upper or lower case alike (ASCII).
bool SameName(std::string_view a, std::string_view b);

// Whether the parameter's read fills an area with the answer's bytes (ReadMBAnf(area), ...)
// rather than returning a number.
bool ReadsArea(const QtvParameter& p);
// Runs the parameter's read command at BusAdresse and hands back what it returns: the number,
// or for a read into an area (of at least 4 bytes) the exchange status. 0 when it has no read.
long RunQtvRead(const QtvParameter& p, std::uint8_t* area);

// A number parameter's value at BusAdresse: the number its read command gives (from two answer
// bytes high first, signed when the form is Signed), or none when the exchange failed.
std::optional<long> ReadQtvNumber(const QtvParameter& p);
// Sends a number to a parameter's write command: its low byte to a one-byte write, its low 16
// bits to the others. The command's result (SioErgebnis: 0 failed).
std::int32_t WriteQtvNumber(const QtvParameter& p, long value);
