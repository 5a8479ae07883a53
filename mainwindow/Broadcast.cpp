// Broadcast mode from the menu and from the status line, and polling stopped and started.

#include <QAction>

#include "link/Sio.h"
#include "mainwindow/Tarvo.h"
#include "records/EventLog.h"

namespace {
void LogMode(EventLog& log) {
    log.Add(Broadcast ? "Broadcast-Betrieb eingeschaltet" : "Normalbetrieb eingeschaltet");
}
}  // namespace

// The caption names the mode the next click selects.
void TForm1::Broadcast1Click() {
    Broadcast = !Broadcast;
    Broadcast1->setText(Broadcast ? QStringLiteral("Normalbetrieb") : QStringLiteral("Broadcast"));
    LogMode(*Ereignisse);
}

// The status line shows the mode at the next tick; the menu caption stays as it is.
void TForm1::SwitchBroadcast() {
    Broadcast = !Broadcast;
    LogMode(*Ereignisse);
}

void TForm1::StopItemClick() {
    Stop = !Stop;
    StopItem->setText(Stop ? QStringLiteral("&Start") : QStringLiteral("&Stop"));
    Ereignisse->Add(Stop ? "Abfrage angehalten" : "Abfrage wieder gestartet");
}
