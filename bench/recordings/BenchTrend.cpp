// From asking for days to the drawn trend: a week of 0.5 s values of one station (read whole), a
// month of 31 stations each every 4.2 s and a year of 0.5 s values of one station (both from the
// files' summaries). For each, the first run with an empty summary cache ("cold") and the median
// of the warm runs after it. The recordings are made once into a scratch folder and kept there
// (a year is 63 million records, about 1.3 GB); the summaries go to a cache folder beside them.
// Then a day full of short pauses (thousands of gaps) drawn again.
//   QT_QPA_PLATFORM=offscreen build/bench_trend [RUNS] [SCRATCH] [RANGE...]   (default /tmp/tarvo-bench-trend, all)

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "WeekOfRecords.h"
#include "extras/TrendChart.h"
#include "extras/TrendWindow.h"
#include "records/Downsample.h"

namespace fs = std::filesystem;

namespace {
const Date kFirst{2026, 11, 30};
constexpr int kAddress = 5;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

ExtrasContext ContextFor(const QString& folder, const QString& cache, int stations = 1) {
    ExtrasContext c;
    c.recordingFolder = [folder] { return folder; };
    c.summaryFolder = cache;
    c.stations = [stations] {
        std::vector<StationInfo> all;
        for (int n = 0; n < stations; ++n) {
            StationInfo s;
            s.address = stations == 1 ? kAddress : n + 1;
            s.title = QStringLiteral("Kessel %1").arg(s.address);
            s.unit = QStringLiteral("bar");
            s.zyklus = stations == 1 ? 1 : 8;
            all.push_back(s);
        }
        return all;
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

// The recordings of a range, made once: a folder that holds its mark is used as it is.
template <typename Make>
std::uint64_t Prepare(const fs::path& folder, Make make) {
    const fs::path done = folder / "complete";
    if (fs::exists(done)) return 0;
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::uint64_t lines = make(folder.string());
    std::ofstream(done) << lines << '\n';
    return lines;
}

struct Range {
    const char* name;
    fs::path folder;
    int stations;
    int days;
};

void Measure(const Range& r, const fs::path& cache, int runs) {
    fs::remove_all(cache);  // the first run makes every summary
    const QString folder = QString::fromStdString(r.folder.string()), cacheText = QString::fromStdString(cache.string());
    const Date last = DateOfDayNumber(DayNumber(kFirst) + r.days - 1);
    std::vector<double> warm;
    double cold = 0;
    for (int i = 0; i <= runs; ++i) {
        TrendWindow w(ContextFor(folder, cacheText, r.stations));
        bool loaded = false;  // the first (live) load: only the last of the stations' loads reports
        QObject::connect(&w, &TrendWindow::loadFinished, [&loaded] { loaded = true; });
        const std::vector<StationInfo> all = ContextFor(folder, cacheText, r.stations).stations();
        for (const StationInfo& s : all) w.AddStation(s.address);
        w.resize(1280, 720);
        w.show();
        QApplication::processEvents();
        while (!loaded) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double ms = ShowDays(w, kFirst, last);
        if (i == 0) cold = ms;
        else warm.push_back(ms);
        if (i == runs)
            std::printf("  %s: %d station(s), %d days, %s, status \"%s\"\n", r.name, r.stations, r.days,
                        w.Summarised() ? "from summaries" : "read whole", qPrintable(w.StatusText()));
    }
    std::printf("%s cold: %.0f ms\n", r.name, cold);
    std::printf("%s: %.0f ms\n", r.name, Median(warm));
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const fs::path scratch = argc > 2 ? fs::path(argv[2]) : fs::path("/tmp/tarvo-bench-trend");
    const Range week{"week", scratch / "week", 1, 7};
    const Range month{"month31", scratch / "month31", 31, 31};
    const Range year{"year", scratch / "year", 1, 365};
    QElapsedTimer making;
    making.start();
    std::uint64_t made = Prepare(week.folder, [](const std::string& f) { return WriteWeekOfRecords(f, kAddress, kFirst, 7); });
    made += Prepare(month.folder, [](const std::string& f) {
        std::uint64_t n = 0;
        for (int a = 1; a <= 31; ++a) n += WriteRecordsEvery(f, a, kFirst, 31, 4200);
        return n;
    });
    made += Prepare(year.folder, [](const std::string& f) {
        std::uint64_t n = 0;  // in pieces of a month: the generator holds a day at a time anyway
        for (int day = 0; day < 365; day += 28) n += WriteWeekOfRecords(f, kAddress, DateOfDayNumber(DayNumber(kFirst) + day), std::min(28, 365 - day));
        return n;
    });
    if (made > 0) std::printf("  recordings made in %s: %llu records in %.0f s\n", scratch.c_str(), (unsigned long long)made, making.elapsed() / 1000.0);
    std::printf("  %d warm runs each; medians:\n", runs);
    for (const Range& r : {week, month, year}) {
        bool asked = argc <= 3;
        for (int i = 3; i < argc; ++i) asked = asked || std::string(argv[i]) == r.name;
        if (asked) Measure(r, scratch / "summaries", runs);
    }

    // A day with a pause of 5 s every 20 s: thousands of gaps, so nearly every pixel column
    // holds one and the line falls into many pieces.
    QTemporaryDir holes;
    WriteWeekOfRecords(holes.path().toStdString(), kAddress, kFirst, 1, 20);
    TrendWindow w(ContextFor(holes.path(), QString()));
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
    std::printf("  a day with a pause every 20 s: %d line pieces; first shown in %.0f ms, redrawn in %.0f ms\n",
                w.Chart()->LinePieces(0), first, Median(again));
    return 0;
}
