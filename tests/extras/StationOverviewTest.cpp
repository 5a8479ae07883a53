// The station overview with rows of its own (no main window): the state of each station with its
// cause and colour, sorting, the live refresh after a poll, the link's state at the top, and a
// click that makes a station the active one.

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QtTest>
#include <optional>

#include "extras/StationOverview.h"
#include "platform/Clock.h"
#include "platform/ProcessHooks.h"

namespace {
const std::int64_t kNow = LocalMilliseconds({2026, 12, 6, 12, 0, 0, 6, 0});

OverviewRow Row(int address, const char* value, std::int64_t lastValid) {
    OverviewRow r;
    r.address = address;
    r.value = QString::fromUtf8(value);
    r.zyklus = 1;
    r.stats.Add(true, lastValid);
    return r;
}
}  // namespace

class StationOverviewTest : public QObject {
    Q_OBJECT
    std::optional<ProcessHooksGuard> hooks_;  // the wall clock of a case goes back after it

private slots:
    void init() {
        hooks_.emplace();
        SetWallClock([] { return LocalDateTimeAt(kNow); });
    }
    void cleanup() { hooks_.reset(); }

    void eachRowSaysItsStateAndWhy() {
        std::vector<OverviewRow> rows{Row(1, " 0012.5", kNow - 3000), Row(2, " 0001.0", kNow - 60'000),
                                      Row(3, " Ueber", kNow), Row(4, " 0002.0", kNow), Row(5, "", kNow)};
        rows[1].stats.Add(false, kNow - 59'000);
        rows[1].firstFailure = kNow - 59'000;
        rows[1].cause = QString::fromUtf8("falsche Prüfsumme");
        rows[3].alarm = rows[3].unacknowledged = true;
        rows[4].zyklus = 0;
        OverviewModel m;
        m.SetRows(rows, kNow);
        const auto state = [&](int row) { return m.index(row, OverviewModel::Zustand).data().toString(); };
        QCOMPARE(state(0), QStringLiteral("antwortet"));
        QCOMPARE(state(1), QString::fromUtf8("keine Antwort seit 11:59:01 (falsche Prüfsumme)"));
        QCOMPARE(state(2), QString::fromUtf8("Über"));
        QCOMPARE(state(3), QString::fromUtf8("Alarm – Alarm nicht quittiert"));
        QCOMPARE(state(4), QStringLiteral("nicht abgefragt"));
        QCOMPARE(m.index(0, OverviewModel::Alter).data().toString(), QStringLiteral("3 s"));
        QCOMPARE(m.index(1, OverviewModel::Fehlversuche).data().toInt(), 1);
        QCOMPARE(m.index(3, OverviewModel::Zustand).data(Qt::BackgroundRole).value<QBrush>().color(),
                 OverviewModel::StateColour(OverviewState::Alarm));
        // Resting after the eleventh failure, until the time the polling cycle set.
        rows[1].restUntil = kNow + 50'000;
        m.SetRows(rows, kNow);
        QCOMPARE(state(1), QString::fromUtf8("ruht bis 12:00:50 (falsche Prüfsumme)"));
    }

    void theWindowSortsFollowsPollsAndActivatesOnAClick() {
        PollEvents polls;
        std::vector<OverviewRow> rows{Row(3, " 0030.0", kNow), Row(9, " 0005.0", kNow), Row(4, " 0100.0", kNow)};
        QString link;
        int activated = -1;
        OverviewContext c;
        c.polls = &polls;
        c.rows = [&] { return rows; };
        c.linkState = [&] { return link; };
        c.activate = [&](int a) { activated = a; };
        StationOverview w(c, nullptr);
        w.show();
        QTableView* t = w.Table();
        t->sortByColumn(OverviewModel::Wert, Qt::DescendingOrder);
        QCOMPARE(w.AddressAt(t->model()->index(0, 0)), 4);  // by the number, not by the text
        QCOMPARE(w.AddressAt(t->model()->index(2, 0)), 9);
        rows[1].value = QStringLiteral(" 0500.0");
        link = QStringLiteral("Abfrage gestoppt");
        polls.Notify({});
        QTRY_COMPARE(w.AddressAt(t->model()->index(0, 0)), 9);
        QVERIFY(w.LinkState()->isVisible());
        QCOMPARE(w.LinkState()->text(), link);
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(t->model()->index(1, 1)).center());
        QCOMPARE(activated, 4);
    }
};

QTEST_MAIN(StationOverviewTest)
#include "StationOverviewTest.moc"
