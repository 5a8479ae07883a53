#include "tools/qtvctl/CommandTable.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "tools/qtvctl/ClockText.h"
#include "tools/qtvctl/ExchangeDiagnosis.h"

namespace {

template <class... Fs>
struct Overloaded : Fs... {
    using Fs::operator()...;
};
template <class... Fs>
Overloaded(Fs...) -> Overloaded<Fs...>;

using K = CommandKind;

const std::vector<CommandRow> kTable = {
    {"ReadSP1Aktiv", K::Number, ReadSP1Aktiv},     {"WriteSP1Aktiv", K::Byte, WriteSP1Aktiv},
    {"ReadSP2Aktiv", K::Number, ReadSP2Aktiv},     {"WriteSP2Aktiv", K::Byte, WriteSP2Aktiv},
    {"ReadSP1Funk", K::Number, ReadSP1Funk},       {"WriteSP1Funk", K::Byte, WriteSP1Funk},
    {"ReadSP2Funk", K::Number, ReadSP2Funk},       {"WriteSP2Funk", K::Byte, WriteSP2Funk},
    {"ReadSP1Status", K::Number, ReadSP1Status},   {"WriteSP1Status", K::Byte, WriteSP1Status},
    {"ReadSP2Status", K::Number, ReadSP2Status},   {"WriteSP2Status", K::Byte, WriteSP2Status},
    {"ReadDurch10", K::Number, ReadDurch10},       {"WriteDurch10", K::Byte, WriteDurch10},
    {"ReadSoMess", K::Number, ReadSoMess},         {"WriteSoMess", K::Byte, WriteSoMess},
    {"ReadUShow", K::Number, ReadUShow},           {"WriteUShow", K::Byte, WriteUShow},
    {"ReadKomma", K::Number, ReadKomma},           {"WriteKomma", K::Byte, WriteKomma},
    {"ReadRunden", K::Number, ReadRunden},         {"WriteRunden", K::Byte, WriteRunden},
    {"ReadID", K::Number, ReadID},                 {"ReadMWert", K::Number, ReadMWert},
    {"ReadRTCZeit", K::Area2, ReadRTCZeit},        {"WriteRTCZeit", K::Word, WriteRTCZeit},
    {"ReadRTCTag", K::Area2, ReadRTCTag},          {"WriteRTCTag", K::Word, WriteRTCTag},
    {"ReadRTCDatum", K::Area2, ReadRTCDatum},      {"WriteRTCDatum", K::Word, WriteRTCDatum},
    {"ReadRTCSecZyk", K::Area2, ReadRTCSecZyk},    {"WriteRTCSecZyk", K::Word, WriteRTCSecZyk},
    {"ReadMBAnf", K::Area2, ReadMBAnf},            {"WriteMBAnf", K::Word, WriteMBAnf},
    {"ReadMBEnd", K::Area2, ReadMBEnd},            {"WriteMBEnd", K::Word, WriteMBEnd},
    {"ReadABAnf", K::Area2, ReadABAnf},            {"WriteABAnf", K::Word, WriteABAnf},
    {"ReadABEnd", K::Area2, ReadABEnd},            {"WriteABEnd", K::Word, WriteABEnd},
    {"ReadSP1Wert", K::Number, ReadSP1Wert},       {"WriteSP1Wert", K::Word, WriteSP1Wert},
    {"ReadSP2Wert", K::Number, ReadSP2Wert},       {"WriteSP2Wert", K::Word, WriteSP2Wert},
    {"ReadSP1Hyst", K::Number, ReadSP1Hyst},       {"WriteSP1Hyst", K::Word, WriteSP1Hyst},
    {"ReadSP2Hyst", K::Number, ReadSP2Hyst},       {"WriteSP2Hyst", K::Word, WriteSP2Hyst},
    {"ReadSP1Verz", K::Number, ReadSP1Verz},       {"WriteSP1Verz", K::Word, WriteSP1Verz},
    {"ReadSP2Verz", K::Number, ReadSP2Verz},       {"WriteSP2Verz", K::Word, WriteSP2Verz},
    {"ReadMaxWert", K::Area2, ReadMaxWert},        {"WriteMaxWert", K::Word, WriteMaxWert},
    {"ReadMinWert", K::Area2, ReadMinWert},        {"WriteMinWert", K::Word, WriteMinWert},
    {"ReadMittel", K::Number, ReadMittel},         {"WriteMittel", K::Word, WriteMittel},
    {"ReadEVar", K::Area2, ReadEVar},              {"WriteEVar", K::Word, WriteEVar},
    {"ReadDTxt", K::Area3, ReadDTxt},              {"WriteDTxt", K::Text, WriteDTxt},
    {"ReadBroadcast", K::Number, ReadBroadcast},   {"ResetQtv", K::Status, ResetQtv},
    {"ClearBFlag", K::Status, ClearBFlag},
};

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

void PrintArea(const char* name, const std::uint8_t* area, int count) {
    std::string hex, text;
    for (int i = 0; i < count; ++i) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%s%02X", i ? " " : "", area[i]);
        hex += digits;
        text += std::isprint(area[i]) ? static_cast<char>(area[i]) : '.';
    }
    std::printf("%s: %s  \"%s\"", name, hex.c_str(), text.c_str());
    if (count == 2) {
        const unsigned word = area[0] * 256u + area[1];
        std::printf("  = %u (signed %d)", word, static_cast<int>(static_cast<std::int16_t>(word)));
        const std::string clock = ClockText(name, area[0], area[1]);
        if (!clock.empty()) std::printf("  %s", clock.c_str());
    }
    std::printf("\n");
}

