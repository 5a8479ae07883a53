// The trend window with stations and polls of its own (no main window): live points and their
// gaps, out-of-range marks, following and scrolling back, days read from recording files in the
// background, the cursor's read-out, the legend's tooltip, PNG and CSV.

#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "platform/ProcessHooks.h"
#include "extras/TrendChart.h"
#include "extras/TrendWindow.h"
#include "platform/Clock.h"
#include "records/RecordingFiles.h"
#include "support/StrictCsv.h"

namespace {
const Date kToday{2026, 12, 6};
const std::int64_t kNow = LocalMs(kToday, 12, 0, 0);

class Rig {
    ProcessHooksGuard hooks_;  // first: the wall clock set below goes back when the rig goes

public:
    Rig() {
        SetWallClock([] { return LocalDateTime{2026, 12, 6, 12, 0, 0, 6, 0}; });
        context.polls = &polls;
        context.stations = [this] { return stations; };
        const QString folder = dir.path();
        context.recordingFolder = [folder] { return folder; };
        StationInfo s;
        s.address = 5;
        s.title = QString::fromUtf8("Kühlung");
        s.unit = QStringLiteral("bar");
        s.zyklus = 1;
        stations.push_back(s);
        s.address = 7;
        s.title = QStringLiteral("Druck");
        s.unit = QStringLiteral("mbar");
        stations.push_back(s);
    }

    void poll(int address, std::int64_t t, const char* text) {
        PollResult r;
        r.address = address;
        r.time = t;
        r.answered = text != nullptr;
        if (text) r.text = QString::fromUtf8(text);
        polls.Notify(r);
    }
    void record(int address, const Date& d, const std::string& bytes) {
        std::ofstream out(dir.filePath(QString::fromStdString(RecordingFileName(address, d))).toStdString(), std::ios::binary);
        out << bytes;
    }
    // A window showing station 5 whose first load (yesterday and today) is done.
    std::unique_ptr<TrendWindow> open() {
        auto w = std::make_unique<TrendWindow>(context);
        QSignalSpy loaded(w.get(), &TrendWindow::loadFinished);
        w->AddStation(5);
        if (loaded.isEmpty()) loaded.wait(5000);
        w->resize(900, 500);
        w->show();
        QCoreApplication::processEvents();
        return w;
    }

    QTemporaryDir dir;
    PollEvents polls;
    std::vector<StationInfo> stations;
    ExtrasContext context;
};

int Count(const std::vector<Sample>& s, SampleKind kind) {
    return int(std::count_if(s.begin(), s.end(), [kind](const Sample& x) { return x.kind == kind; }));
}
}  // namespace

class TrendWindowTest : public QObject {
    Q_OBJECT
private slots:
    void captionNamesEveryStationWithTitleAndAddress() {
        Rig rig;
        auto w = rig.open();
        QCOMPARE(w->windowTitle(), QString::fromUtf8("Verlauf – Kühlung (5)"));
        w->AddStation(7);
        QCOMPARE(w->windowTitle(), QString::fromUtf8("Verlauf – Kühlung (5), Druck (7)"));
        w->RemoveStation(5);
        QCOMPARE(w->windowTitle(), QString::fromUtf8("Verlauf – Druck (7)"));
        QCOMPARE(w->Stations(), (std::vector<int>{7}));
    }

