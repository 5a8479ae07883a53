// The other values dialog against a scripted station: maximum, minimum and pulses per revolution.

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "dialogs/Sonstdlg.h"
#include "support/DialogFixture.h"

using Requests = std::vector<std::string>;

class OtherValuesDialogTest : public QObject {
    Q_OBJECT
    std::unique_ptr<DialogFixture> bus;
    TSonsDlg* dlg = nullptr;

private slots:
    void initTestCase() { dlg = new TSonsDlg; }
    void cleanupTestCase() { delete dlg; }
    void init() {
        bus = std::make_unique<DialogFixture>();
        QVERIFY(bus->portOpened());
    }
    void cleanup() { QVERIFY2(EndedWithEveryReplyAsked(bus), "a scripted reply was never asked for"); }

    void formShowsItsInitialTexts() {
        TSonsDlg fresh;
        QCOMPARE(fresh.windowTitle(), QStringLiteral("Sonstige Funktionen"));
        QCOMPARE(fresh.MaxMEdit->text(), QStringLiteral("0000"));
        QCOMPARE(fresh.MinMEdit->text(), QStringLiteral("     "));
        QCOMPARE(fresh.EVMEdit->text(), QStringLiteral("0000"));
        QVERIFY(fresh.HelpBtn->isDefault());
    }

    // --- Reading -------------------------------------------------------------------------------

    void limitReadShowsFourDigitsWithMinusForNegativeValues() {
        bus->answer({0x00, 0x0C});
        dlg->MaxLBtnClick();
        QCOMPARE(dlg->MaxMEdit->text(), QStringLiteral("0012"));
        bus->answer({0xFF, 0xF4});
        dlg->MaxLBtnClick();
        QCOMPARE(dlg->MaxMEdit->text(), QStringLiteral("-0012"));
        bus->answer({0x80, 0x00});
        dlg->MinLBtnClick();
        QCOMPARE(dlg->MinMEdit->text(), QStringLiteral("-32768"));
        QCOMPARE(bus->requests(), (Requests{ScriptedBus::request(0x56), ScriptedBus::request(0x56), ScriptedBus::request(0x57)}));
        QCOMPARE(bus->messages.size(), size_t(0));
    }

    void limitAnsweredWithQuestionMarkShowsZerosWithoutMessage() {
        bus->answer({0x3F, 0x12});
        dlg->MinLBtnClick();
        QCOMPARE(dlg->MinMEdit->text(), QStringLiteral(" 0000"));
        QCOMPARE(bus->messages.size(), size_t(0));
    }

    void silentStationShowsQuestionMarksBeforeTheMessage() {
        bus->observeAtMessage = [this] { return dlg->MaxMEdit->text(); };
        bus->silent();
        dlg->MaxLBtnClick();
        QCOMPARE(bus->transferErrors(), 1);
        QCOMPARE(bus->messages.at(0).observed, QStringLiteral(" ????"));
        QCOMPARE(dlg->MaxMEdit->text(), QStringLiteral(" ????"));
    }

    void pulsesAreUnsignedAndTreatQuestionMarkAsANumber() {
        bus->answer({0xFF, 0xFF});
        dlg->EVLBtnClick();
        QCOMPARE(dlg->EVMEdit->text(), QStringLiteral("65535"));
        bus->answer({0x3F, 0x00});
        dlg->EVLBtnClick();
        QCOMPARE(dlg->EVMEdit->text(), QStringLiteral("16128"));
        QCOMPARE(bus->requests(), (Requests{ScriptedBus::request(0x59), ScriptedBus::request(0x59)}));
        bus->silent();
        dlg->EVLBtnClick();
        QCOMPARE(dlg->EVMEdit->text(), QStringLiteral(" ????"));
        QCOMPARE(bus->transferErrors(), 1);
    }

    // --- Sending -------------------------------------------------------------------------------

