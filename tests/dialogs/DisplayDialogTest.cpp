// The display settings dialog against a scripted station and the active station's panel.

#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "dialogs/Displdlg.h"
#include "panel/Qtv3590.h"
#include "support/DialogFixture.h"
#include "dialogs/ActiveStation.h"

using Requests = std::vector<std::string>;

class DisplayDialogTest : public QObject {
    Q_OBJECT
    std::unique_ptr<DialogFixture> bus;
    TDispDlg* dlg = nullptr;

    QRadioButton* checkedPoint() const { return qobject_cast<QRadioButton*>(dlg->DpButtons->checkedButton()); }
    QRadioButton* checkedRounding() const { return qobject_cast<QRadioButton*>(dlg->RndButtons->checkedButton()); }

private slots:
    void initTestCase() { dlg = new TDispDlg; }
    void cleanupTestCase() { delete dlg; }
    void init() {
        bus = std::make_unique<DialogFixture>();
        QVERIFY(bus->portOpened());
    }
    void cleanup() { QVERIFY2(EndedWithEveryReplyAsked(bus), "a scripted reply was never asked for"); }

    void formIsCreatedWithTheClockSettingDisabled() {
        TDispDlg fresh;
        QCOMPARE(fresh.windowTitle(), QStringLiteral("Anzeige"));
        QCOMPARE(fresh.size(), QSize(401, 352));  // wider than on Windows: see Displdlg.cpp
        QCOMPARE(fresh.DsEdit->text(), QStringLiteral("0000"));
        QCOMPARE(fresh.DimEdit->text(), QStringLiteral("..."));
        QCOMPARE(fresh.DimEdit->maxLength(), 3);
        QVERIFY(!fresh.UzLBtn->isEnabled());
        QVERIFY(!fresh.UzSBtn->isEnabled());
        QVERIFY(!fresh.UhrCBox->isEnabled());
        QCOMPARE(fresh.findChild<QRadioButton*>(QStringLiteral("RndRBtn4"))->text(), QString::fromUtf8("Fünfer 0,5,0"));
    }

    // --- Activation ----------------------------------------------------------------------------

    void activationShowsThePanelsValues() {
        TQTV3590* p = bus->panel();
        p->Komma = 2;
        p->Runden = 6;
        p->Mittel = 16;
        p->SetSBen(QStringLiteral("bar"));
        p->Durch10 = 1;
        dlg->MinWEdit->setText(QStringLiteral(" 0042"));
        dlg->UhrCBox->setChecked(false);
        dlg->FormActivate();
        QCOMPARE(checkedPoint(), dlg->DpRBtn3);
        QCOMPARE(checkedRounding(), dlg->RndRBtn4);
        QCOMPARE(dlg->DsEdit->text(), QStringLiteral("16"));
        QCOMPARE(dlg->DimEdit->text(), QStringLiteral("bar"));
        QCOMPARE(dlg->MaxWEdit->text(), QStringLiteral("    "));
        QCOMPARE(dlg->MinWEdit->text(), QStringLiteral(" 0042"));
        QVERIFY(dlg->D10CBox->isChecked());
        QVERIFY(dlg->UhrCBox->isChecked());
        QCOMPARE(p->Runden, std::uint8_t(6));
        QVERIFY(bus->requests().empty());
    }

    void reopeningForAnotherStationShowsThatStationsValues() {
        bus->panel()->Komma = 1;
        bus->panel()->Mittel = 4;
        dlg->show();
        QCOMPARE(checkedPoint(), dlg->DpRBtn2);
        dlg->hide();
        TQTV3590* other = bus->newPanel('1');
        other->Komma = 0;
        other->Mittel = 32;
        other->SetSBen(QStringLiteral("kWh"));
        bus->setActive(other);
        dlg->show();
        QCOMPARE(checkedPoint(), dlg->DpRBtn1);
        QCOMPARE(dlg->DsEdit->text(), QStringLiteral("32"));
        QCOMPARE(dlg->DimEdit->text(), QStringLiteral("kWh"));
        dlg->hide();
    }

    // --- Decimal point -------------------------------------------------------------------------

    void decimalPointSendStoresAndSendsTheDeviceCode_data() {
        QTest::addColumn<int>("gruppe");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("code");
        QTest::newRow("XXX.X other group") << int('1') << 1 << 1;
        QTest::newRow("XXX.X group 2") << int('2') << 1 << 3;
        QTest::newRow("X.XXX group 2") << int('2') << 3 << 1;
        QTest::newRow("XX.XX group 2") << int('2') << 2 << 2;
    }
    void decimalPointSendStoresAndSendsTheDeviceCode() {
        QFETCH(int, gruppe);
        QFETCH(int, position);
        QFETCH(int, code);
        bus->panel()->TypGruppe = std::uint8_t(gruppe);
        dlg->DpButtons->button(position)->setChecked(true);
        bus->ack();
        dlg->DpSBtnClick();
        QCOMPARE(bus->requests(), (Requests{ScriptedBus::request(0xA0, {std::uint8_t(code)})}));
        QCOMPARE(int(bus->panel()->Komma), code);
    }

