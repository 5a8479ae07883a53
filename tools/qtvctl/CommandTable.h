#pragma once
// The device commands qtvctl can run: one row per command of the catalogue (link/QtvParameters),
// the read and the write of each parameter, with the kind of value it takes and the form of what
// it gives back.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/QtvParameters.h"

enum class CommandKind {
    Number,  // a read returning a number
    Status,  // no value, returns the exchange status (ResetQtv, ClearBFlag)
    Area2,   // a read filling two bytes
    Area3,   // a read filling three bytes
    Byte,    // a write of one byte: 0..255
    Word,    // a write of two bytes: -32768..65535, sent as its low 16 bits
    Text,    // a write of 1 to 3 characters
};

struct CommandRow {
    std::string name;  // "ReadSP1Wert", "WriteSP1Wert", "ResetQtv"
    CommandKind kind;
    const QtvParameter* parameter;
    bool write;  // the parameter's write command, else its read
};

const std::vector<CommandRow>& CommandTable();
// The row of that name (case does not matter), or null.
const CommandRow* FindCommand(std::string_view name);
bool TakesValue(CommandKind kind);
// "0..255", "-32768..65535", "1 to 3 characters", or "" for commands without a value.
const char* ValueRange(CommandKind kind);

// A checked value for a command: a number for Byte and Word, a text for Text.
struct CommandValue {
    long number = 0;
    std::string text;
};

class ExchangeWatch;

// Runs the command against BusAdresse and prints the result on standard output: the value, the
// clock's bytes also as time and date, and when the exchange failed, that no valid answer came
// and why (as far as the watch of the line tells). Returns SioErgebnis.
std::int32_t RunCommand(const CommandRow& row, const CommandValue& value, const ExchangeWatch& watch);
