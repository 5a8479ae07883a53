// The polling cycle, driven tick by tick against stations on a fake line.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include "support/WindowFixture.h"
#include "panel/Qtv3590.h"

namespace {
const QByteArray kTwoStations =
    "[Form]\nMaxGeraete=3\n"
    "[Geraet 1]\nAdresse=1\nZyklus=1\nBenennung=bar\nDezimalpunkt=2\n"
    "[Geraet 3]\nAdresse=3\nZyklus=4\nBenennung=bar\nDezimalpunkt=1\n";

// One station at address 1, polled at every tick from the first on.
TForm1& StartOne(WindowFixture& w, const QByteArray& extra = {}) {
    TForm1& f = w.start("[Form]\nMaxGeraete=7\n[Geraet 1]\nAdresse=1\nZyklus=1\nBenennung=bar\n" + extra);
    f.GeraetPanel[1]->ZVar = 1;
    return f;
}
}  // namespace

class PollingTest : public QObject {
    Q_OBJECT
private slots:
    void firstPollsComeAtSlotPlusTenTicks() {
        WindowFixture w;
        w.bus.stations[1] = {};
        w.bus.stations[3] = {};
        w.start(kTwoStations);
        w.ticks(10);
        QVERIFY(w.bus.valueRequests().empty());
        w.ticks(1);
        QCOMPARE(w.bus.valueRequests(), (std::vector<int>{1}));
        w.ticks(2);
        QCOMPARE(w.bus.valueRequests(), (std::vector<int>{1, 1, 1, 3}));
    }

    void eachStationIsAskedAtItsCycleInRisingOrder() {
        WindowFixture w;
        w.bus.stations[1] = {};
        w.bus.stations[3] = {};
        TForm1& f = w.start(kTwoStations);
        f.GeraetPanel[1]->ZVar = 1;
        f.GeraetPanel[3]->ZVar = 1;
        w.ticks(8);
        QCOMPARE(w.bus.valueRequests(), (std::vector<int>{1, 3, 1, 1, 1, 1, 3, 1, 1, 1}));
    }

    void cycleZeroWaitsForTheCountdownToWrap() {
        WindowFixture w;
        w.bus.stations[1] = {};
        TForm1& f = StartOne(w);
        f.GeraetPanel[1]->SetSZykl(0);
        w.ticks(1);
        QCOMPARE(w.bus.valueRequests().size(), std::size_t(1));
        QCOMPARE(int(f.GeraetPanel[1]->ZVar), 0);
        w.ticks(1);
        QCOMPARE(int(f.GeraetPanel[1]->ZVar), 65535);
        QCOMPARE(w.bus.valueRequests().size(), std::size_t(1));
    }

