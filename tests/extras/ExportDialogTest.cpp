// The window "Aufzeichnungen exportieren": the stations with files ticked, their days as the
// range, the export in the background with its summary, and refusals that write nothing.

#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>
#include <filesystem>

#include "extras/ExportDialog.h"
#include "support/RecordingFolder.h"
#include "support/StrictCsv.h"

namespace {
ExtrasContext ContextFor(const RecordingFolder& dir) {
    ExtrasContext c;
    const QString folder = QString::fromStdString(dir.path());
    c.recordingFolder = [folder] { return folder; };
    c.stations = [] {
        StationInfo s;
        s.address = 5;
        s.title = QString::fromUtf8(" Kühlung ");
        return std::vector<StationInfo>{s};
    };
    return c;
}
}  // namespace

class ExportDialogTest : public QObject {
    Q_OBJECT
private slots:
    void exportsTheTickedStationsOfTheChosenDays() {
        RecordingFolder dir;
        dir.write(5, Date{2026, 12, 6}, "14:03:27 00.05 bar\r\n14:03:28 müll\r\n");
        dir.write(7, Date{2026, 12, 6}, "14:03:27 0001 bar\r\n");
        dir.write(5, Date{2026, 12, 8}, "14:03:27 00.07 bar\r\n");
        ExportDialog dialog(ContextFor(dir));
        QCOMPARE(dialog.CheckedStations(), (std::vector<int>{5, 7}));
        dialog.SetStationChecked(7, false);
        dialog.SetDays(Date{2026, 12, 1}, Date{2026, 12, 6});
        dialog.SetTarget(QString::fromStdString(dir.file("out.csv")));
        QSignalSpy finished(&dialog, &ExportDialog::exportFinished);
        dialog.Start();
        QVERIFY(finished.wait(5000));
        QVERIFY2(dialog.Summary().contains(QStringLiteral("1 Zeile aus 1 Datei exportiert.")), qPrintable(dialog.Summary()));
        QVERIFY2(dialog.Summary().contains(QString::fromUtf8("1 fehlerhafte Zeile übersprungen (erste: 05061226.QTV, Zeile 2)")),
                 qPrintable(dialog.Summary()));
        const StrictCsv csv = ReadStrictCsv(dir.read("out.csv"));
        QCOMPARE(QString::fromStdString(csv.error), QString());
        QCOMPARE(int(csv.rows.size()), 2);
        QCOMPARE(csv.rows[1], (std::vector<std::string>{"06.12.2026", "14:03:27", "5", "Kühlung", "0,05", "bar", ""}));
    }

    void labelsUnderlineTheirLetterAndFocusTheirField() {
        RecordingFolder dir;
        ExportDialog dialog(ContextFor(dir));
        for (const QString& text : {QStringLiteral("&Stationen:"), QStringLiteral("&Vom:"), QStringLiteral("&Zieldatei:")}) {
            const auto labels = dialog.findChildren<QLabel*>();
            const auto it = std::find_if(labels.begin(), labels.end(), [&](QLabel* l) { return l->text() == text; });
            QVERIFY2(it != labels.end() && (*it)->buddy(), qPrintable(text));
        }
    }

    void refusalsWriteNothing() {
        RecordingFolder dir;
        dir.write(5, Date{2026, 12, 6}, "14:03:27 00.05 bar\r\n");
        ExportDialog dialog(ContextFor(dir));
        dialog.SetTarget(QString::fromStdString(dir.file("05071226.QTV")));
        dialog.Start();
        QVERIFY(!dialog.Running());
        QVERIFY(dialog.Summary().contains(QStringLiteral("Aufzeichnungsdatei")));
        QVERIFY(!QFile::exists(QString::fromStdString(dir.file("05071226.QTV"))));
        std::filesystem::create_symlink(dir.file("05061226.QTV"), dir.file("report.csv"));
        dialog.SetTarget(QString::fromStdString(dir.file("report.csv")));
        dialog.Start();
        QVERIFY2(dialog.Summary().contains(QStringLiteral("Aufzeichnungsdatei")), qPrintable(dialog.Summary()));
        QCOMPARE(dir.read("05061226.QTV"), std::string("14:03:27 00.05 bar\r\n"));
        dialog.SetTarget(QString::fromStdString(dir.file("out.csv")));
        dialog.SetStationChecked(5, false);
        dialog.Start();
        QVERIFY(!dialog.Running());
        QVERIFY(dialog.Summary().contains(QStringLiteral("Station")));
        dialog.SetStationChecked(5, true);
        dialog.SetDays(Date{2026, 1, 1}, Date{2026, 1, 2});
        QSignalSpy finished(&dialog, &ExportDialog::exportFinished);
        dialog.Start();
        QVERIFY(finished.wait(5000));
        QCOMPARE(dialog.Summary(), QStringLiteral("Keine Aufzeichnungen gefunden."));
        QVERIFY(!QFile::exists(QString::fromStdString(dir.file("out.csv"))));
    }
};

QTEST_MAIN(ExportDialogTest)
#include "ExportDialogTest.moc"
