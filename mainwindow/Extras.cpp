// The menu "E&xtras": the trend and the export of recordings, and what their windows may know
// of this window (the stations as the panels show them, every poll, the recording folder).

#include <QDir>
#include <cmath>

#include "extras/ExtrasWindows.h"
#include "mainwindow/Tarvo.h"
#include "records/ValueText.h"
#include "records/RecordingSummary.h"

namespace {
// The lines the trend draws across a station's values, in the units the panel shows.
std::vector<TrendLimit> LimitsOf(const TQTV3590& p) {
    std::vector<TrendLimit> limits;
    const double scale = std::pow(10.0, DigitsBehindPoint(p.Komma, p.TypGruppe));
    // The switching points, once the panel holds values read from (or sent to) the station: until
    // then the fields keep their zeros.
    if (p.SP1Wert != 0 || p.SP1Aktiv != 0) limits.push_back({QStringLiteral("SP1"), p.SP1Wert / scale});
    if (p.SP2Wert != 0 || p.SP2Aktiv != 0) limits.push_back({QStringLiteral("SP2"), p.SP2Wert / scale});
    // The alarm limits are kept in the station's unit as shown, so they need no scaling.
    if (p.Alarmgrenzen.oben) limits.push_back({QStringLiteral("Alarm oben"), *p.Alarmgrenzen.oben});
    if (p.Alarmgrenzen.unten) limits.push_back({QStringLiteral("Alarm unten"), *p.Alarmgrenzen.unten});
    return limits;
}
}  // namespace

void TForm1::CreateExtras() {
    ExtrasContext context;
    context.polls = &pollEvents_;
    context.stations = [this] {
        std::vector<StationInfo> stations;
        for (int n = 0; n < kSlots; ++n) {
            const TQTV3590* p = GeraetPanel[n];
            if (!p || !GeraetBelegt[n]) continue;
            stations.push_back({p->StatAdr, p->GetTitel(), p->GetSBen(), p->GetSZykl(), p->PollStats, LimitsOf(*p)});
        }
        return stations;
    };
    // Recording files are written by name only, into the working directory.
    context.recordingFolder = [] { return QDir::currentPath(); };
    context.plantTitle = [this] { return windowTitle(); };
    // Beside the configuration, in a file of its own: the configuration's keys stay as they are.
    context.stateFile = [this] { return configFile_ + QStringLiteral(".Verlauf"); };
    context.summaryFolder = QString::fromStdString(DefaultSummaryFolder());
    extras_ = std::make_unique<ExtrasWindows>(std::move(context), this);
}

void TForm1::Verlauf1Click() { extras_->ShowTrend(AktivPanel ? AktivPanel->StatAdr : -1); }

void TForm1::Exportieren1Click() { extras_->ShowExport(); }