    void answeredPollsAddPointsAndAFailedPollCutsTheLine() {
        Rig rig;
        auto w = rig.open();
        const std::int64_t t = kNow - 10'000;
        rig.poll(5, t, " 01.00 bar");
        rig.poll(5, t + 500, "-01.50 bar");
        rig.poll(5, t + 1000, nullptr);  // no answer
        rig.poll(5, t + 1500, " 02.00 bar");
        rig.poll(5, t + 2000, " 02.25 bar");
        rig.poll(5, t + 2500, " Ueber bar");
        rig.poll(7, t + 2500, " 0003 mbar");  // not shown: ignored
        QCoreApplication::processEvents();
        const std::vector<Sample>& s = *w->SeriesOf(5);
        QCOMPARE(Count(s, SampleKind::Value), 4);
        QCOMPARE(Count(s, SampleKind::Gap), 1);
        QCOMPARE(Count(s, SampleKind::Over), 1);
        QCOMPARE(s[1].value, -1.5f);
        QCOMPARE(int(s[1].decimals), 2);
        TrendChart* chart = w->Chart();
        QCOMPARE(chart->LinePieces(0), 2);
        QCOMPARE(chart->LinePoints(0, 0), (QList<QPointF>{{double(t), 1.0}, {double(t + 500), -1.5}}));
        QCOMPARE(chart->OverMarks(0), 1);
        QCOMPARE(chart->UnderMarks(0), 0);
        QVERIFY(chart->ValueAxisMax() > 2.25 && chart->ValueAxisMin() < -1.5);
        // Following: the window ends now and spans the chosen ten minutes.
        QVERIFY(w->Following());
        QCOMPARE(chart->To(), kNow);
        QCOMPARE(chart->To() - chart->From(), TrendWindow::SpanMs(0));
    }

    void scrollingBackStopsFollowingAndEndReturns() {
        Rig rig;
        auto w = rig.open();
        w->Chart()->setFocus();
        QTest::keyClick(w->Chart(), Qt::Key_Left);
        QVERIFY(!w->Following());
        QCOMPARE(w->Chart()->To(), kNow - TrendWindow::SpanMs(0) / 10);
        rig.poll(5, kNow, " 0001 bar");
        QCoreApplication::processEvents();
        QCOMPARE(w->Chart()->To(), kNow - TrendWindow::SpanMs(0) / 10);  // stays where the operator put it
        QTest::keyClick(w->Chart(), Qt::Key_Minus);
        QVERIFY(w->Chart()->To() - w->Chart()->From() > TrendWindow::SpanMs(0));
        QTest::keyClick(w->Chart(), Qt::Key_End);
        QVERIFY(w->Following());
        QCOMPARE(w->Chart()->To(), kNow);
        w->ChooseSpan(2);
        QCOMPARE(w->Chart()->To() - w->Chart()->From(), TrendWindow::SpanMs(2));
    }

    void todaysRecordingIsJoinedWithTheLivePoints() {
        Rig rig;
        rig.record(5, kToday, "11:59:50 0001 bar\r\n11:59:51 0002 bar\r\n");
        auto w = rig.open();
        rig.poll(5, kNow - 8000, " 0003 bar");
        QCoreApplication::processEvents();
        const std::vector<Sample>& s = *w->SeriesOf(5);
        QCOMPARE(Count(s, SampleKind::Value), 3);
        QCOMPARE(Count(s, SampleKind::Gap), 0);
        QCOMPARE(w->Chart()->LinePieces(0), 1);
    }

    void daysAreReadInTheBackgroundAndShownWhole() {
        Rig rig;
        std::string day1, day2;
        for (int s = 0; s < 3600; ++s) {
            char line[32];
            std::snprintf(line, sizeof line, "%02d:%02d:%02d %04d bar\r\n", 8 + s / 3600, s / 60 % 60, s % 60, s % 100);
            day1 += line;
            day2 += line;
        }
        day2 += "kaputt\r\n";
        rig.record(5, Date{2026, 12, 3}, day1);
        rig.record(5, Date{2026, 12, 4}, day2);
        auto w = rig.open();
        QSignalSpy loaded(w.get(), &TrendWindow::loadFinished);
        w->LoadDays(Date{2026, 12, 4}, Date{2026, 12, 3});  // either order
        // The call returns before the days are shown, however soon the reading thread is done:
        // they arrive through the event loop.
        QCOMPARE(loaded.count(), 0);
        QCOMPARE(w->StatusText(), QString::fromUtf8("Lade Aufzeichnungen …"));
        QVERIFY(loaded.wait(5000));
        QVERIFY(!w->Following());
        QCOMPARE(w->Chart()->From(), LocalMs(Date{2026, 12, 3}));
        QCOMPARE(w->Chart()->To(), LocalMs(Date{2026, 12, 5}));
        const std::vector<Sample>& s = *w->SeriesOf(5);
        QCOMPARE(Count(s, SampleKind::Value), 7200);
        QCOMPARE(Count(s, SampleKind::Gap), 1);  // the night between the days
        QCOMPARE(w->Chart()->LinePieces(0), 2);
        QVERIFY(w->StatusText().contains(QStringLiteral("7200 Punkte aus 2 Dateien")));
        QVERIFY(w->StatusText().contains(QString::fromUtf8("1 fehlerhafte Zeile übersprungen")));
        QVERIFY(w->Chart()->ValueAxisMax() >= 99);
    }

