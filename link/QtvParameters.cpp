#include "link/QtvParameters.h"

#include <iterator>

namespace {

constexpr QtvParameter kParameters[] = {
    {0x10, "SP1Aktiv", ValueForm::Flag},
    {0x11, "SP2Aktiv", ValueForm::Flag},
    {0x12, "SP1Funk", ValueForm::Flag},
    {0x13, "SP2Funk", ValueForm::Flag},
    {0x14, "SP1Status", ValueForm::Flag},
    {0x15, "SP2Status", ValueForm::Flag},
    {0x16, "Durch10", ValueForm::Flag},
    {0x17, "SoMess", ValueForm::Flag},
    {0x18, "UShow", ValueForm::Flag},
    {0x1A, "ResetQtv", ValueForm::None},
    {0x1B, "ClearBFlag", ValueForm::None},
    {0x20, "Komma", ValueForm::Code},
    {0x21, "Runden", ValueForm::Code},
    {0x30, "ID", ValueForm::None},
    {0x31, "MWert", ValueForm::None},
    {0x35, "RTCZeit", ValueForm::Time},
    {0x36, "RTCTag", ValueForm::DayAndWeekday},
    {0x37, "RTCDatum", ValueForm::MonthAndYear},
    {0x38, "RTCSecZyk", ValueForm::SecondsAndCycle},
    {0x40, "MBAnf", ValueForm::Signed},
    {0x41, "MBEnd", ValueForm::Signed},
    {0x42, "ABAnf", ValueForm::Signed},
    {0x43, "ABEnd", ValueForm::Signed},
    {0x50, "SP1Wert", ValueForm::Signed},
    {0x51, "SP2Wert", ValueForm::Signed},
    {0x52, "SP1Hyst", ValueForm::Signed},
    {0x53, "SP2Hyst", ValueForm::Signed},
    {0x54, "SP1Verz", ValueForm::Unsigned},
    {0x55, "SP2Verz", ValueForm::Unsigned},
    {0x56, "MaxWert", ValueForm::Signed},
    {0x57, "MinWert", ValueForm::Signed},
    {0x58, "Mittel", ValueForm::Unsigned},
    {0x59, "EVar", ValueForm::Unsigned},
    {0x60, "DTxt", ValueForm::Text},
    {0x61, "Broadcast", ValueForm::None},
};

}  // namespace

const QtvParameter* FindQtvParameter(std::uint8_t code) {
    const std::uint8_t readCode = code & 0x7F;
    for (const QtvParameter& p : kParameters)
        if (p.readCode == readCode) return &p;
    return nullptr;
}
