// The real-time clock dialog against a scripted station: BCD date, weekday, time and cycle value.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "dialogs/Rtcdlg.h"
#include "platform/Clock.h"
#include "support/DialogFixture.h"
#include "ui/UpDown.h"

using Requests = std::vector<std::string>;

class ClockDialogTest : public QObject {
    Q_OBJECT
    std::unique_ptr<DialogFixture> bus;
    TRtcDlg* dlg = nullptr;

    QString date() const { return dlg->DatumMEdit->displayText(); }
    QString time() const { return dlg->ZeitMEdit->displayText(); }

private slots:
    void initTestCase() { dlg = new TRtcDlg; }
    void cleanupTestCase() {
        delete dlg;
        SetWallClock(nullptr);
    }
    void init() {
        bus = std::make_unique<DialogFixture>();
        QVERIFY(bus->portOpened());
    }
    void cleanup() { QVERIFY2(EndedWithEveryReplyAsked(bus), "a scripted reply was never asked for"); }

    void formShowsItsInitialTexts() {
        TRtcDlg fresh;
        QCOMPARE(fresh.windowTitle(), QStringLiteral("Real Time Clock"));
        QCOMPARE(fresh.size(), QSize(292, 269));
        QCOMPARE(fresh.DatumMEdit->text(), QStringLiteral("00.00.00"));
        QCOMPARE(fresh.ZeitMEdit->text(), QStringLiteral("12:00:00"));
        QCOMPARE(fresh.ZyklMEdit->displayText(), QStringLiteral("0  "));
        QCOMPARE(fresh.WoTaCoBox->currentText(), QStringLiteral("Montag"));
        QCOMPARE(fresh.WoTaCoBox->count(), 7);
        QCOMPARE(fresh.ZyUpDn->maximum(), 255);
        QVERIFY(fresh.ZyUpDn->wrap());
    }

    // --- Reading the date ----------------------------------------------------------------------

    void dateReadShowsBcdDigitsAndTheWeekday() {
        bus->answer({0x06, 0x03});
        bus->answer({0x12, 0x99});
        dlg->DaRdBtnClick();
        QCOMPARE(bus->requests(), (Requests{"02 05 04 36 41", ScriptedBus::request(0x37)}));
        QCOMPARE(date(), QStringLiteral("06.12.99"));
        QCOMPARE(dlg->WoTaCoBox->currentText(), QStringLiteral("Donnerstag"));
        QVERIFY(bus->messages.empty());
    }

    void weekdaySevenCountsAsMonday_data() {
        QTest::addColumn<int>("second");
        QTest::newRow("0x07") << 0x07;
        QTest::newRow("0x0F") << 0x0F;
    }
    void weekdaySevenCountsAsMonday() {
        QFETCH(int, second);
        dlg->WoTaCoBox->setCurrentIndex(4);
        bus->answer({0x01, std::uint8_t(second)});
        bus->answer({0x01, 0x26});
        dlg->DaRdBtnClick();
        QCOMPARE(dlg->WoTaCoBox->currentText(), QStringLiteral("Montag"));
    }

    void dateByteFFShowsQuestionMarks() {
        bus->answer({0x15, 0x06});
        bus->answer({0xFF, 0x26});
        dlg->DaRdBtnClick();
        QCOMPARE(date(), QStringLiteral("15.??.26"));
        QVERIFY(bus->messages.empty());
    }

    void failedDayReadStopsAndLeavesTheWeekday() {
        dlg->WoTaCoBox->setCurrentIndex(2);
        bus->observeAtMessage = [this] { return date(); };
        bus->silent();
        dlg->DaRdBtnClick();
        QCOMPARE(bus->requests().size(), size_t(1));
        QCOMPARE(date(), QStringLiteral("??.??.??"));
        QCOMPARE(dlg->WoTaCoBox->currentText(), QStringLiteral("Mittwoch"));
        QCOMPARE(bus->transferErrors(), 1);
        QCOMPARE(bus->messages[0].observed, QStringLiteral("??.??.??"));
    }

