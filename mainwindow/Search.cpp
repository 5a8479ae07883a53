// "&Suchen": every free address 1..MaxGeraete is asked for its device type, at least one second
// per address; "&Gerätetyp lesen": the active station's type.

#include <QCoreApplication>
#include <QLabel>
#include <QThread>
#include <QTimer>

#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "mainwindow/Tarvo.h"
#include "mainwindow/TypeCode.h"
#include "platform/Clock.h"
#include "records/EventLog.h"
#include "service/StationType.h"

namespace {
constexpr std::uint64_t kStepMs = 1000;
constexpr int kSearchSpacing = 12;
constexpr TColor kFoundBackgnd = clMaroon;
constexpr TColor kFoundText = clRed;

// The number a station reported, or nothing when it did not answer or reported 0.
std::uint16_t AskType() {
    const std::uint16_t report = ReadID();
    return SioErgebnis >= 1 ? report : 0;
}
}  // namespace

// Repaints may go on, but no click or key is taken while the window waits.
void TForm1::WaitUntil(std::uint64_t deadlineMs) {
    for (std::uint64_t now = CounterMilliseconds(); now < deadlineMs; now = CounterMilliseconds()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(static_cast<unsigned long>(std::min<std::uint64_t>(deadlineMs - now, 10)));
    }
}

void TForm1::Suchen1Click() {
    if (searching_) return;
    searching_ = true;
    const int interval = StopTimer();
    SLabel->hide();
    Label1->show();
    TQTV3590* first = nullptr;
    std::string found;
    for (int n = 1; n <= MaxGeraete; ++n) {
        Label1->setText(QString::asprintf("Suche Station %2d", n));
        Label1->repaint();
        const std::uint64_t start = CounterMilliseconds();
        if (!GeraetBelegt[n] && !GeraetPanel[n]) {
            BusAdresse = static_cast<std::uint8_t>(n);
            if (const std::uint16_t report = AskType()) {
                QtvInsert(n);
                TQTV3590* p = GeraetPanel[n];
                p->SetSTyp(TypeCodeFromReport(report));
                SetzeTypGruppe(p, p->GetSTyp());
                if (!first) first = p;
                p->move(n * kSearchSpacing, n * kSearchSpacing);
                p->SetHGColor(kFoundBackgnd);
                p->SetTextColor(kFoundText);
                Ereignisse->Add(n, "bei der Suche gefunden, Typ " + TypeCodeText(p->GetSTyp()));
                found += (found.empty() ? "" : ", ") + std::to_string(n);
            }
        }
        WaitUntil(start + kStepMs);
    }
    Ereignisse->Add("Suche über die Stationen 1 bis " + std::to_string(MaxGeraete) + ": " +
                    (found.empty() ? std::string("keine Station gefunden") : "gefunden " + found));
    AktivPanel = nullptr;
    Activate(first);
    Label1->hide();
    SLabel->show();
    RestoreTimer(interval);
    searching_ = false;
}

void TForm1::Gertetyplesen1Click() {
    const std::uint16_t report = AskType();
    if (!AktivPanel || report == 0) return;
    AktivPanel->SetSTyp(TypeCodeFromReport(report));
    SetzeTypGruppe(AktivPanel, AktivPanel->GetSTyp());
}