    void aHugeOrLinkedFileIsSkippedByNameAndTheLoadStillEnds() {
        Rig rig;
        rig.record(5, Date{2026, 12, 3}, "08:00:00 0001 bar\r\n");
        rig.record(5, Date{2026, 12, 4}, "");
        const std::string huge = rig.dir.filePath(QStringLiteral("05041226.QTV")).toStdString();
        std::filesystem::resize_file(huge, (64u << 20) + 1);  // sparse: larger than any recording
        auto w = rig.open();
        QSignalSpy loaded(w.get(), &TrendWindow::loadFinished);
        w->LoadDays(Date{2026, 12, 3}, Date{2026, 12, 4});
        QVERIFY(loaded.wait(5000));
        QVERIFY2(w->StatusText().contains(QString::fromUtf8("1 Punkt aus 1 Datei, 1 Datei nicht lesbar oder zu groß "
                                                            "(erste: 05041226.QTV)")), qPrintable(w->StatusText()));
    }

    void cursorReadsEachStationsValueAndGaps() {
        Rig rig;
        auto w = rig.open();
        w->AddStation(7);
        rig.poll(5, kNow - 3000, " 01.25 bar");
        rig.poll(5, kNow - 2500, " 01.50 bar");
        rig.poll(5, kNow - 2000, nullptr);
        rig.poll(7, kNow - 3000, " Unter mbar");
        QCoreApplication::processEvents();
        const QString at = w->CursorText(kNow - 2700);
        QVERIFY2(at.startsWith(QStringLiteral("06.12.2026 11:59:57")), qPrintable(at));
        QVERIFY2(at.contains(QString::fromUtf8("Kühlung (5): 1,25 bar")), qPrintable(at));
        QVERIFY2(at.contains(QStringLiteral("Druck (7): Unter")), qPrintable(at));
        QVERIFY2(w->CursorText(kNow - 1000).contains(QStringLiteral("(5): keine Antwort")), qPrintable(w->CursorText(kNow - 1000)));
    }

    void legendToolTipTellsTheAgeOfTheValue() {
        Rig rig;
        rig.stations[0].stats.Add(true, kNow - 3000);
        rig.stations[0].stats.Add(false, kNow - 1000);
        auto w = rig.open();
        const QString tip = w->LegendToolTip(5);
        QVERIFY2(tip.contains(QString::fromUtf8("Kühlung (5), bar")), qPrintable(tip));
        QVERIFY2(tip.contains(QString::fromUtf8("Letzter gültiger Wert: 11:59:57 (vor 3 s)")), qPrintable(tip));
        QVERIFY2(tip.contains(QStringLiteral("Fehlversuche seither: 1")), qPrintable(tip));
    }

