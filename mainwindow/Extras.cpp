// The menu "E&xtras": the trend and the export of recordings, and what their windows may know
// of this window (the stations as the panels show them, every poll, the recording folder).

#include <QDir>

#include "extras/ExtrasWindows.h"
#include "mainwindow/Tarvo.h"

void TForm1::CreateExtras() {
    ExtrasContext context;
    context.polls = &pollEvents_;
    context.stations = [this] {
        std::vector<StationInfo> stations;
        for (int n = 0; n < kSlots; ++n) {
            const TQTV3590* p = GeraetPanel[n];
            if (!p || !GeraetBelegt[n]) continue;
            stations.push_back({p->StatAdr, p->GetTitel(), p->GetSBen(), p->GetSZykl(), p->PollStats});
        }
        return stations;
    };
    // Recording files are written by name only, into the working directory.
    context.recordingFolder = [] { return QDir::currentPath(); };
    extras_ = std::make_unique<ExtrasWindows>(std::move(context), this);
    TQTV3590::showTrend = [this](TQTV3590* panel) { extras_->ShowTrend(panel->StatAdr); };
}

void TForm1::Verlauf1Click() { extras_->ShowTrend(AktivPanel ? AktivPanel->StatAdr : -1); }

void TForm1::Exportieren1Click() { extras_->ShowExport(); }
