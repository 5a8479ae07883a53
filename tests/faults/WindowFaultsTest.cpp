// The main window against misbehaving stations on the simulated line (virtual time), ticks driven
// by the test: what the operator sees (panel colours) and what is kept (records, configuration
// file) when a station misbehaves, when the recording folder cannot be written and when the disk
// is full. WindowFaultsPtyTest repeats one fault and the vanishing device against qtvsim.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <csignal>
#include <memory>
#include <optional>

#include "support/WindowFaults.h"
#include "link/Sio.h"
#include "mainwindow/Forms.h"
#include "mainwindow/Tarvo.h"
#include "sim/BusFile.h"
#include "support/FakeCounter.h"
#include "support/LinkReset.h"
#include "support/ScratchWindow.h"
#include "support/SimLine.h"
#include "ui/Messages.h"

namespace {

// A failed exchange in local mode stays below 1 s; a tick polls the faulty station once and the
// two healthy ones (about 0.15 s each).
constexpr double kTickBoundMs = 2000;

BusConfig FaultBus() {
    BusConfig config;
    config.settings.replyDelayMs = 2;  // as a station on the wire: a short turn-around,
    config.settings.pacing = true;     // then its reply at 4800 baud
    for (const char* station : {"1:3510:bar", "2:3520:kWh", "3:3510:bar"}) AddStationArgument(station, config);
    return config;
}

}  // namespace

class WindowFaults : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<LinkReset> linkReset_;
    std::unique_ptr<FakeCounter> counter_;
    std::unique_ptr<SimulatedBus> sim_;
    std::unique_ptr<ScratchWindow> window_;  // its folder is the current one: recording files land there
    TForm1* form_ = nullptr;

    QString configPath() const { return window_->configPath(); }
    TQTV3590* panel(int n) const { return form_->GeraetPanel[n]; }
    // One tick; how long it took in virtual time: the line's waits on the simulated bus and the
    // busy waits on the counter.
    double tick() {
        const double lineBefore = sim_->nowMs();
        const std::uint64_t counterBefore = counter_->now();
        form_->Timer1Timer();
        const double busyMs = double(counter_->now() - counterBefore) / double(FakeCounter::kPerMs);
        return sim_->nowMs() - lineBefore + busyMs;
    }
    bool answered(int n) const { return PanelAnswered(*panel(n)); }
    QString recordingFile() const { return QDir::current().filePath(panel(kRecording)->FileName); }
    void startWindow() {
        form_ = &window_->start();
        for (int n = 1; n <= 3; ++n) panel(n)->ZVar = 1;  // every station due at the first tick
    }