    void viewSavesAsPngAndShownValuesAsCsv() {
        Rig rig;
        auto w = rig.open();
        rig.poll(5, kNow - 3000, " 01.25 bar");
        rig.poll(5, kNow - 2000, nullptr);
        rig.poll(5, kNow - 1000, " Ueber bar");
        QCoreApplication::processEvents();
        const QString png = rig.dir.filePath(QStringLiteral("v.png"));
        QVERIFY(w->SavePng(png));
        QImage image(png);
        QVERIFY(!image.isNull());
        QVERIFY(image.width() > 400);
        const QString pipe = rig.dir.filePath(QStringLiteral("pipe.png"));
        QCOMPARE(::mkfifo(pipe.toLocal8Bit().constData(), 0666), 0);
        QVERIFY(!w->SavePng(pipe));  // returns at once, and the pipe stays a pipe
        QVERIFY(std::filesystem::is_fifo(pipe.toStdString()));
        const QString csvPath = rig.dir.filePath(QStringLiteral("v.csv"));
        QVERIFY(w->SaveCsv(csvPath));
        QFile f(csvPath);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const StrictCsv csv = ReadStrictCsv(f.readAll().toStdString());
        QCOMPARE(QString::fromStdString(csv.error), QString());
        QVERIFY(csv.bom);
        QCOMPARE(int(csv.rows.size()), 3);
        QCOMPARE(csv.rows[1], (std::vector<std::string>{"06.12.2026", "11:59:57", "5", "Kühlung", "1,25", "bar", ""}));
        QCOMPARE(csv.rows[2], (std::vector<std::string>{"06.12.2026", "11:59:59", "5", "Kühlung", "", "bar", "Ueber"}));
    }

    void eachUnitHasItsAxisAndLimitLinesCanBeHidden() {
        Rig rig;
        rig.stations[0].limits = {{QStringLiteral("SP1"), 7.5}};
        auto w = rig.open();
        w->AddStation(7);
        rig.poll(5, kNow - 2000, " 01.25 bar");
        rig.poll(7, kNow - 2000, " 5900 mbar");
        QCoreApplication::processEvents();
        TrendChart* chart = w->Chart();
        QCOMPARE(chart->ValueAxes(), 2);
        QCOMPARE(chart->AxisTitle(0), QStringLiteral("bar"));
        QCOMPARE(chart->AxisSide(1), Qt::AlignRight);
        QVERIFY(chart->ValueAxisMax(0) >= 7.5 && chart->ValueAxisMin(0) >= 0);  // the limit in sight, no axis below zero
        QVERIFY(chart->ValueAxisMin(1) >= 0 && chart->ValueAxisMax(1) < 7000);
        QVERIFY(w->CursorText(kNow - 1900).contains(QStringLiteral("5900 mbar")));  // no thousands dot
        w->ShowLimit(5, QStringLiteral("SP1"), false);
        QVERIFY(chart->ValueAxisMax(0) < 7.5);
    }

