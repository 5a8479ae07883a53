// The bus worker: one job at a time in queue order, cancellation of queued jobs, the end that
// waits for the job in progress, results handed back, and the inline mode. No assertion here
// depends on how fast anything runs: held jobs are released by gates, not by sleeping.

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "link/BusWorker.h"
#include "link/LinkEvents.h"

namespace {

using namespace std::chrono_literals;

// A job that tells when it has started and then holds the worker until opened.
struct Gate {
    std::promise<void> started, opened;
    std::shared_future<void> open = opened.get_future().share();
    BusWorker::Job job() {
        return [this] {
            started.set_value();
            open.wait();
        };
    }
};

class Journal {
public:
    void add(int entry) {
        const std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back(entry);
    }
    std::vector<int> entries() const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return entries_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<int> entries_;
};

TEST(BusWorker, JobsFromManyThreadsNeverOverlapAndKeepEachThreadsOrder) {
    constexpr int kProducers = 8, kJobs = 250;
    BusWorker worker;
    std::atomic<int> inFlight{0}, mostInFlight{0};
    std::mutex mutex;
    std::vector<std::vector<int>> ranOf(kProducers);
    std::vector<std::thread::id> threads;
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&, p] {
            for (int i = 0; i < kJobs; ++i) {
                worker.post([&, p, i] {
                    const int now = ++inFlight;
                    int most = mostInFlight.load();
                    while (now > most && !mostInFlight.compare_exchange_weak(most, now)) {
                    }
                    std::this_thread::yield();  // give an overlapping job every chance to show
                    {
                        const std::lock_guard<std::mutex> lock(mutex);
                        ranOf[p].push_back(i);
                        threads.push_back(std::this_thread::get_id());
                    }
                    --inFlight;
                });
            }
        });
    }
    for (std::thread& t : producers) t.join();
    ASSERT_TRUE(worker.waitIdle(60s));
    EXPECT_EQ(mostInFlight.load(), 1);
    for (int p = 0; p < kProducers; ++p) {
        ASSERT_EQ(ranOf[p].size(), static_cast<std::size_t>(kJobs)) << "producer " << p;
        for (int i = 0; i < kJobs; ++i) EXPECT_EQ(ranOf[p][i], i) << "producer " << p;
    }
    for (const std::thread::id& id : threads) {
        EXPECT_EQ(id, threads.front());  // one thread owns the bus
        EXPECT_NE(id, std::this_thread::get_id());
    }
}

TEST(BusWorker, CancellingATokenDropsItsQueuedJobsButNotTheOneInProgress) {
    BusWorker worker;
    Gate gate;
    Journal journal;
    const CancelToken closed = CancelToken::Create(), open = CancelToken::Create();
    bool heldJobEnded = false;
    worker.post(
        [&] {
            gate.job()();
            heldJobEnded = true;
        },
        closed);
    gate.started.get_future().wait();
    worker.post([&] { journal.add(1); }, closed);
    worker.post([&] { journal.add(2); });
    worker.post([] { return 3; }, [&](int v) { journal.add(v); }, closed);
    worker.post([&] { journal.add(4); }, open);
    closed.cancel();
    EXPECT_TRUE(closed.cancelled());
    EXPECT_FALSE(open.cancelled());
    EXPECT_FALSE(CancelToken().cancelled());
    EXPECT_TRUE(worker.busy());  // jobs 2 and 4 still wait
    gate.opened.set_value();
    ASSERT_TRUE(worker.waitIdle(60s));
    EXPECT_TRUE(heldJobEnded);
    EXPECT_EQ(journal.entries(), (std::vector<int>{2, 4}));
    EXPECT_FALSE(worker.busy());
}