private slots:
    void initTestCase() {
        std::signal(SIGXFSZ, SIG_IGN);  // a full file is then an error of the write, as a full disk is
    }
    void init() {
        linkReset_ = std::make_unique<LinkReset>();
        counter_ = std::make_unique<FakeCounter>();
        sim_ = std::make_unique<SimulatedBus>(FaultBus());
        window_ = std::make_unique<ScratchWindow>();
        QVERIFY(WriteFile(configPath(), FaultConfiguration()));
        startWindow();
    }
    void cleanup() {
        form_ = nullptr;
        window_.reset();
        sim_.reset();
        counter_.reset();
        linkReset_.reset();
    }

    void stationFaultTurnsWhiteAfterElevenFailuresWhileOthersKeepTheirPace_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("argument");  // -1: none
        QTest::addColumn<bool>("answerStillComes");
        QTest::newRow("silent") << "silent" << -1 << false;
        QTest::newRow("nak") << "nak" << -1 << false;
        QTest::newRow("wrong checksum") << "badsum" << -1 << false;
        QTest::newRow("another address") << "foreign" << 7 << false;
        QTest::newRow("STX then silence") << "stxsilence" << -1 << false;
        QTest::newRow("oversized length") << "longlen" << -1 << false;
        QTest::newRow("garbage") << "garbage" << -1 << false;
        QTest::newRow("trickle of 40 ms a byte") << "trickle" << 40 << true;
    }
    void stationFaultTurnsWhiteAfterElevenFailuresWhileOthersKeepTheirPace() {
        QFETCH(QString, fault);
        QFETCH(int, argument);
        QFETCH(bool, answerStillComes);
        const std::optional<long> arg = argument < 0 ? std::nullopt : std::optional<long>(argument);
        QCOMPARE(SetFault(sim_->station(kFaulty).faults(), fault.toStdString(), arg), std::string());
        const unsigned healthyAcks = sim_->station(kHealthy).record().acks;
        for (int i = 1; i <= kFailuresToWhite; ++i) {
            const double took = tick();
            QVERIFY2(took < kTickBoundMs, qPrintable(QStringLiteral("a tick took %1 ms").arg(took)));
            QVERIFY2(answered(kHealthy), "the healthy station is polled at every tick");
            const bool white = panel(kFaulty)->FrameColor() == clWhite;
            QCOMPARE(white, !answerStillComes && i == kFailuresToWhite);
        }
        QCOMPARE(sim_->station(kHealthy).record().acks, healthyAcks + kFailuresToWhite);
        if (!answerStillComes) QCOMPARE(panel(kFaulty)->ZVar, std::uint16_t{100});

        sim_->station(kFaulty).faults() = Faults{};
        panel(kFaulty)->ZVar = 1;  // the 50 s rest is the polling cycle's own matter
        tick();
        QVERIFY2(answered(kFaulty), "the station recovers when the fault ends");
        QVERIFY(panel(kFaulty)->GetText().endsWith(QStringLiteral(" kWh")));
    }

    void recordingFolderThatCannotBeWrittenFailsSilently() {
        DestroyForms();
        // The current folder removed under the program: no file can be made in it, not even by root.
        const QString folder = QFileInfo(configPath()).absolutePath();
        QVERIFY(QDir(folder).mkdir(QStringLiteral("gone")));
        QDir::setCurrent(folder + QStringLiteral("/gone"));
        QVERIFY(QDir(folder).rmdir(QStringLiteral("gone")));
        startWindow();
        for (int i = 0; i < 3; ++i) tick();
        QDir::setCurrent(folder);
        QVERIFY(answered(kRecording));
        QCOMPARE(panel(kRecording)->CaptionColor(), clRed);
        QVERIFY(panel(kRecording)->WriteStatus);
        QVERIFY(window_->messages.empty());
        form_->Beenden1Click();
        QVERIFY(ReadFile(configPath()).contains("[Geraet 3]\r\nAdresse=3"));
        QVERIFY2(ReadFile(configPath()).contains("Speichern=1"), "the recording setting is kept");
    }

    void fullDiskLosesRecordsOnlyAndKeepsTheConfigurationWhole() {
        tick();
        QVERIFY(QFile::resize(recordingFile(), 0));  // records of the earlier cases out of the way
        for (int i = 0; i < 3; ++i) tick();
        const QByteArray oldConfig = ReadFile(configPath());
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
        const QByteArray configWhileFull = ReadFile(configPath());
        const int complaints = int(window_->messages.size());
        setrlimit(RLIMIT_FSIZE, &saved);

        QVERIFY2(polled, "polling goes on while the disk is full");
        QCOMPARE(configWhileFull, oldConfig);
        QCOMPARE(complaints, 1);  // the operator learns that the file was not written
        QVERIFY2(form_->GeraetBelegt[kHealthy], "the window stays, polling goes on");
        tick();
        QVERIFY2(WholeRecords(ReadFile(recordingFile())), "a record that did not fit leaves no fragment");

        form_->Beenden1Click();
        const QByteArray newConfig = ReadFile(configPath());
        QVERIFY(newConfig.contains("Titel=Netz neu\r\n"));
        QVERIFY(newConfig.endsWith("\r\n"));
        QCOMPARE(newConfig.count("PanelHgrund="), 3);  // every station's section whole
        QCOMPARE(newConfig.count("Speichern="), 3);
    }
};

QTEST_MAIN(WindowFaults)
#include "WindowFaultsTest.moc"
