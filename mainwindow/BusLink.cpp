// The main window and the bus's side (link/BusSide: the worker and the state it owns).
//
// Who touches the link's state (BusAdresse, Broadcast, Internet, Negativ, SioErgebnis,
// TeleBuffer, FremdAntworten, the ports, and BusState: the port object and the network link's
// settings): during the start-up this window's thread, before the worker exists; from then on
// the worker's jobs alone, one at a time; at the exit again this thread, once the worker has
// stopped. The link's entry points assert it in debug builds (BusWorker::OnLinkThread). This
// thread never reads or writes that state while the worker runs: what the operator changes of it
// (the active station's address, broadcast mode, the port dialog's choice) goes to the link as a
// job of its own (TellLink, PostWithState), in order with the exchanges, so that the link sees
// the same sequence of states as when everything ran on one thread; what this window shows of
// the settings is its copy, taken from the job's result (TakeLinkSettings). What the link
// reports from the worker (its events, the recovery's hooks) is carried over to this thread.

#include <QTimer>

#include "ui/Messages.h"
#include "link/BusSide.h"
#include "link/LinkEvents.h"
#include "link/NetLink.h"
#include "link/Sio.h"
#include "mainwindow/Tarvo.h"
#include "records/BusEvents.h"

namespace {
void ShowLinkText(const std::string& text) { ShowLinkError(QString::fromStdString(text)); }

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
    // The port object's recovery, on the bus's thread: the setup with the bus's settings; the
    // settings as they are then (the local address cleaned) and the messages go to this thread,
    // in their order.
    hooks.setupNetLink = [self, this](bool internet) {
        BusState& link = bus_->Here();
        std::vector<std::string> messages;
        link.SetupNetLink(internet, [&messages](const std::string& text) { messages.push_back(text); });
        OnUiThread(self, [this, settings = link.Settings(), messages] {
            TakeLinkSettings(settings);
            for (const std::string& text : messages) ShowLinkText(text);
        });
    };
    SetLinkHooks(std::move(hooks));
    SetLinkEvents(DeliveredHere(self, WithPortState(LinkEventsInto(*Ereignisse))));
}

// The bus's side takes over the settings read from the configuration file. Whenever the network
// link is on, its mapping is registered again before the port opens: the redirector may have been
// restarted since the last run. A port that does not open shows as failing polls, not as a
// message. From then on the link's state belongs to the bus's worker.
void TForm1::OpenLink(BusWorker::Mode mode) {
    bus_ = std::make_unique<BusSide>(LinkSettings{SioNr, internet_, HostName.toStdString(), LokalIP.toStdString()},
                                     ConfigFolder().toStdString());
    bus_->PostWithState([this](BusState& link) {
        if (Internet != 0) link.SetupNetLink(true, ShowLinkText);
        InitSio(link.Settings().sioNr);
        TakeLinkSettings(link.Settings());
    });
    bus_->Start(mode);
    SetBusPoster([this](BusJob job, const CancelToken& token, AtExit atExit) {
        return PostFromWindow(std::move(job), token, atExit);
    });
}

bool TForm1::BusIdle() const { return !bus_ || !bus_->Busy(); }

void TForm1::TakeLinkSettings(const LinkSettings& settings) {
    SioNr = settings.sioNr;
    internet_ = settings.internet;
    HostName = QString::fromStdString(settings.hostName);
    LokalIP = QString::fromStdString(settings.lokalIP);
}

// The windows' jobs: refused during a search (the operator is told) and once the exit has begun.
bool TForm1::PostFromWindow(BusJob job, const CancelToken& token, AtExit atExit) {
    if (exit_.Begun() || RefusedDuringSearch()) return false;
    return PostToBus(std::move(job), token, atExit);
}

bool TForm1::PostToBus(BusJob job, const CancelToken& token, AtExit atExit) {
    if (!bus_) {
        // The start-up, before the configuration has been read: the link is this thread's.
        if (!token.cancelled()) job();
        return true;
    }
    return bus_->Post(std::move(job), token, atExit);
}

// Kept at the exit: a write the operator confirmed after this change must reach the station it
// was meant for.
void TForm1::TellLink(std::function<void()> change) { PostToBus(std::move(change), {}, AtExit::Run); }

bool TForm1::RefusedDuringSearch() {
    if (!searching_) return false;
    ShowNote(QString::fromUtf8("Während der Suche nicht möglich."));
    return true;
}
