// Start-up from the configuration file and the orderly exit that writes it back.

#include <QFile>
#include <QTest>

#include "support/DialogAnswer.h"
#include "support/WindowFixture.h"
#include "link/SioPort.h"
#include "link/Siodlg.h"
#include "panel/Qtv3590.h"
#include "dialogs/ActiveStation.h"
#include "ui/Messages.h"

namespace {
QByteArray Fixture(const char* name) {
    QFile f(QStringLiteral(FIXTURES "/") + QString::fromLatin1(name));
    if (!f.open(QIODevice::ReadOnly)) qFatal("missing fixture %s", name);
    return f.readAll();
}

// The lines of one section, without blank lines, in file order.
QList<QByteArray> Section(const QByteArray& file, const QByteArray& name) {
    QList<QByteArray> out;
    bool inside = false;
    for (QByteArray line : file.split('\n')) {
        line = line.trimmed();
        if (line.startsWith('[')) {
            inside = line == "[" + name + "]";
            continue;
        }
        if (inside && !line.isEmpty()) out << line;
    }
    return out;
}

QList<QByteArray> Keys(const QList<QByteArray>& lines) {
    QList<QByteArray> keys;
    for (const QByteArray& l : lines) keys << l.left(l.indexOf('='));
    return keys;
}

QByteArray Value(const QList<QByteArray>& lines, const QByteArray& key) {
    for (const QByteArray& l : lines)
        if (l.startsWith(key + "=")) return l.mid(key.size() + 1);
    return "<missing>";
}
}  // namespace

class ConfigurationTest : public QObject {
    Q_OBJECT
private slots:
    void missingFileGivesTheDefaults() {
        WindowFixture w;
        TForm1& f = w.start();
        QCOMPARE(f.windowTitle(), QStringLiteral("Netz1"));
        QCOMPARE(f.width(), 600);
        QCOMPARE(f.height(), 400);
        QCOMPARE(f.pos(), QPoint(100, 100));
        QCOMPARE(int(f.MaxGeraete), 1);
        QCOMPARE(int(f.SioNr), 1);
        QCOMPARE(int(Internet), 0);
        QCOMPARE(f.HostName, QStringLiteral("geraeteserver.invalid"));
        QCOMPARE(f.LokalIP, QStringLiteral("000.000.000.000"));
        QCOMPARE(int(f.GeraeteAnzahl), 0);
        QVERIFY(f.AktivPanel == nullptr);
        QVERIFY(f.Timer1->interval() == 500);
    }

    void configuredSlotsBecomePanelsAndTheHighestIsActive() {
        WindowFixture w;
        TForm1& f = w.start(Fixture("slots_1_and_3.INI"));
        QCOMPARE(f.windowTitle(), QStringLiteral("Halle 3"));
        QCOMPARE(f.pos(), QPoint(140, 120));
        QCOMPARE(f.size(), QSize(700, 500));
        QCOMPARE(int(f.SioNr), 2);
        QCOMPARE(f.LokalIP, QStringLiteral("192.168.001.010"));
        QCOMPARE(int(f.GeraeteAnzahl), 2);
        QVERIFY(f.GeraetPanel[1] && f.GeraetPanel[3]);
        QVERIFY(!f.GeraetPanel[2] && !f.GeraetPanel[5] && !f.GeraetPanel[0]);
        QVERIFY(f.GeraetBelegt[1] && f.GeraetBelegt[3] && !f.GeraetBelegt[2]);
        QCOMPARE(f.AktivPanel, f.GeraetPanel[3]);

        const TQTV3590* p1 = f.GeraetPanel[1];
        QCOMPARE(p1->pos(), QPoint(24, 40));
        QCOMPARE(int(p1->GetSZykl()), 2);
        QCOMPARE(int(p1->ZVar), 11);
        QCOMPARE(int(p1->GetSTyp()), 0x3520);
        QCOMPARE(int(p1->TypGruppe), 50);
        QCOMPARE(p1->GetSBen(), QStringLiteral("bar"));
        QCOMPARE(p1->GetTitel(), QStringLiteral("Druck"));
        QCOMPARE(int(p1->Komma), 2);
        QCOMPARE(int(p1->Runden), 1);  // never read back from the file
        QCOMPARE(p1->GetTextColor(), TColor(0x0000FF));
        QCOMPARE(p1->FrameColor(), TQTV3590::kFrameButtonFace);

        const TQTV3590* p3 = f.GeraetPanel[3];
        QCOMPARE(int(p3->ZVar), 13);
        QCOMPARE(int(p3->TypGruppe), 133);
        QCOMPARE(p3->GetSBen(), QString::fromUtf8("°C"));
        QCOMPARE(p3->GetHGColor(), TColor(8421376));
    }

