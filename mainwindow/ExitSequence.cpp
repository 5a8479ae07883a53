#include "mainwindow/ExitSequence.h"

#include "dialogs/BusAccess.h"
#include "link/BusSide.h"
#include "mainwindow/TickBook.h"

bool ExitSequence::Quiet(BusSide* bus, std::function<void()> later) {
    if (stage_ == Stage::Running) stage_ = Stage::Quieting;
    tick_.Cancel();
    if (!bus || !bus->Running()) return true;
    bus->Worker().dropQueued();
    bus->Worker().interruptCurrent();
    // Inline, every job has ended and handed over before this runs; a job that runs below this
    // call (a box it showed) cannot be waited for here.
    if (!bus->Threaded() || BusWorker::InJob()) return true;
    bus->Post(ResultJob(window_, [] {}, [later] { later(); }));
    return false;
}

void ExitSequence::StopBus(BusSide* bus) {
    tick_.Cancel();
    if (!bus || BusWorker::InJob()) return;
    bus->Stop();
    if (stage_ != Stage::Written) stage_ = Stage::Stopped;
}