TEST(BusWorker, HandsTheResultToTheCompletionOnTheWorkerThread) {
    BusWorker worker;
    std::promise<std::pair<int, bool>> result;
    std::thread::id workThread, doneThread;
    EXPECT_FALSE(BusWorker::InJob());
    worker.post(
        [&] {
            workThread = std::this_thread::get_id();
            return 42;
        },
        [&](int value) {
            doneThread = std::this_thread::get_id();
            result.set_value({value, BusWorker::InJob()});
        });
    const auto [value, inJob] = result.get_future().get();
    EXPECT_EQ(value, 42);
    EXPECT_TRUE(inJob);
    EXPECT_EQ(workThread, doneThread);
    EXPECT_NE(doneThread, std::this_thread::get_id());
}

TEST(BusWorker, StopWaitsForTheJobInProgressDropsTheQueuedAndRefusesNewOnes) {
    BusWorker worker;
    Gate gate;
    Journal journal;
    std::atomic<bool> heldJobEnded{false}, stopReturned{false};
    worker.post([&] {
        gate.job()();
        heldJobEnded = true;
    });
    gate.started.get_future().wait();
    for (int i = 0; i < 3; ++i) worker.post([&journal, i] { journal.add(i); });
    std::thread stopper([&] {
        worker.stop();
        EXPECT_TRUE(heldJobEnded.load());  // never before the job in progress has ended
        stopReturned = true;
    });
    while (worker.post([&journal] { journal.add(99); })) std::this_thread::yield();  // until stopping
    EXPECT_FALSE(stopReturned.load());  // the held job still runs
    EXPECT_FALSE(worker.waitIdle(0ms));
    gate.opened.set_value();
    stopper.join();
    EXPECT_TRUE(stopReturned.load());
    EXPECT_TRUE(journal.entries().empty());
    EXPECT_FALSE(worker.post([] {}));
    EXPECT_FALSE(worker.busy());
}

TEST(BusWorker, DropQueuedCountsTheJobsThatWillNotRun) {
    BusWorker worker;
    Gate gate;
    Journal journal;
    worker.post(gate.job());
    gate.started.get_future().wait();
    const CancelToken token = CancelToken::Create();
    worker.post([&] { journal.add(1); });
    worker.post([&] { journal.add(2); }, token);
    worker.post([&] { journal.add(3); });
    token.cancel();
    EXPECT_EQ(worker.dropQueued(), 2u);  // the cancelled one would not have run anyway
    worker.post([&] { journal.add(4); });
    gate.opened.set_value();
    ASSERT_TRUE(worker.waitIdle(60s));
    EXPECT_EQ(journal.entries(), std::vector<int>{4});
}

TEST(BusWorker, TellsWhenTheLastQueuedJobHasEnded) {
    BusWorker worker;
    Gate gate;
    std::atomic<int> calls{0};
    std::promise<void> idle;
    worker.setIdleHandler([&] {
        if (++calls == 1) idle.set_value();
    });
    worker.post(gate.job());
    gate.started.get_future().wait();
    std::atomic<int> ran{0};
    for (int i = 0; i < 5; ++i) worker.post([&] { ++ran; });
    gate.opened.set_value();
    idle.get_future().wait();
    EXPECT_EQ(ran.load(), 5);  // not before the last of them
    worker.stop();
    EXPECT_EQ(calls.load(), 1);
}

TEST(BusWorker, AJobThatThrowsIsReportedAndDoesNotStopTheOnesBehindIt) {
    std::vector<std::string> failures;  // told on the worker's thread, read after the next job
    LinkEvents events;
    events.jobFailed = [&failures](const std::string& what) { failures.push_back(what); };
    SetLinkEvents(events);
    BusWorker worker;
    std::promise<void> ran;
    worker.post([] { throw std::runtime_error("lost line"); });
    worker.post([] { throw 7; });
    worker.post([&] { ran.set_value(); });
    EXPECT_EQ(ran.get_future().wait_for(60s), std::future_status::ready);
    EXPECT_EQ(failures, (std::vector<std::string>{"lost line", ""}));
    SetLinkEvents({});
}

