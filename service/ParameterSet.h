#pragma once
// A station's parameter set: its parameters' values as read from it, with where they came
// from, kept in a text file in INI form (UTF-8):
//
//   [Station]
//   Adresse=5
//   Titel=Kessel 2
//   Typ=QTV352-020
//   Datum=05.01.2026
//   Zeit=12:00:00
//   [Parameter]
//   Komma=2
//   DTxt=bar
//   SP1Wert=nicht gelesen        <- a parameter the station did not give
//
// One key per parameter of StationParameters(), named after its command.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Clock.h"

struct SetValue {
    enum class State {
        Value,   // text holds the value in its written form
        NotRead,  // the station did not give it when the set was taken
        Missing,  // the file has no such key
        Invalid,  // the file's text (in text) is no value of the parameter
    };
    State state = State::Missing;
    std::string text;
};

struct ParameterSet {
    int address = 0;
    std::string title;
    std::optional<std::uint16_t> typeCode;  // none: not known
    LocalDateTime taken;
    std::vector<SetValue> values;  // one per entry of StationParameters(), in that order
    std::vector<std::string> unknown;  // lines of the parameter section that are no parameter
};

inline constexpr const char* kNotReadText = "nicht gelesen";

// Writes the set to path as a whole (temporary file, renamed): false when it could not be
// written, and an existing file is then left as it was.
bool SaveParameterSet(const ParameterSet& set, const std::string& path);
// The set in the file; none with a reason in error (German) when the file cannot be read or holds
// no parameter set. Only a regular file is read (platform/PlainFile).
std::optional<ParameterSet> LoadParameterSet(const std::string& path, std::string& error);
// The same from the file's bytes; none when they hold no parameter set.
std::optional<ParameterSet> ParseParameterSet(std::string bytes);

// The entries a restore may not go ahead with: values that are no value of their parameter
// ("Komma=+-5", out of range) as key=text, then the lines of unknown keys. A restore sends
// nothing unless this is empty: a station half restored is worse than one not touched.
std::vector<std::string> BadEntries(const ParameterSet& set);

// The keys of the parameters whose value is not there (not read, missing or invalid).
std::vector<std::string> KeysWithoutValue(const ParameterSet& set);
