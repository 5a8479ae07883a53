// bench_startup [RUNS]: creates the forms from a configuration with 31 stations and shows the
// main window, RUNS times (default 20), offscreen. Prints the median and the longest time to the
// exposed window and the resident memory afterwards. Goal: below 200 ms and 50 MB.
// The port is a line that never opens, so no device of this machine is touched.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
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
    return 0;
}
