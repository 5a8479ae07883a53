#pragma once
// The main window started from a configuration text in a scratch folder (also the current folder)
// against the watched simulated bus, with Timer1 stopped so that the test drives the ticks; its
// bus on a thread of its own or inline. Boxes and notes are recorded, never shown.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <string>
#include <vector>

#include "WatchedBus.h"
#include "support/LinkReset.h"
#include "support/ScratchWindow.h"
#include "ui/Messages.h"
#include "link/Sio.h"
#include "mainwindow/Forms.h"
#include "mainwindow/Tarvo.h"

// Stations 1 to 4 with constant values, 6 answering only to a search.
inline const std::string kFiveStations =
    "[Station 1]\nType=3510\nUnit=bar\nValue=1234\n"
    "[Station 2]\nType=3520\nUnit=kWh\nValue=-25\n"
    "[Station 3]\nType=3510\nUnit=bar\nValue=7\n"
    "[Station 4]\nType=3510\nUnit=bar\nValue=400\n"
    "[Station 6]\nType=3590\nUnit=%rF\nValue=55\n";

// Stations 1 to 4 at cycle 1, slots up to 7, every station due at the first tick.
inline const QByteArray kFourPolled =
    "[Form]\nMaxGeraete=7\n"
    "[Geraet 1]\nAdresse=1\nZyklus=1\nBenennung=bar\n"
    "[Geraet 2]\nAdresse=2\nZyklus=1\nBenennung=kWh\n"
    "[Geraet 3]\nAdresse=3\nZyklus=1\nBenennung=bar\n"
    "[Geraet 4]\nAdresse=4\nZyklus=1\nBenennung=bar\n";

// Counts what reaches the application object from the bus's thread (results, steps, events).
class DeliveryCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::MetaCall) ++count;
        return false;
    }
};

// The main window in a scratch folder (ScratchWindow) against the watched simulated bus, its bus
// on a thread of its own or inline, every station due at the first tick.
class WindowOnBus : private LinkReset, public WithBus<WatchedBus>, public ScratchWindow {
public:
    explicit WindowOnBus(BusWorker::Mode mode, const QByteArray& config = kFourPolled,
                         const std::string& busFile = kFiveStations)
        : WithBus<WatchedBus>(busFile), ScratchWindow(mode) {
        start(config);
        for (TQTV3590* p : form().GeraetPanel)
            if (p) p->ZVar = 1;
        bus.watchThreads();
        QCoreApplication::instance()->installEventFilter(&deliveries_);
    }
    ~WindowOnBus() { QCoreApplication::instance()->removeEventFilter(&deliveries_); }

    // Until no job runs or waits and every result has come back to the window: the bus was
    // idle, so everything it had to hand over was on its way, and nothing more came.
    bool settle(int limitMs = 10000) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < limitMs) {
            const bool idle = form().BusIdle();
            const int before = deliveries_.count;
            QCoreApplication::processEvents();
            if (idle && deliveries_.count == before) return true;
            if (!idle) QThread::msleep(1);
        }
        return false;
    }
    // Until the bus is held (WatchedBus::holdAtRequest); the window goes on meanwhile.
    bool waitHeld(int limitMs = 10000) {
        QElapsedTimer waited;
        waited.start();
        while (!bus.held() && waited.elapsed() < limitMs) {
            QCoreApplication::processEvents();
            QThread::msleep(1);
        }
        return bus.held();
    }
    // One tick, and its end.
    bool tick() {
        form().Timer1Timer();
        return settle();
    }
    bool noted() const {
        for (const ShownMessage& m : messages)
            if (m.text == QString::fromUtf8("Während der Suche nicht möglich.")) return true;
        return false;
    }

private:
    DeliveryCounter deliveries_;
};