    void valueTextsShowSignPointAndUnit_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("komma");
        QTest::addColumn<int>("typ");
        QTest::addColumn<QString>("text");
        QTest::newRow("5 d2") << 5 << 2 << 0 << " 00.05 bar";
        QTest::newRow("-1234 d1") << -1234 << 1 << 0 << "-123.4 bar";
        QTest::newRow("1234 d1 group 2") << 1234 << 1 << 0x3520 << " 1.234 bar";
        QTest::newRow("0 d0") << 0 << 0 << 0 << " 0000 bar";
        QTest::newRow("over") << 32767 << 2 << 0 << " Ueber bar";
        QTest::newRow("under") << -32767 << 2 << 0 << " Unter bar";
        QTest::newRow("five digits") << 12345 << 2 << 0 << " 123.45 bar";
    }
    void valueTextsShowSignPointAndUnit() {
        QFETCH(int, value);
        QFETCH(int, komma);
        QFETCH(int, typ);
        QFETCH(QString, text);
        WindowFixture w;
        w.bus.stations[1].value = std::int16_t(value);
        TForm1& f = StartOne(w, "Dezimalpunkt=" + QByteArray::number(komma) + "\nQtvTyp=" + QByteArray::number(typ) + "\n");
        w.ticks(1);
        QCOMPARE(f.GeraetPanel[1]->GetText(), text);
        QCOMPARE(f.GeraetPanel[1]->CaptionColor(), clBlack);
        QCOMPARE(f.GeraetPanel[1]->FrameColor(), TQTV3590::kFrameButtonFace);
    }

    void recordingStationWritesTheValueAndShowsRed() {
        WindowFixture w;
        SetWallClock([] { return LocalDateTime{2026, 12, 6, 10, 20, 30, 6}; });
        w.bus.stations[1].value = 5;
        TForm1& f = StartOne(w, "Dezimalpunkt=2\nSpeichern=1\n");
        w.ticks(2);
        QCOMPARE(f.GeraetPanel[1]->CaptionColor(), clRed);
        f.GeraetPanel[1]->CloseFile();
        QFile file(w.path(QStringLiteral("01061226.QTV")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 3);  // two records and the empty rest
        QVERIFY(lines[0].endsWith(" 00.05 bar\r"));
        QVERIFY(lines[0].startsWith("10:20:30"));
    }

    // Without an open port no exchange is made, so nothing counts against the station (before,
    // the eleventh such tick rested it for 50 s); the port is tried again about every second, at
    // the ticks, and the station is asked at the first tick that finds it open.
    void ticksWithoutAPortCountAgainstNoStationAndValuesReturnWithinASecondOfThePort() {
        WindowFixture w;
        w.bus.stations[1].value = 7;
        w.bus.portHeld = true;
        w.bus.counter.setStep(FakeCounter::kPerMs / 1000);  // a microsecond a reading
        const auto tick = [&] {
            w.bus.counter.advanceMs(500);
            w.ticks(1);
        };
        const auto ticksUntilAsked = [&] {
            w.bus.clear();
            int n = 0;
            while (w.bus.valueRequests().empty() && n < 20) tick(), ++n;
            return n;
        };
        TForm1& f = StartOne(w);
        TQTV3590* p = f.GeraetPanel[1];
        for (int i = 0; i < 30; ++i) tick();
        QVERIFY(w.bus.nothingSent());
        QCOMPARE(int(p->SioFehler), 0);
        QCOMPARE(int(p->ZVar), 1);
        w.bus.portHeld = false;  // the other program lets go
        QVERIFY(ticksUntilAsked() <= 2);
        QCOMPARE(p->GetText(), QStringLiteral(" 0007 bar"));
        // A 3 s outage: the device goes, and comes back.
        w.bus.portHeld = true;
        w.bus.line().setDeviceGone();
        for (int i = 0; i < 6; ++i) tick();
        QVERIFY(p->SioFehler <= 1);  // the one poll that met the loss
        w.bus.portHeld = false;
        QVERIFY(ticksUntilAsked() <= 3);
        QCOMPARE(p->FrameColor(), TQTV3590::kFrameButtonFace);
    }

    void silentStationIsRetriedElevenTimesThenRestsAHundredTicks() {
        WindowFixture w;
        w.bus.stations[1].silent = true;
        TForm1& f = StartOne(w);
        TQTV3590* p = f.GeraetPanel[1];
        p->SetText(QStringLiteral("alt"));
        w.ticks(10);
        QCOMPARE(w.bus.valueRequests().size(), std::size_t(10));
        QCOMPARE(p->FrameColor(), TQTV3590::kFrameButtonFace);
        QCOMPARE(p->CaptionColor(), clGreen);  // stays green after a failure
        QCOMPARE(p->GetText(), QStringLiteral("alt"));
        w.ticks(1);
        QCOMPARE(w.bus.valueRequests().size(), std::size_t(11));
        QCOMPARE(p->FrameColor(), clWhite);
        QCOMPARE(int(p->ZVar), 100);
        QCOMPARE(int(p->SioFehler), 0);
        w.ticks(99);
        QCOMPARE(w.bus.valueRequests().size(), std::size_t(11));
        w.bus.stations[1].silent = false;
        w.ticks(1);
        QCOMPARE(w.bus.valueRequests().size(), std::size_t(12));
        QCOMPARE(p->FrameColor(), TQTV3590::kFrameButtonFace);
        QCOMPARE(p->GetText(), QStringLiteral(" 0000 bar"));
    }

    void busAddressReturnsToTheActiveStationAfterEveryPoll() {
        WindowFixture w;
        w.bus.stations[1] = {};
        w.bus.stations[3] = {};
        TForm1& f = w.start(kTwoStations);
        f.AktivPanel = f.GeraetPanel[1];
        f.GeraetPanel[3]->ZVar = 1;
        w.ticks(1);
        QCOMPARE(w.bus.valueRequests(), (std::vector<int>{3}));
        QCOMPARE(int(BusAdresse), 1);
    }

    void statusLineAndParameterMenuFollowTheActiveType_data() {
        QTest::addColumn<int>("typ");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("messbereichShown");
        QTest::addColumn<QString>("messbereichCaption");
        QTest::addColumn<bool>("sonstigesShown");
        QTest::newRow("0x1234") << 0x1234 << "QTV120-034 = 1" << true << "Messbereich" << true;
        QTest::newRow("0x1050") << 0x1050 << "QTV100-050 = 1" << false << "Messbereich" << true;
        QTest::newRow("0x1060") << 0x1060 << "QTV100-060 = 1" << false << "Messbereich" << true;
        QTest::newRow("0x1090") << 0x1090 << "QTV100-090 = 1" << true << "Messart" << false;
    }
    void statusLineAndParameterMenuFollowTheActiveType() {
        QFETCH(int, typ);
        QFETCH(QString, status);
        QFETCH(bool, messbereichShown);
        QFETCH(QString, messbereichCaption);
        QFETCH(bool, sonstigesShown);
        WindowFixture w;
        TForm1& f = StartOne(w, "QtvTyp=" + QByteArray::number(typ) + "\n");
        f.Stop = true;
        for (int ticks = 0; ticks < 2; ++ticks) {  // the first frame already, then after a tick
            QCOMPARE(f.SLabel->text(), status);
            QCOMPARE(f.Messbereich1->isVisible(), messbereichShown);
            QCOMPARE(f.Messbereich1->text(), messbereichCaption);
            QCOMPARE(f.Sonstiges1->isVisible(), sonstigesShown);
            QVERIFY(f.ItParam->menuAction()->isEnabled());
            w.ticks(1);
        }
        Broadcast = true;
        w.ticks(1);
        QVERIFY(f.SLabel->text().endsWith(QStringLiteral(" = Broadcast")));
    }

    void broadcastPollFetchesTheValueFromTheStation() {
        WindowFixture w;
        w.bus.stations[1].value = -42;
        TForm1& f = StartOne(w);
        Broadcast = true;
        w.ticks(1);
        QCOMPARE(w.bus.asked().size(), std::size_t(2));
        QCOMPARE(w.bus.asked()[0].address, 0x20);
        QCOMPARE(w.bus.asked()[0].code, 0x31);
        QCOMPARE(w.bus.asked()[1].address, 1);
        QCOMPARE(w.bus.asked()[1].code, 0x61);
        QCOMPARE(f.GeraetPanel[1]->GetText(), QStringLiteral("-0042 bar"));
        QVERIFY(Broadcast);
    }

    void stoppedPollingResumesWhereItStood() {
        WindowFixture w;
        w.bus.stations[1] = {};
        TForm1& f = StartOne(w);
        f.GeraetPanel[1]->SetSZykl(3);
        f.StopItemClick();
        w.ticks(5);
        QVERIFY(w.bus.valueRequests().empty());
        QCOMPARE(int(f.GeraetPanel[1]->ZVar), 1);
        f.StopItemClick();
        w.ticks(4);
        QCOMPARE(w.bus.valueRequests().size(), std::size_t(2));  // at once, then 3 ticks later
    }

    void addressChangeMovesThePanelToItsNewSlot() {
        WindowFixture w;
        w.bus.stations[7] = {};
        TForm1& f = w.start("[Form]\nMaxGeraete=7\n[Geraet 3]\nAdresse=3\nZyklus=1\n");
        TQTV3590* p = f.GeraetPanel[3];
        p->OldAdr = 3;
        p->StatAdr = 7;
        p->ZVar = 1;
        w.ticks(1);
        QVERIFY(!f.GeraetPanel[3] && !f.GeraetBelegt[3]);
        QCOMPARE(f.GeraetPanel[7], p);
        QVERIFY(f.GeraetBelegt[7]);
        QCOMPARE(int(p->OldAdr), -1);
        QCOMPARE(w.bus.valueRequests(), (std::vector<int>{7}));
        QCOMPARE(f.SLabel->text(), QStringLiteral("QTV000-000 = 7"));
    }

    void addressChangeOntoAnotherStationIsRefused() {
        WindowFixture w;
        TForm1& f = w.start("[Form]\nMaxGeraete=7\n[Geraet 7]\nAdresse=7\n[Geraet 3]\nAdresse=3\n");
        TQTV3590* other = f.GeraetPanel[7];
        TQTV3590* p = f.GeraetPanel[3];
        f.AktivPanel = p;
        p->OldAdr = 3;
        p->StatAdr = 7;
        w.ticks(1);
        QCOMPARE(f.GeraetPanel[7], other);
        QCOMPARE(f.GeraetPanel[3], p);
        QCOMPARE(int(p->StatAdr), 3);
        QCOMPARE(int(p->OldAdr), -1);
    }

    void strayTelegramIsClearedInNetworkModeEvenWhileStopped() {
        WindowFixture w;
        TForm1& f = StartOne(w);
        Internet = 1;
        f.Stop = true;
        f.GeraetPanel[1]->SioFehler = 4;
        FremdAntworten[1][0] = STX;
        w.ticks(1);
        QCOMPARE(int(FremdAntworten[1][0]), 0);
        QCOMPARE(int(f.GeraetPanel[1]->SioFehler), 0);
        Internet = 0;
    }

    void stationWithAnAddressBeyondTheTableDoesNotReachPastIt() {
        WindowFixture w;
        TForm1& f = w.start("[Form]\n[Geraet 1]\nAdresse=300\nZyklus=1\n");
        Internet = 1;
        f.Stop = true;
        w.ticks(2);  // no crash, no write beyond FremdAntworten
        Internet = 0;
        QCOMPARE(f.SLabel->text(), QStringLiteral("QTV000-000 = 300"));
    }
};

QTEST_MAIN(PollingTest)
#include "PollingTest.moc"
