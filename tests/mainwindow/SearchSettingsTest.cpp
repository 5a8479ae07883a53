// The station search, reading the device type, and the settings for all stations.

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "support/DialogAnswer.h"
#include "support/WindowFixture.h"
#include "dialogs/QtvAndlg.h"
#include "dialogs/Titeldlg.h"
#include "dialogs/Zykludlg.h"
#include "panel/Qtv3590.h"
#include "ui/UpDown.h"

namespace {
std::vector<int> TypeRequests(const ScriptedBus& bus) {
    std::vector<int> out;
    for (const AskedRequest& r : bus.asked())
        if (r.code == 0x30) out.push_back(r.address);
    return out;
}

// Accepts the dialog after the test's settings.
template <typename Dialog>
DialogAnswer Accept(std::function<void(Dialog*)> set) {
    return DialogAnswer([set](QDialog* d) {
        if (auto* dlg = qobject_cast<Dialog*>(d)) set(dlg);
        d->accept();
    });
}
}  // namespace

class SearchSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void searchAsksFreeSlotsAndPlacesWhatAnswers() {
        WindowFixture w;
        w.bus.stations[1].idReport = 1234;
        w.bus.stations[2].idReport = 3520;
        w.bus.stations[3].idReport = 95;
        TForm1& f = w.start("[Form]\nMaxGeraete=3\n[Geraet 2]\nAdresse=2\nLeft=200\nTop=200\n");
        TQTV3590* occupied = f.GeraetPanel[2];
        f.Timer1->start();
        w.bus.counter.setStepMs(50);
        const std::uint64_t before = w.bus.counter.ms();
        f.Suchen1Click();
        const std::uint64_t took = w.bus.counter.ms() - before;