    void moreThanTwoUnitsGetStackedPanesOverOneTimeAxis() {
        Rig rig;
        for (const auto& [address, unit] : {std::pair{9, "Stk"}, std::pair{11, "kg"}}) {
            StationInfo s;
            s.address = address;
            s.title = QStringLiteral("Waage");
            s.unit = QString::fromUtf8(unit);
            s.zyklus = 1;
            rig.stations.push_back(s);
        }
        auto w = rig.open();
        for (int address : {7, 9, 11}) w->AddStation(address);
        rig.poll(5, kNow - 2000, " 01.25 bar");
        rig.poll(7, kNow - 2000, " 0590 mbar");
        rig.poll(9, kNow - 2000, " 5900 Stk");
        rig.poll(11, kNow - 2000, " 21.50 kg");
        QCoreApplication::processEvents();
        TrendChart* chart = w->Chart();
        QCOMPARE(chart->Panes(), 4);
        QCOMPARE(chart->ValueAxes(), 4);
        for (int axis = 0; axis < 4; ++axis) {
            QCOMPARE(chart->PaneOf(axis), axis);
            QCOMPARE(chart->AxisSide(axis), Qt::AlignLeft);
        }
        QCOMPARE(chart->AxisTitle(2), QStringLiteral("Stk"));
        QVERIFY(chart->ValueAxisMin(2) <= 5900 && chart->ValueAxisMax(2) >= 5900 && chart->ValueAxisMin(2) >= 0);
        // The plots stand one under the other and start and end alike, whatever their labels.
        for (int pane = 1; pane < 4; ++pane) {
            const QRect above = chart->PlotRect(pane - 1), here = chart->PlotRect(pane);
            QVERIFY2(std::abs(here.left() - above.left()) <= 1 && std::abs(here.right() - above.right()) <= 1,
                     qPrintable(QStringLiteral("%1..%2 under %3..%4").arg(here.left()).arg(here.right()).arg(above.left()).arg(above.right())));
            QVERIFY(here.top() > above.bottom());
            QVERIFY(here.height() >= 40);
        }
        QVERIFY(!chart->TimeLabels().isEmpty());
        // One cursor for all panes, and the read-out names every station.
        chart->SetCursorShare(1.0 - 1900.0 / double(TrendWindow::SpanMs(0)));  // just after the polls
        bool shown = false;
        for (QLabel* l : w->findChildren<QLabel*>())
            shown = shown || (l->text().contains(QStringLiteral("5900 Stk")) && l->text().contains(QStringLiteral("21,50 kg")));
        QVERIFY(shown);
        const QString png = rig.dir.filePath(QStringLiteral("panes.png"));
        QVERIFY(w->SavePng(png));
        QVERIFY(QImage(png).height() > chart->height());
        // Down to two units: one pane again, the second axis on the right.
        w->RemoveStation(9);
        w->RemoveStation(11);
        QCOMPARE(chart->Panes(), 1);
        QCOMPARE(chart->AxisSide(1), Qt::AlignRight);
    }

