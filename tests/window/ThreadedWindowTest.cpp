// The main window with its bus on a thread of its own: the window answers while the bus is held
// in the middle of a tick, no two exchanges ever overlap and all of them run on the bus's
// thread, a dialog's command waits for the tick and then updates the controls, the station's
// field and the box in order (also for a dialog closed and a panel removed meanwhile), a search
// leaves the window usable and refuses what would change the slots or use the bus, and the exit
// waits for the poll in progress and drops what was still waiting.

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <algorithm>

#include "support/WindowOnBus.h"
#include "dialogs/BusAccess.h"
#include "dialogs/Displdlg.h"
#include "dialogs/Reldlg.h"
#include "link/Siodlg.h"
#include "dialogs/ActiveStation.h"
#include "ui/UpDown.h"
#include "panel/Qtv3590.h"
#include "panel/Stadrdlg.h"
#include "records/EventLog.h"

namespace {
constexpr auto kThreaded = BusWorker::Mode::Threaded;

bool IsTransferError(const ShownMessage& m) { return m.text == QString::fromUtf8("Übertragungsfehler"); }

bool Logged(const TForm1& f, const std::string& text) {
    for (const EventEntry& e : f.Ereignisse->Entries())
        if (e.text == text) return true;
    return false;
}
}  // namespace

class ThreadedWindowTest : public QObject {
    Q_OBJECT
private slots:
    void noTwoExchangesOverlapAndAllRunOnTheBusThread() {
        WindowOnBus w(kThreaded);
        TForm1& f = w.form();
        for (int round = 0; round < 6; ++round) {
            f.Timer1Timer();
            DispDlg->MWLBtnClick();       // queued behind the tick
            RelDlg->S1LBtnClick();
            f.Timer1Timer();              // skipped: the tick's job is still queued or running
            QCoreApplication::processEvents();
            f.Gertetyplesen1Click();
        }
        QVERIFY(w.settle());
        f.Suchen1Click();
        QVERIFY(w.settle());
        QVERIFY(w.tick());
        QCOMPARE(w.bus.overlaps(), 0);
        const std::set<std::thread::id> threads = w.bus.threads();
        QCOMPARE(threads.size(), std::size_t(1));
        QVERIFY(*threads.begin() != std::this_thread::get_id());
        QVERIFY(w.bus.requests().size() >= 20);
    }

