// Station slots, the active station, dragging, the main menu and its help, broadcast and stop.

#include <QKeyEvent>
#include <QRadioButton>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "support/DialogAnswer.h"
#include "support/WindowFixture.h"
#include "dialogs/Feutmpdlg.h"
#include "link/Sio.h"
#include "panel/Qtv3590.h"
#include "panel/Stadrdlg.h"
#include "platform/Help.h"
#include "ui/UpDown.h"

namespace {
QAction* ActionNamed(TForm1& f, const char* name) { return f.findChild<QAction*>(QString::fromLatin1(name)); }
}  // namespace

class StationListTest : public QObject {
    Q_OBJECT
private slots:
    void insertingIntoAnEmptyWindowGivesSlotZeroThenOne() {
        WindowFixture w;
        TForm1& f = w.start();
        f.Einfgen1Click();
        TQTV3590* p0 = f.GeraetPanel[0];
        QVERIFY(p0);
        QCOMPARE(p0->Caption(), QString::fromUtf8(" Gerät (0) "));
        QCOMPARE(f.AktivPanel, p0);
        QCOMPARE(p0->parentWidget(), f.Client);
        QCOMPARE(p0->pos(), QPoint(8, 8));
        f.Einfgen1Click();
        QVERIFY(f.GeraetPanel[1]);
        QCOMPARE(f.AktivPanel, f.GeraetPanel[1]);
        QCOMPARE(int(f.GeraeteAnzahl), 2);
    }

    void insertionUsesTheFirstFreeSlotUpToMaxGeraete() {
        WindowFixture w;
        TForm1& f = w.start("[Form]\nMaxGeraete=2\n");
        f.Einfgen1Click();
        f.Einfgen1Click();
        f.Einfgen1Click();
        QVERIFY(f.GeraetPanel[2]);
        f.Einfgen1Click();  // all of 0..2 taken: nothing
        QCOMPARE(int(f.GeraeteAnzahl), 3);
        QVERIFY(!f.GeraetPanel[3]);
        f.AktivPanel = f.GeraetPanel[1];
        f.Entfernen1Click();
        f.Einfgen1Click();  // the gap is filled first
        QVERIFY(f.GeraetPanel[1]);
    }

    void removingTheActiveStationLeavesTheOthersUnpolled() {
        WindowFixture w;
        TForm1& f = w.start("[Form]\nMaxGeraete=3\n[Geraet 1]\nAdresse=1\nZyklus=1\n[Geraet 3]\nAdresse=3\nZyklus=1\n");
        w.bus.stations[1] = {};
        QPointer<TQTV3590> removed = f.GeraetPanel[3];
        f.Entfernen1Click();
        QVERIFY(removed.isNull());
        QVERIFY(!f.GeraetBelegt[3] && !f.GeraetPanel[3]);
        QVERIFY(f.GeraetPanel[1]);
        QCOMPARE(int(f.GeraeteAnzahl), 1);
        w.ticks(15);
        QCOMPARE(f.SLabel->text(), QStringLiteral("Passiv"));
        QVERIFY(!f.ItParam->menuAction()->isEnabled());
        QVERIFY(w.bus.valueRequests().empty());
        f.Entfernen1Click();  // nothing active: nothing happens
        QCOMPARE(int(f.GeraeteAnzahl), 1);
    }

    void removalWhileAnAddressChangeIsPendingRemovesTheRightPanel() {
        WindowFixture w;
        TForm1& f = w.start("[Form]\nMaxGeraete=7\n[Geraet 5]\nAdresse=5\n[Geraet 3]\nAdresse=3\n");
        TQTV3590* other = f.GeraetPanel[5];
        f.AktivPanel = f.GeraetPanel[3];
        // An address change not yet taken over by a tick: slot 3, address 5.
        f.AktivPanel->OldAdr = 3;
        f.AktivPanel->StatAdr = 5;
        f.Entfernen1Click();
        QCOMPARE(f.GeraetPanel[5], other);
        QVERIFY(f.GeraetBelegt[5]);
        QVERIFY(!f.GeraetPanel[3] && !f.GeraetBelegt[3]);
    }

