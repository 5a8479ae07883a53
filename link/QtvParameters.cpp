#include "link/QtvParameters.h"

#include <iterator>

#include "link/QtvCommands.h"
#include "link/Sio.h"

namespace {

template <class... Fs>
struct Overloaded : Fs... {
    using Fs::operator()...;
};
template <class... Fs>
Overloaded(Fs...) -> Overloaded<Fs...>;

using F = ValueForm;
constexpr long kTwelveBitHigh = 4095;
constexpr long kSignedLow = -32768, kSignedHigh = 32767, kUnsignedHigh = 65535;

constexpr QtvParameter kParameters[] = {
    {0x10, "SP1Aktiv", F::Flag, 0, 1, ReadSP1Aktiv, WriteSP1Aktiv},
    {0x11, "SP2Aktiv", F::Flag, 0, 1, ReadSP2Aktiv, WriteSP2Aktiv},
    {0x12, "SP1Funk", F::Flag, 0, 1, ReadSP1Funk, WriteSP1Funk},
    {0x13, "SP2Funk", F::Flag, 0, 1, ReadSP2Funk, WriteSP2Funk},
    {0x14, "SP1Status", F::Flag, 0, 1, ReadSP1Status, WriteSP1Status},
    {0x15, "SP2Status", F::Flag, 0, 1, ReadSP2Status, WriteSP2Status},
    {0x16, "Durch10", F::Flag, 0, 1, ReadDurch10, WriteDurch10},
    {0x17, "SoMess", F::Flag, 0, 1, ReadSoMess, WriteSoMess},
    {0x18, "UShow", F::Flag, 0, 1, ReadUShow, WriteUShow},
    {0x20, "Komma", F::Code, 0, 15, ReadKomma, WriteKomma},
    {0x21, "Runden", F::Code, 0, 7, ReadRunden, WriteRunden},
    {0x30, "ID", F::None, 0, 0, ReadID, {}},
    {0x31, "MWert", F::None, 0, 0, ReadMWert, {}},
    {0x35, "RTCZeit", F::Time, 0, 0, ReadRTCZeit, WriteRTCZeit},
    {0x36, "RTCTag", F::DayAndWeekday, 0, 0, ReadRTCTag, WriteRTCTag},
    {0x37, "RTCDatum", F::MonthAndYear, 0, 0, ReadRTCDatum, WriteRTCDatum},
    {0x38, "RTCSecZyk", F::SecondsAndCycle, 0, 0, ReadRTCSecZyk, WriteRTCSecZyk},
    {0x40, "MBAnf", F::Signed, kSignedLow, kSignedHigh, ReadMBAnf, WriteMBAnf},
    {0x41, "MBEnd", F::Signed, kSignedLow, kSignedHigh, ReadMBEnd, WriteMBEnd},
    {0x42, "ABAnf", F::Signed, kSignedLow, kSignedHigh, ReadABAnf, WriteABAnf},
    {0x43, "ABEnd", F::Signed, kSignedLow, kSignedHigh, ReadABEnd, WriteABEnd},
    // The switch points, their hysteresis and delays take twelve bits.
    {0x50, "SP1Wert", F::Signed, 0, kTwelveBitHigh, ReadSP1Wert, WriteSP1Wert},
    {0x51, "SP2Wert", F::Signed, 0, kTwelveBitHigh, ReadSP2Wert, WriteSP2Wert},
    {0x52, "SP1Hyst", F::Signed, 0, kTwelveBitHigh, ReadSP1Hyst, WriteSP1Hyst},
    {0x53, "SP2Hyst", F::Signed, 0, kTwelveBitHigh, ReadSP2Hyst, WriteSP2Hyst},
    {0x54, "SP1Verz", F::Unsigned, 0, kTwelveBitHigh, ReadSP1Verz, WriteSP1Verz},
    {0x55, "SP2Verz", F::Unsigned, 0, kTwelveBitHigh, ReadSP2Verz, WriteSP2Verz},
    {0x56, "MaxWert", F::Signed, kSignedLow, kSignedHigh, ReadMaxWert, WriteMaxWert},
    {0x57, "MinWert", F::Signed, kSignedLow, kSignedHigh, ReadMinWert, WriteMinWert},
    {0x58, "Mittel", F::Unsigned, 0, kUnsignedHigh, ReadMittel, WriteMittel},
    {0x59, "EVar", F::Unsigned, 0, kUnsignedHigh, ReadEVar, WriteEVar},
    {0x60, "DTxt", F::Text, 0, 0, ReadDTxt, WriteDTxt},
    {0x61, "Broadcast", F::None, 0, 0, ReadBroadcast, {}},
    {0x1A, "ResetQtv", F::None, 0, 0, {}, ResetQtv},
    {0x1B, "ClearBFlag", F::None, 0, 0, {}, ClearBFlag},
};

}  // namespace

std::span<const QtvParameter> QtvParameters() { return kParameters; }

const QtvParameter* FindQtvParameter(std::uint8_t code) {
    const std::uint8_t readCode = code & static_cast<std::uint8_t>(~kQtvWriteBit);
    for (const QtvParameter& p : kParameters)
        if (p.readCode == readCode) return &p;
    return nullptr;
}

const QtvParameter* FindQtvParameter(std::string_view name) {
    for (const QtvParameter& p : kParameters)
        if (SameName(p.name, name)) return &p;
    return nullptr;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool ReadsArea(const QtvParameter& p) {
    return std::holds_alternative<std::int32_t (*)(std::uint8_t*)>(p.read) ||
           std::holds_alternative<std::int16_t (*)(std::uint8_t*)>(p.read);
}

long RunQtvRead(const QtvParameter& p, std::uint8_t* area) {
    return std::visit(Overloaded{
                          [](std::monostate) { return 0L; },
                          [](auto (*read)()) { return static_cast<long>(read()); },
                          [area](auto (*read)(std::uint8_t*)) { return static_cast<long>(read(area)); },
                      },
                      p.read);
}

std::optional<long> ReadQtvNumber(const QtvParameter& p) {
    std::uint8_t area[4] = {};
    long value = RunQtvRead(p, area);
    if (std::holds_alternative<std::monostate>(p.read) || SioErgebnis == 0) return std::nullopt;
    if (ReadsArea(p)) {
        const auto word = static_cast<std::uint16_t>(area[0] << 8 | area[1]);
        value = p.form == ValueForm::Signed ? static_cast<long>(static_cast<std::int16_t>(word)) : static_cast<long>(word);
    }
    return value;
}

std::int32_t WriteQtvNumber(const QtvParameter& p, long value) {
    const auto word = static_cast<std::uint16_t>(value);
    return std::visit(Overloaded{
                          [](std::monostate) { return std::int32_t{0}; },
                          [](std::int32_t (*write)()) { return write(); },
                          [&](std::int32_t (*write)(std::uint8_t)) { return write(static_cast<std::uint8_t>(value)); },
                          [&](std::int32_t (*write)(std::uint16_t)) { return write(word); },
                          [&](std::int32_t (*write)(std::int32_t)) { return write(word); },
                          [&](std::int32_t (*write)(std::int16_t)) { return write(static_cast<std::int16_t>(word)); },
                          [](std::int32_t (*)(std::string_view)) { return std::int32_t{0}; },
                      },
                      p.write);
}
