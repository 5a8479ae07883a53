#pragma once
// The main window's ending, in named stages. "&Beenden" and the close box begin it: the tick in
// progress stops after its current poll, the job in progress before its next exchange, and every
// job that waits is dropped, but the writes the operator confirmed and the link's changes before
// them (BusWorker::AtExit::Run), which run first, in their order. Once the bus is quiet the
// worker stops and the link is the window's thread's again; "&Beenden" writes the configuration
// file before (and, when that fails, gives the ending up: the program runs on).
//
//   Running -> Quieting -> Stopped -> Written
//                 |
//                 +-> Running (the configuration file could not be written)

#include <QObject>
#include <functional>

class BusSide;
class TickBook;

class ExitSequence {
public:
    enum class Stage {
        Running,   // no ending asked for
        Quieting,  // asked for: the window's jobs are refused, the bus ends what it must
        Stopped,   // the worker has stopped: the link is the window's thread's again
        Written,   // ... and "&Beenden" has written the configuration file
    };

    ExitSequence(QObject* window, TickBook& tick) : window_(window), tick_(tick) {}

    Stage stage() const { return stage_; }
    bool Begun() const { return stage_ != Stage::Running; }

    // Begins the ending, or goes on with it. True when nothing runs on the bus any more and
    // nothing it did is still on its way to the window; otherwise `later` runs on the window's
    // thread once the kept jobs and the exchange under way have ended and everything they handed
    // over has come.
    bool Quiet(BusSide* bus, std::function<void()> later);
    // The configuration file could not be written: the program runs on.
    void GiveUp() { stage_ = Stage::Running; }
    // The worker ends (not from inside a job, where it cannot be waited for).
    void StopBus(BusSide* bus);
    void NoteWritten() { stage_ = Stage::Written; }

private:
    QObject* window_;
    TickBook& tick_;
    Stage stage_ = Stage::Running;
};
