#include "service/ParameterSet.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "platform/AtomicFile.h"
#include "platform/IniFile.h"
#include "platform/PlainFile.h"
#include "service/StationParameters.h"
#include "service/StationType.h"

namespace {

const std::string kStation = "Station";
const std::string kParameters = "Parameter";

// As IniFile writes values: one with blanks at its ends goes in quotes, so that it reads back
// unchanged; a line break cannot be part of a value.
std::string Line(const std::string& key, std::string value) {
    for (char& c : value)
        if (c == '\r' || c == '\n') c = ' ';
    const bool quote = !value.empty() && (value.front() == ' ' || value.back() == ' ' ||
                                          (value.size() >= 2 && value.front() == '"' && value.back() == '"'));
    return key + "=" + (quote ? "\"" + value + "\"" : value) + "\r\n";
}

std::string DateText(const LocalDateTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", t.day, t.month, t.year);
    return text;
}

std::string TimeText(const LocalDateTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return text;
}

LocalDateTime ParseTaken(const std::string& date, const std::string& time) {
    LocalDateTime t;
    int d = 0, mo = 0, y = 0, h = 0, mi = 0, s = 0;
    if (std::sscanf(date.c_str(), "%d.%d.%d", &d, &mo, &y) == 3) {
        t.day = d;
        t.month = mo;
        t.year = y;
    }
    if (std::sscanf(time.c_str(), "%d:%d:%d", &h, &mi, &s) == 3) {
        t.hour = h;
        t.minute = mi;
        t.second = s;
    }
    return t;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// The lines of the parameter section that are no parameter: a key no parameter has, or a line
// that is no key at all. Such a file was not written by us, or was changed by hand; a restore
// from it could not be the set the operator means.
std::vector<std::string> UnknownEntries(std::string_view text) {
    std::vector<std::string> unknown;
    bool inParameters = false;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const auto close = line.find(']');
            inParameters = close != std::string_view::npos && SameName(Trimmed(line.substr(1, close - 1)), kParameters);
            continue;
        }
        if (!inParameters) continue;
        const std::string_view key = Trimmed(line.substr(0, line.find('=')));
        const bool known = line.find('=') != std::string_view::npos &&
                           std::any_of(StationParameters().begin(), StationParameters().end(),
                                       [&](const StationParameter& p) { return SameName(key, p.key); });
        if (!known) unknown.emplace_back(line.substr(0, 60));
    }
    return unknown;
}

}  // namespace

bool SaveParameterSet(const ParameterSet& set, const std::string& path) {
    std::string text = "; Parametersatz einer QTV-Station (Tarvo)\r\n";
    text += "[" + kStation + "]\r\n";
    text += Line("Adresse", std::to_string(set.address));
    text += Line("Titel", set.title);
    text += Line("Typ", set.typeCode ? TypeCodeText(*set.typeCode) : std::string(kNotReadText));
    text += Line("Datum", DateText(set.taken));
    text += Line("Zeit", TimeText(set.taken));
    text += "\r\n[" + kParameters + "]\r\n";
    const auto& parameters = StationParameters();
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const SetValue v = i < set.values.size() ? set.values[i] : SetValue{};
        if (v.state == SetValue::State::Missing) continue;
        text +=
            Line(parameters[i].key, v.state == SetValue::State::NotRead ? std::string(kNotReadText) : v.text);
    }
    return ReplaceFileAtomically(path, text);
}

std::optional<ParameterSet> LoadParameterSet(const std::string& path, std::string& error) {
    // A parameter set is read by the rule for the operator's files: never through a link, never
    // blocked by a pipe. Far smaller than the limit, whatever the station.
    constexpr std::uint64_t kMaxSetBytes = 1u << 20;
    std::string bytes;
    const PlainFile state = ReadPlainFile(path, bytes, kMaxSetBytes);
    if (state != PlainFile::Regular) {
        error = PlainFileRefusal(state == PlainFile::Missing ? PlainFile::Unreadable : state, path, Speech::German);
        return std::nullopt;
    }
    auto set = ParseParameterSet(std::move(bytes));
    if (!set) error = "Die Datei \"" + path + "\" enthält keinen Parametersatz.";
    return set;
}

std::optional<ParameterSet> ParseParameterSet(std::string bytes) {
    const std::vector<std::string> unknown = UnknownEntries(bytes);
    IniFile ini{std::string()};
    ini.Parse(std::move(bytes));
    if (!ini.SectionExists(kParameters)) return std::nullopt;
    ParameterSet set;
    set.unknown = unknown;
    set.address = static_cast<int>(ini.ReadInteger(kStation, "Adresse", 0));
    set.title = ini.ReadString(kStation, "Titel", "");
    set.typeCode = TypeCodeFromText(ini.ReadString(kStation, "Typ", ""));
    set.taken = ParseTaken(ini.ReadString(kStation, "Datum", ""), ini.ReadString(kStation, "Zeit", ""));
    for (const StationParameter& p : StationParameters()) {
        SetValue v;
        if (ini.ValueExists(kParameters, p.key)) {
            const std::string text = ini.ReadString(kParameters, p.key, "");
            if (text == kNotReadText) {
                v.state = SetValue::State::NotRead;
            } else if (const auto value = NormalizedValue(p, text)) {
                v = {SetValue::State::Value, *value};
            } else {
                v = {SetValue::State::Invalid, text};
            }
        }
        set.values.push_back(v);
    }
    return set;
}

std::vector<std::string> BadEntries(const ParameterSet& set) {
    std::vector<std::string> bad;
    const auto& parameters = StationParameters();
    for (std::size_t i = 0; i < parameters.size() && i < set.values.size(); ++i)
        if (set.values[i].state == SetValue::State::Invalid)
            bad.push_back(std::string(parameters[i].key) + "=" + set.values[i].text);
    bad.insert(bad.end(), set.unknown.begin(), set.unknown.end());
    return bad;
}

std::vector<std::string> KeysWithoutValue(const ParameterSet& set) {
    std::vector<std::string> keys;
    const auto& parameters = StationParameters();
    for (std::size_t i = 0; i < parameters.size(); ++i)
        if (i >= set.values.size() || set.values[i].state != SetValue::State::Value)
            keys.push_back(parameters[i].key);
    return keys;
}
