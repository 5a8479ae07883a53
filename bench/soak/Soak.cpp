// soak: the main window polling eight qtvsim stations at cycle 1 for a given time (default
// 10 minutes), two of them recording and one switching between silent and answering, with
// Timer1 running in the event loop as in the program. Prints the polls done and failed, resident
// memory and open descriptors at start and end, and the recorded lines against the answered polls.
//
//   soak [SECONDS] [--sim PATH-TO-QTVSIM]

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "sim/SimProcess.h"
#include "mainwindow/Forms.h"
#include "mainwindow/Tarvo.h"

namespace {

constexpr int kStations = 8;
constexpr int kSwitching = 8;                  // silent and answering by turns
constexpr int kSwitchEverySeconds = 20;
constexpr std::array<int, 2> kRecording{1, 2};
constexpr int kWarmUpTicks = 20;               // start figures taken after these (fonts, caches)

long ResidentKb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

long OpenDescriptors() {
    long n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n - 1;  // the iterator's own
}

bool IsRecording(int n) { return n == kRecording[0] || n == kRecording[1]; }

QByteArray Configuration() {
    QByteArray text = "[Form]\r\nTitel=Soak\r\nSIO=1\r\nMaxGeraete=8\r\n";
    for (int n = 1; n <= kStations; ++n)
        text += QStringLiteral("[Geraet %1]\r\nAdresse=%1\r\nZyklus=1\r\nQtvTyp=13584\r\nBenennung=bar\r\n"
                               "Dezimalpunkt=1\r\nSpeichern=%2\r\n")
                    .arg(n)
                    .arg(IsRecording(n) ? 1 : 0)
                    .toUtf8();
    return text;
}

// Lines in every recording file of station n in the current folder (one file per day).
long RecordedLines(int n) {
    long lines = 0;
    const QString prefix = QString::asprintf("%2.2d", n);
    for (const QString& name : QDir::current().entryList({prefix + QStringLiteral("??????.QTV")}, QDir::Files)) {
        QFile f(name);
        if (f.open(QIODevice::ReadOnly)) lines += f.readAll().count('\n');
    }
    return lines;
}

struct Figures {
    long polls = 0, failed = 0;
    std::array<long, kStations + 1> answered{};
    long ticks = 0;
    long rssStart = 0, rssEnd = 0, fdStart = 0, fdEnd = 0;
};

// Every poll's result as the polling cycle reports it, on the window's thread once the bus's
// thread has ended the poll. Reading a panel right after a tick was posted would count a tick
// that was skipped (its job still queued) as an answered poll.
void CountPoll(const PollResult& r, Figures& f) {
    ++f.polls;
    if (r.answered && r.address >= 1 && r.address <= kStations) ++f.answered[r.address];
    else if (!r.answered) ++f.failed;
}

void CountTick(Figures& f) {
    if (++f.ticks == kWarmUpTicks) {
        f.rssStart = ResidentKb();
        f.fdStart = OpenDescriptors();
    }
}

int Report(const Figures& f, int seconds) {
    std::printf("soak: %d s, %ld ticks, 8 stations at cycle 1\n", seconds, f.ticks);
    std::printf("polls done:   %ld\npolls failed: %ld\n", f.polls, f.failed);
    std::printf("resident memory: %ld kB at start, %ld kB at end (growth %ld kB, goal <= 1024)\n", f.rssStart,
                f.rssEnd, f.rssEnd - f.rssStart);
    std::printf("open descriptors: %ld at start, %ld at end (growth %ld, goal 0)\n", f.fdStart, f.fdEnd,
                f.fdEnd - f.fdStart);
    long lost = 0;
    for (int n : kRecording) {
        const long lines = RecordedLines(n);
        std::printf("station %d: %ld answered polls, %ld recorded lines, %ld lost\n", n, f.answered[n], lines,
                    f.answered[n] - lines);
        lost += f.answered[n] - lines;
    }
    const bool good = lost == 0 && f.fdEnd <= f.fdStart && f.rssEnd - f.rssStart <= 1024;
    std::printf("verdict: %s\n", good ? "goals met" : "GOALS MISSED");
    return good ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int seconds = 600;
    std::string sim = (QCoreApplication::applicationDirPath() + QStringLiteral("/qtvsim")).toStdString();
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--sim") && i + 1 < args.size()) sim = args[++i].toStdString();
        else if (args[i].toInt() > 0) seconds = args[i].toInt();
        else return std::fprintf(stderr, "usage: soak [SECONDS] [--sim PATH-TO-QTVSIM]\n"), 2;
    }

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());  // the recording files land here
    SimProcess qtvsim;
    std::vector<std::string> simArgs{sim, "--link", dir.filePath(QStringLiteral("ports/COM1")).toStdString()};
    for (int n = 1; n <= kStations; ++n) {
        simArgs.push_back("--station");
        simArgs.push_back(std::to_string(n) + ":3510:bar");
    }
    if (!qtvsim.start(simArgs, dir.filePath(QStringLiteral("qtvsim.ctl")).toStdString()))
        return std::fprintf(stderr, "soak: qtvsim did not start (%s)\n", sim.c_str()), 2;
    QFile config(dir.filePath(QStringLiteral("tarvo.INI")));
    if (!config.open(QIODevice::WriteOnly) || config.write(Configuration()) < 0) return 2;
    config.close();

    TForm1* form = CreateForms(config.fileName(), BusWorker::Mode::Threaded);
    Figures figures;
    form->Polls().Subscribe([&](const PollResult& r) { CountPoll(r, figures); });
    QObject::connect(form->Timer1, &QTimer::timeout, form, [&] { CountTick(figures); });

    bool silent = false;
    QTimer switcher;
    QObject::connect(&switcher, &QTimer::timeout, [&] {
        silent = !silent;
        qtvsim.control(silent ? "fault 8 silent" : "clear 8 all");
    });
    switcher.start(kSwitchEverySeconds * 1000);
    QTimer::singleShot(seconds * 1000, &app, [&] {
        form->Timer1->stop();
        figures.rssEnd = ResidentKb();
        figures.fdEnd = OpenDescriptors();
        app.quit();
    });
    QApplication::exec();
    for (TQTV3590* p : form->GeraetPanel)
        if (p) p->CloseFile();  // all records on disk before they are counted
    const int verdict = Report(figures, seconds);
    DestroyForms();
    qtvsim.stop();
    return verdict;
}
