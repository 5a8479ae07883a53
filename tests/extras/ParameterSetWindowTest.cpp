// The parameter set window against simulated stations: a set taken into a file, a changed
// value marked beside it, the question before a restore naming the station (and the device
// types when they differ), nothing written without "Ja", and the panel taking what the station
// now holds.

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "extras/ParameterSetDlg.h"
#include "extras/ParameterSetText.h"
#include "link/Sio.h"
#include "panel/Qtv3590.h"
#include "platform/Clock.h"
#include "platform/Help.h"
#include "service/StationParameters.h"
#include "support/FakeCounter.h"
#include "support/LinkReset.h"
#include "support/SimLine.h"

#include <sys/stat.h>

namespace {
QString U(const char* text) { return QString::fromUtf8(text); }

int RowOf(const QTableWidget* t, const QString& key) {
    for (int r = 0; r < t->rowCount(); ++r)
        if (t->item(r, 0)->text() == key) return r;
    return -1;
}
}  // namespace

class ParameterSetWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<LinkReset> linkReset;
    std::unique_ptr<FakeCounter> counter;
    std::unique_ptr<SimulatedBus> sim;
    QWidget owner;
    TQTV3590* station2 = nullptr;
    QTemporaryDir dir;
    QList<int> help;

    QString File() const { return dir.filePath(QStringLiteral("kessel.ini")); }

    void Run(TParamSetDlg& dlg, const QString& path) {
        dlg.DateiEdit->setText(path);
        dlg.StartBtn->click();
    }

  private slots:
    void initTestCase() {
        linkReset = std::make_unique<LinkReset>();
        counter = std::make_unique<FakeCounter>();
        SetWallClock([] { return LocalDateTime{2026, 1, 5, 12, 0, 0}; });
        sim = std::make_unique<SimulatedBus>();
        QVERIFY(InitSio(1));  // the local port: each request with the byte after its checksum
        station2 = new TQTV3590(&owner);
        station2->Insert(2);
        station2->SetTitel(QStringLiteral("Kessel"));
        SetHelpObserver([this](int context) { help << context; });
    }
    void cleanupTestCase() {
        sim.reset();
        counter.reset();
        linkReset.reset();
    }

    void backupShowsEveryValueAndSavesTheFile() {
        TParamSetDlg dlg(TParamSetDlg::Action::Backup, station2);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Parametersatz sichern"));
        QCOMPARE(dlg.StationLabel->text(), U("Station 2 „Kessel“"));
        Run(dlg, File());
        QVERIFY(QFile::exists(File()));
        QCOMPARE(dlg.Tabelle->rowCount(), static_cast<int>(StationParameters().size()));
        QCOMPARE(dlg.Tabelle->item(RowOf(dlg.Tabelle, QStringLiteral("SP1Wert")), 1)->text(),
                 QStringLiteral("800"));
        QCOMPARE(dlg.Tabelle->item(RowOf(dlg.Tabelle, QStringLiteral("DTxt")), 1)->text(),
                 QStringLiteral("kWh"));
        QCOMPARE(dlg.Fortschritt->value(), dlg.Fortschritt->maximum());
        QCOMPARE(dlg.SummeLabel->text(),
                 U("Alle 24 Parameter gelesen und gesichert in „") + File() + U("“."));
        dlg.HelpBtn->click();
        QCOMPARE(help, QList<int>{84});
    }

    void compareMarksTheOneDifference() {
        sim->station(2).setParam("SP1Wert", "123");
        TParamSetDlg dlg(TParamSetDlg::Action::Compare, station2);
        Run(dlg, File());
        int marked = 0;
        for (int r = 0; r < dlg.Tabelle->rowCount(); ++r)
            marked += dlg.Tabelle->item(r, 3)->text() == U("≠");
        QCOMPARE(marked, 1);
        const int row = RowOf(dlg.Tabelle, QStringLiteral("SP1Wert"));
        QCOMPARE(dlg.Tabelle->item(row, 1)->text(), QStringLiteral("800"));
        QCOMPARE(dlg.Tabelle->item(row, 2)->text(), QStringLiteral("123"));
        QCOMPARE(dlg.Tabelle->item(row, 3)->text(), U("≠"));
        QCOMPARE(dlg.SummeLabel->text(), U("1 Unterschied: SP1Wert."));
    }

    void restoreAsksNamingTheStationAndWritesOnlyAfterYes() {
        sim->station(2).setParam("Komma", "3");
        station2->Komma = 3;
        TParamSetDlg dlg(TParamSetDlg::Action::Restore, station2);
        dlg.show();
        Run(dlg, File());
        QVERIFY(dlg.FrageFrame->isVisible());
        QVERIFY(!dlg.StartBtn->isEnabled());
        QVERIFY(dlg.FrageLabel->text().contains(U("auf Station 2 „Kessel“ übertragen?")));
        QVERIFY(!dlg.FrageLabel->text().contains(U("Achtung")));
        QCOMPARE(sim->station(2).paramText("SP1Wert", {}), std::string("123"));
        dlg.NeinBtn->click();
        QVERIFY(!dlg.FrageFrame->isVisible());
        QCOMPARE(dlg.SummeLabel->text(), U("Nichts übertragen."));
        QCOMPARE(sim->station(2).paramText("SP1Wert", {}), std::string("123"));

        dlg.StartBtn->click();
        dlg.JaBtn->click();
        QCOMPARE(sim->station(2).paramText("SP1Wert", {}), std::string("800"));
        QCOMPARE(dlg.SummeLabel->text(), U("Alle 24 Parameter geschrieben und bestätigt."));
        QCOMPARE(dlg.Tabelle->item(RowOf(dlg.Tabelle, QStringLiteral("SP1Wert")), 2)->text(),
                 U("geschrieben, bestätigt"));
        // The panel holds what the station now holds: the value display uses its decimal point.
        QCOMPARE(int(station2->SP1Wert), 800);
        QCOMPARE(int(station2->Komma), 1);
    }

    void aSetWithABadEntryOrAPipeIsRefusedBeforeTheQuestion() {
        const QString bad = dir.filePath(QStringLiteral("bad.ini"));
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Parameter]\r\nKomma=2\r\nSP1Wert=+-5\r\n");
        f.close();
        TParamSetDlg dlg(TParamSetDlg::Action::Restore, station2);
        Run(dlg, bad);
        QVERIFY(!dlg.FrageFrame->isVisible());
        QCOMPARE(dlg.SummeLabel->text(), U("Nichts übertragen: ungültige Einträge in der Datei: SP1Wert=+-5"));
        const QString pipe = dir.filePath(QStringLiteral("pipe.ini"));
        QCOMPARE(::mkfifo(pipe.toLocal8Bit().constData(), 0666), 0);
        TParamSetDlg compare(TParamSetDlg::Action::Compare, station2);
        Run(compare, pipe);  // returns at once: a pipe is never opened for reading
        QVERIFY2(compare.SummeLabel->text().contains(U("keine gewöhnliche Datei")), qPrintable(compare.SummeLabel->text()));
    }

    void summariesNameWhatWasNotReadAndWhatFailed() {
        ParameterSet set;
        for (const StationParameter& p : StationParameters())
            set.values.push_back(std::string(p.key) == "SP1Verz" ? SetValue{SetValue::State::NotRead, {}}
                                                                 : SetValue{SetValue::State::Value, "1"});
        set.typeCode = 0x3520;
        QCOMPARE(BackupSummary(set, QStringLiteral("a.ini"), true),
                 U("23 von 24 Parametern gelesen und gesichert in „a.ini“. Nicht gelesen: SP1Verz."));
        std::vector<RestoredParameter> rows = {
            {"Komma", {SetValue::State::Value, "2"}, RestoreOutcome::Verified, "2"},
            {"SP1Wert", {SetValue::State::Value, "500"}, RestoreOutcome::WriteFailed, "400"},
            {"DTxt", {SetValue::State::Value, "bar"}, RestoreOutcome::ReadBackDiffers, "baz"},
            {"SP1Verz", {SetValue::State::NotRead, {}}, RestoreOutcome::NotInFile, std::nullopt},
        };
        QCOMPARE(RestoreSummary(rows),
                 U("1 von 4 Parametern geschrieben und bestätigt. Fehlgeschlagen: SP1Wert "
                   "(Übertragungsfehler), DTxt (geschrieben, zurückgelesen: baz). Nicht "
                   "geschrieben (kein Wert in der Datei): SP1Verz."));
        QCOMPARE(TypeWarning(0x3520, 0x3510),
                 U("Die Datei stammt von einem Gerät des Typs QTV350-020, die Station ist QTV350-010."));
        QCOMPARE(TypeWarning(0x3520, std::nullopt),
                 U("Der Gerätetyp der Station kann nicht gelesen werden."));
    }
};

QTEST_MAIN(ParameterSetWindowTest)
#include "ParameterSetWindowTest.moc"
