// One week of 0.5 s values of one station (about 1.2 million points): the time from asking for
// the days to the drawn trend, split into reading the files, min/max per pixel column and
// drawing; and a day full of short pauses (thousands of gaps) drawn again.
//   QT_QPA_PLATFORM=offscreen build/bench_trend [RUNS]

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "WeekOfRecords.h"
#include "extras/TrendChart.h"
#include "extras/TrendWindow.h"
#include "records/Downsample.h"

namespace {
const Date kFirst{2026, 11, 30};
constexpr int kAddress = 5;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

ExtrasContext ContextFor(const QString& folder) {
    ExtrasContext c;
    c.recordingFolder = [folder] { return folder; };
    c.stations = [] {
        StationInfo s;
        s.address = kAddress;
        s.title = QStringLiteral("Kessel");
        s.unit = QStringLiteral("bar");
        s.zyklus = 1;
        return std::vector<StationInfo>{s};
    };
    return c;
}

// Asks for the days and waits until the window has read them and drawn itself once.
double ShowDays(TrendWindow& w, const Date& from, const Date& to) {
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QObject::connect(&w, &TrendWindow::loadFinished, &loop, &QEventLoop::quit);
    w.LoadDays(from, to);
    loop.exec();
    w.grab();  // paints the chart with what was loaded
    return double(clock.nsecsElapsed()) / 1e6;
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir dir;
    const std::uint64_t lines = WriteWeekOfRecords(dir.path().toStdString(), kAddress, kFirst, 7);
    const Date last = DateOfDayNumber(DayNumber(kFirst) + 6);

    std::vector<double> total, read, reduce, draw;
    std::size_t points = 0;
    for (int i = 0; i < runs; ++i) {
        TrendWindow w(ContextFor(dir.path()));
        w.AddStation(kAddress);
        w.resize(1280, 720);
        w.show();
        QApplication::processEvents();
        total.push_back(ShowDays(w, kFirst, last));

        QElapsedTimer clock;
        clock.start();
        const SeriesLoad load = LoadSeries(FindRecordingFiles(dir.path().toStdString()), 500);
        read.push_back(double(clock.nsecsElapsed()) / 1e6);
        points = load.samples.size();
        clock.restart();
        const DrawnSeries d = Downsample(load.samples, LocalMs(kFirst), LocalMs(NextDay(last)), w.Chart()->Columns());
        reduce.push_back(double(clock.nsecsElapsed()) / 1e6);
        clock.restart();
        w.Chart()->Redraw();
        w.grab();
        draw.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("one week of one station: %llu records, %zu points (gaps included)\n", (unsigned long long)lines, points);
    std::printf("  days asked -> trend drawn: median %.0f ms, worst %.0f ms (goal < 1000 ms), %d runs\n", Median(total),
                *std::max_element(total.begin(), total.end()), runs);
    std::printf("  of it: reading the files %.0f ms, min/max per pixel column %.1f ms, drawing %.1f ms\n", Median(read),
                Median(reduce), Median(draw));

    // A day with a pause of 5 s every 20 s: thousands of gaps, so nearly every pixel column
    // holds one and the line falls into many pieces.
    QTemporaryDir holes;
    WriteWeekOfRecords(holes.path().toStdString(), kAddress, kFirst, 1, 20);
    TrendWindow w(ContextFor(holes.path()));
    w.AddStation(kAddress);
    w.resize(1280, 720);
    w.show();
    QApplication::processEvents();
    const double first = ShowDays(w, kFirst, kFirst);
    std::vector<double> again;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        w.Chart()->Redraw();
        w.grab();
        again.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("a day with a pause every 20 s: %d line pieces; first shown in %.0f ms, redrawn in %.0f ms\n",
                w.Chart()->LinePieces(0), first, Median(again));
    return 0;
}