    void exitWritesFormAndStationsInOrderAndKeepsTheRest() {
        WindowFixture w;
        TForm1& f = w.start(Fixture("slots_1_and_3.INI"));
        f.GeraetPanel[1]->move(64, 80);
        f.setWindowTitle(QStringLiteral("Halle 4"));
        f.Beenden1Click();
        const QByteArray out = w.readConfig();

        const auto form = Section(out, "Form");
        QCOMPARE(Keys(form), (QList<QByteArray>{"Top", "Left", "Height", "Width", "Titel", "SIO", "MaxGeraete",
                                               "Internet", "HostName", "LokalIP"}));
        QCOMPARE(Value(form, "Titel"), QByteArray("Halle 4"));
        QCOMPARE(Value(form, "Width"), QByteArray("700"));

        const auto g1 = Section(out, "Geraet 1");
        QCOMPARE(Keys(g1), (QList<QByteArray>{"Adresse", "Top", "Left", "Zyklus", "QtvTyp", "Benennung", "Titel",
                                             "Dezimalpunkt", "Runden", "Speichern", "PanelText", "PanelHgrund"}));
        QCOMPARE(Value(g1, "Top"), QByteArray("80"));
        QCOMPARE(Value(g1, "Left"), QByteArray("64"));
        QCOMPARE(Value(g1, "Runden"), QByteArray("1"));  // the panel's own value over the edited 2
        QCOMPARE(Value(g1, "Speichern"), QByteArray("0"));

        // A section the program does not know, its comment, and slots above MaxGeraete survive.
        QCOMPARE(Value(Section(out, "Wartung"), "Letzte"), QByteArray("2025-11-03"));
        QVERIFY(out.contains("; left by the service technician"));
        QVERIFY(out.contains("; Tarvo configuration of the test bench"));
        QCOMPARE(Value(Section(out, "Geraet 5"), "Titel"), QByteArray("Reserve"));
        QCOMPARE(Value(Section(out, "Geraet 3"), "Benennung"), QByteArray("°C"));
    }

    // The alarm keys: read where they stand, updated there, new ones behind the prescribed keys;
    // a station without alarms keeps its section as it was, and the overview's place is kept.
    void alarmKeysRoundTripBesideThePrescribedOnes() {
        QByteArray config = Fixture("slots_1_and_3.INI");
        config.replace("Titel=Druck\n", "Titel=Druck\nAlarmOben=12,5\nAlarmStille=\n");
        WindowFixture w;
        TForm1& f = w.start(config);
        QCOMPARE(f.GeraetPanel[1]->Alarmgrenzen.oben, std::optional<double>(12.5));
        QVERIFY(!f.GeraetPanel[1]->Alarmgrenzen.stille);  // empty: none
        f.GeraetPanel[1]->Alarmgrenzen.unten = -2;
        f.GeraetPanel[1]->Alarmgrenzen.stille = 30;
        f.Stationsuebersicht1Click();
        f.Uebersicht()->setGeometry(50, 60, 900, 400);
        f.Beenden1Click();
        const QByteArray out = w.readConfig();
        const auto g1 = Section(out, "Geraet 1");
        QCOMPARE(Keys(g1), (QList<QByteArray>{"Adresse", "Top", "Left", "Zyklus", "QtvTyp", "Benennung", "Titel",
                                             "AlarmOben", "AlarmStille", "Dezimalpunkt", "Runden", "Speichern",
                                             "PanelText", "PanelHgrund", "AlarmUnten"}));
        QCOMPARE(Value(g1, "AlarmOben"), QByteArray("12.5"));
        QCOMPARE(Value(g1, "AlarmStille"), QByteArray("30"));
        QCOMPARE(Value(g1, "AlarmUnten"), QByteArray("-2"));
        QCOMPARE(Keys(Section(out, "Geraet 3")), Keys(Section(Fixture("slots_1_and_3.INI"), "Geraet 3")) << "Runden"
                                                                                                   << "Speichern");
        QCOMPARE(Value(Section(out, "Stationsuebersicht"), "Width"), QByteArray("900"));

        WindowFixture again;
        TForm1& g = again.start(out);
        QCOMPARE(g.GeraetPanel[1]->Alarmgrenzen.unten, std::optional<double>(-2));
        QCOMPARE(g.GeraetPanel[1]->Alarmgrenzen.stille, std::optional<int>(30));
        QCOMPARE(g.GeraetPanel[1]->GetSBen(), QStringLiteral("bar"));
    }

