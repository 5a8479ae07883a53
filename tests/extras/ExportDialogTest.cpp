// The window "Aufzeichnungen exportieren": the stations with files ticked, their days as the
// range, the export in the background with its summary, and refusals that write nothing.

#include <QCheckBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "extras/ExportDialog.h"
#include "records/RecordingFiles.h"
#include "records/StrictCsv.h"

namespace {
void Record(const QTemporaryDir& dir, int address, const Date& d, const std::string& bytes) {
    std::ofstream out(dir.filePath(QString::fromStdString(RecordingFileName(address, d))).toStdString(), std::ios::binary);
    out << bytes;
}

std::string Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

ExtrasContext ContextFor(const QTemporaryDir& dir) {
    ExtrasContext c;
    const QString folder = dir.path();
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
        QTemporaryDir dir;
        Record(dir, 5, Date{2026, 12, 6}, "14:03:27 00.05 bar\r\n14:03:28 müll\r\n");
        Record(dir, 7, Date{2026, 12, 6}, "14:03:27 0001 bar\r\n");
        Record(dir, 5, Date{2026, 12, 8}, "14:03:27 00.07 bar\r\n");
        ExportDialog dialog(ContextFor(dir));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Aufzeichnungen exportieren"));
        QCOMPARE(dialog.CheckedStations(), (std::vector<int>{5, 7}));
        dialog.SetStationChecked(7, false);
        dialog.SetDays(Date{2026, 12, 1}, Date{2026, 12, 6});
        const QString target = dir.filePath(QStringLiteral("out.csv"));
        dialog.SetTarget(target);
        QSignalSpy finished(&dialog, &ExportDialog::exportFinished);
        dialog.Start();
        QVERIFY(finished.wait(5000));
        QVERIFY2(dialog.Summary().contains(QStringLiteral("1 Zeile aus 1 Datei exportiert.")), qPrintable(dialog.Summary()));
        QVERIFY2(dialog.Summary().contains(QString::fromUtf8("1 fehlerhafte Zeile übersprungen (erste: 05061226.QTV, Zeile 2)")),
                 qPrintable(dialog.Summary()));
        const StrictCsv csv = ReadStrictCsv(Read(target));
        QCOMPARE(QString::fromStdString(csv.error), QString());
        QCOMPARE(int(csv.rows.size()), 2);
        QCOMPARE(csv.rows[1], (std::vector<std::string>{"06.12.2026", "14:03:27", "5", "Kühlung", "0,05", "bar", ""}));
    }

    void refusalsWriteNothing() {
        QTemporaryDir dir;
        Record(dir, 5, Date{2026, 12, 6}, "14:03:27 00.05 bar\r\n");
        ExportDialog dialog(ContextFor(dir));
        dialog.SetTarget(dir.filePath(QStringLiteral("05071226.QTV")));
        dialog.Start();
        QVERIFY(!dialog.Running());
        QVERIFY(dialog.Summary().contains(QStringLiteral("Aufzeichnungsdatei")));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("05071226.QTV"))));
        dialog.SetTarget(dir.filePath(QStringLiteral("out.csv")));
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
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.csv"))));
    }
};

QTEST_MAIN(ExportDialogTest)
#include "ExportDialogTest.moc"