    void group2CodeReadBackSelectsTheSameButtonAgain() {
        bus->panel()->TypGruppe = '2';
        dlg->DpRBtn2->setChecked(true);
        bus->ack();
        dlg->DpSBtnClick();
        dlg->DpRBtn1->setChecked(true);
        bus->answer({0x13});  // high nibble is not part of the code
        dlg->DpLBtnClick();
        QCOMPARE(checkedPoint(), dlg->DpRBtn2);
        dlg->DpRBtn1->setChecked(true);
        dlg->FormActivate();
        QCOMPARE(checkedPoint(), dlg->DpRBtn2);
    }

    void decimalPointReadLeavesKommaAndFailureLeavesTheButton() {
        bus->panel()->Komma = 0;
        bus->answer({0x02});
        dlg->DpLBtnClick();
        QCOMPARE(checkedPoint(), dlg->DpRBtn3);
        QCOMPARE(bus->panel()->Komma, std::uint8_t(0));
        bus->silent();
        dlg->DpLBtnClick();
        QCOMPARE(checkedPoint(), dlg->DpRBtn3);
        QCOMPARE(bus->transferErrors(), 1);
    }

    void failedDecimalPointSendKeepsTheNewCode() {
        dlg->DpRBtn4->setChecked(true);
        bus->nak();
        dlg->DpSBtnClick();
        QCOMPARE(bus->panel()->Komma, std::uint8_t(3));
        QCOMPARE(bus->transferErrors(), 1);
    }

    // --- Rounding ------------------------------------------------------------------------------

