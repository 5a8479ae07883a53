// The main window against a misbehaving qtvsim on a pseudo-terminal, ticks driven by the test:
// what the operator sees (panel colours) and what is kept (records, configuration file) when a
// station misbehaves, when the port's device vanishes and comes back, when the recording folder
// cannot be written and when the disk is full.

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <unistd.h>

#include "SimProcess.h"
#include "dialogs/Messages.h"
#include "link/Sio.h"
#include "mainwindow/Forms.h"
#include "mainwindow/Tarvo.h"
#include "platform/Clock.h"

namespace {

using Clock = std::chrono::steady_clock;

// A failed exchange in local mode stays below 1 s; a tick polls the faulty station once and the
// two healthy ones (about 0.15 s each).
constexpr qint64 kTickBoundMs = 2000;
constexpr int kFailuresToWhite = 11;
constexpr int kHealthy = 1;
constexpr int kFaulty = 2;
constexpr int kRecording = 3;

QByteArray Configuration() {
    QByteArray text = "[Form]\r\nTitel=Netz Störung\r\nSIO=1\r\nMaxGeraete=3\r\n";
    const char* const units[] = {"", "bar", "kWh", "bar"};
    for (int n = 1; n <= 3; ++n) {
        text += QStringLiteral("[Geraet %1]\r\nAdresse=%1\r\nZyklus=1\r\nQtvTyp=13584\r\nBenennung=%2\r\n"
                               "Dezimalpunkt=2\r\nSpeichern=%3\r\n")
                    .arg(n)
                    .arg(QLatin1String(units[n]))
                    .arg(n == kRecording ? 1 : 0)
                    .toUtf8();
    }
    return text;
}

// The steady clock plus a jump the test makes, so that "5 s later" need not be waited for.
class JumpingCounter {
public:
    JumpingCounter() {
        SetCounter({[] { return std::uint64_t{1'000'000'000}; },
                    [this] { return std::uint64_t(Clock::now().time_since_epoch().count()) + jump_; }});
    }
    ~JumpingCounter() { SetCounter({}); }
    void jumpSeconds(int s) { jump_ += std::uint64_t(s) * 1'000'000'000; }

private:
    std::uint64_t jump_ = 0;
};

}  // namespace

class WindowFaults : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString previousDir_;
    SimProcess sim_;
    TForm1* form_ = nullptr;
    QList<ShownMessage> messages_;

    QString configPath() const { return dir_.filePath(QStringLiteral("tarvo.INI")); }
    QString simLink() const { return dir_.filePath(QStringLiteral("ports/COM1")); }
    bool startSim() {
        return sim_.start({QTVSIM_PATH, "--link", simLink().toStdString(), "--station", "1:3510:bar", "--station",
                           "2:3520:kWh", "--station", "3:3510:bar"},
                          dir_.filePath(QStringLiteral("qtvsim.ctl")).toStdString());
    }
    QByteArray readFile(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    TQTV3590* panel(int n) const { return form_->GeraetPanel[n]; }
    // One tick; its duration in ms.
    qint64 tick() {
        const auto start = Clock::now();
        form_->Timer1Timer();
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    }
    bool answered(int n) const {
        return panel(n)->FrameColor() == TQTV3590::kFrameButtonFace && panel(n)->SioFehler == 0 &&
               panel(n)->CaptionColor() != clGreen;
    }
    // The recording file of station 3 today, named as the panel names it.
    QString recordingFile() const { return QDir::current().filePath(panel(kRecording)->FileName); }
    static bool WholeRecords(const QByteArray& content) {
        static const QRegularExpression record(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d([ -][0-9.]+| Ueber| Unter) bar$"));
        if (!content.isEmpty() && !content.endsWith("\r\n")) return false;
        const QList<QByteArray> lines = content.split('\n');
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            if (!lines[i].endsWith('\r') || !record.match(QString::fromLatin1(lines[i].chopped(1))).hasMatch())
                return false;
        }
        return true;
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        previousDir_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());  // recording files land in the current folder
        std::signal(SIGXFSZ, SIG_IGN);  // a full file is then an error of the write, as a full disk is
        SetMessageObserver([this](const ShownMessage& m) { messages_.append(m); });
    }
    void cleanupTestCase() {
        SetMessageObserver({});
        sim_.stop();
        QDir::setCurrent(previousDir_);
    }
    void init() {
        if (!sim_.running()) QVERIFY(startSim());
        QFile config(configPath());
        QVERIFY(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
        config.write(Configuration());
        config.close();
        messages_.clear();
        form_ = CreateForms(configPath());
        form_->Timer1->stop();
        for (int n = 1; n <= 3; ++n) panel(n)->ZVar = 1;  // every station due at the first tick
    }
    void cleanup() {
        DestroyForms();
        form_ = nullptr;
        sim_.control("clear 2 all");
    }

    void stationFaultTurnsWhiteAfterElevenFailuresWhileOthersKeepTheirPace_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("answerStillComes");
        QTest::newRow("silent") << "silent" << false;
        QTest::newRow("nak") << "nak" << false;
        QTest::newRow("wrong checksum") << "badsum" << false;
        QTest::newRow("another address") << "foreign 7" << false;
        QTest::newRow("STX then silence") << "stxsilence" << false;
        QTest::newRow("oversized length") << "longlen" << false;
        QTest::newRow("garbage") << "garbage" << false;
        QTest::newRow("trickle of 40 ms a byte") << "trickle 40" << true;
    }
    void stationFaultTurnsWhiteAfterElevenFailuresWhileOthersKeepTheirPace() {
        QFETCH(QString, fault);
        QFETCH(bool, answerStillComes);
        QVERIFY(sim_.control("fault 2 " + fault.toStdString()).rfind("ok", 0) == 0);
        const long healthyAcks = sim_.queryNumber(kHealthy, "acks");
        for (int i = 1; i <= kFailuresToWhite; ++i) {
            QVERIFY2(tick() < kTickBoundMs, "a tick with a faulty station took too long");
            QVERIFY2(answered(kHealthy), "the healthy station is polled at every tick");
            const bool white = panel(kFaulty)->FrameColor() == clWhite;
            QCOMPARE(white, !answerStillComes && i == kFailuresToWhite);
        }
        QCOMPARE(sim_.queryNumber(kHealthy, "acks"), healthyAcks + kFailuresToWhite);
        if (!answerStillComes) QCOMPARE(panel(kFaulty)->ZVar, std::uint16_t{100});

        QVERIFY(sim_.control("clear 2 all").rfind("ok", 0) == 0);
        panel(kFaulty)->ZVar = 1;  // the 50 s rest is the polling cycle's own matter
        tick();
        QVERIFY2(answered(kFaulty), "the station recovers when the fault ends");
        QVERIFY(panel(kFaulty)->GetText().endsWith(QStringLiteral(" kWh")));
    }

    void vanishedPortIsReopenedFiveSecondsLaterWithoutRestart() {
        JumpingCounter counter;
        tick();
        QVERIFY(answered(kHealthy));
        sim_.kill9();  // the pseudo-terminal goes with it, as an unplugged adapter goes
        QVERIFY(tick() < kTickBoundMs);
        QVERIFY(startSim());
        for (int i = 0; i < 3; ++i) tick();
        QCOMPARE(panel(kHealthy)->SioFehler, std::uint8_t{4});
        QCOMPARE(panel(kHealthy)->FrameColor(), TQTV3590::kFrameButtonFace);

        counter.jumpSeconds(5);
        tick();
        QVERIFY2(answered(kHealthy) && answered(kFaulty) && answered(kRecording), "polling recovers by itself");
        QVERIFY(messages_.isEmpty());
    }

    void recordingFolderThatCannotBeWrittenFailsSilently() {
        DestroyForms();
        // The current folder removed under the program: no file can be made in it, not even by root.
        QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("gone")));
        QDir::setCurrent(dir_.filePath(QStringLiteral("gone")));
        QVERIFY(QDir(dir_.path()).rmdir(QStringLiteral("gone")));
        form_ = CreateForms(configPath());
        form_->Timer1->stop();
        for (int n = 1; n <= 3; ++n) panel(n)->ZVar = 1;
        for (int i = 0; i < 3; ++i) tick();
        QDir::setCurrent(dir_.path());
        QVERIFY(answered(kRecording));
        QCOMPARE(panel(kRecording)->CaptionColor(), clRed);
        QVERIFY(panel(kRecording)->WriteStatus);
        QVERIFY(messages_.isEmpty());
        form_->Beenden1Click();
        QVERIFY(readFile(configPath()).contains("[Geraet 3]\r\nAdresse=3"));
        QVERIFY2(readFile(configPath()).contains("Speichern=1"), "the recording setting is kept");
    }

