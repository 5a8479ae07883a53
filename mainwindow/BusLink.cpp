// The main window and the bus's worker.
//
// Who touches the link's state (BusAdresse, Broadcast, Internet, Negativ, SioErgebnis,
// TeleBuffer, FremdAntworten, the ports, the port object SioObjekt): during the start-up this
// window's thread, before the worker exists; from then on the worker's jobs alone, one at a time;
// at the exit again this thread, once the worker has stopped. This thread never reads or writes
// that state while the worker runs: what the operator changes of it (the active station's
// address, broadcast mode) goes to the link as a job of its own (TellLink), in order with the
// exchanges, so that the link sees the same sequence of states as when everything ran on one
// thread. What the link reports from the worker (its events, the recovery's hooks) is carried
// over to this thread.

#include <QTimer>

#include "ui/Messages.h"
#include "link/LinkEvents.h"
#include "link/NetLink.h"
#include "link/Sio.h"
#include "mainwindow/Tarvo.h"
#include "records/BusEvents.h"

namespace {
// The link's events, told on whichever thread runs the link, reach `inner` on this thread, in
// the order they happened.
LinkEvents DeliveredHere(const QPointer<QObject>& window, const LinkEvents& inner) {
    const auto port = [&window](const std::function<void(std::uint8_t)>& f) -> std::function<void(std::uint8_t)> {
        if (!f) return {};
        return [window, f](std::uint8_t portNumber) { OnUiThread(window, [f, portNumber] { f(portNumber); }); };
    };
    const auto opened = [&window](const LinkEvents::PortOpened& f) -> LinkEvents::PortOpened {
        if (!f) return {};
        return [window, f](std::uint8_t portNumber, const std::string& device) {
            OnUiThread(window, [f, portNumber, device] { f(portNumber, device); });
        };
    };
    LinkEvents events;
    events.portOpened = opened(inner.portOpened);
    events.portNotOpened = port(inner.portNotOpened);
    events.portLost = port(inner.portLost);
    events.portReopened = opened(inner.portReopened);
    if (inner.written) {
        events.written = [window, f = inner.written](const WrittenParameter& w) {
            // The data point into the telegram buffer, which the next exchange overwrites.
            std::vector<std::uint8_t> data(w.data, w.data + w.dataCount);
            OnUiThread(window, [f, w, data] {
                WrittenParameter copy = w;
                copy.data = data.data();
                f(copy);
            });
        };
    }
    if (inner.jobFailed) {
        events.jobFailed = [window, f = inner.jobFailed](const std::string& what) {
            OnUiThread(window, [f, what] { f(what); });
        };
    }
    return events;
}
}  // namespace

void TForm1::InstallLinkListeners() {
    const QPointer<QObject> self = self_;
    LinkHooks hooks;
    hooks.stopPolling = [self, this] { OnUiThread(self, [this] { linkRememberedInterval_ = StopTimer(); }); };
    hooks.restartPolling = [self, this] { OnUiThread(self, [this] { RestoreTimer(linkRememberedInterval_); }); };
    hooks.setupNetLink = [this](bool internet) { SetupNetLinkOnBus(internet); };
    SetLinkHooks(std::move(hooks));
    SetLinkEvents(DeliveredHere(self, WithPortState(LinkEventsInto(*Ereignisse))));
}

void TForm1::StartBus(BusWorker::Mode mode) {
    linkNet_ = {SioNr, HostName.toStdString(), LokalIP.toStdString(), ConfigFolder().toStdString()};
    internet_ = Internet;
    busThreaded_ = mode == BusWorker::Mode::Threaded;
    bus_ = std::make_unique<BusWorker>(mode);
    SetBusPoster([this](BusJob job, const CancelToken& token, AtExit atExit) {
        return PostFromWindow(std::move(job), token, atExit);
    });
}

bool TForm1::BusIdle() const { return !bus_ || !bus_->busy(); }

// The windows' jobs: refused during a search (the operator is told) and once the exit has begun.
bool TForm1::PostFromWindow(BusJob job, const CancelToken& token, AtExit atExit) {
    if (exiting_ || RefusedDuringSearch()) return false;
    return PostToBus(std::move(job), token, atExit);
}

bool TForm1::PostToBus(BusJob job, const CancelToken& token, AtExit atExit) {
    if (!bus_) {
        // The start-up: the link is this thread's.
        if (!token.cancelled()) job();
        return true;
    }
    return bus_->post(std::move(job), token, atExit);
}

// Kept at the exit: a write the operator confirmed after this change must reach the station it
// was meant for.
void TForm1::TellLink(std::function<void()> change) { PostToBus(std::move(change), {}, AtExit::Run); }

bool TForm1::RefusedDuringSearch() {
    if (!searching_) return false;
    ShowNote(QString::fromUtf8("Während der Suche nicht möglich."));
    return true;
}

// The tick in progress stops after its current poll, the job in progress before its next
// exchange, and every job that waits is dropped (their windows are told), but the writes the
// operator confirmed and the link's changes before them: those run first, in their order, each
// exchange bounded as always. True when nothing runs any more and nothing it did is still on its
// way here; otherwise `later` runs on this thread once the kept jobs and the exchange under way
// have ended and everything they handed over has come.
bool TForm1::QuietBus(std::function<void()> later) {
    tickToken_.cancel();
    if (!bus_ || busStopped_) return true;
    bus_->dropQueued();
    bus_->interruptCurrent();
    // Inline, every job has ended and handed over before this runs; a job that runs below this
    // call (a box it showed) cannot be waited for here.
    if (!busThreaded_ || BusWorker::InJob()) return true;
    bus_->post(ResultJob(this, [] {}, [later] { later(); }));
    return false;
}

void TForm1::StopBus() {
    tickToken_.cancel();
    if (!bus_ || BusWorker::InJob()) return;
    bus_->stop();
    busStopped_ = true;
}

// The port object's recovery, on the bus's thread: the setup with the bus's copy of the
// settings; the cleaned local address and the messages go to this thread, in their order.
void TForm1::SetupNetLinkOnBus(bool internet) {
    std::vector<std::string> messages;
    SetupNetLink(internet, linkNet_.sioNr, linkNet_.hostName, linkNet_.lokalIP, linkNet_.folder,
                 [&messages](const std::string& text) { messages.push_back(text); });
    OnUiThread(self_, [this, lokalIP = linkNet_.lokalIP, messages] {
        LokalIP = QString::fromStdString(lokalIP);
        for (const std::string& text : messages) ShowLinkError(QString::fromStdString(text));
    });
}