        QCOMPARE(TypeRequests(w.bus), (std::vector<int>{1, 3}));
        QVERIFY2(took >= 3000, "at least one second per address");
        TQTV3590* p1 = f.GeraetPanel[1];
        TQTV3590* p3 = f.GeraetPanel[3];
        QVERIFY(p1 && p3);
        QCOMPARE(f.GeraetPanel[2], occupied);
        QCOMPARE(occupied->pos(), QPoint(200, 200));
        QCOMPARE(p1->pos(), QPoint(12, 12));
        QCOMPARE(p3->pos(), QPoint(36, 36));
        QCOMPARE(int(p1->GetSTyp()), 0x1234);
        QCOMPARE(int(p3->GetSTyp()), 0x0095);
        QCOMPARE(p1->GetHGColor(), TColor(0x000080));
        QCOMPARE(p1->GetTextColor(), TColor(0x0000FF));
        QCOMPARE(int(p1->GetSZykl()), 0);
        QCOMPARE(f.AktivPanel, p1);
        QCOMPARE(int(BusAdresse), 1);
        QVERIFY(f.Label1->isHidden());
        QVERIFY(!f.SLabel->isHidden());
        QCOMPARE(f.Label1->text(), QStringLiteral("Suche Station  3"));
        QVERIFY(f.Timer1->isActive());
        QCOMPARE(f.Timer1->interval(), 500);
        f.Timer1->stop();
        f.Timer1Timer();
        QCOMPARE(f.SLabel->text(), QStringLiteral("QTV120-034 = 1"));
    }

    void searchLeavesAStoppedTimerStopped() {
        WindowFixture w;
        TForm1& f = w.start("[Form]\nMaxGeraete=1\n");
        w.bus.counter.setStepMs(250);
        f.Suchen1Click();
        QVERIFY(!f.Timer1->isActive());
    }

    void stationsReportingZeroOrNothingGetNoPanel() {
        WindowFixture w;
        w.bus.stations[1].idReport = 0;
        w.bus.stations[2].silent = true;
        TForm1& f = w.start("[Form]\nMaxGeraete=2\n[Geraet 2]\nAdresse=5\n");
        f.Entfernen1Click();
        w.bus.counter.setStepMs(250);
        f.Suchen1Click();
        QCOMPARE(TypeRequests(w.bus), (std::vector<int>{1, 2}));
        QVERIFY(!f.GeraetPanel[1] && !f.GeraetPanel[2]);
        QVERIFY(f.AktivPanel == nullptr);
        f.Timer1Timer();
        QCOMPARE(f.SLabel->text(), QStringLiteral("Passiv"));
    }

    void searchFindingNothingClearsTheActiveStation() {
        WindowFixture w;
        TForm1& f = w.start("[Form]\nMaxGeraete=2\n[Geraet 1]\nAdresse=1\n");
        w.bus.counter.setStepMs(250);
        f.Suchen1Click();
        QVERIFY(f.AktivPanel == nullptr);
        QVERIFY(f.GeraetPanel[1]);
    }

    void deviceTypeIsReadIntoTheActivePanel() {
        WindowFixture w;
        w.bus.stations[4].idReport = 95;
        TForm1& f = w.start("[Form]\nMaxGeraete=4\n[Geraet 4]\nAdresse=4\nQtvTyp=13600\n");
        QCOMPARE(int(f.AktivPanel->TypGruppe), 50);
        f.Timer1Timer();  // BusAdresse is kept on the active station
        f.Gertetyplesen1Click();
        QCOMPARE(int(f.AktivPanel->GetSTyp()), 0x95);
        QCOMPARE(int(f.AktivPanel->TypGruppe), 133);
        f.Timer1Timer();
        QCOMPARE(f.SLabel->text(), QStringLiteral("QTV000-095 = 4"));
    }

    void deviceTypeWithoutAnswerStaysAsItWas() {
        WindowFixture w;
        w.bus.stations[4].silent = true;
        TForm1& f = w.start("[Form]\nMaxGeraete=4\n[Geraet 4]\nAdresse=4\nQtvTyp=13600\n");
        f.Timer1Timer();
        f.Gertetyplesen1Click();
        QCOMPARE(int(f.AktivPanel->GetSTyp()), 0x3520);
        QCOMPARE(int(f.AktivPanel->TypGruppe), 50);
    }

    void allCyclesSetsEveryStationAndWritesTheFileAtOnce() {
        WindowFixture w;
        TForm1& f = w.start("[Form]\nMaxGeraete=5\n[Geraet 1]\nAdresse=1\nZyklus=9\n[Geraet 2]\nAdresse=2\n"
                            "[Geraet 5]\nAdresse=5\n");
        f.Einfgen1Click();  // slot 0, not included
        auto answer = Accept<TZyklDlg>([](TZyklDlg* d) { d->ZyklUpDn->setPosition(4); });
        f.Zyklen1Click();
        QCOMPARE(int(f.AlleZyklen), 4);
        QCOMPARE(int(f.GeraetPanel[1]->ZVar), 1);
        QCOMPARE(int(f.GeraetPanel[2]->ZVar), 2);
        QCOMPARE(int(f.GeraetPanel[5]->ZVar), 5);
        QCOMPARE(int(f.GeraetPanel[5]->GetSZykl()), 4);
        QCOMPARE(int(f.GeraetPanel[0]->GetSZykl()), 0);
        const QByteArray file = w.readConfig();
        QCOMPARE(file.count("Zyklus=4"), 3);
        QVERIFY(!file.contains("[Geraet 0]"));
    }

    void allCyclesCancelledChangesNothing() {
        WindowFixture w;
        const QByteArray before = "[Form]\nMaxGeraete=1\n[Geraet 1]\nAdresse=1\nZyklus=9\n";
        TForm1& f = w.start(before);
        DialogAnswer answer([](QDialog* d) { d->reject(); });
        f.Zyklen1Click();
        QCOMPARE(int(f.GeraetPanel[1]->GetSZykl()), 9);
        QCOMPARE(int(f.GeraetPanel[1]->ZVar), 11);
        QCOMPARE(w.readConfig(), before);
    }

    void allCyclesZeroTakesStationsOutOfPolling() {
        WindowFixture w;
        TForm1& f = w.start("[Form]\nMaxGeraete=1\n[Geraet 1]\nAdresse=1\nZyklus=9\n");
        auto answer = Accept<TZyklDlg>([](TZyklDlg* d) { d->ZyklUpDn->setPosition(0); });
        f.Zyklen1Click();
        QCOMPARE(int(f.GeraetPanel[1]->ZVar), 0);
    }

    void stationCountDialogSetsMaxGeraete() {
        WindowFixture w;
        TForm1& f = w.start("[Form]\nMaxGeraete=3\n");
        QString shown;
        auto answer = Accept<TQtvAnDlg>([&shown](TQtvAnDlg* d) {
            shown = d->QtvAnzEd->text();
            d->QtvAnzUDn->setPosition(12);
        });
        f.Gertezahl1Click();
        QCOMPARE(shown, QStringLiteral("3"));
        QCOMPARE(int(f.MaxGeraete), 12);
    }

    void titleDialogSetsTheCaption() {
        WindowFixture w;
        TForm1& f = w.start("[Form]\nTitel=Halle 1\n");
        QString shown;
        auto answer = Accept<TTitDlg>([&shown](TTitDlg* d) {
            shown = d->TitleEd->text();
            d->TitleEd->setText(QStringLiteral("Halle 2"));
        });
        f.Titel1Click();
        QCOMPARE(shown, QStringLiteral("Halle 1"));
        QCOMPARE(f.windowTitle(), QStringLiteral("Halle 2"));
    }
};

QTEST_MAIN(SearchSettingsTest)
#include "SearchSettingsTest.moc"
