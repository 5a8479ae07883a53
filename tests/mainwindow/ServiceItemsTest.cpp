// The service items of "E&xtras" (parameter sets, clocks, event log) and the event log the main
// window keeps: program start and exit, search, broadcast, stop and start, a parameter sent from
// a dialog, and a polled station that falls silent and comes back, in memory and in the day's file.

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <optional>

#include "support/DialogAnswer.h"
#include "support/WindowFixture.h"
#include "dialogs/Displdlg.h"
#include "extras/ClockDlg.h"
#include "extras/EventsDlg.h"
#include "extras/ParameterSetDlg.h"
#include "platform/ProcessHooks.h"
#include "records/EventLog.h"

namespace {
QString U(const char* text) { return QString::fromUtf8(text); }

std::vector<std::string> Texts(const TForm1& f) {
    std::vector<std::string> out;
    for (const EventEntry& e : f.Ereignisse->Entries())
        out.push_back(e.text);
    return out;
}

bool Logged(const TForm1& f, int station, const std::string& text) {
    for (const EventEntry& e : f.Ereignisse->Entries())
        if (e.station == station && e.text == text) return true;
    return false;
}

const QByteArray kOneStation = "[Form]\nMaxGeraete=3\n[Geraet 1]\nAdresse=1\nZyklus=1\nBenennung=bar\n";
}  // namespace

class ServiceItemsTest : public QObject {
    Q_OBJECT
    std::int64_t wallMs = LocalMilliseconds(LocalDateTime{2026, 2, 3, 10, 0, 0});
    std::optional<ProcessHooksGuard> hooks_;  // the wall clock of a case goes back after it

  private slots:
    void init() {
        hooks_.emplace();
        SetWallClock([this] { return LocalDateTimeAt(wallMs); });
    }
    void cleanup() { hooks_.reset(); }

    void itemsOpenTheirWindowsForTheActiveAndThePolledStations() {
        WindowFixture w;
        TForm1& f =
            w.start("[Form]\nMaxGeraete=3\n[Geraet 1]\nAdresse=1\n[Geraet 3]\nAdresse=3\nTitel=Lager\n");
        QString station;
        DialogAnswer backup([&station](QDialog* d) {
            station = d->findChild<QLabel*>(QStringLiteral("StationLabel"))->text();
            d->reject();
        });
        f.Parametersatzsichern1Click();
        QCOMPARE(*backup.seen, QStringLiteral("TParamSetDlg"));
        QCOMPARE(station, U("Station 3 „Lager“"));  // the last panel created is the active one

        int rows = 0;
        DialogAnswer clocks([&rows](QDialog* d) {
            rows = d->findChild<QTableWidget*>(QStringLiteral("Tabelle"))->rowCount();
            d->reject();
        });
        f.UhrenallerGertestellen1Click();
        QCOMPARE(rows, 2);  // the two polled stations

        f.Ereignisse1Click();
        TEreignisDlg* events = f.EreignisFenster();
        QVERIFY(events && events->isVisible());
        f.Ereignisse1Click();
        QCOMPARE(f.EreignisFenster(), events);  // one window, shown again
        QCOMPARE(events->Tabelle->item(events->Tabelle->rowCount() - 1, 2)->text(),
                 QStringLiteral("Programm gestartet"));
    }

    void startSearchBroadcastStopAndExitAreLoggedAndFiled() {
        WindowFixture w;
        w.bus.stations[2].idReport = 3520;
        TForm1& f = w.start("[Form]\nMaxGeraete=2\n");
        f.Broadcast1Click();
        f.SwitchBroadcast();
        f.StopItemClick();
        f.StopItemClick();
        w.bus.counter.setStepMs(250);
        f.Suchen1Click();
        f.Beenden1Click();
        const std::vector<std::string> expected = {
            "Programm gestartet",
            "Schnittstelle COM1 geöffnet",
            "Broadcast-Betrieb eingeschaltet",
            "Normalbetrieb eingeschaltet",
            "Abfrage angehalten",
            "Abfrage wieder gestartet",
            "bei der Suche gefunden, Typ QTV350-020",
            "Suche über die Stationen 1 bis 2: gefunden 2",
            "Programm beendet",
        };
        QCOMPARE(Texts(f), expected);
        QCOMPARE(f.Ereignisse->Entries()[6].station, 2);
        QFile file(w.path(QStringLiteral("EREIGNIS-2026-02-03.txt")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.startsWith("03.02.2026 10:00:00\t\tProgramm gestartet\r\n"));
        QVERIFY(text.endsWith("\t\tProgramm beendet\r\n"));
    }

    void aParameterSentFromADialogIsLoggedWithItsResult() {
        WindowFixture w;
        TForm1& f = w.start(kOneStation);
        DispDlg->DpRBtn3->setChecked(true);
        DispDlg->DpSBtnClick();  // station 1 does not acknowledge writes on this bus
        QVERIFY(Logged(f, 1, "Komma = 2 gesendet: Übertragungsfehler"));
        f.close();  // not through "&Beenden"
        QCOMPARE(Texts(f).back(), std::string("Programm beendet, ohne die Konfiguration zu schreiben"));
    }

    void aPolledStationFallingSilentAndComingBackIsLogged() {
        WindowFixture w;
        w.bus.stations[1] = {};
        TForm1& f = w.start(kOneStation);
        f.GeraetPanel[1]->ZVar = 1;
        w.ticks(1);
        w.bus.stations[1].silent = true;
        for (int i = 0; i < 10; ++i) {
            w.ticks(1);
            wallMs += 500;
        }
        QVERIFY(!Logged(f, 1, "antwortet nicht mehr (keine Antwort)"));
        w.ticks(1);
        QVERIFY(Logged(f, 1, "antwortet nicht mehr (keine Antwort)"));
        QCOMPARE(f.GeraetPanel[1]->FrameColor(), clWhite);
        w.bus.stations[1].silent = false;
        wallMs += 50'000;
        w.ticks(100);  // the rest after the eleventh failure
        QVERIFY(Logged(f, 1, "antwortet wieder (nach 55 s)"));
    }
};

QTEST_MAIN(ServiceItemsTest)
#include "ServiceItemsTest.moc"
