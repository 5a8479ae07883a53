// The items of "E&xtras" that work on the stations: parameter sets of the active station, the
// clocks of every polled station, and the event log's window.

#include "extras/ClockDlg.h"
#include "extras/EventsDlg.h"
#include "extras/ParameterSetDlg.h"
#include "mainwindow/Tarvo.h"
#include "records/EventLog.h"

namespace {
void RunParameterSet(TParamSetDlg::Action action, TQTV3590* active, QWidget* owner) {
    if (!active) return;
    TParamSetDlg dlg(action, active, owner);
    dlg.exec();
}
}  // namespace

void TForm1::Parametersatzsichern1Click() {
    if (RefusedDuringSearch()) return;
    RunParameterSet(TParamSetDlg::Action::Backup, AktivPanel, this);
}

void TForm1::Parametersatzvergleichen1Click() {
    if (RefusedDuringSearch()) return;
    RunParameterSet(TParamSetDlg::Action::Compare, AktivPanel, this);
}

void TForm1::Parametersatzbertragen1Click() {
    if (RefusedDuringSearch()) return;
    RunParameterSet(TParamSetDlg::Action::Restore, AktivPanel, this);
}

// The stations the polling cycle asks: slots 1 to MaxGeraete that hold a panel.
void TForm1::UhrenallerGertestellen1Click() {
    if (RefusedDuringSearch()) return;
    std::vector<ClockStation> stations;
    for (int n = 1; n <= MaxGeraete && n < kSlots; ++n) {
        const TQTV3590* p = GeraetPanel[n];
        if (p && GeraetBelegt[n])
            stations.push_back({static_cast<std::uint8_t>(p->StatAdr & 0xFF), p->GetTitel()});
    }
    TUhrenDlg dlg(std::move(stations), this);
    dlg.exec();
}

// One window, kept open beside the main window while the operator works.
void TForm1::Ereignisse1Click() {
    if (!ereignisDlg_) ereignisDlg_ = new TEreignisDlg(*Ereignisse, this);
    ereignisDlg_->show();
    ereignisDlg_->raise();
    ereignisDlg_->activateWindow();
}

TEreignisDlg* TForm1::EreignisFenster() const { return ereignisDlg_; }