    void failedMonthReadKeepsTheDay() {
        bus->answer({0x24, 0x01});
        bus->nak();
        dlg->DaRdBtnClick();
        QCOMPARE(date(), QStringLiteral("24.??.??"));
        QCOMPARE(dlg->WoTaCoBox->currentText(), QStringLiteral("Dienstag"));
        QCOMPARE(bus->transferErrors(), 1);
    }

    // --- Sending the date ----------------------------------------------------------------------

    void dateSendPacksDigitsAndWeekday() {
        dlg->DatumMEdit->setText(QStringLiteral("31.12.26"));
        dlg->WoTaCoBox->setEditText(QStringLiteral("sonntag"));  // letter case does not matter
        bus->ack();
        bus->ack();
        dlg->DaWrBtnClick();
        QCOMPARE(bus->requests(), (Requests{ScriptedBus::request(0xB6, {0x31, 0x06}), ScriptedBus::request(0xB7, {0x12, 0x26})}));
        QVERIFY(bus->messages.empty());
    }

    void unknownWeekdayIsSentAs255() {
        dlg->DatumMEdit->setText(QStringLiteral("01.02.03"));
        dlg->WoTaCoBox->setEditText(QStringLiteral("Feiertag"));
        QCOMPARE(dlg->WeekdayIndex(), std::uint8_t(255));
        bus->ack();
        bus->ack();
        dlg->DaWrBtnClick();
        QCOMPARE(bus->requests().at(0), ScriptedBus::request(0xB6, {0x01, 0xFF}));
    }

    void refusedDaySendsNoMonth() {
        dlg->DatumMEdit->setText(QStringLiteral("01.02.03"));
        bus->nak();
        dlg->DaWrBtnClick();
        QCOMPARE(bus->requests().size(), size_t(1));
        QCOMPARE(bus->transferErrors(), 1);
    }

    // The operator's first key after the question marks brings the mask back: letters never
    // get in, and what was not typed stays blank.
    void typingAfterQuestionMarksTakesTheMaskBack() {
        bus->silent();
        dlg->UhRdBtnClick();
        QCOMPARE(time(), QStringLiteral("??:??:??"));
        dlg->ZeitMEdit->setCursorPosition(0);
        QTest::keyClicks(dlg->ZeitMEdit, QStringLiteral("1x"));
        QVERIFY(!dlg->ZeitMEdit->inputMask().isEmpty());
        QCOMPARE(time(), QStringLiteral("1_:__:__"));
        QCOMPARE(bus->transferErrors(), 1);
    }

    // After a failed read the edit shows question marks; sending them gives the digit 15 each,
    // and an unfilled position counts as 0.
    void questionMarksAndBlanksAreSentByTheirLowFourBits() {
        bus->silent();
        dlg->DaRdBtnClick();
        dlg->WoTaCoBox->setCurrentIndex(0);
        bus->ack();
        bus->ack();
        dlg->DaWrBtnClick();
        QCOMPARE(bus->requests().at(1), ScriptedBus::request(0xB6, {0xFF, 0x00}));
        QCOMPARE(bus->requests().at(2), ScriptedBus::request(0xB7, {0xFF, 0xFF}));
        bus->answer({0x06, 0x00});  // a good read brings the mask back
        bus->answer({0x12, 0x26});
        dlg->DaRdBtnClick();
        dlg->DatumMEdit->setCursorPosition(0);
        dlg->DatumMEdit->del();
        QCOMPARE(dlg->DatumMEdit->displayText(), QStringLiteral("_6.12.26"));
        bus->ack();
        bus->ack();
        dlg->DaWrBtnClick();
        QCOMPARE(bus->requests().at(5), ScriptedBus::request(0xB6, {0x06, 0x00}));
    }

    // --- Time and cycle value ------------------------------------------------------------------

    void timeReadShowsTimeAndMovesTheCycleValue() {
        bus->answer({0x23, 0x59});
        bus->answer({0x58, 200});
        dlg->UhRdBtnClick();
        QCOMPARE(bus->requests(), (Requests{ScriptedBus::request(0x35), ScriptedBus::request(0x38)}));
        QCOMPARE(time(), QStringLiteral("23:59:58"));
        QCOMPARE(dlg->ZyUpDn->position(), 200);
        QCOMPARE(dlg->ZyklMEdit->text(), QStringLiteral("200"));
    }