    void readOutFollowsEveryZoomAndTellsMissingRecordsFromMissingAnswers() {
        Rig rig;
        rig.record(5, kToday, "11:00:00 0001 bar\r\n11:00:01 0002 bar\r\n");
        auto w = rig.open();
        rig.poll(5, kNow - 3000, " 01.25 bar");
        rig.poll(5, kNow - 2500, nullptr);
        QCoreApplication::processEvents();
        QVERIFY(w->CursorText(kNow - 2000).contains(QStringLiteral("(5): keine Antwort")));
        QVERIFY(w->CursorText(kNow - 30 * 60'000).contains(QStringLiteral("(5): keine Aufzeichnung")));  // not polled then
        w->LoadDays(kToday, kToday);  // the event log says it polled from 10:30 on
        std::ofstream(rig.dir.filePath(QStringLiteral("EREIGNIS-2026-12-06.txt")).toStdString())
            << "06.12.2026 10:30:00\t\tProgramm gestartet\r\n";
        QSignalSpy loaded(w.get(), &TrendWindow::loadFinished);
        w->LoadDays(kToday, kToday);
        QVERIFY(loaded.wait(5000));
        QVERIFY(w->CursorText(LocalMs(kToday, 11, 30)).contains(QStringLiteral("(5): keine Antwort")));
        QVERIFY(w->CursorText(LocalMs(kToday, 10)).contains(QStringLiteral("(5): keine Aufzeichnung")));
        // The read-out is for the time under the cursor, after a zoom too, without a mouse move.
        w->Chart()->SetCursorShare(0.25);
        QTest::keyClick(w->Chart(), Qt::Key_Plus);
        const std::int64_t at = w->Chart()->From() + (w->Chart()->To() - w->Chart()->From()) / 4;
        QCOMPARE(at / 1000, LocalMs(kToday, 6) / 1000);  // zoomed around the cursor
        QCOMPARE(w->SpanText(), QStringLiteral("frei"));
        bool shown = false;
        for (QLabel* l : w->findChildren<QLabel*>()) shown = shown || l->text() == w->CursorText(at);
        QVERIFY(shown);
        w->ChooseSpan(1);
        QCOMPARE(w->SpanText(), QStringLiteral("1 Stunde"));
    }

    void printsAndSavesWithAHeaderAndRemembersItsPlace() {
        Rig rig;
        const QString state = rig.dir.filePath(QStringLiteral("tarvo.INI.Verlauf"));
        rig.context.stateFile = [state] { return state; };
        rig.context.plantTitle = [] { return QStringLiteral("Kesselhaus"); };
        auto w = rig.open();
        w->AddStation(7);
        QCOMPARE(w->ReportHeader().value(0), QStringLiteral("Kesselhaus"));
        QVERIFY(w->ReportHeader().value(1).contains(QString::fromUtf8("Kühlung (5) in bar, Druck (7) in mbar")));
        QVERIFY(w->ReportHeader().value(2).startsWith(QStringLiteral("Zeitraum: 06.12.2026 11:50:00 bis 06.12.2026 12:00:00")));
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(rig.dir.filePath(QStringLiteral("v.pdf")));
        QVERIFY(w->Print(printer));
        QVERIFY(QFileInfo(printer.outputFileName()).size() > 1000);
        const QString png = rig.dir.filePath(QStringLiteral("v.png"));
        QVERIFY(w->SavePng(png));
        QVERIFY(QImage(png).height() > w->Chart()->height() + 40);  // the header above
        // A station removed and added again keeps its colour; a new window opens where this was.
        const QColor colour = w->Chart()->TraceColour(1);
        w->RemoveStation(7);
        w->AddStation(7);
        QCOMPARE(w->Chart()->TraceColour(1), colour);
        w->move(123, 77);
        w->close();
        TrendWindow again(rig.context);
        again.RestorePlace();
        QCOMPARE(again.RememberedStations(), (std::vector<int>{5, 7}));
        QCOMPARE(again.size(), w->size());
    }

    void longRangesComeFromSummariesAndTheDaysInViewAreReadWhole() {
        Rig rig;
        std::string day;
        for (int s = 0; s < 7200; ++s) {
            char line[32];
            std::snprintf(line, sizeof line, "%02d:%02d:%02d %04d bar\r\n", 8 + s / 3600, s / 60 % 60, s % 60, s % 100);
            day += line;
        }
        for (int d = 1; d <= 9; ++d) rig.record(5, Date{2026, 11, 20 + d}, day);
        auto w = rig.open();
        QSignalSpy loaded(w.get(), &TrendWindow::loadFinished);
        w->LoadDays(Date{2026, 11, 21}, Date{2026, 11, 29});
        QVERIFY(loaded.wait(5000));
        QVERIFY(w->Summarised());
        QVERIFY(w->StatusText().startsWith(QStringLiteral("64800 Punkte aus 9 Dateien")));
        QVERIFY(w->SeriesOf(5)->size() < 64800 / 10);
        QVERIFY(w->Chart()->DrawsOverview(0));  // nine days in some 600 columns: the coarser grain
        w->Chart()->SetWindow(LocalMs(Date{2026, 11, 25}, 8), LocalMs(Date{2026, 11, 25}, 9));
        QVERIFY(!w->Chart()->DrawsOverview(0));
        emit w->Chart()->windowMoved(w->Chart()->From(), w->Chart()->To());
        QTRY_VERIFY_WITH_TIMEOUT(w->DetailShown(), 5000);
        const auto& s = *w->SeriesOf(5);
        QCOMPARE(std::count_if(s.begin(), s.end(), [](const Sample& x) {
                     return x.t >= LocalMs(Date{2026, 11, 25}) && x.t < LocalMs(Date{2026, 11, 26}) && x.kind == SampleKind::Value;
                 }), 7200);
    }
};

QTEST_MAIN(TrendWindowTest)
#include "TrendWindowTest.moc"
