// bench_polling [SECONDS]: the main window, offscreen, against qtvsim (beside this program) with
// one station at cycle 1. Polls for SECONDS (default 60) and prints the median and the largest
// deviation of the interval between two polls from 500 ms; then stops polling ("&Stop") for a
// sixth of that time and prints the CPU share the idle program takes.
// Goal: deviation below 2 ms, CPU share below 0.5 %.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QEventLoop>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "link/Sio.h"
#include "mainwindow/Forms.h"
#include "mainwindow/Tarvo.h"
#include "panel/Qtv3590.h"

namespace {
double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

void RunEventLoopFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 60;

    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("ports"));
    QProcess sim;
    sim.start(QCoreApplication::applicationDirPath() + QStringLiteral("/qtvsim"),
              {QStringLiteral("--link"), dir.filePath(QStringLiteral("ports/COM1")), QStringLiteral("--station"),
               QStringLiteral("1:3510:bar")});
    for (int i = 0; i < 100 && !QFile::exists(dir.filePath(QStringLiteral("ports/COM1"))); ++i) QThread::msleep(50);
    if (!QFile::exists(dir.filePath(QStringLiteral("ports/COM1")))) {
        std::fprintf(stderr, "bench_polling: qtvsim did not start (build it: cmake --build <dir> --target qtvsim)\n");
        return 1;
    }
    const QString config = dir.filePath(QStringLiteral("tarvo.INI"));
    {
        QFile f(config);
        f.open(QIODevice::WriteOnly);
        f.write("[Form]\nMaxGeraete=1\n[Geraet 1]\nAdresse=1\nZyklus=1\nBenennung=bar\nDezimalpunkt=1\n");
    }

    // Every request of a poll begins with STX; its time stamp is the poll's.
    std::vector<double> polls;
    QElapsedTimer clock;
    clock.start();
    LinkTrace trace;
    trace.sent = [&](const std::uint8_t* bytes, std::size_t n) {
        if (n > 0 && bytes[0] == STX) polls.push_back(clock.nsecsElapsed() / 1e6);
    };
    SetLinkTrace(trace);

    TForm1* form = CreateForms(config, BusWorker::Mode::Threaded);
    form->GeraetPanel[1]->ZVar = 1;  // no need to wait the staggered first poll
    form->show();
    RunEventLoopFor(seconds * 1000);

    std::vector<double> deviation;
    for (std::size_t i = 1; i < polls.size(); ++i) deviation.push_back(std::fabs(polls[i] - polls[i - 1] - 500.0));
    std::sort(deviation.begin(), deviation.end());
    const std::string answered = form->GeraetPanel[1]->GetText().toStdString();
    if (deviation.empty()) {
        std::printf("no polls in %d s (last text '%s')\n", seconds, answered.c_str());
    } else {
        std::printf("%zu polls in %d s; deviation of the interval from 500 ms: median %.3f ms, largest %.3f ms\n",
                    polls.size(), seconds, deviation[deviation.size() / 2], deviation.back());
        std::printf("last value text: '%s'\n", answered.c_str());
    }

    form->StopItemClick();
    const int idleMs = std::max(1000, seconds * 1000 / 6);
    const double cpuBefore = CpuSeconds();
    RunEventLoopFor(idleMs);
    const double cpuShare = (CpuSeconds() - cpuBefore) / (idleMs / 1000.0) * 100.0;
    std::printf("CPU share with polling stopped, over %.1f s: %.3f %%\n", idleMs / 1000.0, cpuShare);
    std::printf("goal: deviation below 2 ms, CPU share below 0.5 %%\n");

    SetLinkTrace({});
    DestroyForms();
    sim.terminate();
    sim.waitForFinished(3000);
    return 0;
}