std::string NoValidAnswer(const ExchangeWatch& watch) {
    const std::string why = watch.whyNoValidAnswer();
    return "no valid answer" + (why.empty() ? std::string() : ": " + why);
}

}  // namespace

const std::vector<CommandRow>& CommandTable() { return kTable; }

const CommandRow* FindCommand(std::string_view name) {
    for (const CommandRow& row : kTable)
        if (SameName(row.name, name)) return &row;
    return nullptr;
}

bool TakesValue(CommandKind kind) { return kind == K::Byte || kind == K::Word || kind == K::Text; }

const char* ValueRange(CommandKind kind) {
    switch (kind) {
        case K::Byte: return "0..255";
        case K::Word: return "-32768..65535";
        case K::Text: return "1 to 3 characters";
        default: return "";
    }
}

std::int32_t RunCommand(const CommandRow& row, const CommandValue& value, const ExchangeWatch& watch) {
    std::uint8_t area[4] = {};
    long result = 0;
    // ReadBroadcast asks one station even in broadcast mode; every other read gets no answer then.
    const bool unanswered = Broadcast && !TakesValue(row.kind) && row.kind != K::Status &&
                            !SameName(row.name, "ReadBroadcast");
    const auto word = static_cast<std::uint16_t>(value.number);
    std::visit(Overloaded{
                   [&](std::uint8_t (*f)()) { result = f(); },
                   [&](std::uint16_t (*f)()) { result = f(); },
                   [&](std::int16_t (*f)()) { result = f(); },
                   [&](std::int32_t (*f)()) { result = f(); },
                   [&](std::int32_t (*f)(std::uint8_t*)) { result = f(area); },
                   [&](std::int16_t (*f)(std::uint8_t*)) { result = f(area); },
                   [&](std::int32_t (*f)(std::uint8_t)) { result = f(static_cast<std::uint8_t>(value.number)); },
                   [&](std::int32_t (*f)(std::uint16_t)) { result = f(word); },
                   [&](std::int32_t (*f)(std::int32_t)) { result = f(word); },
                   [&](std::int32_t (*f)(std::int16_t)) { result = f(static_cast<std::int16_t>(word)); },
                   [&](std::int32_t (*f)(std::string_view)) { result = f(value.text); },
               },
               row.function);
    const bool answered = SioErgebnis != 0;
    const bool reads = row.kind == K::Number || row.kind == K::Area2 || row.kind == K::Area3;
    if (row.kind == K::Word) {
        const std::string clock = ClockText(row.name, static_cast<std::uint8_t>(word >> 8),
                                            static_cast<std::uint8_t>(word & 0xFF));
        if (!clock.empty())
            std::printf("%s: %02X %02X  %s\n", row.name, word >> 8, word & 0xFF, clock.c_str());
    }
    if (reads && !answered) {
        std::printf("%s: %s\n", row.name, NoValidAnswer(watch).c_str());
    } else if (row.kind == K::Number) {
        std::printf("%s: %ld\n", row.name, result);
    } else if (row.kind == K::Area2 || row.kind == K::Area3) {
        PrintArea(row.name, area, row.kind == K::Area2 ? 2 : 3);
    } else if (!answered) {
        std::printf("%s: %s\n", row.name, NoValidAnswer(watch).c_str());
    }
    if (unanswered)
        std::printf("(broadcast: no answer is awaited, the value above means nothing)\n");
    std::printf("SioErgebnis: %d\n", SioErgebnis);
    return SioErgebnis;
}
