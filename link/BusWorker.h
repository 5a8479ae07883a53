#pragma once
// The bus worker: one thread that owns the bus. Everything that talks to a station (a poll, a
// dialog's read or send, a search probe, the port object's exchange) is a job: a callable run on
// that thread, one job at a time, in the order the jobs were queued. The link's shared state
// (TeleBuffer, BusAdresse, SioErgebnis, the ports) is then touched by one thread only (the link
// asserts it: OnLinkThread), and the requests go on the wire in the order they were asked for,
// never overlapping. link/BusSide puts the worker together with the state its jobs own.
//
// What a job hands back travels through its completion, run on the worker thread right after the
// job with the job's result; the window wraps it to carry the result over to its own thread.
// A job queued but not yet started can be dropped through its cancellation token (the dialog
// that asked for it has closed); a job in progress always runs to its end, as an exchange must.
// A job queued as one to run at the exit (a write the operator confirmed, a change of the link's
// state it depends on) survives dropQueued and is never interrupted: the exit sends it first.
//
// Inline mode runs every job on the thread that queues it, before post() returns (tests and
// command-line tools): the same order and the same one-at-a-time rule, without a thread.

#include <atomic>
#include <chrono>
#include <concepts>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>

// Shared by the one who may drop jobs and the jobs queued under it. A default token is never
// cancelled; Create() makes one that can be.
class CancelToken {
public:
    CancelToken() = default;
    static CancelToken Create();
    void cancel() const;  // jobs under this token that have not started yet will not run
    bool cancelled() const;

private:
    std::shared_ptr<std::atomic<bool>> flag_;
};

class BusWorker {
public:
    enum class Mode { Threaded, Inline };
    // Whether the exit may drop the job (reads, ticks) or runs it before the end (writes).
    enum class AtExit { Drop, Run };
    using Job = std::function<void()>;

    explicit BusWorker(Mode mode = Mode::Threaded);
    ~BusWorker();  // stop()
    BusWorker(const BusWorker&) = delete;
    BusWorker& operator=(const BusWorker&) = delete;

    // Queues a job; false (and the job dropped) once the worker has been stopped.
    bool post(Job job, CancelToken token = {}, AtExit atExit = AtExit::Drop);

    // Queues `work` and hands its result to `done`, both on the worker thread, done right after
    // work. done is not called when the job is dropped before it starts.
    template <typename Work, typename Done>
        requires std::invocable<Work&> && std::invocable<Done&, std::invoke_result_t<Work&>>
    bool post(Work work, Done done, CancelToken token = {}) {
        return post(Job([work = std::move(work), done = std::move(done)]() mutable { done(work()); }),
                    std::move(token));
    }

    // Drops every queued job that has not started, but those to run at the exit; returns how many.
    std::size_t dropQueued();
    // A job runs or waits.
    bool busy() const;
    // Waits until no job runs or waits; false when that did not happen within `limit`.
    bool waitIdle(std::chrono::milliseconds limit);
    // For the end: no job is taken any more, the queued ones are dropped, the job in progress
    // is awaited. Afterwards post() refuses. Must not be called from a job.
    void stop();

    // Called on the worker thread each time the last queued job has ended (not inside stop()).
    void setIdleHandler(std::function<void()> handler);

    // The calling thread is running a job of a worker now.
    static bool InJob();
    // The link may be used from the calling thread: it runs a job of a worker, or no worker has a
    // thread of its own now (the start-up before the program's worker starts, the end after it
    // has stopped, and wherever the link runs inline: tests and tools). The link's entry points
    // assert it in debug builds.
    static bool OnLinkThread();

    // For the exit, which waits for no more than the exchange under way: the job in progress
    // (unless it is one to run at the exit) makes no further exchange. Jobs started later run as
    // usual.
    void interruptCurrent();
    // Asked by the link as an exchange begins, and by a job between its steps: the job this
    // thread runs has been interrupted. Its exchanges then fail at once without touching the
    // line, and the job ends without a result (its window hears of it as of a dropped job).
    static bool Interrupted();

private:
    struct Entry {
        Job job;
        CancelToken token;
        AtExit atExit = AtExit::Drop;
    };
    void runLoop();
    void drainInline();
    bool takeNext(Entry& entry);
    bool busyLocked() const;
    void runEntry(Entry& entry);
    void callIdleHandler(std::unique_lock<std::mutex>& lock);

    const Mode mode_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Entry> queue_;
    bool running_ = false;   // a job is in progress
    bool runningKept_ = false;  // ... one to run at the exit
    // ... and is to stop before its next exchange: set and cleared under the lock, read by the job
    std::atomic<bool> interrupted_{false};
    bool draining_ = false;  // inline mode: a thread is running the queue
    bool stopping_ = false;
    std::function<void()> idleHandler_;
    std::thread thread_;
    bool counted_ = false;  // one of the workers with a thread of their own (OnLinkThread)
};
