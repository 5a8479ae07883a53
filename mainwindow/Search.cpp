// "&Suchen": every free address 1..MaxGeraete is asked for its device type, at least one second
// per address; "&Gerätetyp lesen": the active station's type.
//
// The search is a row of steps, one bus job each: the job notes the time, asks the address when
// its slot is free and holds the bus for the rest of the second; its result comes back here,
// where the panel is made and the next step begins. The window stays usable meanwhile; what
// would use the bus or change the station slots is refused until the search has ended
// (RefusedDuringSearch).

#include <QLabel>

#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "mainwindow/Tarvo.h"
#include "dialogs/ActiveStation.h"
#include "mainwindow/TypeCode.h"
#include "platform/Clock.h"
#include "records/EventLog.h"
#include "service/StationType.h"

namespace {
constexpr int kSearchSpacing = 12;
constexpr TColor kFoundBackgnd = clMaroon;
constexpr TColor kFoundText = clRed;

// The number the station at BusAdresse reported, or 0 when it did not answer or reported 0.
std::uint16_t AskType() {
    const std::uint16_t report = ReadID();
    return SioErgebnis >= 1 ? report : 0;
}

// One step on the bus: the address asked when its slot is free (0: not asked), the step held
// for one second of the counter from its start.
std::uint16_t SearchProbe(int address) {
    const HiResCounter& counter = Counter();
    const std::uint64_t start = counter.now();
    std::uint16_t report = 0;
    if (address > 0) {
        BusAdresse = static_cast<std::uint8_t>(address);
        report = AskType();
    }
    WaitForCounter(start + counter.frequency());
    return report;
}
}  // namespace

void TForm1::Suchen1Click() {
    if (RefusedDuringSearch()) return;
    searching_ = true;
    search_ = Search{StopTimer(), MaxGeraete, nullptr, {}};
    SLabel->hide();
    Label1->show();
    SearchStep(1);
}

void TForm1::SearchStep(int n) {
    if (n > search_.last) {
        SearchEnded();
        return;
    }
    Label1->setText(QString::asprintf("Suche Station %2d", n));
    Label1->repaint();
    const int asked = !GeraetBelegt[n] && !GeraetPanel[n] ? n : 0;
    // The search's own steps pass where the windows' jobs are refused.
    PostToBus(ResultJob(
        this, [asked] { return SearchProbe(asked); },
        [this, n](std::uint16_t report) {
            if (report != 0) StationFound(n, report);
            SearchStep(n + 1);
        },
        [this] { SearchEnded(); }));
}

void TForm1::StationFound(int n, std::uint16_t report) {
    QtvInsert(n);
    TQTV3590* p = GeraetPanel[n];
    p->SetSTyp(TypeCodeFromReport(report));
    SetzeTypGruppe(p, p->GetSTyp());
    if (!search_.first) search_.first = p;
    p->move(n * kSearchSpacing, n * kSearchSpacing);
    p->SetHGColor(kFoundBackgnd);
    p->SetTextColor(kFoundText);
    Ereignisse->Add(n, "bei der Suche gefunden, Typ " + TypeCodeText(p->GetSTyp()));
    search_.found += (search_.found.empty() ? "" : ", ") + std::to_string(n);
}

void TForm1::SearchEnded() {
    if (!searching_) return;
    Ereignisse->Add("Suche über die Stationen 1 bis " + std::to_string(search_.last) + ": " +
                    (search_.found.empty() ? std::string("keine Station gefunden") : "gefunden " + search_.found));
    AktivPanel = nullptr;
    Activate(search_.first);
    Label1->hide();
    SLabel->show();
    RestoreTimer(search_.interval);
    searching_ = false;
}

void TForm1::Gertetyplesen1Click() {
    if (RefusedDuringSearch() || RefusedInBroadcastMode()) return;
    // The type goes to the station that is active now, if it is still there when it comes.
    const QPointer<TQTV3590> active = AktivPanel;
    RunOnBus(this, [] { return AskType(); }, [this, active](std::uint16_t report) {
        if (!active || report == 0) return;
        active->SetSTyp(TypeCodeFromReport(report));
        SetzeTypGruppe(active, active->GetSTyp());
    });
}
