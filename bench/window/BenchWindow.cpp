// bench_window: does the window answer while tarvo works the bus? Tarvo's main window runs in
// this process against qtvsim on a pseudo-terminal, every station at cycle 1, while a probe
// thread sends key presses and posted events (InputProbe.h). Per scenario it prints how long
// input waited (median, worst), the CPU share of the process, and the poll timing on the wire
// from qtvsim's trace against the protocol's floor: one exchange cannot be shorter than its drain
// read (101 ms) plus the pause before the rest of the answer (31.6 ms), 132.6 ms in all (qtvsim
// adds its reply delay of 2 ms); a tick cannot poll N stations faster than N times that.
//
//   xvfb-run -a bench_window [--seconds S] [--only LIST] [--sim PATH-TO-QTVSIM]
//
// LIST: scenarios separated by commas: N (N stations), Ns (N stations, the last one silent, so
// that it is retried at every tick), No (N stations with the station overview open), search (a
// search of 31 free addresses, three stations answering). Default 1,4,12,31,4s,search; S seconds measured per polling scenario (default 15)
// after a warm-up of 1.5 s. Without an X display only posted events are sent (offscreen).
// Each scenario runs in a child process of its own, with its own qtvsim.
// Goal: input answered within 50 ms (median) and 150 ms (worst) in every scenario.

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "InputProbe.h"
#include "sim/SimProcess.h"
#include "WireTrace.h"
#include "mainwindow/Forms.h"
#include "mainwindow/Tarvo.h"

namespace {

constexpr double kExchangeFloorMs = 101.0 + 3000.0 * 1000.0 / 95000.0;
constexpr double kTickMs = 500.0;
constexpr int kWarmUpMs = 1500;
constexpr int kSearchSlots = 31;
const std::vector<int> kSearchAnswering{3, 17, 29};

using Clock = InputProbe::Clock;
using Results = std::map<std::string, double>;

struct Scenario {
    std::string name;
    bool search = false;
    int stations = 0;
    bool lastSilent = false;
    bool overview = false;  // the station overview open beside the window
};

bool ParseScenario(const std::string& text, Scenario& s) {
    s.name = text;
    if (text == "search") return s.search = true;
    std::size_t used = 0;
    try {
        s.stations = std::stoi(text, &used);
    } catch (...) {
        return false;
    }
    s.lastSilent = used < text.size() && text.substr(used) == "s";
    s.overview = used < text.size() && text.substr(used) == "o";
    return s.stations >= 1 && s.stations <= 31 && (used == text.size() || s.lastSilent || s.overview);
}

double CpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void RunEventLoopFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

QByteArray Configuration(const Scenario& s) {
    QByteArray text = "[Form]\r\nTitel=Bench\r\nSIO=1\r\n";
    text += QByteArray("MaxGeraete=") + QByteArray::number(s.search ? kSearchSlots : s.stations) + "\r\n";
    for (int n = 1; !s.search && n <= s.stations; ++n)
        text += QStringLiteral("[Geraet %1]\r\nAdresse=%1\r\nZyklus=1\r\nQtvTyp=13584\r\nBenennung=bar\r\n"
                               "Dezimalpunkt=1\r\n")
                    .arg(n)
                    .toUtf8();
    return text;
}

std::vector<std::string> SimArguments(const Scenario& s, const std::string& sim, const QTemporaryDir& dir) {
    std::vector<std::string> args{sim, "--link", dir.filePath(QStringLiteral("ports/COM1")).toStdString(), "--trace",
                                  dir.filePath(QStringLiteral("wire.log")).toStdString()};
    std::vector<int> addresses = kSearchAnswering;
    if (!s.search) {
        addresses.clear();
        for (int n = 1; n <= s.stations; ++n) addresses.push_back(n);
    }
    for (int n : addresses) {
        args.push_back("--station");
        args.push_back(std::to_string(n) + ":3510:bar");
    }
    return args;
}

// Runs the search as the menu item does and returns once its progress label has gone again.
void RunSearch(TForm1& form) {
    QEventLoop loop;
    bool seen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!form.Label1->isHidden()) seen = true;
        else if (seen) loop.quit();
    });
    watch.start(20);
    QTimer::singleShot(0, &form, [&form] { form.Suchen1Click(); });
    loop.exec();
}

