// The menu "E&xtras" as a whole, its trend items and what the polling cycle hands them: one
// result per poll to every listener, the panel's tooltip with the age of its value, and the trend
// opened from a panel's menu. The service items behind the separator: ServiceItemsTest.

#include <QKeySequence>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

#include "support/WindowFixture.h"
#include "extras/ExtrasWindows.h"
#include "extras/TrendWindow.h"
#include "panel/Qtv3590.h"
#include "platform/Help.h"
#include "platform/Clock.h"

namespace {
const QByteArray kStations =
    "[Form]\nMaxGeraete=7\n"
    "[Geraet 1]\nAdresse=1\nZyklus=1\nBenennung=bar\nDezimalpunkt=2\nTitel=K\xC3\xBChlung\n"
    "[Geraet 3]\nAdresse=3\nZyklus=1\nBenennung=mbar\nDezimalpunkt=0\nTitel=Druck\n";

LocalDateTime At(int second, int millisecond) { return LocalDateTime{2026, 12, 6, 10, 0, second, 6, millisecond}; }

QAction* Child(QObject* parent, const char* name) { return parent->findChild<QAction*>(QString::fromLatin1(name)); }
}  // namespace

class ExtrasMenuTest : public QObject {
    Q_OBJECT
private slots:
    void extrasMenuStandsBetweenSettingsAndHelp() {
        WindowFixture w;
        TForm1& f = w.start(kStations);
        QStringList bar;
        for (QAction* a : f.menuBar()->actions()) bar << a->text();
        QCOMPARE(bar, (QStringList{"&Datei", QString::fromUtf8("&Gerät"), "&Parameter", "&Einstellungen", "E&xtras",
                                   "&Hilfe", "&Stop"}));
        QAction* menu = f.ItExtras->menuAction();
        QCOMPARE(menu->property("helpContext").toInt(), 8);
        QCOMPARE(menu->statusTip(), QStringLiteral("Zusatzfunktionen"));
        // The trend items first, then the service items behind a separator ("-" below).
        QStringList names, captions;
        QList<int> contexts;
        for (QAction* a : f.ItExtras->actions()) {
            names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
            if (a->isSeparator()) continue;
            captions << a->text();
            contexts << a->property("helpContext").toInt();
            QVERIFY2(!a->statusTip().isEmpty(), qPrintable(a->text()));
        }
        QCOMPARE(names, (QStringList{"Verlauf1", "Exportieren1", "-", "Parametersatzsichern1",
                                     "Parametersatzvergleichen1", "Parametersatzbertragen1", "-",
                                     "UhrenallerGertestellen1", "Ereignisse1", "-", "Stationsuebersicht1", "Alarme1"}));
        QCOMPARE(captions, (QStringList{"&Verlauf...", "Aufzeichnungen e&xportieren...",
                                        QString::fromUtf8("Parametersatz &sichern..."),
                                        QString::fromUtf8("Parametersatz ver&gleichen..."),
                                        QString::fromUtf8("Parametersatz &übertragen..."),
                                        QString::fromUtf8("&Uhren aller Geräte stellen..."),
                                        QString::fromUtf8("&Ereignisse..."),
                                        QString::fromUtf8("S&tationsübersicht..."), "&Alarme..."}));
        QCOMPARE(contexts, (QList<int>{81, 82, 84, 85, 86, 87, 88, 89, 90}));
    }

    // Two items with the same underlined letter would make the letter open neither at once.
    void everyItemOfExtrasHasALetterOfItsOwn() {
        WindowFixture w;
        TForm1& f = w.start(kStations);
        QStringList letters;
        for (QAction* a : f.ItExtras->actions()) {
            if (a->isSeparator()) continue;
            const QKeySequence letter = QKeySequence::mnemonic(a->text());
            QVERIFY2(!letter.isEmpty(), qPrintable(a->text()));
            const QString key = letter.toString();
            QVERIFY2(!letters.contains(key), qPrintable(a->text() + QStringLiteral(" shares ") + key));
            letters << key;
        }
        QCOMPARE(letters.size(), 9);
    }

