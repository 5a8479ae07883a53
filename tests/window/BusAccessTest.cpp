// How windows reach the bus, with the worker on a thread of its own: a window gone before its
// result is not touched; a job refused, dropped or thrown tells its window once; a dialog shows that it
// is busy until its command's result has come, and its buttons are then as it wants them.

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <future>
#include <memory>
#include <stdexcept>
#include <vector>

#include "dialogs/BusAccess.h"
#include "dialogs/DialogCommands.h"
#include "panel/Qtv3590.h"
#include "dialogs/ActiveStation.h"

namespace {
// A worker installed as the bus for the test's lifetime, with a job that holds it until opened.
class TestBus {
public:
    TestBus() {
        SetBusPoster([this](BusJob job, const CancelToken& token, AtExit atExit) {
            return refuse ? false : worker.post(std::move(job), token, atExit);
        });
    }
    ~TestBus() {
        open();
        worker.stop();
        SetBusPoster({});
    }
    void hold() {
        if (opened_) {  // a new gate for a new hold
            opener_ = {};
            gate_ = opener_.get_future().share();
            opened_ = false;
        }
        auto started = std::make_shared<std::promise<void>>();
        auto started_future = started->get_future();
        worker.post([started, gate = gate_] {
            started->set_value();
            gate.wait();
        });
        started_future.wait();
    }
    void open() {
        if (!opened_) {
            opened_ = true;
            opener_.set_value();
        }
    }
    bool settle() {
        for (int i = 0; i < 5000 && worker.busy(); ++i) QTest::qWait(1);
        QCoreApplication::processEvents();
        return !worker.busy();
    }

    BusWorker worker;
    bool refuse = false;

private:
    std::promise<void> opener_;
    std::shared_future<void> gate_ = opener_.get_future().share();
    bool opened_ = false;
};
}  // namespace

class BusAccessTest : public QObject {
    Q_OBJECT
private slots:
    void windowGoneBeforeItsResultIsNotTouched() {
        TestBus bus;
        auto window = std::make_unique<QObject>();
        int done = 0, dropped = 0, worked = 0;
        bus.hold();
        RunOnBus(window.get(), [&worked] { return ++worked; }, [&done](int) { ++done; }, [&dropped] { ++dropped; });
        window.reset();
        bus.open();
        QVERIFY(bus.settle());
        QCoreApplication::processEvents();
        QCOMPARE(worked, 1);  // a job once queued runs: what was sent stays sent
        QCOMPARE(done + dropped, 0);
    }

    void jobRefusedOrDroppedTellsItsWindowOnce() {
        TestBus bus;
        QObject window;
        int done = 0, dropped = 0;
        bus.refuse = true;
        QVERIFY(!RunOnBus(&window, [] { return 0; }, [&done](int) { ++done; }, [&dropped] { ++dropped; }));
        QCOMPARE(dropped, 1);
        bus.refuse = false;
        bus.hold();
        const CancelToken token = CancelToken::Create();
        RunOnBus(&window, [] { return 0; }, [&done](int) { ++done; }, [&dropped] { ++dropped; }, token);
        RunOnBus(&window, [] { return 0; }, [&done](int) { ++done; }, [&dropped] { ++dropped; });
        token.cancel();
        bus.worker.dropQueued();
        // A job that throws on the bus's thread ends its window's wait like a drop.
        RunOnBus(&window, []() -> int { throw std::runtime_error("line gone"); }, [&done](int) { ++done; },
                 [&dropped] { ++dropped; });
        bus.open();
        QVERIFY(bus.settle());
        QTRY_COMPARE(dropped, 4);
        QCOMPARE(done, 0);
    }

    void dialogIsBusyUntilItsResultAndItsButtonsAreThenAsItWants() {
        TestBus bus;
        QDialog dialog;
        auto* read = new QPushButton(QStringLiteral("Lesen"), &dialog);
        auto* rare = new QPushButton(QStringLiteral("Senden"), &dialog);
        auto* help = new QPushButton(QStringLiteral("Hilfe"), &dialog);
        auto* box = new QCheckBox(&dialog);
        rare->setEnabled(false);
        DialogCommands commands(&dialog, help);
        bool enabledAtDone = false;
        bus.hold();
        commands.Run([] { return Answer<int>{5, true}; }, [&](Answer<int> a) {
            enabledAtDone = read->isEnabled() && a.value == 5;
        });
        QVERIFY(commands.Busy());
        QVERIFY(!read->isEnabled() && !rare->isEnabled());
        QVERIFY(help->isEnabled() && box->isEnabled());
        QCOMPARE(dialog.cursor().shape(), Qt::WaitCursor);
        commands.SetEnabled(rare, true);  // as the dialog's activation would
        QVERIFY(!rare->isEnabled());
        bus.open();
        QVERIFY(bus.settle());
        QTRY_VERIFY(!commands.Busy());
        QVERIFY(enabledAtDone);
        QVERIFY(read->isEnabled() && rare->isEnabled());
        QCOMPARE(dialog.cursor().shape(), Qt::ArrowCursor);
    }

    // While the command waits, Escape and the close box wait too, and a window of the dialog's
    // own (the help) is not greyed; afterwards the focus is back on the clicked button. A result
    // for a dialog opened again, or showing another station, is not for its controls.
    void dialogStaysWithItsCommandAndItsResultWithItsOpening() {
        TestBus bus;
        QWidget owner;
        TQTV3590 first(&owner), second(&owner);
        TQTV3590* active = &first;
        SetActivePanelSource([&active] { return active; });
        QDialog dialog;
        auto* read = new QPushButton(QStringLiteral("Lesen"), &dialog);
        new QPushButton(QStringLiteral("OK"), &dialog);
        auto* helpWindow = new QWidget(&dialog, Qt::Window);
        auto* helpButton = new QPushButton(QStringLiteral("Inhalt"), helpWindow);
        DialogCommands commands(&dialog);
        std::vector<bool> shown;
        const auto ask = [&] { commands.Run([] { return 1; }, [&](int) { shown.push_back(commands.Shows()); }); };
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        read->setFocus();
        bus.hold();
        ask();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.close());
        QVERIFY(dialog.isVisible() && helpButton->isEnabled());
        bus.open();
        QVERIFY(bus.settle());
        QTRY_VERIFY(!commands.Busy());
        QCOMPARE(dialog.focusWidget(), read);
        bus.hold();
        ask();
        active = &second;  // another station
        bus.open();
        QVERIFY(bus.settle());
        QTRY_COMPARE(shown.size(), std::size_t(2));
        active = &first;
        bus.hold();
        ask();
        dialog.hide();
        dialog.show();  // opened again
        bus.open();
        QVERIFY(bus.settle());
        QTRY_COMPARE(shown, (std::vector<bool>{true, false, false}));
        SetActivePanelSource({});
    }
};

QTEST_MAIN(BusAccessTest)
#include "BusAccessTest.moc"