    void newStationKeysAreWrittenInTheirOrder() {
        WindowFixture w;
        TForm1& f = w.start();
        f.Einfgen1Click();
        f.Beenden1Click();
        QCOMPARE(Keys(Section(w.readConfig(), "Geraet 0")),
                 (QList<QByteArray>{"Adresse", "Top", "Left", "Zyklus", "QtvTyp", "Benennung", "Titel",
                                    "Dezimalpunkt", "Runden", "PanelText", "PanelHgrund", "Speichern"}));
        QCOMPARE(Keys(Section(w.readConfig(), "Form")),
                 (QList<QByteArray>{"Top", "Left", "Height", "Width", "Titel", "SIO", "MaxGeraete", "HostName",
                                    "Internet", "LokalIP"}));
    }

    void exitErasesRemovedStationsAndKeepsSlotZeroOnlyInTheFile() {
        WindowFixture w;
        TForm1& f = w.start(Fixture("slots_1_and_3.INI"));
        f.Entfernen1Click();  // slot 3, the active one
        f.Einfgen1Click();    // slot 0
        f.Beenden1Click();
        const QByteArray out = w.readConfig();
        QVERIFY(!out.contains("[Geraet 3]"));
        QVERIFY(out.contains("[Geraet 0]"));
        QVERIFY(out.contains("[Geraet 1]"));
        for (int n = 0; n <= 3; ++n) QVERIFY(!f.GeraetBelegt[n]);

        WindowFixture again;
        TForm1& g = again.start(out);
        QVERIFY(g.GeraetPanel[0] == nullptr);  // slot 0 is not read at start-up
        QVERIFY(g.GeraetPanel[1] != nullptr);
    }

    void loweredMaxGeraeteLeavesHigherSectionsUntouched() {
        WindowFixture w;
        TForm1& f = w.start(Fixture("slots_1_and_3.INI"));
        f.GeraetPanel[3]->move(400, 400);
        f.MaxGeraete = 2;
        f.Beenden1Click();
        const auto g3 = Section(w.readConfig(), "Geraet 3");
        QCOMPARE(Value(g3, "Left"), QByteArray("200"));
        QCOMPARE(Value(g3, "Top"), QByteArray("120"));
    }

    void exitDestroysTheActivePanelAndThePortObject() {
        WindowFixture w;
        TForm1& f = w.start(Fixture("slots_1_and_3.INI"));
        // "&PC-Sio" confirmed makes the port object, on the bus's side.
        DialogAnswer ok([](QDialog* dlg) { static_cast<TPcSioDlg*>(dlg)->SioOkBtnClick(); });
        f.PCSio1Click();
        QVERIFY(PortObject() != nullptr);
        QPointer<TQTV3590> active = f.AktivPanel;
        f.Beenden1Click();
        QVERIFY(active.isNull());
        QVERIFY(f.AktivPanel == nullptr);
        QVERIFY(f.GeraetPanel[3] == nullptr);
        QVERIFY(PortObject() == nullptr);
        QVERIFY(!f.Timer1->isActive());
        w.bus.clear();
        w.ticks(20);  // nothing is polled, nothing destroyed is touched
        QVERIFY(w.bus.valueRequests().empty());
    }

