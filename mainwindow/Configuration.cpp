// The configuration file: section "Form" for the window and the port, one section "Geraet n"
// per station slot. Read at start-up, written by "&Beenden" and by "Alle &Zyklen".

#include <algorithm>

#include "mainwindow/ConfigValue.h"
#include "mainwindow/Tarvo.h"
#include "link/Sio.h"

namespace {
// Generous bounds for a window on any desktop; a file value beyond them (a typing slip, a
// damaged file) would ask the toolkit for a window far larger than any memory.
constexpr int kMaxExtent = 8192;
constexpr int kMaxOffset = 16384;

int Extent(std::int32_t v) { return std::clamp<int>(v, 1, kMaxExtent); }
int Offset(std::int32_t v) { return std::clamp<int>(v, -kMaxOffset, kMaxOffset); }
}  // namespace

void TForm1::ReadFormSection(const IniFile& ini) {
    const auto& s = kFormSection;
    // Applied to the window as each key is read, in the stored order.
    const int top = Offset(ReadField<std::int32_t>(ini, s, "Top", 100));
    move(x(), top);
    const int left = Offset(ReadField<std::int32_t>(ini, s, "Left", 100));
    move(left, top);
    const int height = Extent(ReadField<std::int32_t>(ini, s, "Height", 400));
    resize(width(), height);
    const int width = Extent(ReadField<std::int32_t>(ini, s, "Width", 600));
    resize(width, height);
    setWindowTitle(ReadText(ini, s, "Titel", kDefaultTitel));
    SioNr = ReadField<std::uint8_t>(ini, s, "SIO", 1);
    // The slot tables hold addresses 0..31 only.
    MaxGeraete = std::min<std::uint8_t>(ReadField<std::uint8_t>(ini, s, "MaxGeraete", 1), kSlots - 1);
    internet_ = ReadField<std::uint8_t>(ini, s, "Internet", 0);
    HostName = ReadText(ini, s, "HostName", kDefaultHostName);
    LokalIP = ReadText(ini, s, "LokalIP", kDefaultLokalIP);
}

void TForm1::ReadStation(const IniFile& ini, int n) {
    const std::string s = StationSection(n);
    QtvInsert(n);
    TQTV3590* p = GeraetPanel[n];
    p->StatAdr = ReadField<std::uint16_t>(ini, s, "Adresse", 0);
    const int top = ReadField<std::int32_t>(ini, s, "Top", 10);
    const int left = ReadField<std::int32_t>(ini, s, "Left", 10);
    p->move(left, top);
    p->SetSZykl(ReadField<std::uint16_t>(ini, s, "Zyklus", 0));
    // Staggered first polls: slot n comes up n + 10 ticks after start.
    p->ZVar = static_cast<std::uint16_t>(n + 10);
    p->SetSTyp(ReadField<std::uint16_t>(ini, s, "QtvTyp", 0));
    SetzeTypGruppe(p, p->GetSTyp());
    p->SetSBen(ReadText(ini, s, "Benennung", QStringLiteral("   ")));
    p->SetTitel(ReadText(ini, s, "Titel", QStringLiteral("   ")));
    p->Komma = ReadField<std::uint8_t>(ini, s, "Dezimalpunkt", 0);
    p->WriteStatus = ReadField<bool>(ini, s, "Speichern", false);
    if (p->WriteStatus) p->GenerateFileName();
    p->SetTextColor(ReadField<TColor>(ini, s, "PanelText", clBlack));
    p->SetHGColor(ReadField<TColor>(ini, s, "PanelHgrund", clWhite));
    p->SetFrameColor(TQTV3590::kFrameButtonFace);
    ReadAlarmKeys(ini, n);
    p->show();
}

void TForm1::WriteFormSection(IniFile& ini) const {
    const auto& s = kFormSection;
    ini.WriteInteger(s, "Top", y());
    ini.WriteInteger(s, "Left", x());
    ini.WriteInteger(s, "Height", height());
    ini.WriteInteger(s, "Width", width());
    WriteText(ini, s, "Titel", windowTitle());
    ini.WriteInteger(s, "SIO", SioNr);
    ini.WriteInteger(s, "MaxGeraete", MaxGeraete);
    WriteText(ini, s, "HostName", HostName);
    ini.WriteInteger(s, "Internet", internet_);
    WriteText(ini, s, "LokalIP", LokalIP);
}

bool TForm1::GeraetSchreiben(IniFile& ini, int n) const {
    const TQTV3590* p = GeraetPanel[n];
    if (!p) return true;
    const std::string s = StationSection(n);
    ini.WriteInteger(s, "Adresse", p->StatAdr);
    ini.WriteInteger(s, "Top", p->y());
    ini.WriteInteger(s, "Left", p->x());
    ini.WriteInteger(s, "Zyklus", p->GetSZykl());
    ini.WriteInteger(s, "QtvTyp", p->GetSTyp());
    WriteText(ini, s, "Benennung", p->GetSBen());
    WriteText(ini, s, "Titel", p->GetTitel());
    ini.WriteInteger(s, "Dezimalpunkt", p->Komma);
    ini.WriteInteger(s, "Runden", p->Runden);
    ini.WriteInteger(s, "PanelText", p->GetTextColor());
    ini.WriteInteger(s, "PanelHgrund", p->GetHGColor());
    ini.WriteBool(s, "Speichern", p->WriteStatus);
    WriteAlarmKeys(ini, n);
    return true;
}