    void droppedPanelSnapsToTheGridAndBecomesActive_data() {
        QTest::addColumn<QPoint>("dropped");
        QTest::addColumn<QPoint>("snapped");
        QTest::newRow("13,29") << QPoint(13, 29) << QPoint(8, 24);
        QTest::newRow("3,3") << QPoint(3, 3) << QPoint(8, 8);
        QTest::newRow("left of the window") << QPoint(-40, 100) << QPoint(8, 96);
        QTest::newRow("on the grid") << QPoint(64, 72) << QPoint(64, 72);
    }
    void droppedPanelSnapsToTheGridAndBecomesActive() {
        QFETCH(QPoint, dropped);
        QFETCH(QPoint, snapped);
        WindowFixture w;
        TForm1& f = w.start("[Form]\nMaxGeraete=3\n[Geraet 1]\nAdresse=1\n[Geraet 3]\nAdresse=3\n");
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        TQTV3590* p = f.GeraetPanel[1];
        p->move(dropped);
        BusAdresse = 3;
        emit p->dragEnded(p);
        QCOMPARE(p->pos(), snapped);
        QCOMPARE(f.AktivPanel, p);
        QCOMPARE(int(BusAdresse), 1);  // at once, not only at the next tick
    }

    void panelOutsideTheClientAreaComesBack() {
        WindowFixture w;
        TForm1& f = w.start("[Form]\n[Geraet 1]\nAdresse=1\n");
        TQTV3590* p = f.GeraetPanel[1];
        p->setParent(nullptr);  // floating, as after a drop beyond the window
        p->move(5000, 5000);
        f.PanelDragEnded(p);
        QCOMPARE(p->parentWidget(), f.Client);
        QVERIFY(p->x() + p->width() <= std::max(f.Client->width(), 8 + p->width()));
        QCOMPARE(p->x() % 8, 0);
    }

    void addressOfAnotherPanelsSlotIsTaken() {
        WindowFixture w;
        TForm1& f = w.start("[Form]\nMaxGeraete=3\n[Geraet 1]\nAdresse=1\n[Geraet 3]\nAdresse=3\n");
        const auto taken = [p = f.GeraetPanel[1]](int address) {
            bool answer = false;
            emit p->addressTaken(address, answer);
            return answer;
        };
        QVERIFY(taken(3));
        QVERIFY(!taken(1));  // its own
        QVERIFY(!taken(2));
        QVERIFY(taken(32));
    }

    void panelMenuRefusesTheAddressOfAnotherStation() {
        WindowFixture w;
        TForm1& f = w.start("[Form]\nMaxGeraete=3\n[Geraet 1]\nAdresse=1\n[Geraet 3]\nAdresse=3\n");
        TQTV3590* p = f.GeraetPanel[3];
        DialogAnswer answer([](QDialog* d) {
            StADlg->SaUpDn->setPosition(1);
            d->accept();
        });
        p->PopupItemClick(0);
        QCOMPARE(int(p->StatAdr), 3);
        QCOMPARE(int(p->OldAdr), -1);
        QCOMPARE(w.messages.size(), std::size_t(1));
        w.ticks(1);
        QCOMPARE(f.GeraetPanel[1]->StatAdr, std::uint16_t(1));
        QCOMPARE(f.GeraetPanel[3], p);
    }

    void localMenuOpensBesideTheWindowCorner() {
        WindowFixture w;
        TForm1& f = w.start("[Form]\n[Geraet 1]\nAdresse=1\n");
        f.show();
        f.LokalesMen1Click();
        QMenu* menu = f.AktivPanel->PanelMenu();
        QVERIFY(menu->isVisible());
        QCOMPARE(menu->pos(), f.mapToGlobal(QPoint(0, 0)) + QPoint(50, 30));
        menu->close();
        f.AktivPanel = nullptr;
        f.LokalesMen1Click();  // no active station: nothing
    }

