#pragma once
// The parameters a station keeps and the parameter dialogs read and send, in the order of the
// dialogs; what each one is (its commands, the form of its bytes, its numbers) comes from the
// catalogue of link/QtvParameters. The live values are not among them: the measured value, the
// relay status and the clock.
//
// A value is handled as text in the form a person reads: a decimal number ("500", "-12") or,
// for the unit text, its characters ("bar"). A unit text byte that is a control character, a
// zero before the end, or a backslash is written \xNN, so that every station's text comes back
// unchanged.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/QtvParameters.h"

enum class ParameterKind { Number, Text };

struct StationParameter {
    const char* key;  // the command's name without Read or Write: "SP1Wert"
    ParameterKind kind;
    long low;  // the range a number read from or written to the station can take
    long high;
    const QtvParameter* parameter;  // its row of the catalogue
};

const std::vector<StationParameter>& StationParameters();
const StationParameter* FindStationParameter(std::string_view key);

// Reads the parameter from the station at BusAdresse: its value, or none when the exchange failed.
std::optional<std::string> ReadParameter(const StationParameter& p);
// Writes a value (as NormalizedValue gives it) to the station at BusAdresse; true when acknowledged.
bool WriteParameter(const StationParameter& p, const std::string& value);

// The value in its one written form, or none when the text is no value of this parameter
// (not a number, out of range, a unit text longer than three characters or with a character
// the stations' code page lacks).
std::optional<std::string> NormalizedValue(const StationParameter& p, const std::string& text);

// The unit text's written form of up to three bytes, and back (none when it is no such text).
std::string UnitTextFromBytes(const std::string& bytes);
std::optional<std::string> UnitTextBytes(const std::string& text);