TEST(BusWorker, InterruptedJobSendsNoFurtherExchangeAndTheNextJobRunsWhole) {
    BusWorker worker;
    Gate gate;
    Journal journal;
    auto exchanges = [&journal, &gate](int first, bool hold) {
        for (int n = first; n < first + 3; ++n) {
            if (BusWorker::Interrupted()) return;
            journal.add(n);
            if (hold && n == first) gate.job()();
        }
    };
    worker.post([&] { exchanges(10, true); });
    gate.started.get_future().wait();
    worker.interruptCurrent();  // during the first exchange: it ends, the other two never start
    worker.post([&] { exchanges(20, false); });
    gate.opened.set_value();
    ASSERT_TRUE(worker.waitIdle(60s));
    EXPECT_EQ(journal.entries(), (std::vector<int>{10, 20, 21, 22}));
    worker.interruptCurrent();  // between jobs: nothing to stop, the next job is not touched
    worker.post([&] { exchanges(30, false); });
    ASSERT_TRUE(worker.waitIdle(60s));
    EXPECT_EQ(journal.entries().size(), 7u);
}

// The exit keeps the writes the operator confirmed: dropping the queue leaves them in their
// order, and an interrupt never reaches one of them.
TEST(BusWorker, JobsToRunAtTheExitSurviveTheDropAndTheInterrupt) {
    BusWorker worker;
    Gate gate, writeGate;
    Journal journal;
    const auto step = [&journal](int n) {
        return [&journal, n] { journal.add(BusWorker::Interrupted() ? -n : n); };
    };
    worker.post(gate.job());
    worker.post(step(1));
    worker.post([&] {
        writeGate.job()();
        step(2)();
    }, {}, BusWorker::AtExit::Run);
    worker.post(step(3));
    worker.post(step(4), {}, BusWorker::AtExit::Run);
    gate.started.get_future().wait();
    EXPECT_EQ(worker.dropQueued(), 2u);
    worker.post(step(5));
    gate.opened.set_value();
    writeGate.started.get_future().wait();
    worker.interruptCurrent();
    writeGate.opened.set_value();
    ASSERT_TRUE(worker.waitIdle(60s));
    EXPECT_EQ(journal.entries(), (std::vector<int>{2, 4, 5}));
}

TEST(BusWorker, TheLinkIsTheWorkersThreadsWhileItRunsAndAnyThreadsBeforeAndAfter) {
    EXPECT_TRUE(BusWorker::OnLinkThread());
    {
        BusWorker worker;
        EXPECT_FALSE(BusWorker::OnLinkThread());
        std::promise<bool> inJob;
        worker.post([&inJob] { inJob.set_value(BusWorker::OnLinkThread()); });
        EXPECT_TRUE(inJob.get_future().get());
        worker.stop();
        EXPECT_TRUE(BusWorker::OnLinkThread());
    }
    BusWorker inlineWorker(BusWorker::Mode::Inline);
    EXPECT_TRUE(BusWorker::OnLinkThread());
}

TEST(BusWorker, InlineModeRunsEachJobBeforePostReturnsAndQueuedJobsAfterTheirParent) {
    BusWorker worker(BusWorker::Mode::Inline);
    Journal journal;
    std::thread::id ranOn;
    int idleCalls = 0;
    worker.setIdleHandler([&] { ++idleCalls; });
    worker.post([&] {
        ranOn = std::this_thread::get_id();
        journal.add(1);
        EXPECT_TRUE(BusWorker::InJob());
        worker.post([&] { journal.add(3); });  // a follow-up waits for its parent's end
        journal.add(2);
    });
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_EQ(journal.entries(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(idleCalls, 1);
    EXPECT_FALSE(worker.busy());
    EXPECT_TRUE(worker.waitIdle(0ms));
    int result = 0;
    worker.post([] { return 7; }, [&](int v) { result = v; });
    EXPECT_EQ(result, 7);
    const CancelToken token = CancelToken::Create();
    token.cancel();
    worker.post([&] { journal.add(4); }, token);
    EXPECT_EQ(journal.entries().size(), 3u);
    worker.stop();
    EXPECT_FALSE(worker.post([&] { journal.add(5); }));
    EXPECT_EQ(journal.entries().size(), 3u);
}

}  // namespace