    void windowAnswersWhileAPollIsHeldAndTheDialogReadFollowsTheTick() {
        WindowOnBus w(kThreaded);
        TForm1& f = w.form();
        w.bus.holdAtRequest(2);
        f.Timer1Timer();
        QVERIFY(w.waitHeld());
        // The bus is held inside station 2's poll; the window takes input at once.
        QCoreApplication::processEvents();
        QCOMPARE(f.GeraetPanel[2]->CaptionColor(), clGreen);
        QVERIFY(f.GeraetPanel[1]->GetText().endsWith(QStringLiteral("bar")));
        QVERIFY(f.GeraetPanel[3]->GetText().isEmpty());
        f.StopItemClick();
        QCOMPARE(f.StopItem->text(), QStringLiteral("&Start"));
        f.StopItemClick();
        DispDlg->MWLBtnClick();
        QVERIFY(!DispDlg->MWLBtn->isEnabled() && !DispDlg->DspOkBtn->isEnabled());
        QVERIFY(DispDlg->HelpBtn->isEnabled());
        QCOMPARE(DispDlg->cursor().shape(), Qt::WaitCursor);
        w.bus.release();
        QVERIFY(w.settle());
        QCOMPARE(w.bus.requests(), (std::vector<std::string>{"01:31", "02:31", "03:31", "04:31", "04:58"}));
        QCOMPARE(DispDlg->DsEdit->text(), QStringLiteral("0004"));  // the station's averaging
        QCOMPARE(int(f.GeraetPanel[4]->Mittel), 4);
        QVERIFY(DispDlg->MWLBtn->isEnabled() && DispDlg->DspOkBtn->isEnabled());
        QCOMPARE(DispDlg->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(f.GeraetPanel[4]->GetText(), QStringLiteral(" 0400 bar"));
    }

    // Ticks that fall due while a tick's polls run are not made up; as when the tick held the
    // window, the one overdue runs as soon as it has ended, while the timer runs.
    void ticksDueDuringATickAreNotMadeUp() {
        WindowOnBus w(kThreaded);
        TForm1& f = w.form();
        w.bus.holdAtRequest(1);
        f.Timer1Timer();
        QVERIFY(w.waitHeld());
        for (int i = 0; i < 3; ++i) f.Timer1Timer();
        w.bus.release();
        QVERIFY(w.settle());
        QCOMPARE(w.bus.requests().size(), std::size_t(4));
        f.Timer1->start();  // the overdue tick comes at once, not a timer interval later
        w.bus.holdAtRequest(1);
        f.Timer1Timer();
        QVERIFY(w.waitHeld());
        QCoreApplication::processEvents();  // the window has heard that the tick's job runs
        f.Timer1Timer();
        w.bus.holdAtRequest(4);  // three more of this tick, then the first of the next
        w.bus.release();
        QVERIFY(w.waitHeld(400));
        f.Timer1->stop();
        w.bus.release();
        QVERIFY(w.settle());
        QCOMPARE(w.bus.requests().size(), std::size_t(12));
    }

    // The read of a dialog closed meanwhile (the exit closes it) still runs; its result reaches
    // neither the closed dialog's controls nor, with its panel gone, a panel; the box comes.
    void commandOfAClosedDialogRunsAndItsRemovedPanelIsLeftAlone() {
        WindowOnBus w(kThreaded);
        TForm1& f = w.form();
        w.bus.station(4).faults().silent = true;
        std::vector<QString> atBox;
        SetMessageObserver([&](const ShownMessage& m) {
            w.messages.push_back(m);
            atBox.push_back(DispDlg->MaxWEdit->text());
        });
        w.bus.holdAtRequest(1);
        f.Timer1Timer();
        QVERIFY(w.waitHeld());
        DispDlg->show();
        const QString before = DispDlg->MaxWEdit->text();
        DispDlg->MxLBtnClick();
        DispDlg->reject();
        f.Entfernen1Click();  // the active station, 4, whose read waits
        QVERIFY(!f.GeraetPanel[4]);
        w.bus.release();
        QVERIFY(w.settle());
        QCOMPARE(w.bus.requests().back(), std::string("04:56"));
        QCOMPARE(DispDlg->MaxWEdit->text(), before);  // it no longer shows the station
        QCOMPARE(atBox, (std::vector<QString>{before}));
        QVERIFY(IsTransferError(w.messages.back()));
        QVERIFY(DispDlg->MxLBtn->isEnabled());
    }

    // The operator's change of the cycle while the station's poll is under way counts as made after
    // the poll, as it was when the tick held the window: the failed poll does not count.
    void cycleChangedWhileItsPollRunsTakesEffectAfterTheResult() {
        WindowOnBus w(kThreaded);
        TForm1& f = w.form();
        w.bus.station(2).faults().silent = true;
        TQTV3590* p = f.GeraetPanel[2];
        p->SioFehler = 4;
        w.bus.holdAtRequest(2);
        f.Timer1Timer();
        QVERIFY(w.waitHeld());
        QTimer::singleShot(0, [] {
            StADlg->SaUpDn->setPosition(7);
            StADlg->accept();
        });
        p->PopupItemClick(1);  // "Zyklus"
        QCOMPARE(int(p->GetSZykl()), 7);
        QCOMPARE(int(p->SioFehler), 4);  // kept until the poll's result has been shown
        w.bus.release();
        QVERIFY(w.settle());
        QCOMPARE(int(p->SioFehler), 0);
        QCOMPARE(int(p->ZVar), 1);
        QVERIFY(w.tick());
        const std::vector<std::string> requests = w.bus.requests();
        QCOMPARE(std::count(requests.begin(), requests.end(), std::string("02:31")), 2);
    }

    void searchLeavesTheWindowUsableAndRefusesSlotAndBusActions() {
        WindowOnBus w(kThreaded);
        TForm1& f = w.form();
        w.bus.holdAtRequest(2);  // the probe of slot 6
        f.Suchen1Click();
        QVERIFY(w.waitHeld());
        QCoreApplication::processEvents();
        QVERIFY(f.Searching());
        QCOMPARE(f.Label1->text(), QStringLiteral("Suche Station  6"));
        const auto refused = [&w](const std::function<void()>& action) {
            w.messages.clear();
            action();
            return w.noted();
        };
        QVERIFY(refused([&f] { f.Einfgen1Click(); }));
        QVERIFY(refused([&f] { f.Entfernen1Click(); }));
        QVERIFY(refused([&f] { f.Suchen1Click(); }));
        QVERIFY(refused([&f] { f.Beenden1Click(); }));
        QVERIFY(refused([&f] { f.Gertetyplesen1Click(); }));
        QVERIFY(refused([] { DispDlg->MWLBtnClick(); }));
        QVERIFY(refused([&f] { f.GeraetPanel[1]->PopupItemClick(0); }));  // "&Adresse"
        QVERIFY(refused([&f] { f.close(); }));
        QVERIFY(refused([&f] { f.Zyklen1Click(); }));
        QVERIFY(refused([&f] { f.Gertezahl1Click(); }));
        QVERIFY(f.GeraetPanel[4] && !f.GeraetPanel[0]);
        QVERIFY(DispDlg->MWLBtn->isEnabled());
        f.StopItemClick();  // what needs neither goes on
        QCOMPARE(f.StopItem->text(), QStringLiteral("&Start"));
        w.bus.release();
        QVERIFY(w.settle());
        QVERIFY(!f.Searching());
        QCOMPARE(w.bus.requests(), (std::vector<std::string>{"05:30", "06:30", "07:30"}));
        QVERIFY(f.GeraetPanel[6]);
        QCOMPARE(f.AktivPanel, f.GeraetPanel[6]);
        QVERIFY(!Logged(f, "Programm beendet"));
    }

    // The exit comes while station 2's poll waits for its answer: the poll ends, the tick's other
    // polls and the dialog's read that waited are dropped, the decimal point confirmed before the
    // exit is still sent, and the configuration file says what the station was sent.
    void exitSendsTheConfirmedWritesAndDropsReadsAndTheRestOfTheTick() {
        WindowOnBus w(kThreaded);
        TForm1& f = w.form();
        f.show();
        w.bus.holdAtRequest(2);
        f.Timer1Timer();
        QVERIFY(w.waitHeld());
        DispDlg->MWLBtnClick();
        DispDlg->DpRBtn3->setChecked(true);
        DispDlg->DpSBtnClick();
        f.Beenden1Click();
        QVERIFY(f.isVisible());  // until the poll and the write have ended
        w.bus.release();
        QTRY_VERIFY(!f.isVisible());
        QCOMPARE(w.bus.requests(), (std::vector<std::string>{"01:31", "02:31", "04:A0"}));
        QCOMPARE(QString::fromStdString(w.bus.station(4).paramText("Komma", {})), QStringLiteral("2"));
        QFile ini(QStringLiteral("tarvo.INI"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray text = ini.readAll();
        QVERIFY(text.contains("[Geraet 4]") && text.mid(text.indexOf("[Geraet 4]")).contains("Dezimalpunkt=2"));
        QVERIFY(Logged(f, "Programm beendet"));
        QVERIFY(DispDlg->MWLBtn->isEnabled());
        QVERIFY(f.BusIdle());
    }

    // A dialog's read belongs to the station active at its click: after the panel of another
    // station was made active and the dialog opened again, the result goes into station 4's
    // fields only.
    void portChoiceReachesTheLinkAfterThePollInProgressAndTheWindowTakesItsResult() {
        WindowOnBus w(kThreaded);
        TForm1& f = w.form();
        const QString before = f.LokalIP;
        w.bus.holdAtRequest(2);
        f.Timer1Timer();
        QVERIFY(w.waitHeld());
        QTimer::singleShot(0, [] {
            PcSioDlg->LipEdit->setText(QStringLiteral("010.000.007.120"));
            PcSioDlg->SioOkBtnClick();
        });
        f.PCSio1Click();
        // The window's copy is the link's, which takes the choice after the poll in progress.
        QCOMPARE(f.LokalIP, before);
        w.bus.release();
        QVERIFY(w.settle());
        QCOMPARE(f.LokalIP, QStringLiteral("010.000.007.120"));
        bool portObject = false;
        RunOnBus(&f, [] { return PortObject() != nullptr; }, [&portObject](bool there) { portObject = there; });
        QVERIFY(w.settle());
        QVERIFY(portObject);
        QCOMPARE(w.bus.overlaps(), 0);
    }

    void resultOfAReadGoesToItsOwnStationOnly() {
        WindowOnBus w(kThreaded);
        TForm1& f = w.form();
        w.bus.station(4).setParam("SP1Wert", "777");
        w.bus.station(4).setParam("SP1Funk", "1");
        w.bus.holdAtRequest(1);
        f.Timer1Timer();
        QVERIFY(w.waitHeld());
        RelDlg->show();
        RelDlg->S1LBtnClick();
        RelDlg->O1LBtnClick();
        RelDlg->hide();
        f.Activate(f.GeraetPanel[1]);
        RelDlg->show();
        w.bus.release();
        QVERIFY(w.settle());
        QCOMPARE(int(f.GeraetPanel[4]->SP1Wert), 777);
        QCOMPARE(int(f.GeraetPanel[1]->SP1Wert), 0);
        QVERIFY(!RelDlg->S1WMEdit->text().contains(QStringLiteral("777")));
        QCOMPARE(int(f.GeraetPanel[4]->SP1Funk), 1);
        RelDlg->OkBtnClick();
        QCOMPARE(int(f.GeraetPanel[1]->SP1Funk), 0);
    }

    // A parameter set or a clock command that holds the bus for ticks is followed by one
    // overdue tick, not two: countdowns advance once.
    void aLongJobIsFollowedByOneOverdueTick() {
        WindowOnBus w(kThreaded);
        TForm1& f = w.form();
        f.Timer1->setInterval(60000);  // only the overdue tick, never the timer, in this case
        f.Timer1->start();
        w.bus.holdAtRequest(1);
        DispDlg->MWLBtnClick();
        QVERIFY(w.waitHeld());
        for (int i = 0; i < 3; ++i) f.Timer1Timer();
        w.bus.release();
        QVERIFY(w.settle());
        f.Timer1->stop();
        QCOMPARE(w.bus.requests().size(), std::size_t(5));
    }

    void parameterSentOnTheBusThreadIsLoggedHere() {
        WindowOnBus w(kThreaded);
        TForm1& f = w.form();
        DispDlg->DpRBtn3->setChecked(true);
        DispDlg->DpSBtnClick();
        QVERIFY(w.settle());
        QCOMPARE(int(f.GeraetPanel[4]->Komma), 2);
        QVERIFY(Logged(f, "Komma = 2 gesendet"));
    }
};

QTEST_MAIN(ThreadedWindowTest)
#include "ThreadedWindowTest.moc"
