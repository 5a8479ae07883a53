// Broadcast mode from the menu and from the status line, and polling stopped and started.

#include <QAction>

#include "link/Sio.h"
#include "mainwindow/Tarvo.h"
#include "records/EventLog.h"

namespace {
void LogMode(EventLog& log, bool broadcast) {
    log.Add(broadcast ? "Broadcast-Betrieb eingeschaltet" : "Normalbetrieb eingeschaltet");
}
}  // namespace

// The caption names the mode the next click selects. The link takes the mode as a job, after
// the exchanges asked before; during a search the mode stays as the search began.
void TForm1::Broadcast1Click() {
    if (RefusedDuringSearch()) return;
    broadcast_ = !broadcast_;
    TellLink([on = broadcast_] { Broadcast = on; });
    Broadcast1->setText(broadcast_ ? QStringLiteral("Normalbetrieb") : QStringLiteral("Broadcast"));
    LogMode(*Ereignisse, broadcast_);
}

// The status line shows the mode at the next tick; the menu caption stays as it is.
void TForm1::SwitchBroadcast() {
    if (RefusedDuringSearch()) return;
    broadcast_ = !broadcast_;
    TellLink([on = broadcast_] { Broadcast = on; });
    LogMode(*Ereignisse, broadcast_);
}

void TForm1::StopItemClick() {
    Stop = !Stop;
    StopItem->setText(Stop ? QStringLiteral("&Start") : QStringLiteral("&Stop"));
    Ereignisse->Add(Stop ? "Abfrage angehalten" : "Abfrage wieder gestartet");
}
