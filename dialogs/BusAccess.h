#pragma once
// How a window reaches the bus. The main window owns the bus's side (link/BusSide: the worker
// and the state its jobs own) and installs here how a job gets to it; a window hands over what talks to a station (work, run on
// the bus's thread, one job at a time in the order asked) and what to do with its result (done,
// run afterwards on this thread, the user-interface thread, and only while its window still
// exists). So no window waits for the bus, and the link's state (BusAdresse, TeleBuffer,
// SioErgebnis, ...) is touched by the bus's thread alone.
//
// Without an installed poster, work and then done run at once on the calling thread: the
// dialogs' own tests, and whatever runs before the main window exists.
//
// Every job posted through RunOnBus ends in exactly one of two ways: done runs with its result,
// or, when the job never runs (the bus refused it, it was dropped at the end), is interrupted at
// the exit or throws on the bus's thread, `dropped` runs.
// Either runs on this thread, and only while the context object lives.

#include <QObject>
#include <QPointer>
#include <functional>
#include <type_traits>
#include <utility>

#include "link/BusWorker.h"

using BusJob = std::function<void()>;
using AtExit = BusWorker::AtExit;
// Queues a job on the bus; false when the bus does not take it now (the poster has told the
// operator why). atExit: whether the exit may drop it (BusWorker).
using BusPoster = std::function<bool(BusJob job, const CancelToken& token, AtExit atExit)>;
void SetBusPoster(BusPoster poster);  // empty: jobs run at once on the calling thread
bool PostBusJob(BusJob job, const CancelToken& token = {}, AtExit atExit = AtExit::Drop);

// Runs fn on the user-interface thread while `context` lives: at once when called there, else
// queued to it (in the order of the calls). The pointer must have been taken on that thread.
void OnUiThread(const QPointer<QObject>& context, std::function<void()> fn);

// The job, made to call `dropped` on the user-interface thread (while `context` lives) when it is
// destroyed without having run.
BusJob NoticingDrop(const QPointer<QObject>& context, BusJob job, std::function<void()> dropped);

// The job of a RunOnBus, for whoever posts it himself (the main window's own jobs).
template <typename Work, typename Done>
BusJob ResultJob(QObject* context, Work work, Done done, std::function<void()> dropped = {}) {
    using Result = std::invoke_result_t<Work&>;
    const QPointer<QObject> guard(context);
    BusJob job = [guard, work = std::move(work), done = std::move(done)]() mutable {
        // An interrupted job's result is no station's answer: its window hears of a drop.
        if constexpr (std::is_void_v<Result>) {
            work();
            if (!BusWorker::Interrupted()) OnUiThread(guard, [done]() mutable { done(); });
        } else {
            Result result = work();
            if (!BusWorker::Interrupted())
                OnUiThread(guard, [done, result = std::move(result)]() mutable { done(std::move(result)); });
        }
    };
    return NoticingDrop(guard, std::move(job), std::move(dropped));
}

template <typename Work, typename Done>
bool RunOnBus(QObject* context, Work work, Done done, std::function<void()> dropped = {},
              const CancelToken& token = {}, AtExit atExit = AtExit::Drop) {
    return PostBusJob(ResultJob(context, std::move(work), std::move(done), std::move(dropped)), token, atExit);
}