    void closeBoxWritesNothing() {
        WindowFixture w;
        const QByteArray before = Fixture("slots_1_and_3.INI");
        TForm1& f = w.start(before);
        f.Einfgen1Click();
        f.setWindowTitle(QStringLiteral("anders"));
        f.show();
        QVERIFY(f.close());
        QCOMPARE(w.readConfig(), before);
    }

    void windows1252TextsSurviveByteForByte() {
        WindowFixture w;
        const QByteArray before = Fixture("windows1252.INI");
        TForm1& f = w.start(before);
        QCOMPARE(f.windowTitle(), QString::fromUtf8("Kühlhaus Süd"));
        QCOMPARE(f.GeraetPanel[1]->GetTitel(), QString::fromUtf8("Großer Tank"));
        f.Beenden1Click();
        const QByteArray out = w.readConfig();
        QVERIFY(out.contains("Titel=K\xfchlhaus S\xfc" "d"));
        QVERIFY(out.contains("Titel=Gro\xdf" "er Tank"));
        QVERIFY(out.contains("Benennung=\xb0" "C"));
        QVERIFY(!out.contains("\xc3"));  // nothing turned into UTF-8
    }

    void maxGeraeteAbove31IsLimitedTo31() {
        WindowFixture w;
        TForm1& f = w.start(Fixture("above_31.INI"));
        QCOMPARE(int(f.MaxGeraete), 31);
        QVERIFY(f.GeraetPanel[31] != nullptr);
        QCOMPARE(int(f.GeraetPanel[31]->GetSZykl()), 3);
        f.Beenden1Click();
        const QByteArray out = w.readConfig();
        QCOMPARE(Value(Section(out, "Form"), "MaxGeraete"), QByteArray("31"));
        QVERIFY(out.contains("[Geraet 32]"));
    }

    void valuesKeepOnlyTheirFieldsLowBits() {
        WindowFixture w;
        TForm1& f = w.start(Fixture("narrow_fields.INI"));
        QCOMPARE(int(f.SioNr), 300 & 0xFF);
        QCOMPARE(int(f.MaxGeraete), 2);  // 258 & 0xFF
        QCOMPARE(int(Internet), 1);      // 257 & 0xFF
        const TQTV3590* p = f.GeraetPanel[2];
        QVERIFY(p);
        QCOMPARE(int(p->StatAdr), 1);
        QCOMPARE(int(p->GetSZykl()), 2);
        QCOMPARE(int(p->GetSTyp()), 78656 & 0xFFFF);
        QCOMPARE(int(p->Komma), 2);
    }

    void malformedFilesStartWithDefaults_data() {
        QTest::addColumn<QString>("fixture");
        QTest::newRow("binary garbage") << "garbage.INI";
        QTest::newRow("lines without =") << "no_equals.INI";
        QTest::newRow("huge values") << "huge_values.INI";
        QTest::newRow("no sections") << "";
    }
    void malformedFilesStartWithDefaults() {
        QFETCH(QString, fixture);
        WindowFixture w;
        TForm1& f = w.start(fixture.isEmpty() ? QByteArray("Titel=ohne Abschnitt\nMaxGeraete=3\n")
                                              : Fixture(fixture.toLatin1().constData()));
        QVERIFY(f.MaxGeraete <= 31);
        QVERIFY(f.width() >= 1 && f.width() <= 8192);
        QVERIFY(f.height() >= 1 && f.height() <= 8192);
        f.show();
        w.ticks(30);
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.Beenden1Click();
        QVERIFY(!w.readConfig().isEmpty());
    }

    void exitThatCannotWriteTellsAndKeepsRunning() {
        WindowFixture w;
        TForm1* f = CreateForms(w.path(QStringLiteral("missing-folder/tarvo.INI")), BusWorker::Mode::Inline);
        f->Timer1->stop();
        f->Einfgen1Click();
        f->Beenden1Click();
        QCOMPARE(w.messages.size(), std::size_t(1));
        QCOMPARE(w.messages[0].caption, QStringLiteral("Fehler"));
        QVERIFY(f->AktivPanel != nullptr);
        QVERIFY(f->GeraetBelegt[0]);
    }
};

QTEST_MAIN(ConfigurationTest)
#include "ConfigurationTest.moc"
