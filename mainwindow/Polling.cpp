// Timer1Timer, the main loop: status line and parameter menu for the active station, beeps for
// telegrams that came out of turn, then one poll of every due station in rising address order.
//
// The tick decides here, on this thread, which stations are due, exactly as the countdowns say,
// and hands the bus's worker one job for the whole tick. The job reopens a lost port, looks for
// stray telegrams and polls the due stations one after the other, BusAdresse back on the active
// station afterwards; every step comes back here in order (caption green, then the result). A
// tick that falls due while the job is still queued or running is skipped (TickBook).

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "mainwindow/Tarvo.h"
#include "service/BusSession.h"
#include "platform/Clock.h"
#include "records/ValueText.h"

namespace {
constexpr int kFailuresBeforeRest = 10;   // the eleventh failure in a row rests the station
constexpr std::uint16_t kRestTicks = 100;  // 50 s at 500 ms
}  // namespace

void TForm1::Timer1Timer() {
    if (!tick_.Due()) return;
    std::vector<std::uint8_t> stray, polls;
    if (!AktivPanel) {
        SLabel->setText(QStringLiteral("Passiv"));
        ItParam->menuAction()->setEnabled(false);
        PostTick({}, {}, std::nullopt);
        return;
    }
    ApplyPendingAddressChange();
    AdaptParameterMenu();
    for (int a = 0; a <= MaxGeraete; ++a) {
        TQTV3590* p = GeraetPanel[a];
        if (!p || !GeraetBelegt[a] || p->StatAdr >= kSlots) continue;
        tick_.AddStray(p);
        stray.push_back(static_cast<std::uint8_t>(p->StatAdr));
    }
    if (!Stop) polls = tick_.CollectDue(GeraetPanel, GeraetBelegt, MaxGeraete);
    PostTick(std::move(stray), std::move(polls), static_cast<std::uint8_t>(AktivPanel->StatAdr & 0xFF));
}

// activeAddress: none while no station is active; nothing but the port is looked after then.
void TForm1::PostTick(std::vector<std::uint8_t> strayAddresses, std::vector<std::uint8_t> pollAddresses,
                      std::optional<std::uint8_t> activeAddress) {
    const CancelToken token = tick_.Begin();
    const QPointer<QObject> self = self_;
    BusJob job = [self, this, token, stray = std::move(strayAddresses), polls = std::move(pollAddresses),
                  activeAddress] {
        OnUiThread(self, [this] { tick_.Started(); });
        // A port that could not be opened comes back within about 5 s, even while every
        // station rests after its failures and no poll is due.
        RetryCommandSetPort();
        if (!activeAddress) {
            OnUiThread(self, [this] { TickEnded(); });
            return;
        }
        std::vector<bool> strayFound(stray.size(), false);
        if (Internet != 0) {
            for (std::size_t i = 0; i < stray.size(); ++i) {
                std::uint8_t& first = FremdAntworten[stray[i]][0];
                strayFound[i] = first != 0;
                first = 0;
            }
        }
        const bool broadcast = Broadcast;
        OnUiThread(self, [this, broadcast, strayFound] {
            ShowStatusLine(broadcast);
            tick_.BeepForStray(strayFound);
        });
        // Menu commands and dialogs between ticks address the active station.
        BusAdresse = *activeAddress;
        const KeptBusAddress back;
        for (std::size_t i = 0; i < polls.size() && !token.cancelled(); ++i) {
            if (!CommandSetPortOpen()) {
                OnUiThread(self, [this, i] { ShowPollResult(i, PollAnswer{.noPort = true}); });
                continue;
            }
            OnUiThread(self, [this, i] { tick_.ShowStarted(i); });
            BusAdresse = polls[i];
            PollAnswer r;
            r.value = ReadMWert();
            // The exit stopped the tick before this poll's exchange: no answer, and no failure.
            if (BusWorker::Interrupted()) break;
            r.answered = SioErgebnis >= 1;
            r.failure = LastExchangeFailure();
            if (r.answered) {
                // In broadcast mode the value request went to every station unanswered; the
                // station's own value is fetched now.
                if (Broadcast) r.value = ReadBroadcast();
                if (BusWorker::Interrupted()) break;
                r.measured = r.value;
                if (r.value < 0) {
                    Negativ = true;
                    r.value = -r.value;
                }
            }
            r.negativ = Negativ;
            r.broadcast = Broadcast;
            OnUiThread(self, [this, i, r] { ShowPollResult(i, r); });
        }
        OnUiThread(self, [this] { TickEnded(); });
    };
    // A tick dropped before it ran (at the exit) ends all the same on this thread.
    PostToBus(NoticingDrop(self, std::move(job), [this] { TickEnded(); }), token);
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

// The mode as the link has it when the tick's job begins.
void TForm1::ShowStatusLine(bool broadcast) {
    if (!AktivPanel) return;
    const unsigned typ = AktivPanel->GetSTyp();
    const unsigned h = typ >> 8, l = typ & 0xFF;
    SLabel->setText(broadcast ? QString::asprintf("QTV%.2X0-0%.2X = Broadcast", h, l)
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

void TForm1::ShowPollResult(std::size_t index, const PollAnswer& r) {
    const TickBook::Poll* polled = tick_.Shown(index);
    if (!polled) return;
    const TickBook::Poll& poll = *polled;
    TQTV3590* p = poll.panel;
    if (!p) return;  // removed meanwhile
    if (r.noPort) {
        // Nothing was asked, so nothing counts against the station; it is asked at the first
        // tick that finds the port open again.
        p->ZVar = 1;
        p->EndPoll();
        return;
    }
    if (!r.answered) {
        p->ZVar = 1;
        if (++p->SioFehler > kFailuresBeforeRest) {
            p->ZVar = kRestTicks;
            p->SetFrameColor(clWhite);
            p->SioFehler = 0;
        }
    } else {
        p->SetFrameColor(TQTV3590::kFrameButtonFace);
        p->SioFehler = 0;
        p->SetText(QString::fromStdString(
            FormatValueText(r.value, r.negativ, poll.komma, poll.typGruppe, poll.benennung.toStdString())));
        if (p->WriteStatus) {
            p->SetCaptionColor(clRed);
            p->TeleSpeichern(r.broadcast);
        } else {
            p->SetCaptionColor(clBlack);
        }
    }
    ReportPoll(p, poll.address, r);
    p->EndPoll();
}

void TForm1::TickEnded() {
    if (!tick_.End() || exit_.Begun() || !Timer1->isActive()) return;
    // A tick fell due while this one's polls ran: it runs now, and the timer counts on from here,
    // as it did when the tick held the window.
    Timer1->start();
    Timer1Timer();
}

// The one point where a poll's result leaves the polling cycle: the panel's statistics and every
// listener (the event log's station watch, the trend windows) learn of it here, in polling order.
void TForm1::ReportPoll(TQTV3590* p, std::uint8_t address, const PollAnswer& answer) {
    PollResult result;
    result.address = address;
    result.time = LocalMilliseconds(LocalNow());
    result.answered = answer.answered;
    result.failure = answer.failure;
    result.value = answer.answered ? answer.measured : 0;
    if (answer.answered) result.text = p->GetText();
    p->PollStats.Add(answer.answered, result.time);
    pollEvents_.Notify(result);
}
