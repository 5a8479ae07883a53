// The clock window against simulated stations (one of them silent), and the event log's
// window: newest first, filtered by station, following the log while it is open.

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "extras/ClockDlg.h"
#include "extras/EventsDlg.h"
#include "link/Sio.h"
#include "platform/Clock.h"
#include "platform/Help.h"
#include "records/EventLog.h"
#include "support/FakeCounter.h"
#include "support/LinkReset.h"
#include "support/SimLine.h"

namespace {
QString U(const char* text) { return QString::fromUtf8(text); }
constexpr std::int64_t kStationStartMs = 1767614400LL * 1000;  // 05.01.2026 12:00:00 at 0 ms
}  // namespace

class ClockAndEventsWindowsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<LinkReset> linkReset;
    std::unique_ptr<FakeCounter> counter;
    QTemporaryDir dir;
    QList<int> help;
    std::int64_t wallMs = LocalMilliseconds(LocalDateTime{2026, 4, 1, 9, 0, 0});

  private slots:
    void initTestCase() { SetHelpObserver([this](int context) { help << context; }); }
    void cleanupTestCase() {
        SetHelpObserver({});
        SetWallClock({});
    }
    void init() {
        linkReset = std::make_unique<LinkReset>();
        counter = std::make_unique<FakeCounter>();
    }
    void cleanup() {
        counter.reset();
        linkReset.reset();
    }

    void clockWindowShowsBeforeDeviationAndResultPerStation() {
        SimulatedBus sim;
        QVERIFY(InitSio(1));
        sim.station(3).faults().silent = true;
        TUhrenDlg dlg({{1, QStringLiteral("Kessel")}, {3, QStringLiteral("Lager")}});
        QCOMPARE(dlg.Tabelle->item(0, 0)->text(), QStringLiteral("1 Kessel"));
        // The PC runs 90 s ahead of the stations.
        dlg.pcClock =
            PcClock{[&sim] { return LocalDateTimeAt(kStationStartMs + std::int64_t(sim.nowMs()) + 90'000); },
                    [&sim](unsigned ms) { sim.advance(ms); }};
        dlg.StellenBtn->click();
        QVERIFY(dlg.Tabelle->item(0, 1)->text().startsWith(QStringLiteral("05.01.26 12:00:0")));
        QCOMPARE(dlg.Tabelle->item(0, 2)->text(), QStringLiteral("-90 s"));
        QCOMPARE(dlg.Tabelle->item(0, 3)->text(), QStringLiteral("gestellt (0 s)"));
        QCOMPARE(dlg.Tabelle->item(1, 1)->text(), U("—"));
        QCOMPARE(dlg.Tabelle->item(1, 3)->text(), QStringLiteral("keine Antwort, nicht gestellt"));
        QCOMPARE(dlg.Fortschritt->value(), 2);
        QCOMPARE(dlg.SummeLabel->text(), U("1 von 2 Uhren gestellt. Nicht gestellt: Station 3."));
        QVERIFY(dlg.StellenBtn->isEnabled());
    }

    void eventsWindowShowsNewestFirstFilteredAndFollowsTheLog() {
        SetWallClock([this] { return LocalDateTimeAt(wallMs); });
        EventLog log(dir.path().toStdString());
        log.Add("Programm gestartet");
        wallMs += 1000;
        log.Add(5, "antwortet nicht mehr");
        wallMs += 1000;
        log.Add(6, "SP1Wert = 1 gesendet");
        wallMs += 1000;
        log.Add(EventEntry::kAllStations, "Komma = 2 gesendet");
        TEreignisDlg dlg(log);
        QCOMPARE(dlg.Tabelle->rowCount(), 4);
        QCOMPARE(dlg.Tabelle->item(0, 2)->text(), QStringLiteral("Komma = 2 gesendet"));
        QCOMPARE(dlg.Tabelle->item(3, 2)->text(), QStringLiteral("Programm gestartet"));
        QCOMPARE(dlg.Tabelle->item(3, 0)->text(), QStringLiteral("01.04.2026 09:00:00"));

        dlg.StationCoBox->setCurrentIndex(dlg.StationCoBox->findText(QStringLiteral("Station 5")));
        QCOMPARE(dlg.Filter(), 5);
        QCOMPARE(dlg.Tabelle->rowCount(), 2);  // its own entry and the broadcast
        QCOMPARE(dlg.Tabelle->item(1, 1)->text(), QStringLiteral("Station 5"));

        log.Add(5, "antwortet wieder (nach 2 s)");
        log.Add(6, "SP2Wert = 1 gesendet");
        QCOMPARE(dlg.Tabelle->rowCount(), 3);
        QCOMPARE(dlg.Tabelle->item(0, 2)->text(), QStringLiteral("antwortet wieder (nach 2 s)"));

        dlg.StationCoBox->setCurrentIndex(0);
        QCOMPARE(dlg.Tabelle->rowCount(), 6);
        QCOMPARE(dlg.Tabelle->item(0, 2)->text(), QStringLiteral("SP2Wert = 1 gesendet"));
        help.clear();
        dlg.HelpBtn->click();
        QCOMPARE(help, QList<int>{88});
    }

    void aClosedEventsWindowNoLongerListens() {
        EventLog log(dir.path().toStdString());
        { TEreignisDlg dlg(log); }
        log.Add("nach dem Fenster");  // would reach a destroyed window if it still listened
        QCOMPARE(log.Entries().size(), std::size_t(1));
    }
};

QTEST_MAIN(ClockAndEventsWindowsTest)
#include "ClockAndEventsWindowsTest.moc"
