// One scripted session, run once with the window's bus inline (every exchange where it is asked,
// as when everything ran on one thread) and once on a thread of its own, with the bus held in
// the middle of a tick while a dialog's read is asked for and again while the exit is asked for:
// the station sees the same bytes in the same order, and the order is the prescribed one.

#include <QLineEdit>
#include <QTest>

#include "support/WindowOnBus.h"
#include "dialogs/Displdlg.h"

namespace {
struct Session {
    std::vector<std::string> wire;
    std::vector<std::string> requests;
};

Session Run(BusWorker::Mode mode) {
    const bool threaded = mode == BusWorker::Mode::Threaded;
    WindowOnBus w(mode);
    TForm1& f = w.form();
    f.show();
    // A tick of four polls; the read is asked for while the second one runs (inline: after the
    // tick, as the window took no input before).
    if (threaded) w.bus.holdAtRequest(2);
    f.Timer1Timer();
    if (threaded && !w.waitHeld()) return {};
    DispDlg->MWLBtnClick();
    w.bus.release();
    if (!w.settle()) return {};
    if (!w.tick()) return {};
    f.Suchen1Click();  // slots 5, 6 and 7 are free; 6 answers
    if (!w.settle()) return {};
    // The exit is asked for during the second poll of the next tick (inline: it ends the tick
    // there, as a cancelled tick does).
    if (threaded) {
        w.bus.holdAtRequest(2);
        f.Timer1Timer();
        if (!w.waitHeld()) return {};
        f.Beenden1Click();
        w.bus.release();
        QElapsedTimer waited;
        waited.start();
        while (f.isVisible() && waited.elapsed() < 10000) QCoreApplication::processEvents();
    } else {
        f.Timer1Timer();
        f.Beenden1Click();
    }
    return {w.bus.wire(), w.bus.requests()};
}
}  // namespace

class WireTraceTest : public QObject {
    Q_OBJECT
private slots:
    void theBusSeesTheSameBytesInThePrescribedOrder() {
        const Session inlineRun = Run(BusWorker::Mode::Inline);
        const Session threaded = Run(BusWorker::Mode::Threaded);
        const std::vector<std::string> prescribed = {
            "01:31", "02:31", "03:31", "04:31", "04:58",  // the tick, then the dialog's read
            "01:31", "02:31", "03:31", "04:31",           // the next tick
            "05:30", "06:30", "07:30",                    // the search of the free slots
            "01:31", "02:31",                             // the exit during the second poll
        };
        const auto joined = [](const std::vector<std::string>& v) {
            QString text;
            for (const std::string& r : v) text += QString::fromStdString(r) + QLatin1Char(' ');
            return text;
        };
        QCOMPARE(joined(threaded.requests), joined(prescribed));
        QVERIFY(threaded.wire.size() > 100);
        // Inline the last tick ran to its end; up to the end of its second poll every byte, read
        // and RTS switch is the same.
        QVERIFY(inlineRun.wire.size() > threaded.wire.size());
        QVERIFY(std::equal(threaded.wire.begin(), threaded.wire.end(), inlineRun.wire.begin()));
        QCOMPARE(inlineRun.requests.size(), prescribed.size() + 2);
        QCOMPARE(inlineRun.requests[prescribed.size()], std::string("03:31"));
    }
};

QTEST_MAIN(WireTraceTest)
#include "WireTraceTest.moc"
