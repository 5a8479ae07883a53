// The main window against qtvsim on a pseudo-terminal, ticks driven by the test, where the device
// itself matters: a station that answers garbage leaves bytes in the real line's buffer that the
// next exchange must drain, and a device that vanishes and comes back is opened again by the
// exchanges. The other faults, and their bound on a tick, are proven on the simulated line
// (WindowFaultsTest).

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "sim/SimProcess.h"
#include "support/WindowFaults.h"
#include "link/Sio.h"
#include "mainwindow/Forms.h"
#include "mainwindow/Tarvo.h"
#include "support/FakeCounter.h"
#include "support/LinkReset.h"
#include "ui/Messages.h"

class WindowFaultsPty : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString previousDir_;
    LinkReset linkReset_;
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
    TQTV3590* panel(int n) const { return form_->GeraetPanel[n]; }
    void tick() { form_->Timer1Timer(); }
    bool answered(int n) const { return PanelAnswered(*panel(n)); }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        previousDir_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());  // recording files land in the current folder
        SetMessageObserver([this](const ShownMessage& m) { messages_.append(m); });
    }
    void cleanupTestCase() {
        SetMessageObserver({});
        sim_.stop();
        QDir::setCurrent(previousDir_);
    }
    void init() {
        if (!sim_.running()) QVERIFY(startSim());
        messages_.clear();
    }
    // The window on the first `stations` stations, every one of them due at the first tick.
    void startWindow(int stations) {
        QVERIFY(WriteFile(configPath(), FaultConfiguration(stations)));
        form_ = CreateForms(configPath(), BusWorker::Mode::Inline);
        form_->Timer1->stop();
        for (int n = 1; n <= stations; ++n) panel(n)->ZVar = 1;
    }
    void cleanup() {
        DestroyForms();
        form_ = nullptr;
        sim_.control("clear 2 all");
        ResetLinkState();
    }

    void garbageTurnsTheStationWhiteAfterElevenFailuresWhileOthersKeepTheirPace() {
        // Two stations: what the faulty one leaves in the line meets the healthy one's exchange
        // at the next tick.
        startWindow(kFaulty);
        QVERIFY(sim_.control("fault 2 garbage").rfind("ok", 0) == 0);
        const long healthyAcks = sim_.queryNumber(kHealthy, "acks");
        for (int i = 1; i <= kFailuresToWhite; ++i) {
            tick();
            QVERIFY2(answered(kHealthy), "the healthy station is polled at every tick, after what the faulty one left");
            QCOMPARE(panel(kFaulty)->FrameColor() == clWhite, i == kFailuresToWhite);
        }
        QCOMPARE(sim_.queryNumber(kHealthy, "acks"), healthyAcks + kFailuresToWhite);
        QCOMPARE(panel(kFaulty)->ZVar, std::uint16_t{100});

        QVERIFY(sim_.control("clear 2 all").rfind("ok", 0) == 0);
        panel(kFaulty)->ZVar = 1;  // the 50 s rest is the polling cycle's own matter
        tick();
        QVERIFY2(answered(kFaulty), "the station recovers when the fault ends");
        QVERIFY(panel(kFaulty)->GetText().endsWith(QStringLiteral(" kWh")));
    }

    void vanishedPortIsReopenedASecondLaterWithoutRestart() {
        // The exchanges' own pauses pass for real on the device; the second before a reopen is jumped.
        FakeCounter counter{FakeCounter::Steady};
        startWindow(3);
        tick();
        QVERIFY(answered(kHealthy));
        sim_.kill9();  // the pseudo-terminal goes with it, as an unplugged adapter goes
        tick();
        QVERIFY(startSim());
        for (int i = 0; i < 3; ++i) tick();
        QVERIFY(panel(kHealthy)->SioFehler <= 1);  // only a poll that met the loss counts
        QCOMPARE(panel(kHealthy)->FrameColor(), TQTV3590::kFrameButtonFace);

        counter.advanceMs(1000);
        tick();
        QVERIFY2(answered(kHealthy) && answered(kFaulty) && answered(kRecording), "polling recovers by itself");
        QVERIFY(messages_.isEmpty());
    }
};

QTEST_MAIN(WindowFaultsPty)
#include "WindowFaultsPtyTest.moc"
