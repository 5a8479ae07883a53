#include "service/StationParameters.h"

#include <charconv>
#include <cstdint>
#include <cstdio>

#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "platform/Windows1252.h"

namespace {

constexpr std::size_t kUnitTextLength = 3;

// The order of the dialogs: display, relays, measuring range (ABAnf is also the humidity
// devices' measuring kind), other values.
constexpr const char* kDialogOrder[] = {
    "Komma",   "Runden",  "Mittel",   "DTxt",    "MaxWert", "MinWert", "Durch10", "UShow",
    "SP1Wert", "SP1Hyst", "SP1Verz",  "SP1Aktiv", "SP1Funk", "SP2Wert", "SP2Hyst", "SP2Verz",
    "SP2Aktiv", "SP2Funk", "MBAnf",   "MBEnd",   "ABAnf",   "ABEnd",   "SoMess",  "EVar",
};

std::vector<StationParameter> MakeParameters() {
    std::vector<StationParameter> parameters;
    for (const char* key : kDialogOrder) {
        const QtvParameter* p = FindQtvParameter(std::string_view(key));
        const bool text = p->form == ValueForm::Text;
        parameters.push_back({p->name, text ? ParameterKind::Text : ParameterKind::Number, p->low, p->high, p});
    }
    return parameters;
}

std::optional<long> ParseNumber(const std::string& text) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    // One sign at most: from_chars would take the '-' of "+-5" after the '+' is passed over.
    if (begin != end && *begin == '+' && ++begin != end && *begin == '-') return std::nullopt;
    long value = 0;
    const auto [stop, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || stop != end || begin == end) return std::nullopt;
    return value;
}

bool NeedsEscape(unsigned char c) { return c < 0x20 || c == 0x7F || c == '\\'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

const std::vector<StationParameter>& StationParameters() {
    static const std::vector<StationParameter> parameters = MakeParameters();
    return parameters;
}

const StationParameter* FindStationParameter(std::string_view key) {
    for (const StationParameter& p : StationParameters())
        if (key == p.key) return &p;
    return nullptr;
}

std::string UnitTextFromBytes(const std::string& bytes) {
    std::string shown = bytes.substr(0, kUnitTextLength);
    // Places after the end of a shorter text are zero bytes: they are not part of the text.
    while (!shown.empty() && shown.back() == '\0')
        shown.pop_back();
    std::string text;
    for (char c : shown) {
        if (NeedsEscape(static_cast<unsigned char>(c))) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
            text += escaped;
        } else {
            text += Windows1252ToUtf8(std::string(1, c));
        }
    }
    return text;
}

std::optional<std::string> UnitTextBytes(const std::string& text) {
    std::string plain;  // UTF-8 runs between escapes
    std::string bytes;
    auto flush = [&]() -> bool {
        const std::string converted = Utf8ToWindows1252(plain);
        // A character the code page cannot hold would come back as '?'.
        if (Windows1252ToUtf8(converted) != plain) return false;
        bytes += converted;
        plain.clear();
        return true;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            plain += text[i];
            continue;
        }
        if (i + 3 >= text.size() || text[i + 1] != 'x') return std::nullopt;
        const int high = HexDigit(text[i + 2]), low = HexDigit(text[i + 3]);
        if (high < 0 || low < 0 || !flush()) return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
        i += 3;
    }
    if (!flush() || bytes.size() > kUnitTextLength) return std::nullopt;
    while (!bytes.empty() && bytes.back() == '\0')
        bytes.pop_back();
    return bytes;
}

std::optional<std::string> NormalizedValue(const StationParameter& p, const std::string& text) {
    if (p.kind == ParameterKind::Text) {
        const auto bytes = UnitTextBytes(text);
        if (!bytes) return std::nullopt;
        return UnitTextFromBytes(*bytes);
    }
    const auto number = ParseNumber(text);
    if (!number || *number < p.low || *number > p.high) return std::nullopt;
    return std::to_string(*number);
}

std::optional<std::string> ReadParameter(const StationParameter& p) {
    if (p.kind == ParameterKind::Text) {
        std::uint8_t area[4] = {};
        ReadDTxt(area);
        if (SioErgebnis == 0) return std::nullopt;
        return UnitTextFromBytes(std::string(reinterpret_cast<const char*>(area), kUnitTextLength));
    }
    const auto value = ReadQtvNumber(*p.parameter);
    if (!value) return std::nullopt;
    return std::to_string(*value);
}

bool WriteParameter(const StationParameter& p, const std::string& value) {
    if (p.kind == ParameterKind::Text) {
        const auto bytes = UnitTextBytes(value);
        return bytes && WriteDTxt(*bytes) != 0;
    }
    const auto number = ParseNumber(value);
    return number && WriteQtvNumber(*p.parameter, *number) != 0;
}
