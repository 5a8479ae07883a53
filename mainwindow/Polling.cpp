// Timer1Timer, the main loop: status line and parameter menu for the active station, beeps for
// telegrams that came out of turn, then one poll of every due station in rising address order.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QScopedValueRollback>

#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "mainwindow/Tarvo.h"
#include "mainwindow/ValueText.h"
#include "platform/Clock.h"

namespace {
constexpr int kFailuresBeforeRest = 10;   // the eleventh failure in a row rests the station
constexpr std::uint16_t kRestTicks = 100;  // 50 s at 500 ms
}  // namespace

void TForm1::Timer1Timer() {
    // A message box of the link's recovery runs an event loop inside a poll; a tick from there
    // would poll in the middle of a poll.
    if (ticking_) return;
    const QScopedValueRollback<bool> ticking(ticking_, true);
    // A port that could not be opened comes back within about 5 s, even while every station
    // rests after its failures and no poll is due.
    RetryCommandSetPort();
    if (!AktivPanel) {
        SLabel->setText(QStringLiteral("Passiv"));
        ItParam->menuAction()->setEnabled(false);
        return;
    }
    ApplyPendingAddressChange();
    ShowStatusLine();
    AdaptParameterMenu();
    if (Internet != 0) BeepForStrayTelegrams();
    if (Stop) return;
    for (int a = 0; a <= MaxGeraete; ++a) {
        TQTV3590* p = GeraetPanel[a];
        if (!p || !GeraetBelegt[a]) continue;
        if (--p->ZVar != 0) continue;
        PollStation(p);
        // Menu commands and dialogs between ticks address the active station.
        if (AktivPanel) BusAdresse = static_cast<std::uint8_t>(AktivPanel->StatAdr & 0xFF);
    }
}

void TForm1::ApplyPendingAddressChange() {
    TQTV3590* p = AktivPanel;
    if (p->OldAdr == -1) return;
    // The panel leaves the slot that holds it, which is its old address unless the file said
    // otherwise.
    const int from = SlotOf(p);
    const int to = p->StatAdr;
    if (to >= kSlots || (GeraetPanel[to] && GeraetPanel[to] != p)) {
        // The new slot is beyond the table or holds another station: keep the old address
        // rather than drop that station.
        p->StatAdr = static_cast<std::uint16_t>(p->OldAdr);
        p->SetTitel(p->GetTitel());
    } else if (from != to) {
        if (from >= 0) {
            GeraetBelegt[from] = false;
            GeraetPanel[from] = nullptr;
        }
        GeraetBelegt[to] = true;
        GeraetPanel[to] = p;
    }
    AktivPanel = p;
    p->OldAdr = -1;
}

void TForm1::ShowStatusLine() {
    const unsigned typ = AktivPanel->GetSTyp();
    const unsigned h = typ >> 8, l = typ & 0xFF;
    SLabel->setText(Broadcast ? QString::asprintf("QTV%.2X0-0%.2X = Broadcast", h, l)
                              : QString::asprintf("QTV%.2X0-0%.2X = %d", h, l, int(AktivPanel->StatAdr)));
}

void TForm1::AdaptParameterMenu() {
    const unsigned l = AktivPanel->GetSTyp() & 0xFF;
    Messbereich1->setVisible(l != 0x50 && l != 0x60);
    const bool humidity = l == 0x90;
    Messbereich1->setText(humidity ? QStringLiteral("Messart") : QStringLiteral("Messbereich"));
    Sonstiges1->setVisible(!humidity);
    ItParam->menuAction()->setEnabled(true);
}

void TForm1::BeepForStrayTelegrams() {
    for (int a = 0; a <= MaxGeraete; ++a) {
        TQTV3590* p = GeraetPanel[a];
        if (!p || !GeraetBelegt[a] || p->StatAdr >= kSlots) continue;
        std::uint8_t& first = FremdAntworten[p->StatAdr][0];
        if (first == 0) continue;
        QApplication::beep();
        first = 0;
        p->SioFehler = 0;
    }
}

void TForm1::PollStation(TQTV3590* p) {
    p->ZVar = p->GetSZykl();
    p->SetCaptionColor(clGreen);
    p->repaint();  // shows the station as asked while the exchange blocks
    BusAdresse = static_cast<std::uint8_t>(p->StatAdr & 0xFF);
    const QPointer<TQTV3590> alive(p);  // the exchange may run an event loop (see Timer1Timer)
    int v = ReadMWert();
    if (!alive) return;
    const bool answered = SioErgebnis >= 1;
    if (answered) {
        if (Broadcast) {
            v = ReadBroadcast();
            if (!alive) return;
        }
        ShowAnswer(p, v);
    } else {
        CountFailure(p);
    }
    ReportPoll(p, answered, answered ? v : 0);
}

void TForm1::CountFailure(TQTV3590* p) {
    p->ZVar = 1;
    if (++p->SioFehler > kFailuresBeforeRest) {
        p->ZVar = kRestTicks;
        p->SetFrameColor(clWhite);
        p->SioFehler = 0;
    }
    // The text and the caption colour stay as they are (the caption stays green).
}

void TForm1::ShowAnswer(TQTV3590* p, int v) {
    p->SetFrameColor(TQTV3590::kFrameButtonFace);
    p->SioFehler = 0;
    if (v < 0) {
        Negativ = true;
        v = -v;
    }
    p->SetText(FormatValueText(v, Negativ, p->Komma, p->TypGruppe, p->GetSBen()));
    if (p->WriteStatus) {
        p->SetCaptionColor(clRed);
        p->TeleSpeichern(Broadcast);
    } else {
        p->SetCaptionColor(clBlack);
    }
}

// The one point where a poll's result leaves the polling cycle: the panel's statistics and every
// listener (the event log's station watch, the trend windows) learn of it here, in polling order.
void TForm1::ReportPoll(TQTV3590* p, bool answered, int value) {
    PollResult result;
    result.address = p->StatAdr;
    result.time = LocalMilliseconds(LocalNow());
    result.answered = answered;
    result.value = value;
    if (answered) result.text = p->GetText();
    p->PollStats.Add(answered, result.time);
    pollEvents_.Notify(result);
}
