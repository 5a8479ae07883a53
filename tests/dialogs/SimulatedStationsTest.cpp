// The three dialogs against simulated stations that keep what they are sent: what a dialog
// sends must come back unchanged through the same dialog, station by station.

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "dialogs/Displdlg.h"
#include "dialogs/Rtcdlg.h"
#include "dialogs/Sonstdlg.h"
#include "link/Sio.h"
#include "panel/Qtv3590.h"
#include "support/FakeCounter.h"
#include "support/LinkReset.h"
#include "support/SimLine.h"
#include "dialogs/ActiveStation.h"
#include "ui/Messages.h"
#include "ui/UpDown.h"

class SimulatedStationsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<LinkReset> linkReset;
    std::unique_ptr<FakeCounter> counter;
    std::unique_ptr<SimulatedBus> sim;
    QWidget owner;
    TQTV3590* panel1 = nullptr;
    TQTV3590* panel2 = nullptr;
    TQTV3590* active = nullptr;
    std::vector<ShownMessage> messages;

    // What the main window does when the operator clicks a station's panel.
    void activate(TQTV3590* panel, std::uint8_t address) {
        active = panel;
        BusAdresse = address;
    }

private slots:
    void initTestCase() {
        linkReset = std::make_unique<LinkReset>();
        counter = std::make_unique<FakeCounter>();
        sim = std::make_unique<SimulatedBus>();
        QVERIFY(InitSio(1));  // the local port: each request with the byte after its checksum
        panel1 = new TQTV3590(&owner);
        panel1->Insert(1);
        panel2 = new TQTV3590(&owner);
        panel2->Insert(2);
        SetActivePanelSource([this] { return active; });
        SetMessageObserver([this](const ShownMessage& m) { messages.push_back(m); });
    }
    void cleanupTestCase() {
        sim.reset();
        counter.reset();
        linkReset.reset();
    }
    void init() {
        messages.clear();
        sim->station(1).faults() = Faults{};
        sim->station(2).faults() = Faults{};
    }

    void clockSentIsClockReadBack() {
        TRtcDlg dlg;
        activate(panel2, 2);
        dlg.DatumMEdit->setText(QStringLiteral("31.12.26"));
        dlg.WoTaCoBox->setEditText(QStringLiteral("Sonntag"));
        dlg.DaWrBtnClick();
        dlg.ZeitMEdit->setText(QStringLiteral("10:20:30"));
        dlg.ZyUpDn->setPosition(10);
        dlg.UhWrBtnClick();
        dlg.DatumMEdit->setText(QStringLiteral("00.00.00"));
        dlg.WoTaCoBox->setCurrentIndex(0);
        dlg.ZyUpDn->setPosition(0);
        dlg.DaRdBtnClick();
        dlg.UhRdBtnClick();
        QVERIFY(messages.empty());
        QCOMPARE(dlg.DatumMEdit->displayText(), QStringLiteral("31.12.26"));
        QCOMPARE(dlg.WoTaCoBox->currentText(), QStringLiteral("Sonntag"));
        QCOMPARE(dlg.ZeitMEdit->displayText().left(6), QStringLiteral("10:20:"));  // the clock runs on
        QCOMPARE(dlg.ZyUpDn->position(), 10);
    }

    void displaySettingsComeFromTheStationAsked() {
        TDispDlg dlg;
        activate(panel1, 1);
        dlg.BnLBtnClick();
        QCOMPARE(dlg.DimEdit->text(), QStringLiteral("bar"));
        activate(panel2, 2);
        dlg.FormActivate();
        QCOMPARE(dlg.DimEdit->text(), QStringLiteral("..."));  // not read from station 2 yet
        dlg.BnLBtnClick();
        QCOMPARE(dlg.DimEdit->text(), QStringLiteral("kWh"));
        activate(panel1, 1);
        dlg.FormActivate();
        QCOMPARE(dlg.DimEdit->text(), QStringLiteral("bar"));
        QVERIFY(messages.empty());
    }

    void displayLimitsAndPointTravelBothWays() {
        TDispDlg dlg;
        activate(panel2, 2);
        dlg.MinWEdit->setText(QStringLiteral("-0005"));
        dlg.MnSBtnClick();
        dlg.MinWEdit->clear();
        dlg.MnLBtnClick();
        QCOMPARE(dlg.MinWEdit->text(), QStringLiteral("-0005"));
        panel2->TypGruppe = '2';
        dlg.DpRBtn2->setChecked(true);
        dlg.DpSBtnClick();
        dlg.DpRBtn1->setChecked(true);
        dlg.DpLBtnClick();
        QVERIFY(dlg.DpRBtn2->isChecked());
        panel2->TypGruppe = 0;
        QVERIFY(messages.empty());
    }

    void otherValuesRoundTripAndFaults() {
        TSonsDlg dlg;
        activate(panel1, 1);
        dlg.EVMEdit->setText(QStringLiteral("65535"));
        dlg.EVSBtnClick();
        dlg.EVMEdit->clear();
        dlg.EVLBtnClick();
        QCOMPARE(dlg.EVMEdit->text(), QStringLiteral("65535"));
        dlg.MaxMEdit->setText(QStringLiteral("-0012"));
        dlg.MaxSBtnClick();
        dlg.MaxLBtnClick();
        QCOMPARE(dlg.MaxMEdit->text(), QStringLiteral("-0012"));
        QVERIFY(messages.empty());

        sim->station(1).faults().questionMark = true;
        dlg.MaxLBtnClick();
        QCOMPARE(dlg.MaxMEdit->text(), QStringLiteral(" 0000"));
        QVERIFY(messages.empty());

        sim->station(1).faults() = Faults{};
        sim->station(1).faults().badChecksum = true;
        dlg.MinLBtnClick();
        QCOMPARE(dlg.MinMEdit->text(), QStringLiteral(" ????"));
        QCOMPARE(messages.size(), size_t(1));
        QCOMPARE(messages[0].text, QString::fromUtf8("Übertragungsfehler"));
    }

    void silentStationFailsEverySendOnce() {
        TSonsDlg dlg;
        activate(panel2, 2);
        sim->station(2).faults().silent = true;
        dlg.EVMEdit->setText(QStringLiteral("0100"));
        dlg.EVSBtnClick();
        QCOMPARE(messages.size(), size_t(1));
        QCOMPARE(messages[0].caption, QStringLiteral("Meldung"));
    }
};

QTEST_MAIN(SimulatedStationsTest)
#include "SimulatedStationsTest.moc"