// One scenario in this process; prints its figures as key=value pairs on one line.
int RunScenario(const Scenario& s, int seconds, const std::string& sim) {
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    SimProcess qtvsim;
    if (!qtvsim.start(SimArguments(s, sim, dir), dir.filePath(QStringLiteral("qtvsim.ctl")).toStdString())) {
        std::fprintf(stderr, "bench_window: qtvsim did not start (%s)\n", sim.c_str());
        return 2;
    }
    if (s.lastSilent) qtvsim.control("fault " + std::to_string(s.stations) + " silent");
    QFile config(dir.filePath(QStringLiteral("tarvo.INI")));
    if (!config.open(QIODevice::WriteOnly) || config.write(Configuration(s)) < 0) return 2;
    config.close();

    TForm1* form = CreateForms(config.fileName(), BusWorker::Mode::Threaded);
    for (TQTV3590* p : form->GeraetPanel)
        if (p) p->ZVar = 1;  // every station at the first tick, not staggered
    form->show();
    if (s.overview) form->Stationsuebersicht1Click();
    const bool x = QGuiApplication::platformName() == QLatin1String("xcb");
    InputProbe probe(x ? static_cast<unsigned long>(form->winId()) : 0);
    probe.start();
    RunEventLoopFor(kWarmUpMs);

    const Clock::time_point from = Clock::now();
    const double cpuFrom = CpuSeconds();
    if (s.search) RunSearch(*form);
    else RunEventLoopFor(seconds * 1000);
    const Clock::time_point to = Clock::now();
    const double cpu = CpuSeconds() - cpuFrom;
    probe.stop();
    // The probes still on their way arrive once the window is free; polling rests meanwhile, so
    // that waiting for them does not take a tick of 31 stations each time.
    form->Timer1->stop();
    for (const Clock::time_point end = Clock::now() + std::chrono::seconds(10);
         !probe.allAnswered() && Clock::now() < end;)
        RunEventLoopFor(20);
    const InputProbe::Figures f = probe.figures(from, to);
    DestroyForms();
    qtvsim.stop();

    QFile wire(dir.filePath(QStringLiteral("wire.log")));
    wire.open(QIODevice::ReadOnly);
    const std::string trace = wire.readAll().toStdString();
    const double spanMs = Seconds(to - from) * 1000.0;

    Results r;
    r["keys"] = probe.sendsKeys() ? 1 : 0;
    r["keyMedian"] = Quantile(f.keyMs, 0.5);
    r["keyWorst"] = Quantile(f.keyMs, 1.0);
    r["keyUnanswered"] = f.keyUnanswered;
    r["postedMedian"] = Quantile(f.postedMs, 0.5);
    r["postedWorst"] = Quantile(f.postedMs, 1.0);
    r["postedUnanswered"] = f.postedUnanswered;
    r["cpu"] = cpu / Seconds(to - from) * 100.0;
    r["seconds"] = Seconds(to - from);
    if (s.search) {
        std::vector<double> steps;
        const std::vector<WireRequest> asks = ParseRequests(trace, "ReadID");
        for (std::size_t i = 1; i < asks.size(); ++i) steps.push_back(asks[i].ms - asks[i - 1].ms);
        r["asked"] = static_cast<double>(asks.size());
        r["stepMedian"] = Quantile(steps, 0.5);
        r["stepWorst"] = Quantile(steps, 1.0);
    } else {
        // The wire's clock starts with qtvsim; its first poll came at the first tick after show.
        const PollTiming t = MeasurePolls(ParseRequests(trace, "ReadMWert"), kWarmUpMs, spanMs);
        r["pollsPerSecond"] = t.seconds > 0 ? (t.polls - 1) / t.seconds : 0;
        r["spacingMedian"] = Quantile(t.spacing, 0.5);
        r["spacingWorst"] = Quantile(t.spacing, 1.0);
        r["intervalMedian"] = Quantile(t.interval, 0.5);
        r["intervalWorst"] = Quantile(t.interval, 1.0);
    }
    std::string line = "RESULT";
    for (const auto& [key, value] : r) line += " " + key + "=" + std::to_string(value);
    std::printf("%s\n", line.c_str());
    return 0;
}

// --- The parent: one child per scenario, then the tables ------------------------------------------

bool RunChild(const QString& self, const Scenario& s, int seconds, const QString& sim, Results& r) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(self, {QStringLiteral("--run"), QString::fromStdString(s.name), QStringLiteral("--seconds"),
                       QString::number(seconds), QStringLiteral("--sim"), sim});
    const int limitMs = (s.search ? kSearchSlots * 1000 : seconds * 1000) + 90'000;
    if (!child.waitForFinished(limitMs)) {
        child.kill();
        child.waitForFinished();
        return false;
    }
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        if (!line.startsWith("RESULT")) continue;
        for (const QByteArray& pair : line.split(' ')) {
            const qsizetype eq = pair.indexOf('=');
            if (eq > 0) r[pair.left(eq).toStdString()] = pair.mid(eq + 1).toDouble();
        }
        return child.exitCode() == 0;
    }
    return false;
}

