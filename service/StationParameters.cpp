#include "service/StationParameters.h"

#include <charconv>
#include <cstdint>
#include <cstdio>

#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "platform/Windows1252.h"

namespace {

constexpr long kTwelveBitHigh = 4095;
constexpr std::size_t kUnitTextLength = 3;

template <auto Read> std::optional<long> Number() {
    const long value = static_cast<long>(Read());
    if (SioErgebnis == 0) return std::nullopt;
    return value;
}

// Two answer bytes, high first.
template <auto Read, bool Signed> std::optional<long> Word() {
    std::uint8_t area[4] = {};
    Read(area);
    if (SioErgebnis == 0) return std::nullopt;
    const auto word = static_cast<std::uint16_t>(area[0] << 8 | area[1]);
    return Signed ? static_cast<long>(static_cast<std::int16_t>(word)) : static_cast<long>(word);
}

std::uint8_t Byte(long v) { return static_cast<std::uint8_t>(v); }
std::uint16_t Word16(long v) { return static_cast<std::uint16_t>(v); }

std::vector<StationParameter> MakeParameters() {
    return {
        // Display dialog
        {"Komma", ParameterKind::Number, 0, 15, Number<ReadKomma>,
         [](long v) { return WriteKomma(Byte(v)) != 0; }},
        {"Runden", ParameterKind::Number, 0, 7, Number<ReadRunden>,
         [](long v) { return WriteRunden(Byte(v)) != 0; }},
        {"Mittel", ParameterKind::Number, 0, 65535, Number<ReadMittel>,
         [](long v) { return WriteMittel(Word16(v)) != 0; }},
        {"DTxt", ParameterKind::Text, 0, 0, nullptr, nullptr},
        {"MaxWert", ParameterKind::Number, -32768, 32767, Word<ReadMaxWert, true>,
         [](long v) { return WriteMaxWert(Word16(v)) != 0; }},
        {"MinWert", ParameterKind::Number, -32768, 32767, Word<ReadMinWert, true>,
         [](long v) { return WriteMinWert(Word16(v)) != 0; }},
        {"Durch10", ParameterKind::Number, 0, 1, Number<ReadDurch10>,
         [](long v) { return WriteDurch10(Byte(v)) != 0; }},
        {"UShow", ParameterKind::Number, 0, 1, Number<ReadUShow>,
         [](long v) { return WriteUShow(Byte(v)) != 0; }},
        // Relay dialog
        {"SP1Wert", ParameterKind::Number, 0, kTwelveBitHigh, Number<ReadSP1Wert>,
         [](long v) { return WriteSP1Wert(static_cast<std::int32_t>(v)) != 0; }},
        {"SP1Hyst", ParameterKind::Number, 0, kTwelveBitHigh, Number<ReadSP1Hyst>,
         [](long v) { return WriteSP1Hyst(static_cast<std::int32_t>(v)) != 0; }},
        {"SP1Verz", ParameterKind::Number, 0, kTwelveBitHigh, Number<ReadSP1Verz>,
         [](long v) { return WriteSP1Verz(Word16(v)) != 0; }},
        {"SP1Aktiv", ParameterKind::Number, 0, 1, Number<ReadSP1Aktiv>,
         [](long v) { return WriteSP1Aktiv(Byte(v)) != 0; }},
        {"SP1Funk", ParameterKind::Number, 0, 1, Number<ReadSP1Funk>,
         [](long v) { return WriteSP1Funk(Byte(v)) != 0; }},
        {"SP2Wert", ParameterKind::Number, 0, kTwelveBitHigh, Number<ReadSP2Wert>,
         [](long v) { return WriteSP2Wert(static_cast<std::int32_t>(v)) != 0; }},
        {"SP2Hyst", ParameterKind::Number, 0, kTwelveBitHigh, Number<ReadSP2Hyst>,
         [](long v) { return WriteSP2Hyst(static_cast<std::int32_t>(v)) != 0; }},
        {"SP2Verz", ParameterKind::Number, 0, kTwelveBitHigh, Number<ReadSP2Verz>,
         [](long v) { return WriteSP2Verz(Word16(v)) != 0; }},
        {"SP2Aktiv", ParameterKind::Number, 0, 1, Number<ReadSP2Aktiv>,
         [](long v) { return WriteSP2Aktiv(Byte(v)) != 0; }},
        {"SP2Funk", ParameterKind::Number, 0, 1, Number<ReadSP2Funk>,
         [](long v) { return WriteSP2Funk(Byte(v)) != 0; }},
        // Measuring range dialog (ABAnf is also the humidity devices' measuring kind)
        {"MBAnf", ParameterKind::Number, -32768, 32767, Word<ReadMBAnf, true>,
         [](long v) { return WriteMBAnf(Word16(v)) != 0; }},
        {"MBEnd", ParameterKind::Number, -32768, 32767, Word<ReadMBEnd, true>,
         [](long v) { return WriteMBEnd(Word16(v)) != 0; }},
        {"ABAnf", ParameterKind::Number, -32768, 32767, Word<ReadABAnf, true>,
         [](long v) { return WriteABAnf(Word16(v)) != 0; }},
        {"ABEnd", ParameterKind::Number, -32768, 32767, Word<ReadABEnd, true>,
         [](long v) { return WriteABEnd(Word16(v)) != 0; }},
        {"SoMess", ParameterKind::Number, 0, 1, Number<ReadSoMess>,
         [](long v) { return WriteSoMess(Byte(v)) != 0; }},
        // Other values dialog
        {"EVar", ParameterKind::Number, 0, 65535, Word<ReadEVar, false>,
         [](long v) { return WriteEVar(static_cast<std::int16_t>(Word16(v))) != 0; }},
    };
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
    const auto value = p.readNumber();
    if (!value) return std::nullopt;
    return std::to_string(*value);
}

bool WriteParameter(const StationParameter& p, const std::string& value) {
    if (p.kind == ParameterKind::Text) {
        const auto bytes = UnitTextBytes(value);
        return bytes && WriteDTxt(*bytes) != 0;
    }
    const auto number = ParseNumber(value);
    return number && p.writeNumber(*number);
}