    void failedTimeReadStillAsksForSecondsAndShowsOneMessage() {
        dlg->ZyUpDn->setPosition(3);
        bus->silent();
        bus->answer({0x07, 0x09});
        dlg->UhRdBtnClick();
        QCOMPARE(bus->requests().size(), size_t(2));
        QCOMPARE(time(), QStringLiteral("??:??:07"));
        QCOMPARE(dlg->ZyUpDn->position(), 9);
        QCOMPARE(bus->transferErrors(), 1);
    }

    void failedSecondsReadKeepsTheCycleValue() {
        dlg->ZyUpDn->setPosition(42);
        bus->answer({0x08, 0x15});
        bus->silent();
        dlg->UhRdBtnClick();
        QCOMPARE(time(), QStringLiteral("08:15:??"));
        QCOMPARE(dlg->ZyUpDn->position(), 42);
        QCOMPARE(bus->transferErrors(), 1);
    }

    void timeSendPacksDigitsAndTheCycleValue() {
        dlg->ZeitMEdit->setText(QStringLiteral("23:59:58"));
        dlg->ZyUpDn->setPosition(10);
        bus->ack();
        bus->ack();
        dlg->UhWrBtnClick();
        QCOMPARE(bus->requests(), (Requests{ScriptedBus::request(0xB5, {0x23, 0x59}), ScriptedBus::request(0xB8, {0x58, 0x0A})}));
    }

    void typedCycleValueIsTheOneSent() {
        dlg->ZeitMEdit->setText(QStringLiteral("10:00:00"));
        dlg->ZyklMEdit->setText(QStringLiteral("77"));
        QCOMPARE(dlg->ZyUpDn->position(), 77);
        dlg->ZyklMEdit->setText(QStringLiteral("999"));  // beyond the range: stops at 255
        QCOMPARE(dlg->ZyUpDn->position(), 255);
        QCOMPARE(dlg->ZyklMEdit->text(), QStringLiteral("255"));
        bus->ack();
        bus->ack();
        dlg->UhWrBtnClick();
        QCOMPARE(bus->requests().at(1), ScriptedBus::request(0xB8, {0x00, 0xFF}));
    }

    void cycleSpinWrapsAround() {
        dlg->ZyUpDn->setPosition(255);
        dlg->ZyUpDn->stepUp();
        QCOMPARE(dlg->ZyUpDn->position(), 0);
        dlg->ZyUpDn->stepDown();
        QCOMPARE(dlg->ZyklMEdit->text(), QStringLiteral("255"));
    }

    void refusedTimeSendsNoSeconds() {
        bus->nak();
        dlg->UhWrBtnClick();
        QCOMPARE(bus->requests().size(), size_t(1));
        QCOMPARE(bus->transferErrors(), 1);
    }

    // --- PC clock, no station, help ------------------------------------------------------------

    void pcTimeFillsTheFieldsInFixedFormsAndSendsNothing() {
        SetWallClock([] { return LocalDateTime{2026, 12, 27, 7, 5, 9, 6}; });  // a Sunday
        dlg->PcUhrBtn->click();
        SetWallClock(nullptr);
        QCOMPARE(date(), QStringLiteral("27.12.26"));
        QCOMPARE(time(), QStringLiteral("07:05:09"));
        QCOMPARE(dlg->WoTaCoBox->currentText(), QStringLiteral("Sonntag"));
        QVERIFY(bus->requests().empty());
        bus->ack();
        bus->ack();
        dlg->DaWrBtnClick();
        QCOMPARE(bus->requests().at(0), ScriptedBus::request(0xB6, {0x27, 0x06}));
    }

    void withoutActiveStationNothingIsAskedOrSent() {
        bus->setActive(nullptr);
        dlg->DaRdBtnClick();
        dlg->DaWrBtnClick();
        dlg->UhRdBtnClick();
        dlg->UhWrBtnClick();
        QVERIFY(bus->requests().empty());
        QVERIFY(bus->messages.empty());
    }

    void helpOpensContext42() {
        dlg->HelpBtn->click();
        QCOMPARE(bus->helpRequests, std::vector<int>{42});
    }
};

QTEST_MAIN(ClockDialogTest)
#include "ClockDialogTest.moc"
