#include "service/ParameterSet.h"

#include <cstdio>
#include <fstream>

#include "platform/AtomicFile.h"
#include "platform/IniFile.h"
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
    // IniFile reads a file it cannot open as empty: ask first, to say why.
    if (!std::ifstream(path, std::ios::binary).is_open()) {
        error = "Die Datei \"" + path + "\" kann nicht gelesen werden.";
        return std::nullopt;
    }
    const IniFile ini(path);
    if (!ini.SectionExists(kParameters)) {
        error = "Die Datei \"" + path + "\" enthält keinen Parametersatz.";
        return std::nullopt;
    }
    ParameterSet set;
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

std::vector<std::string> KeysWithoutValue(const ParameterSet& set) {
    std::vector<std::string> keys;
    const auto& parameters = StationParameters();
    for (std::size_t i = 0; i < parameters.size(); ++i)
        if (i >= set.values.size() || set.values[i].state != SetValue::State::Value)
            keys.push_back(parameters[i].key);
    return keys;
}