    void everyPollReachesEachListenerOnceWithItsResult() {
        WindowFixture w;
        w.bus.stations[1].value = -5;
        w.bus.stations[3].silent = true;
        TForm1& f = w.start(kStations);
        f.GeraetPanel[1]->ZVar = 1;
        f.GeraetPanel[3]->ZVar = 1;
        std::vector<PollResult> heard;
        f.Polls().Subscribe([&](const PollResult& r) { heard.push_back(r); });
        SetWallClock([] { return At(7, 250); });
        w.ticks(1);
        QCOMPARE(int(heard.size()), 2);
        QCOMPARE(heard[0].address, 1);
        QVERIFY(heard[0].answered);
        QCOMPARE(heard[0].value, -5);
        QCOMPARE(heard[0].text, QStringLiteral("-00.05 bar"));
        QCOMPARE(heard[0].time, LocalMilliseconds(At(7, 250)));
        QCOMPARE(heard[1].address, 3);
        QVERIFY(!heard[1].answered);
        QVERIFY(heard[1].text.isEmpty());
        QCOMPARE(f.GeraetPanel[3]->PollStats.FailedSince(), 1);
    }

    void panelToolTipTellsTheAgeAndTheIntervalReached() {
        WindowFixture w;
        w.bus.stations[1].value = 5;
        TForm1& f = w.start(kStations);
        TQTV3590* p = f.GeraetPanel[1];
        p->ZVar = 1;
        for (auto [second, ms] : {std::pair{0, 0}, {1, 600}, {3, 200}}) {
            SetWallClock([second, ms] { return At(second, ms); });
            w.ticks(1);
        }
        w.bus.stations[1].silent = true;
        SetWallClock([] { return At(4, 0); });
        w.ticks(2);
        SetWallClock([] { return At(5, 0); });
        const QString tip = p->PollToolTip();
        QVERIFY2(tip.contains(QString::fromUtf8("Letzter gültiger Wert: 10:00:03 (vor 1 s)")), qPrintable(tip));
        QVERIFY2(tip.contains(QStringLiteral("Fehlversuche seither: 2")), qPrintable(tip));
        QVERIFY2(tip.contains(QStringLiteral("Zyklus: 1 (alle 0,5 s), erreicht: ")), qPrintable(tip));
        QCOMPARE(p->GetText(), QStringLiteral(" 00.05 bar"));  // the panel itself shows what it showed
    }

    void panelMenuOpensTheTrendOfItsStationOnce() {
        WindowFixture w;
        w.bus.stations[1].value = 5;
        w.bus.stations[3].value = 7;
        TForm1& f = w.start(kStations);
        f.GeraetPanel[1]->ZVar = 1;
        f.GeraetPanel[3]->ZVar = 1;
        f.GeraetPanel[3]->TrendAction()->trigger();  // not the active station
        QCOMPARE(f.Extras().TrendWindows().size(), 1);
        TrendWindow* trend = f.Extras().TrendWindows().front();
        QCOMPARE(trend->windowTitle(), QString::fromUtf8("Verlauf – Druck (3)"));
        f.GeraetPanel[3]->TrendAction()->trigger();
        QCOMPARE(f.Extras().TrendWindows().size(), 1);  // raised, not opened twice
        w.ticks(2);
        QCOMPARE(int(trend->SeriesOf(3)->size()), 2);
        QCOMPARE(trend->SeriesOf(3)->back().value, 7.0f);

        f.AktivPanel = nullptr;
        Child(&f, "Verlauf1")->trigger();  // no active station: an empty trend to add stations to
        QCOMPARE(f.Extras().TrendWindows().size(), 2);
        QCOMPARE(f.Extras().TrendWindows().back()->windowTitle(), QStringLiteral("Verlauf"));
        Child(&f, "Exportieren1")->trigger();
        QVERIFY(f.findChild<QDialog*>(QStringLiteral("AufzeichnungenExportieren")));
    }

    void f1OnThePanelsTrendItemOpensItsHelp() {
        WindowFixture w;
        TForm1& f = w.start(kStations);
        QList<int> asked;
        SetHelpObserver([&](int n) { asked << n; });
        QMenu* menu = f.GeraetPanel[1]->PanelMenu();
        menu->popup(QPoint(10, 10));
        menu->setActiveAction(f.GeraetPanel[1]->TrendAction());
        QTest::keyClick(menu, Qt::Key_F1);
        menu->close();
        QCOMPARE(asked, (QList<int>{83}));
    }
};

QTEST_MAIN(ExtrasMenuTest)
#include "ExtrasMenuTest.moc"