    void fullDiskLosesRecordsOnlyAndKeepsTheConfigurationWhole() {
        tick();
        QVERIFY(QFile::resize(recordingFile(), 0));  // records of the earlier cases out of the way
        for (int i = 0; i < 3; ++i) tick();
        const QByteArray oldConfig = readFile(configPath());
        const qint64 recorded = QFileInfo(recordingFile()).size();
        QVERIFY(recorded > 0);

        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit full = saved;
        full.rlim_cur = rlim_t(recorded + 10);  // room for part of one more record, not for the configuration
        QVERIFY(full.rlim_cur < rlim_t(oldConfig.size()));
        QVERIFY(setrlimit(RLIMIT_FSIZE, &full) == 0);
        for (int i = 0; i < 3; ++i) tick();
        const bool polled = answered(kHealthy) && answered(kRecording);
        form_->setWindowTitle(QStringLiteral("Netz neu"));
        form_->Beenden1Click();  // the new file does not fit
        const QByteArray configWhileFull = readFile(configPath());
        const int complaints = messages_.size();
        setrlimit(RLIMIT_FSIZE, &saved);

        QVERIFY2(polled, "polling goes on while the disk is full");
        QCOMPARE(configWhileFull, oldConfig);
        QCOMPARE(complaints, 1);  // the operator learns that the file was not written
        QVERIFY2(form_->GeraetBelegt[kHealthy], "the window stays, polling goes on");
        tick();
        QVERIFY2(WholeRecords(readFile(recordingFile())), "a record that did not fit leaves no fragment");

        form_->Beenden1Click();
        const QByteArray newConfig = readFile(configPath());
        QVERIFY(newConfig.contains("Titel=Netz neu\r\n"));
        QVERIFY(newConfig.endsWith("\r\n"));
        QCOMPARE(newConfig.count("PanelHgrund="), 3);  // every station's section whole
        QCOMPARE(newConfig.count("Speichern="), 3);
    }
};

QTEST_MAIN(WindowFaults)
#include "WindowFaultsTest.moc"
