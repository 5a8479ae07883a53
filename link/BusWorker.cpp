#include "link/BusWorker.h"

#include <algorithm>
#include <cassert>
#include <exception>

#include "link/LinkEvents.h"

namespace {
thread_local int t_jobDepth = 0;
thread_local const std::atomic<bool>* t_interrupted = nullptr;  // of the job this thread runs
std::atomic<int> g_threadedWorkers{0};  // started and not yet stopped
}  // namespace

CancelToken CancelToken::Create() {
    CancelToken token;
    token.flag_ = std::make_shared<std::atomic<bool>>(false);
    return token;
}

void CancelToken::cancel() const {
    if (flag_) flag_->store(true);
}

bool CancelToken::cancelled() const { return flag_ && flag_->load(); }

BusWorker::BusWorker(Mode mode) : mode_(mode) {
    if (mode_ != Mode::Threaded) return;
    ++g_threadedWorkers;
    counted_ = true;
    thread_ = std::thread([this] { runLoop(); });
}

BusWorker::~BusWorker() { stop(); }

bool BusWorker::post(Job job, CancelToken token, AtExit atExit) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) return false;
        queue_.push_back({std::move(job), std::move(token), atExit});
    }
    if (mode_ == Mode::Inline) drainInline();
    else changed_.notify_all();
    return true;
}

// Takes the first job whose token still lets it run; the cancelled ones before it are dropped.
bool BusWorker::takeNext(Entry& entry) {
    while (!queue_.empty()) {
        Entry next = std::move(queue_.front());
        queue_.pop_front();
        if (next.token.cancelled()) continue;
        entry = std::move(next);
        running_ = true;
        runningKept_ = entry.atExit == AtExit::Run;
        // Cleared with the taking, under the lock: an interrupt that comes from now on is this
        // job's, even before it has begun.
        interrupted_ = false;
        return true;
    }
    return false;
}

bool BusWorker::busyLocked() const {
    return running_ || std::any_of(queue_.begin(), queue_.end(), [](const Entry& e) { return !e.token.cancelled(); });
}

void BusWorker::runEntry(Entry& entry) {
    ++t_jobDepth;
    const std::atomic<bool>* outer = t_interrupted;
    t_interrupted = &interrupted_;
    // A job that throws ends only itself; the jobs behind it still get the bus. The listener of
    // the link hears of it (the program's event log). Whatever the report itself might throw
    // stays here too: this thread must go on serving the bus.
    try {
        try {
            entry.job();
        } catch (const std::exception& e) {
            ReportJobFailure(e.what());
        } catch (...) {
            ReportJobFailure({});
        }
    } catch (...) {
    }
    t_interrupted = outer;
    --t_jobDepth;
    entry = {};  // what the job holds goes now, outside the lock
}

void BusWorker::callIdleHandler(std::unique_lock<std::mutex>& lock) {
    if (!idleHandler_ || stopping_ || busyLocked()) return;
    const std::function<void()> handler = idleHandler_;
    lock.unlock();
    handler();
    lock.lock();
}

void BusWorker::runLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        Entry entry;
        if (takeNext(entry)) {
            lock.unlock();
            runEntry(entry);
            lock.lock();
            running_ = false;
            interrupted_ = false;
            changed_.notify_all();
            callIdleHandler(lock);
        } else {
            changed_.notify_all();  // only dropped jobs were waiting: idle
        }
    }
}

void BusWorker::drainInline() {
    std::unique_lock<std::mutex> lock(mutex_);
    // A job queued by a job runs after it, from the loop of the post that is running it.
    if (draining_) return;
    draining_ = true;
    Entry entry;
    bool ranAny = false;
    while (!stopping_ && takeNext(entry)) {
        lock.unlock();
        runEntry(entry);
        lock.lock();
        running_ = false;
        interrupted_ = false;
        ranAny = true;
    }
    draining_ = false;
    changed_.notify_all();
    if (ranAny) callIdleHandler(lock);
}

std::size_t BusWorker::dropQueued() {
    std::deque<Entry> dropped;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        std::deque<Entry> kept;
        for (Entry& e : queue_) (e.atExit == AtExit::Run ? kept : dropped).push_back(std::move(e));
        queue_.swap(kept);
        changed_.notify_all();
    }
    return static_cast<std::size_t>(
        std::count_if(dropped.begin(), dropped.end(), [](const Entry& e) { return !e.token.cancelled(); }));
}

bool BusWorker::busy() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return busyLocked();
}

bool BusWorker::waitIdle(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, limit, [this] { return !busyLocked(); });
}

void BusWorker::stop() {
    assert(!InJob() && "a job cannot wait for its own end");
    std::deque<Entry> dropped;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        stopping_ = true;
        dropped.swap(queue_);
        changed_.notify_all();
        changed_.wait(lock, [this] { return !running_; });
    }
    if (thread_.joinable()) thread_.join();
    if (counted_) {
        counted_ = false;
        --g_threadedWorkers;
    }
}

void BusWorker::setIdleHandler(std::function<void()> handler) {
    const std::lock_guard<std::mutex> lock(mutex_);
    idleHandler_ = std::move(handler);
}

bool BusWorker::InJob() { return t_jobDepth > 0; }

bool BusWorker::OnLinkThread() { return InJob() || g_threadedWorkers.load() == 0; }

void BusWorker::interruptCurrent() {
    const std::lock_guard<std::mutex> lock(mutex_);
    // Set between two jobs, the next one clears it as it is taken.
    if (running_ && !runningKept_) interrupted_ = true;
}

bool BusWorker::Interrupted() { return t_interrupted && t_interrupted->load(); }