    void sendTakesTheNumberAsItsLow16Bits() {
        dlg->MinMEdit->setText(QStringLiteral("0100"));
        bus->ack();
        dlg->MinSBtnClick();
        dlg->MinMEdit->setText(QStringLiteral("-0012"));
        bus->ack();
        dlg->MinSBtnClick();
        dlg->EVMEdit->setText(QStringLiteral("65535"));
        bus->ack();
        dlg->EVSBtnClick();
        dlg->MaxMEdit->setText(QStringLiteral(" 0123"));
        bus->ack();
        dlg->MaxSBtnClick();
        QCOMPARE(bus->requests(), (Requests{"02 05 06 D7 00 64 48", ScriptedBus::request(0xD7, {0xFF, 0xF4}),
                                           ScriptedBus::request(0xD9, {0xFF, 0xFF}),
                                           ScriptedBus::request(0xD6, {0x00, 0x7B})}));
        QCOMPARE(bus->messages.size(), size_t(0));
    }

    // A value read from the station goes back unchanged, also when it is negative or has five
    // digits: the edits are wide enough for every text the dialog puts in.
    void readValueSentBackIsTheSameValue() {
        bus->answer({0xFF, 0xF4});
        dlg->MaxLBtnClick();
        bus->ack();
        dlg->MaxSBtnClick();
        bus->answer({0xEA, 0x60});
        dlg->EVLBtnClick();
        bus->ack();
        dlg->EVSBtnClick();
        const Requests sent = bus->requests();
        QCOMPARE(sent.at(1), ScriptedBus::request(0xD6, {0xFF, 0xF4}));
        QCOMPARE(sent.at(3), ScriptedBus::request(0xD9, {0xEA, 0x60}));
    }

    void textThatIsNoWholeNumberIsRefusedAndNothingSent_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("blank after digits") << QStringLiteral("12 ");
        QTest::newRow("only blanks") << QStringLiteral("     ");
        QTest::newRow("question marks") << QStringLiteral(" ????");
        QTest::newRow("empty") << QString();
    }
    void textThatIsNoWholeNumberIsRefusedAndNothingSent() {
        QFETCH(QString, text);
        dlg->MinMEdit->setText(text);
        dlg->MinSBtnClick();
        QVERIFY(bus->requests().empty());
        QCOMPARE(bus->messages.size(), size_t(1));
        QCOMPARE(bus->messages[0].text, QString::fromUtf8("'%1' ist kein gültiger Integerwert").arg(text));
    }

    void refusedSendShowsTheTransferError() {
        dlg->EVMEdit->setText(QStringLiteral("0042"));
        bus->nak();
        dlg->EVSBtnClick();
        QCOMPARE(bus->requests(), (Requests{ScriptedBus::request(0xD9, {0x00, 0x2A})}));
        QCOMPARE(bus->transferErrors(), 1);
    }

    // --- Opening, buttons, no station ----------------------------------------------------------

    void reopeningForAnotherStationShowsWhatWasReadBefore() {
        bus->answer({0x01, 0x00});
        dlg->MaxLBtnClick();
        dlg->show();
        dlg->hide();
        bus->setActive(bus->newPanel('1'));
        dlg->show();
        QCOMPARE(dlg->MaxMEdit->text(), QStringLiteral("0256"));
        dlg->hide();
    }

    void withoutActiveStationNothingIsAskedOrSent() {
        bus->setActive(nullptr);
        dlg->MaxLBtnClick();
        dlg->MinSBtnClick();
        dlg->EVLBtnClick();
        QVERIFY(bus->requests().empty());
        QVERIFY(bus->messages.empty());
    }

    void helpOpensContext45AndEnterPressesHelp() {
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg));
        dlg->EVMEdit->setFocus();
        QTest::keyClick(dlg->EVMEdit, Qt::Key_Return);
        QCOMPARE(bus->helpRequests, std::vector<int>{45});
        QVERIFY(dlg->isVisible());
        QVERIFY(bus->requests().empty());
        dlg->CloseBtn->click();
        QVERIFY(!dlg->isVisible());
    }

    void operatorTypesOnlySignsDigitsAndBlanks() {
        dlg->EVMEdit->clear();
        dlg->EVMEdit->setFocus();
        QTest::keyClicks(dlg->EVMEdit, QStringLiteral("-1x234567"));
        QCOMPARE(dlg->EVMEdit->text(), QStringLiteral("123456"));
        dlg->MinMEdit->clear();
        QTest::keyClicks(dlg->MinMEdit, QStringLiteral("-12a"));
        QCOMPARE(dlg->MinMEdit->text(), QStringLiteral("-12"));
    }
};

QTEST_MAIN(OtherValuesDialogTest)
#include "OtherValuesDialogTest.moc"