    void menuCarriesCaptionsHintsAndHelpContexts() {
        WindowFixture w;
        TForm1& f = w.start();
        struct Row {
            const char* name;
            const char* caption;
            const char* hint;
            int hc;
        };
        const Row rows[] = {
            {"Datei1", "&Datei", "Dateifunktionen", 2},
            {"Beenden1", "&Beenden", "Programm beenden", 21},
            {"Gert1", "&Gerät", "Gerätefunktionen", 3},
            {"Einfgen1", "E&infügen", "Neues Gerät einfügen", 31},
            {"Entfernen1", "En&tfernen", "Aktives Gerät entfernen", 32},
            {"Suchen1", "&Suchen", "Angeschlossene Geräte suchen", 33},
            {"LokalesMen1", "&Lokales Menü", "Lokales Menü des aktiven Gerätes öffnen", 34},
            {"ItParam", "&Parameter", "QTV-Geräteparameter", 4},
            {"Anzeige1", "&Anzeige...", "Einstellungen Display", 41},
            {"RealTimeClock1", "Real Time &Clock...", "Einstellungen Echtzeituhr", 42},
            {"Relais1", "&Relais...", "Relaisfunktionen", 43},
            {"Messbereich1", "&Messbereich...", "Anzeige und Messbereich", 44},
            {"Sonstiges1", "&Sonstiges...", "Maxwert, Minwert, Impulse", 45},
            {"Gertetyplesen1", "&Gerätetyp lesen", "QTV-Typ auslesen", 46},
            {"Einstellungen1", "&Einstellungen", "Programmeinstellungen", 5},
            {"Titel1", "&Titel", "Programmtitel", 51},
            {"Gertezahl1", "&Gerätezahl", "Maximale Anzahl Geräte (1 - 31)", 52},
            {"PCSio1", "&PC-Sio", "Serielle Schnittstelle zum Netz", 53},
            {"Zyklen1", "Alle &Zyklen", "Abfragezyklus aller Geräte", 54},
            {"Broadcast1", "&Broadcast", "Broadcast- / Normalbetrieb", 55},
            {"Hilfe1", "&Hilfe", "Hilfesystem", 6},
            {"Inhalt1", "&Inhalt", "Inhaltsverzeichnis", 61},
            {"Index1", "Inde&x", "Suchworte", 62},
            {"Info1", "Inf&o", "Programminfo", 63},
            {"StopItem", "&Stop", "Programm Start/Stop", 7},
        };
        for (const Row& r : rows) {
            QAction* a = ActionNamed(f, r.name);
            QVERIFY2(a, r.name);
            QCOMPARE(a->text(), QString::fromUtf8(r.caption));
            QCOMPARE(a->statusTip(), QString::fromUtf8(r.hint));
            QCOMPARE(a->toolTip(), QString::fromUtf8(r.hint));
            QCOMPARE(a->property("helpContext").toInt(), r.hc);
        }
        QVERIFY(f.StopItem->menu() == nullptr);
        QVERIFY(f.menuBar()->actions().contains(f.StopItem));
        QVERIFY(f.ItParam->toolTipsVisible());
    }

    void f1OnAHighlightedItemOpensItsHelpContext() {
        WindowFixture w;
        TForm1& f = w.start();
        QList<int> asked;
        SetHelpObserver([&](int c) { asked << c; });
        QMenu* einst = f.findChild<QMenu*>(QStringLiteral("Einstellungen1"));
        einst->setActiveAction(ActionNamed(f, "Zyklen1"));
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QApplication::sendEvent(einst, &f1);
        ActionNamed(f, "Inhalt1")->trigger();
        ActionNamed(f, "Index1")->trigger();
        QCOMPARE(asked, (QList<int>{54, -1, -2}));
    }

    void parameterItemsOpenNothingWithoutStations() {
        WindowFixture w;
        TForm1& f = w.start();
        DialogAnswer answer([](QDialog* d) { d->reject(); });
        f.Anzeige1Click();
        f.RealTimeClock1Click();
        f.Relais1Click();
        f.Messbereich1Click();
        f.Sonstiges1Click();
        QCoreApplication::processEvents();
        QVERIFY(answer.seen->isEmpty());
    }

    void parameterItemOpensItsDialogWithAStation() {
        WindowFixture w;
        TForm1& f = w.start("[Form]\n[Geraet 1]\nAdresse=1\n");
        DialogAnswer answer([](QDialog* d) { d->reject(); });
        f.Relais1Click();
        QCOMPARE(*answer.seen, QStringLiteral("TRelDlg"));
    }

