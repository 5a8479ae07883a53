#include "dialogs/BusAccess.h"

#include <QCoreApplication>
#include <QThread>
#include <memory>

#include "platform/ProcessHooks.h"

namespace {
BusPoster g_poster;
[[maybe_unused]] const bool kPosterHook = RegisterProcessHook(HookKind::Source, "bus poster", SnapshotOf(g_poster));

// Travels with a job; when the last copy of the job goes without the job having run, it calls
// `dropped` on the user-interface thread.
class DropNotice {
public:
    DropNotice(QPointer<QObject> context, std::function<void()> dropped)
        : context_(std::move(context)), dropped_(std::move(dropped)) {}
    ~DropNotice() {
        if (!ran_ && dropped_) OnUiThread(context_, std::move(dropped_));
    }
    DropNotice(const DropNotice&) = delete;
    DropNotice& operator=(const DropNotice&) = delete;
    void ran() { ran_ = true; }

private:
    QPointer<QObject> context_;
    std::function<void()> dropped_;
    bool ran_ = false;  // written by the job's one run, read when its last copy goes
};

bool OnTheUiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}
}  // namespace

void SetBusPoster(BusPoster poster) { g_poster = std::move(poster); }

bool PostBusJob(BusJob job, const CancelToken& token, AtExit atExit) {
    if (g_poster) return g_poster(std::move(job), token, atExit);
    if (token.cancelled()) return false;
    job();
    return true;
}

void OnUiThread(const QPointer<QObject>& context, std::function<void()> fn) {
    if (OnTheUiThread()) {
        if (context) fn();
        return;
    }
    // The application object lives on the user-interface thread for as long as any worker runs;
    // whether the window is still there is asked only there, where it could go.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [context, fn = std::move(fn)] {
            if (context) fn();
        },
        Qt::QueuedConnection);
}

BusJob NoticingDrop(const QPointer<QObject>& context, BusJob job, std::function<void()> dropped) {
    if (!dropped) return job;
    auto notice = std::make_shared<DropNotice>(context, std::move(dropped));
    return [notice, job = std::move(job)] {
        // Marked only once the job has returned: one that throws or was interrupted counts as
        // never run, so its window hears of it as of a drop instead of staying busy for good.
        job();
        if (!BusWorker::Interrupted()) notice->ran();
    };
}
