// What the main window adds for the operator, against stations on a scripted line: the link's
// state beside the status line, a limit alarm from a poll through the event log, the overview
// and the alarm list to its acknowledgement, and the cause of a silent station in the overview.

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "support/WindowFixture.h"
#include "records/Alarms.h"
#include "records/EventLog.h"

namespace {
const QByteArray kOneStation = "[Form]\nMaxGeraete=3\n[Geraet 1]\nAdresse=1\nZyklus=1\nBenennung=bar\n";

bool Logged(const TForm1& f, int station, const std::string& text) {
    for (const EventEntry& e : f.Ereignisse->Entries())
        if (e.station == station && e.text == text) return true;
    return false;
}

QString StateShown(TForm1& f) {
    f.Uebersicht()->Refresh();
    return f.Uebersicht()->Model()->index(0, OverviewModel::Zustand).data().toString();
}
}  // namespace

class OperatorTest : public QObject {
    Q_OBJECT
private slots:
    void theLinkStateSaysWhatIsNotNormalBesideTheStatusLine() {
        WindowFixture w;
        w.bus.stations[1] = {};
        TForm1& f = w.start(kOneStation);
        QCoreApplication::processEvents();
        QCOMPARE(f.LinkStateText(), QString());
        QCOMPARE(f.LinkState->parentWidget(), f.SLabel);
        f.StopItemClick();
        f.Broadcast1Click();
        QCOMPARE(f.LinkStateText(), QString::fromUtf8("Abfrage gestoppt  ·  Broadcast-Betrieb"));
        f.Entfernen1Click();
        QVERIFY(f.LinkStateText().endsWith(QStringLiteral("Passiv: keine Station aktiv, es wird nicht abgefragt")));
    }

    void aPortThatCannotBeOpenedIsNamedWithItsTime() {
        WindowFixture w;
        w.bus.portHeld = true;
        TForm1& f = w.start(kOneStation);
        QTRY_VERIFY(f.LinkStateText().startsWith(QString::fromUtf8("Schnittstelle COM1 kann nicht geöffnet werden (seit ")));
    }

    void aLimitAlarmIsLoggedMarkedAndAcknowledged() {
        WindowFixture w;
        w.bus.stations[1].value = 150;
        TForm1& f = w.start(kOneStation);
        f.GeraetPanel[1]->Alarmgrenzen.oben = 100;
        f.GeraetPanel[1]->ZVar = 1;
        w.ticks(1);
        QVERIFY(Logged(f, 1, "Alarm oben gekommen: Wert 0150 bar, Grenze 100 bar"));
        QCOMPARE(f.LinkStateText(), QStringLiteral("1 Alarm nicht quittiert"));
        f.Stationsuebersicht1Click();
        QCOMPARE(StateShown(f), QString::fromUtf8("Alarm – Alarm nicht quittiert"));
        f.Alarme1Click();
        QCOMPARE(f.AlarmFenster()->Table()->rowCount(), 1);
        for (QPushButton* b : f.AlarmFenster()->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("&Alle quittieren")) b->click();
        QVERIFY(Logged(f, 1, "Alarm oben quittiert: Wert 0150 bar, Grenze 100 bar"));
        QCOMPARE(f.LinkStateText(), QString());
        QCOMPARE(StateShown(f), QStringLiteral("Alarm"));  // still beyond its limit
        f.Entfernen1Click();
        QTRY_VERIFY(Logged(f, 1, "Alarm oben gegangen: Wert nicht mehr überwacht, Grenze 100 bar"));
    }

    void theOverviewNamesWhyAStationDoesNotAnswer() {
        WindowFixture w;
        w.bus.stations[1] = {};
        TForm1& f = w.start(kOneStation);
        f.GeraetPanel[1]->ZVar = 1;
        w.ticks(1);
        f.Stationsuebersicht1Click();
        QCOMPARE(StateShown(f), QStringLiteral("antwortet"));
        w.bus.stations[1].silent = true;
        w.ticks(1);
        QVERIFY(StateShown(f).startsWith(QStringLiteral("keine Antwort seit ")));
        QVERIFY(StateShown(f).endsWith(QStringLiteral("(keine Antwort)")));
        w.ticks(10);  // the eleventh failure rests it
        QVERIFY(StateShown(f).startsWith(QStringLiteral("ruht bis ")));
    }
};

QTEST_MAIN(OperatorTest)
#include "OperatorTest.moc"