    void humidityDeviceGetsTheHumidityDialog() {
        WindowFixture w;
        TForm1& f = w.start("[Form]\n[Geraet 1]\nAdresse=1\nQtvTyp=4240\n");  // 0x1090
        f.AktivPanel->ABAnf = 2;
        FeuTempDlg->TempBtn->setChecked(true);
        bool dewPoint = false;
        DialogAnswer answer([&dewPoint](QDialog* d) {
            dewPoint = FeuTempDlg->TauBtn->isChecked() && !FeuTempDlg->TempBtn->isChecked();
            d->reject();
        });
        f.Messbereich1Click();
        QCOMPARE(*answer.seen, QStringLiteral("TFeuTempDlg"));
        QVERIFY(dewPoint);
    }

    void linkRecoveryStopsAndRestoresTheTimer() {
        WindowFixture w;
        TForm1& f = w.start();
        f.Timer1->start();
        GetLinkHooks().stopPolling();
        QVERIFY(!f.Timer1->isActive());
        GetLinkHooks().restartPolling();
        QVERIFY(f.Timer1->isActive());
        QCOMPARE(f.Timer1->interval(), 500);
        // Inside a search the timer is already stopped and must stay so after the recovery.
        const int remembered = f.StopTimer();
        GetLinkHooks().stopPolling();
        GetLinkHooks().restartPolling();
        QVERIFY(!f.Timer1->isActive());
        f.RestoreTimer(remembered);
        QVERIFY(f.Timer1->isActive());
    }

    void broadcastCaptionsNameTheNextMode() {
        WindowFixture w;
        TForm1& f = w.start();
        QCOMPARE(f.Broadcast1->text(), QStringLiteral("&Broadcast"));
        f.Broadcast1Click();
        QVERIFY(Broadcast);
        QCOMPARE(f.Broadcast1->text(), QStringLiteral("Normalbetrieb"));
        QTest::mouseDClick(f.SLabel, Qt::LeftButton);  // toggles only
        QVERIFY(!Broadcast);
        QCOMPARE(f.Broadcast1->text(), QStringLiteral("Normalbetrieb"));
        f.Broadcast1Click();
        QVERIFY(Broadcast);
        QCOMPARE(f.Broadcast1->text(), QStringLiteral("Normalbetrieb"));
        f.Broadcast1Click();
        QVERIFY(!Broadcast);
        QCOMPARE(f.Broadcast1->text(), QStringLiteral("Broadcast"));
    }

    void twoDoubleClicksLeaveBroadcastAsItWas() {
        WindowFixture w;
        TForm1& f = w.start();
        f.SwitchBroadcast();
        f.SwitchBroadcast();
        QVERIFY(!Broadcast);
        QCOMPARE(f.Broadcast1->text(), QStringLiteral("&Broadcast"));
    }

    void stopItemTogglesItsCaption() {
        WindowFixture w;
        TForm1& f = w.start();
        f.StopItemClick();
        QVERIFY(f.Stop);
        QCOMPARE(f.StopItem->text(), QStringLiteral("&Start"));
        f.StopItemClick();
        QVERIFY(!f.Stop);
        QCOMPARE(f.StopItem->text(), QStringLiteral("&Stop"));
    }

    void formHasItsDesignedLooks() {
        WindowFixture w;
        TForm1& f = *CreateForms(w.configPath(), BusWorker::Mode::Inline);
        QVERIFY(f.Timer1->isActive());  // ticking from the start
        f.Timer1->stop();
        QCOMPARE(f.font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(f.font().pixelSize(), 13);
        QVERIFY(f.Label1->isHidden());
        QVERIFY(f.Label1->font().bold());
        QCOMPARE(f.Label1->height(), 16);
        QCOMPARE(f.SLabel->height(), 16);
        QCOMPARE(f.Timer1->timerType(), Qt::PreciseTimer);
        QCOMPARE(f.Timer1->interval(), 500);
    }
};

QTEST_MAIN(StationListTest)
#include "StationListTest.moc"
