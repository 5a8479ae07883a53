// bench_startup [RUNS]: creates the forms from a configuration with 31 stations and shows the
// main window, RUNS times (default 20), offscreen. Prints the median and the longest time to the
// exposed window and the resident memory afterwards. Goal: below 200 ms and 50 MB.
// The port is a line that never opens, so no device of this machine is touched.
// Then the whole process: the program `tarvo` beside this bench started RUNS times on the same
// configuration (its port COM200, which is refused before any open) until it reports its window
// shown (TARVO_REPORT_SHOWN), which adds the process start, the libraries and the toolkit's own
// start-up to the figure above.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/SerialLine.h"
#include "mainwindow/Forms.h"
#include "mainwindow/Tarvo.h"

namespace {
class AbsentLine : public SerialLine {
public:
    bool open(unsigned) override { return false; }
    bool configure() override { return false; }
    void setTimeouts(const SerialTimeouts&) override {}
    long read(std::uint8_t*, std::size_t) override { return -1; }
    bool write(const std::uint8_t*, std::size_t) override { return false; }
    void setRts(bool) override {}
    void close() override {}
    bool isOpen() const override { return false; }
};

QByteArray ThirtyOneStations() {
    QByteArray ini = "[Form]\nTitel=Startzeit\nMaxGeraete=31\nWidth=1200\nHeight=900\n";
    for (int n = 1; n <= 31; ++n) {
        ini += "[Geraet " + QByteArray::number(n) + "]\nAdresse=" + QByteArray::number(n) +
               "\nLeft=" + QByteArray::number(8 + (n - 1) % 8 * 144) + "\nTop=" + QByteArray::number(8 + (n - 1) / 8 * 72) +
               "\nZyklus=" + QByteArray::number(n % 4 + 1) + "\nQtvTyp=13600\nBenennung=bar\nTitel=Station " +
               QByteArray::number(n) + "\nDezimalpunkt=1\nPanelText=0\nPanelHgrund=16777215\n";
    }
    return ini;
}

// Milliseconds from the start of each process to its "shown", or nothing when it never says so.
std::vector<double> WholeStarts(const QString& program, const QString& config, const QString& folder, int runs) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QProcess tarvo;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TARVO_REPORT_SHOWN"), QStringLiteral("1"));
        tarvo.setProcessEnvironment(env);
        tarvo.setWorkingDirectory(folder);  // the event log's daily file lands there
        QElapsedTimer t;
        t.start();
        tarvo.start(program, {QStringLiteral("--config"), config});
        bool shown = false;
        while (!shown && tarvo.waitForReadyRead(5000)) shown = tarvo.readAllStandardOutput().contains("shown");
        if (shown) ms.push_back(t.nsecsElapsed() / 1e6);
        tarvo.kill();
        tarvo.waitForFinished(5000);
        if (!shown) break;
    }
    return ms;
}

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}
}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    SetSerialLineFactory([] { return std::make_unique<AbsentLine>(); });

    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("tarvo.INI"));
    {
        QFile f(config);
        f.open(QIODevice::WriteOnly);
        f.write(ThirtyOneStations());
    }

    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        TForm1* form = CreateForms(config, BusWorker::Mode::Threaded);
        form->show();
        while (!form->windowHandle() || !form->windowHandle()->isExposed()) QApplication::processEvents();
        ms.push_back(t.nsecsElapsed() / 1e6);
        if (i + 1 < runs) DestroyForms();
    }
    const double first = ms.front();
    std::sort(ms.begin(), ms.end());
    std::printf("start-up to exposed window, 31 stations, %d runs: first %.1f ms, median %.1f ms, longest %.1f ms\n",
                runs, first, ms[ms.size() / 2], ms.back());
    std::printf("resident memory with the window shown: %.1f MB\n", ResidentKiB() / 1024.0);
    std::printf("goal: below 200 ms and 50 MB\n");
    DestroyForms();

    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/tarvo");
    if (!QFileInfo(program).isExecutable()) {
        std::printf("whole process: %s not found, not measured\n", qPrintable(program));
        return 0;
    }
    {
        QFile f(config);
        f.open(QIODevice::WriteOnly);
        f.write(ThirtyOneStations().replace("[Form]\n", "[Form]\nSIO=200\n"));
    }
    std::vector<double> whole = WholeStarts(program, config, dir.path(), runs);
    if (whole.size() < static_cast<std::size_t>(runs)) {
        std::printf("whole process: the program did not report its window shown\n");
        return 1;
    }
    const double firstWhole = whole.front();
    std::sort(whole.begin(), whole.end());
    std::printf("whole process start to shown window, 31 stations, %d runs: first %.1f ms, median %.1f ms, longest %.1f ms\n",
                runs, firstWhole, whole[whole.size() / 2], whole.back());
    return 0;
}