std::string Latency(const Results& r, const char* kind) {
    const std::string k = kind;
    if (k == "key" && r.at("keys") == 0) return "      (no X)   ";
    char text[64];
    std::snprintf(text, sizeof text, "%7.1f %7.1f", r.at(k + "Median"), r.at(k + "Worst"));
    std::string out = text;
    if (r.at(k + "Unanswered") > 0) out += " (" + std::to_string(int(r.at(k + "Unanswered"))) + " lost)";
    return out;
}

void PrintPolling(const std::vector<std::pair<Scenario, Results>>& rows, int seconds) {
    std::printf("Polling, every station at cycle 1, %d s each (after %.1f s warm-up). Times in ms.\n", seconds,
                kWarmUpMs / 1000.0);
    std::printf("Wire: exchange spacing = request to request within a tick (floor %.1f); interval = one\n"
                "station's poll to its next (floor: the tick, or N exchanges when they take longer).\n",
                kExchangeFloorMs);
    std::printf("%-12s | key press       | posted event    | CPU    | polls/s | spacing         | interval\n",
                "stations");
    std::printf("%-12s | median   worst  | median   worst  |        |         | median   worst  | median   worst"
                "    floor\n",
                "");
    for (const auto& [s, r] : rows) {
        const int answering = s.stations - (s.lastSilent ? 1 : 0);
        const double floor = std::max(kTickMs, answering * kExchangeFloorMs);
        char floorText[16] = "      -";
        if (!s.lastSilent) std::snprintf(floorText, sizeof floorText, "%8.1f", floor);
        std::printf("%-12s | %-15s | %-15s | %5.1f%% | %7.2f | %7.1f %7.1f | %7.1f %7.1f %s\n",
                    (std::to_string(s.stations) + (s.lastSilent ? ", 1 silent" : s.overview ? ", overview" : "")).c_str(), Latency(r, "key").c_str(),
                    Latency(r, "posted").c_str(), r.at("cpu"), r.at("pollsPerSecond"), r.at("spacingMedian"),
                    r.at("spacingWorst"), r.at("intervalMedian"), r.at("intervalWorst"), floorText);
    }
}

void PrintSearch(const Results& r) {
    std::printf("\nSearch of %d free addresses, %zu stations answering. Times in ms.\n", kSearchSlots,
                kSearchAnswering.size());
    std::printf("key press       | posted event    | CPU    | duration (floor %d s) | asked | step (floor 1000)\n",
                kSearchSlots);
    std::printf("median   worst  | median   worst  |        |                       |       | median   worst\n");
    std::printf("%-15s | %-15s | %5.1f%% | %8.2f s             | %5d | %7.1f %7.1f\n", Latency(r, "key").c_str(),
                Latency(r, "posted").c_str(), r.at("cpu"), r.at("seconds"), int(r.at("asked")), r.at("stepMedian"),
                r.at("stepWorst"));
}

int Usage() {
    std::fprintf(stderr, "usage: bench_window [--seconds S] [--only N,Ns,...,search] [--sim PATH-TO-QTVSIM]\n");
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::string run, only = "1,4,12,31,4s,search";
    int seconds = 15;
    std::string sim;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) return Usage();
        if (a == "--run") run = argv[++i];
        else if (a == "--seconds") seconds = std::max(2, std::atoi(argv[++i]));
        else if (a == "--only") only = argv[++i];
        else if (a == "--sim") sim = argv[++i];
        else return Usage();
    }
    if (!run.empty()) {
        Scenario s;
        if (!ParseScenario(run, s)) return Usage();
        if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return RunScenario(s, seconds, sim);
    }

    QCoreApplication app(argc, argv);
    if (sim.empty()) sim = (QCoreApplication::applicationDirPath() + QStringLiteral("/qtvsim")).toStdString();
    std::vector<Scenario> scenarios;
    for (const QString& name : QString::fromStdString(only).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        Scenario s;
        if (!ParseScenario(name.toStdString(), s)) return Usage();
        scenarios.push_back(s);
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        std::printf("No X display: key presses are not sent (run under xvfb-run -a for them).\n");
    std::vector<std::pair<Scenario, Results>> polling;
    const Results* search = nullptr;
    Results searchResults;
    for (const Scenario& s : scenarios) {
        Results r;
        if (!RunChild(QCoreApplication::applicationFilePath(), s, seconds, QString::fromStdString(sim), r)) {
            std::fprintf(stderr, "bench_window: scenario %s failed\n", s.name.c_str());
            return 1;
        }
        if (s.search) searchResults = r, search = &searchResults;
        else polling.emplace_back(s, r);
    }
    if (!polling.empty()) PrintPolling(polling, seconds);
    if (search) PrintSearch(*search);
    std::printf("\nGoal: input answered within 50 ms (median) and 150 ms (worst) in every scenario.\n");
    return 0;
}