    void roundingReadSelectsTheButtonAndStoresTheCode_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("button");
        QTest::newRow("0") << 0 << "RndRBtn1";
        QTest::newRow("1") << 1 << "RndRBtn2";
        QTest::newRow("2") << 2 << "RndRBtn3";
        QTest::newRow("3") << 3 << "RndRBtn4";
        QTest::newRow("5") << 5 << "RndRBtn4";
        QTest::newRow("7") << 7 << "RndRBtn4";
        QTest::newRow("0x0A masked to 2") << 0x0A << "RndRBtn3";
    }
    void roundingReadSelectsTheButtonAndStoresTheCode() {
        QFETCH(int, code);
        QFETCH(QString, button);
        bus->answer({std::uint8_t(code)});
        dlg->RdLBtnClick();
        QCOMPARE(bus->requests(), (Requests{ScriptedBus::request(0x21)}));
        QCOMPARE(checkedRounding()->objectName(), button);
        QCOMPARE(int(bus->panel()->Runden), code & 7);
    }

    void fuenferSendsFiveForGroup2AndThreeForOthers() {
        dlg->RndRBtn4->setChecked(true);
        bus->ack();
        dlg->RdSBtnClick();
        bus->panel()->TypGruppe = '2';
        bus->ack();
        dlg->RdSBtnClick();
        QCOMPARE(bus->requests(), (Requests{ScriptedBus::request(0xA1, {3}), ScriptedBus::request(0xA1, {5})}));
        QCOMPARE(bus->panel()->Runden, std::uint8_t(1));  // a send does not change the stored code
    }

    // --- Averaging and designation -------------------------------------------------------------

    void averagingReadShowsFourDigitsAndSendStoresTheNumber() {
        bus->answer({0x00, 0x07});
        dlg->MWLBtnClick();
        QCOMPARE(dlg->DsEdit->text(), QStringLiteral("0007"));
        QCOMPARE(bus->panel()->Mittel, std::uint16_t(7));
        dlg->DsEdit->setText(QStringLiteral(" 300"));
        bus->ack();
        dlg->MWSBtnClick();
        QCOMPARE(bus->requests().back(), ScriptedBus::request(0xD8, {0x01, 0x2C}));
        QCOMPARE(bus->panel()->Mittel, std::uint16_t(300));
    }

    // In broadcast mode no station answers: a read is refused with a note, a send goes out.
    void broadcastModeRefusesReadsAndSends() {
        SetBroadcastSource([] { return true; });
        dlg->MWLBtnClick();
        QVERIFY(bus->requests().empty());
        QCOMPARE(bus->messages.back().text, QString::fromUtf8("Im Broadcast-Betrieb nicht möglich."));
        dlg->DsEdit->setText(QStringLiteral("5"));
        bus->ack();
        dlg->MWSBtnClick();
        SetBroadcastSource({});
        QCOMPARE(bus->requests().size(), std::size_t(1));
    }

    void averagingTextThatIsNoNumberIsRefusedAndNothingChanges() {
        dlg->DsEdit->setText(QStringLiteral("12a"));
        dlg->MWSBtnClick();
        QVERIFY(bus->requests().empty());
        QCOMPARE(bus->panel()->Mittel, std::uint16_t(1));
        QCOMPARE(bus->messages.size(), size_t(1));
        QCOMPARE(bus->messages[0].text, QString::fromUtf8("'12a' ist kein gültiger Integerwert"));
    }

    void designationReadReplacesTheStoredText() {
        bus->answer({0x62, 0x61, 0x72});
        dlg->BnLBtnClick();
        QCOMPARE(bus->requests(), (Requests{"02 05 04 60 6B"}));
        QCOMPARE(dlg->DimEdit->text(), QStringLiteral("bar"));
        QCOMPARE(bus->panel()->GetSBen(), QStringLiteral("bar"));
        bus->answer({0x25, 0x00, 0x41});  // ends at the first zero byte
        dlg->BnLBtnClick();
        QCOMPARE(bus->panel()->GetSBen(), QStringLiteral("%"));
    }

    void designationOfOneCharacterIsSentWithTwoZeroBytes() {
        dlg->DimEdit->setText(QStringLiteral("V"));
        bus->ack();
        dlg->BnSBtnClick();
        QCOMPARE(bus->requests(), (Requests{ScriptedBus::request(0xE0, {'V', 0, 0})}));
        QCOMPARE(bus->panel()->GetSBen(), QStringLiteral("..."));
    }

    void designationWithDegreeSignTravelsAsOneByte() {
        dlg->DimEdit->setText(QString::fromUtf8("°C"));
        bus->ack();
        dlg->BnSBtnClick();
        QCOMPARE(bus->requests(), (Requests{ScriptedBus::request(0xE0, {0xB0, 'C', 0})}));
        bus->answer({0xB0, 'F', 0x20});
        dlg->BnLBtnClick();
        QCOMPARE(dlg->DimEdit->text(), QString::fromUtf8("°F "));
    }

    // The code page of the recording files and the configuration file, both ways.
    void designationUsesWindows1252WhereItDiffersFromLatin1() {
        dlg->DimEdit->setText(QString::fromUtf8("€/h"));
        bus->ack();
        dlg->BnSBtnClick();
        QCOMPARE(bus->requests(), (Requests{ScriptedBus::request(0xE0, {0x80, '/', 'h'})}));
        bus->answer({0x80, 0x96, 0x9F});
        dlg->BnLBtnClick();
        QCOMPARE(dlg->DimEdit->text(), QString::fromUtf8("€–Ÿ"));
        QCOMPARE(bus->panel()->GetSBen(), QString::fromUtf8("€–Ÿ"));
    }

    // --- Maximum and minimum -------------------------------------------------------------------

    void limitReadShowsTheSignedFourDigitText_data() {
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("low");
        QTest::addColumn<QString>("shown");
        QTest::newRow("-1") << 0xFF << 0xFF << "-0001";
        QTest::newRow("32767") << 0x7F << 0xFF << " 32767";
        QTest::newRow("123") << 0x00 << 0x7B << " 0123";
        QTest::newRow("question mark") << 0x3F << 0x41 << " 0000";
    }
    void limitReadShowsTheSignedFourDigitText() {
        QFETCH(int, high);
        QFETCH(int, low);
        QFETCH(QString, shown);
        bus->answer({std::uint8_t(high), std::uint8_t(low)});
        dlg->MxLBtnClick();
        QCOMPARE(dlg->MaxWEdit->text(), shown);
        bus->answer({std::uint8_t(high), std::uint8_t(low)});
        dlg->MnLBtnClick();
        QCOMPARE(dlg->MinWEdit->text(), shown);
        QCOMPARE(bus->requests(), (Requests{ScriptedBus::request(0x56), ScriptedBus::request(0x57)}));
        QVERIFY(bus->messages.empty());
    }

    void failedLimitReadShowsQuestionMarksBeforeTheMessage() {
        bus->observeAtMessage = [this] { return dlg->MinWEdit->text(); };
        bus->silent();
        dlg->MnLBtnClick();
        QCOMPARE(bus->transferErrors(), 1);
        QCOMPARE(bus->messages[0].observed, QStringLiteral(" ????"));
    }

    void limitSendConvertsTheSignedTextBack() {
        dlg->MaxWEdit->setText(QStringLiteral(" 0123"));
        bus->ack();
        dlg->MxSBtnClick();
        dlg->MinWEdit->setText(QStringLiteral("-0005"));
        bus->ack();
        dlg->MnSBtnClick();
        QCOMPARE(bus->requests(), (Requests{ScriptedBus::request(0xD6, {0x00, 0x7B}), ScriptedBus::request(0xD7, {0xFF, 0xFB})}));
    }

    void blankMaximumAfterActivationIsRefused() {
        dlg->FormActivate();
        dlg->MxSBtnClick();
        QVERIFY(bus->requests().empty());
        QCOMPARE(bus->messages.size(), size_t(1));
        QCOMPARE(bus->messages[0].text, QString::fromUtf8("'    ' ist kein gültiger Integerwert"));
    }

    // --- Divide by 10 and time display ---------------------------------------------------------

    void divideBy10ReadAsNotSetClearsOnlyDurch10() {
        TQTV3590* p = bus->panel();
        p->Durch10 = 1;
        p->Komma = 2;
        p->Mittel = 9;
        dlg->D10CBox->setChecked(true);
        bus->answer({0xFE});
        dlg->DzLBtnClick();
        QVERIFY(!dlg->D10CBox->isChecked());
        QCOMPARE(p->Durch10, std::uint8_t(0));
        QCOMPARE(p->Komma, std::uint8_t(2));
        QCOMPARE(p->Mittel, std::uint16_t(9));
        QCOMPARE(p->Runden, std::uint8_t(1));
    }

    void divideBy10SendStoresTheSettingEvenWhenRefused() {
        dlg->D10CBox->setChecked(true);
        bus->nak();
        dlg->DzSBtnClick();
        QCOMPARE(bus->requests(), (Requests{ScriptedBus::request(0x96, {1})}));
        QCOMPARE(bus->panel()->Durch10, std::uint8_t(1));
        QCOMPARE(bus->transferErrors(), 1);
    }

    void clockControlsStayDisabledUntilAStationOutsideGroup2IsShown() {
        TDispDlg fresh;
        bus->panel()->TypGruppe = '2';
        fresh.FormActivate();
        QVERIFY(!fresh.UzLBtn->isEnabled());
        QVERIFY(!fresh.UhrCBox->isEnabled());
        bus->setActive(bus->newPanel('1'));
        fresh.FormActivate();
        QVERIFY(fresh.UzLBtn->isEnabled());
        QVERIFY(fresh.UzSBtn->isEnabled());
        QVERIFY(fresh.UhrCBox->isEnabled());
    }

    void timeDisplayReadAndSend() {
        bus->answer({0x00});
        dlg->UzLBtnClick();
        QVERIFY(!dlg->UhrCBox->isChecked());
        dlg->UhrCBox->setChecked(true);
        bus->ack();
        dlg->UzSBtnClick();
        QCOMPARE(bus->requests(), (Requests{ScriptedBus::request(0x18), ScriptedBus::request(0x98, {1})}));
    }

    // --- Failures, no station, help ------------------------------------------------------------

    void failedReadsChangeNeitherControlsNorPanel() {
        TQTV3590* p = bus->panel();
        p->Runden = 2;
        p->Mittel = 8;
        dlg->RndRBtn3->setChecked(true);
        dlg->DsEdit->setText(QStringLiteral("0008"));
        dlg->DimEdit->setText(QStringLiteral("abc"));
        bus->silent();
        dlg->RdLBtnClick();
        QCOMPARE(checkedRounding(), dlg->RndRBtn3);
        QCOMPARE(p->Runden, std::uint8_t(2));
        bus->silent();
        dlg->BnLBtnClick();
        QCOMPARE(dlg->DimEdit->text(), QStringLiteral("abc"));
        QCOMPARE(p->GetSBen(), QStringLiteral("..."));
        QCOMPARE(bus->transferErrors(), 2);
    }

    void withoutActiveStationButtonsAndActivationDoNothing() {
        bus->setActive(nullptr);
        dlg->DsEdit->setText(QStringLiteral("77"));
        dlg->FormActivate();
        QCOMPARE(dlg->DsEdit->text(), QStringLiteral("77"));
        for (auto handler : {&TDispDlg::DpLBtnClick, &TDispDlg::DpSBtnClick, &TDispDlg::RdSBtnClick, &TDispDlg::MWSBtnClick,
                             &TDispDlg::BnSBtnClick, &TDispDlg::MxLBtnClick, &TDispDlg::DzSBtnClick, &TDispDlg::UzSBtnClick})
            (dlg->*handler)();
        QVERIFY(bus->requests().empty());
        QVERIFY(bus->messages.empty());
    }

    void helpOpensContext41() {
        dlg->HelpBtn->click();
        QCOMPARE(bus->helpRequests, std::vector<int>{41});
        QCOMPARE(dlg->HelpBtn->toolTip(), QString::fromUtf8("Hilfe für Anzeige"));
    }
};

QTEST_MAIN(DisplayDialogTest)
#include "DisplayDialogTest.moc"
