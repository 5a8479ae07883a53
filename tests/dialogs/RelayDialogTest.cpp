// The relay dialog against a scripted station: what each row sends and shows, what the station
// panel keeps, and the failure message.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QTest>

#include "dialogs/Reldlg.h"
#include "panel/Qtv3590.h"
#include "support/DialogFixture.h"

namespace {

struct NumberRow {
    const char* name;
    QPushButton* TRelDlg::*read;
    QLineEdit* TRelDlg::*edit;
    QPushButton* TRelDlg::*send;
    std::uint8_t code;
    int (*field)(const TQTV3590&);
};

const NumberRow kNumberRows[] = {
    {"SP1 Schaltpunkt", &TRelDlg::S1LBtn, &TRelDlg::S1WMEdit, &TRelDlg::S1SBtn, 0x50, [](const TQTV3590& p) { return int(p.SP1Wert); }},
    {"SP1 Hysterese", &TRelDlg::H1LBtn, &TRelDlg::S1HMEdit, &TRelDlg::H1SBtn, 0x52, [](const TQTV3590& p) { return int(p.SP1Hyst); }},
    {"SP1 Verzögerung", &TRelDlg::V1LBtn, &TRelDlg::S1VMEdit, &TRelDlg::V1SBtn, 0x54, [](const TQTV3590& p) { return int(p.SP1Verz); }},
    {"SP2 Schaltpunkt", &TRelDlg::S2LBtn, &TRelDlg::S2WMEdit, &TRelDlg::S2SBtn, 0x51, [](const TQTV3590& p) { return int(p.SP2Wert); }},
    {"SP2 Hysterese", &TRelDlg::H2LBtn, &TRelDlg::S2HMEdit, &TRelDlg::H2SBtn, 0x53, [](const TQTV3590& p) { return int(p.SP2Hyst); }},
    {"SP2 Verzögerung", &TRelDlg::V2LBtn, &TRelDlg::S2VMEdit, &TRelDlg::V2SBtn, 0x55, [](const TQTV3590& p) { return int(p.SP2Verz); }},
};

struct CheckRow {
    const char* name;
    QPushButton* TRelDlg::*read;
    QCheckBox* TRelDlg::*box;
    QPushButton* TRelDlg::*send;
    std::uint8_t code;
    std::uint8_t TQTV3590::*field;  // null: the status, kept nowhere
};

const CheckRow kCheckRows[] = {
    {"SP1 Aktiv", &TRelDlg::A1LBtn, &TRelDlg::S1AkCBox, &TRelDlg::A1SBtn, 0x10, &TQTV3590::SP1Aktiv},
    {"SP2 Aktiv", &TRelDlg::A2LBtn, &TRelDlg::S2AkCBox, &TRelDlg::A2SBtn, 0x11, &TQTV3590::SP2Aktiv},
    {"SP1 Öffner", &TRelDlg::O1LBtn, &TRelDlg::S1OpCBox, &TRelDlg::O1SBtn, 0x12, &TQTV3590::SP1Funk},
    {"SP2 Öffner", &TRelDlg::O2LBtn, &TRelDlg::S2OpCBox, &TRelDlg::O2SBtn, 0x13, &TQTV3590::SP2Funk},
    {"SP1 Status", &TRelDlg::U1LBtn, &TRelDlg::S1SCBox, &TRelDlg::U1SBtn, 0x14, nullptr},
    {"SP2 Status", &TRelDlg::U2LBtn, &TRelDlg::S2SCBox, &TRelDlg::U2SBtn, 0x15, nullptr},
};

void AddRows(const char* column) {
    QTest::addColumn<int>(column);
}

}  // namespace

class RelayDialogTest : public QObject {
    Q_OBJECT
    std::unique_ptr<DialogFixture> bus_;
    std::unique_ptr<TRelDlg> dlg_;
    TQTV3590* station_ = nullptr;


private slots:
    void init() {
        bus_ = std::make_unique<DialogFixture>();
        QVERIFY(bus_->portOpened());
        station_ = bus_->panel();
        dlg_ = std::make_unique<TRelDlg>();
    }
    void cleanup() {
        dlg_.reset();
        bus_.reset();
    }

    void formHasItsCaptionsSizeMasksAndStartTexts() {
        QCOMPARE(dlg_->windowTitle(), QStringLiteral("Relaisfunktionen"));
        QCOMPARE(dlg_->size(), QSize(455, 301));
        QCOMPARE(dlg_->GroupBox1->title(), QStringLiteral(" Relais 1 (SP1) "));
        QCOMPARE(dlg_->GroupBox2->title(), QStringLiteral(" Relais 2 (SP2) "));
        QCOMPARE(dlg_->S1VLabel->text(), QString::fromUtf8("Verzögerung"));
        QCOMPARE(dlg_->Label5->text(), QString::fromUtf8("Öffner"));
        for (QLineEdit* e : {dlg_->S1WMEdit, dlg_->S1HMEdit, dlg_->S1VMEdit}) {
            QVERIFY(!e->inputMask().isEmpty());
            QCOMPARE(e->maxLength(), 5);
            QCOMPARE(e->displayText(), QStringLiteral("0000 "));
        }
        for (QLineEdit* e : {dlg_->S2WMEdit, dlg_->S2HMEdit, dlg_->S2VMEdit}) {
            QVERIFY(e->inputMask().isEmpty());
            QCOMPARE(e->text(), QStringLiteral("0000 "));
        }
        QCOMPARE(dlg_->S1LBtn->text(), QStringLiteral("Lesen"));
        QCOMPARE(dlg_->U2SBtn->text(), QStringLiteral("Senden"));
    }

    void readingANumberShowsAndKeepsIt_data() {
        AddRows("row");
        for (int i = 0; i < 6; ++i) QTest::newRow(kNumberRows[i].name) << i;
    }
    void readingANumberShowsAndKeepsIt() {
        QFETCH(int, row);
        const NumberRow& r = kNumberRows[row];
        bus_->answer(Hex("01 F4"));
        (dlg_.get()->*r.read)->click();
        QCOMPARE(bus_->lastRequest(), ScriptedBus::request(r.code));
        QCOMPARE(bus_->pcReply(), std::string("06"));
        QCOMPARE((dlg_.get()->*r.edit)->displayText(), QStringLiteral(" 0500"));
        QCOMPARE(r.field(*station_), 500);
        QVERIFY(bus_->messages.empty());
    }

    void readingTheHighestAndLowestSwitchPoint() {
        bus_->answer(Hex("0F FF"));
        dlg_->S1LBtn->click();
        QCOMPARE(dlg_->S1WMEdit->displayText(), QStringLiteral(" 4095"));
        QCOMPARE(station_->SP1Wert, 4095);
        bus_->answer(Hex("00 00"));
        dlg_->S1LBtn->click();
        QCOMPARE(dlg_->S1WMEdit->displayText(), QStringLiteral(" 0000"));
        QCOMPARE(station_->SP1Wert, 0);
    }

    void failedReadShowsZerosBeforeTheMessageAndKeepsTheField_data() { readingANumberShowsAndKeepsIt_data(); }
    void failedReadShowsZerosBeforeTheMessageAndKeepsTheField() {
        QFETCH(int, row);
        const NumberRow& r = kNumberRows[row];
        bus_->answer(Hex("00 2A"));
        (dlg_.get()->*r.read)->click();
        QCOMPARE(r.field(*station_), 42);

        bus_->observeAtMessage = [&] { return (dlg_.get()->*r.edit)->displayText(); };
        bus_->nak();
        (dlg_.get()->*r.read)->click();
        QCOMPARE(bus_->messages.size(), size_t(1));
        QVERIFY(IsTransferError(bus_->messages[0]));
        QCOMPARE(bus_->messages[0].observed, QStringLiteral(" 0000"));
        QCOMPARE(r.field(*station_), 42);

        dlg_->FormActivate();  // the next opening shows what the station kept
        QCOMPARE((dlg_.get()->*r.edit)->displayText(), QStringLiteral(" 0042"));
    }

    void silentStationIsATransferError() {
        bus_->silent();
        dlg_->V2LBtn->click();
        QCOMPARE(dlg_->S2VMEdit->text(), QStringLiteral(" 0000"));
        QCOMPARE(bus_->messages.size(), size_t(1));
        QVERIFY(IsTransferError(bus_->messages[0]));
    }

    void sendingANumberSendsTheEditAndKeepsIt_data() { readingANumberShowsAndKeepsIt_data(); }
    void sendingANumberSendsTheEditAndKeepsIt() {
        QFETCH(int, row);
        const NumberRow& r = kNumberRows[row];
        TypeInto(dlg_.get()->*r.edit, QStringLiteral(" 0500"));
        bus_->ack();
        (dlg_.get()->*r.send)->click();
        QCOMPARE(bus_->lastRequest(), ScriptedBus::request(static_cast<std::uint8_t>(r.code | 0x80), Hex("01 F4")));
        QCOMPARE(r.field(*station_), 500);
        QVERIFY(bus_->messages.empty());
    }

    void refusedSendKeepsTheNewValueInTheStation() {
        dlg_->S1WMEdit->setText(QStringLiteral(" 0300"));
        bus_->nak();
        dlg_->S1SBtn->click();
        QCOMPARE(bus_->lastRequest(), std::string("02 05 06 D0 01 2C 0A"));
        QCOMPARE(bus_->messages.size(), size_t(1));
        QVERIFY(IsTransferError(bus_->messages[0]));
        QCOMPARE(station_->SP1Wert, 300);
        dlg_->S1WMEdit->setText(QStringLiteral(" 0000"));
        dlg_->FormActivate();
        QCOMPARE(dlg_->S1WMEdit->displayText(), QStringLiteral(" 0300"));
    }

    void minusZeroZeroTwelveSendsMinusTwelve() {
        TypeInto(dlg_->S1HMEdit, QStringLiteral("-0012"));
        QCOMPARE(dlg_->S1HMEdit->displayText(), QStringLiteral("-0012"));
        bus_->ack();
        dlg_->H1SBtn->click();
        QCOMPARE(station_->SP1Hyst, -12);
        QCOMPARE(bus_->lastRequest(), ScriptedBus::request(0xD2, Hex("FF F4")));
    }

    void minusOneIsTheLargestDelayButMinusOneAsHysteresis() {
        dlg_->S2VMEdit->setText(QStringLiteral("-1"));
        bus_->ack();
        dlg_->V2SBtn->click();
        QCOMPARE(station_->SP2Verz, 65535);
        QCOMPARE(bus_->lastRequest(), ScriptedBus::request(0xD5, Hex("FF FF")));

        dlg_->S2HMEdit->setText(QStringLiteral("-1"));
        bus_->ack();
        dlg_->H2SBtn->click();
        QCOMPARE(station_->SP2Hyst, -1);

        dlg_->FormActivate();
        QCOMPARE(dlg_->S2VMEdit->text(), QStringLiteral(" 65535"));
        QCOMPARE(dlg_->S2HMEdit->text(), QStringLiteral("-0001"));
    }

    void maskedEditShowsAFiveDigitDelayWholeAndSendsItBack() {
        TypeInto(dlg_->S1VMEdit, QStringLiteral("-1"));
        bus_->ack();
        dlg_->V1SBtn->click();
        QCOMPARE(station_->SP1Verz, 65535);
        dlg_->FormActivate();
        QCOMPARE(dlg_->S1VMEdit->displayText(), QStringLiteral(" 65535"));
        bus_->ack();
        dlg_->V1SBtn->click();  // what is shown is what goes out again
        QCOMPARE(bus_->lastRequest(), ScriptedBus::request(0xD4, Hex("FF FF")));
        station_->SP1Verz = 7;
        dlg_->FormActivate();
        QCOMPARE(dlg_->S1VMEdit->displayText(), QStringLiteral(" 0007"));
        QCOMPARE(dlg_->S1VMEdit->maxLength(), 5);
    }

    void lenientReadingOfAnEditWithoutMask_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("sent");
        QTest::newRow("letters only") << QStringLiteral("abc") << 0;
        QTest::newRow("digits, letter, digits") << QStringLiteral("12a34") << 12;
        QTest::newRow("65536") << QStringLiteral("65536") << 0;
        QTest::newRow("blanks and plus") << QStringLiteral("  +0042 ") << 42;
        QTest::newRow("empty") << QString() << 0;
    }
    void lenientReadingOfAnEditWithoutMask() {
        QFETCH(QString, text);
        QFETCH(int, sent);
        station_->SP2Wert = 99;
        dlg_->S2WMEdit->setText(text);
        bus_->ack();
        dlg_->S2SBtn->click();
        QCOMPARE(int(station_->SP2Wert), sent);
        QCOMPARE(bus_->lastRequest(), ScriptedBus::request(0xD1, Bytes{std::uint8_t(sent >> 8), std::uint8_t(sent)}));
        QVERIFY(bus_->messages.empty());
    }

    void readingAFlagTicksTheBoxAndKeepsIt_data() {
        AddRows("row");
        for (int i = 0; i < 6; ++i) QTest::newRow(kCheckRows[i].name) << i;
    }
    void readingAFlagTicksTheBoxAndKeepsIt() {
        QFETCH(int, row);
        const CheckRow& r = kCheckRows[row];
        QCheckBox* box = dlg_.get()->*r.box;
        bus_->answer(Hex("01"));
        (dlg_.get()->*r.read)->click();
        QCOMPARE(bus_->lastRequest(), ScriptedBus::request(r.code));
        QVERIFY(box->isChecked());
        if (r.field) QCOMPARE(int(station_->*r.field), 1);

        bus_->answer(Hex("FE"));  // only bit 0 counts
        (dlg_.get()->*r.read)->click();
        QVERIFY(!box->isChecked());
        if (r.field) QCOMPARE(int(station_->*r.field), 0);
        QVERIFY(bus_->messages.empty());
    }

    void failedFlagReadChangesNothing_data() { readingAFlagTicksTheBoxAndKeepsIt_data(); }
    void failedFlagReadChangesNothing() {
        QFETCH(int, row);
        const CheckRow& r = kCheckRows[row];
        (dlg_.get()->*r.box)->setChecked(true);
        if (r.field) station_->*r.field = 0;
        bus_->nak();
        (dlg_.get()->*r.read)->click();
        QVERIFY((dlg_.get()->*r.box)->isChecked());
        if (r.field) QCOMPARE(int(station_->*r.field), 0);
        QCOMPARE(bus_->messages.size(), size_t(1));
        QVERIFY(IsTransferError(bus_->messages[0]));
    }

    void sendingAFlagSendsTheBox_data() { readingAFlagTicksTheBoxAndKeepsIt_data(); }
    void sendingAFlagSendsTheBox() {
        QFETCH(int, row);
        const CheckRow& r = kCheckRows[row];
        const std::uint8_t writeCode = static_cast<std::uint8_t>(r.code | 0x80);
        (dlg_.get()->*r.box)->setChecked(true);
        bus_->ack();
        (dlg_.get()->*r.send)->click();
        QCOMPARE(bus_->lastRequest(), ScriptedBus::request(writeCode, Hex("01")));
        if (r.field) QCOMPARE(int(station_->*r.field), 1);

        (dlg_.get()->*r.box)->setChecked(false);
        bus_->nak();
        (dlg_.get()->*r.send)->click();
        QCOMPARE(bus_->lastRequest(), ScriptedBus::request(writeCode, Hex("00")));
        if (r.field) QCOMPARE(int(station_->*r.field), 0);
        QCOMPARE(bus_->messages.size(), size_t(1));
    }

    void statusIsNeverKeptInTheStation() {
        bus_->answer(Hex("01"));
        dlg_->U1LBtn->click();
        bus_->ack();
        dlg_->U2SBtn->click();
        QCOMPARE(station_->SP1Aktiv + station_->SP1Funk + station_->SP2Aktiv + station_->SP2Funk, 0);
        QVERIFY(dlg_->S1SCBox->isChecked());
    }

    void openingForAnotherStationShowsThatStationsValues() {
        station_->SP1Wert = 100;
        station_->SP2Verz = 200;
        station_->SP1Funk = 1;
        TQTV3590* other = bus_->newPanel();
        other->SP1Wert = -5;
        other->SP2Verz = 3000;
        other->SP2Aktiv = 1;
        dlg_->S1SCBox->setChecked(true);

        dlg_->show();
        QCOMPARE(dlg_->S1WMEdit->displayText(), QStringLiteral(" 0100"));
        QCOMPARE(dlg_->S2VMEdit->text(), QStringLiteral(" 0200"));
        QVERIFY(dlg_->S1OpCBox->isChecked() && !dlg_->S2AkCBox->isChecked());
        dlg_->hide();

        bus_->setActive(other);
        dlg_->show();
        QCOMPARE(dlg_->S1WMEdit->displayText(), QStringLiteral("-0005"));
        QCOMPARE(dlg_->S2VMEdit->text(), QStringLiteral(" 3000"));
        QVERIFY(!dlg_->S1OpCBox->isChecked() && dlg_->S2AkCBox->isChecked());
        QVERIFY(dlg_->S1SCBox->isChecked());  // the status keeps what it showed last
        QVERIFY(bus_->nothingSent());
    }

    void okKeepsTheOpenerFlagsButNotTheActiveFlags() {
        dlg_->open();
        dlg_->S1OpCBox->setChecked(true);
        dlg_->S2OpCBox->setChecked(true);
        dlg_->S1AkCBox->setChecked(true);
        dlg_->OkBtn->click();
        QCOMPARE(dlg_->result(), int(QDialog::Accepted));
        QCOMPARE(int(station_->SP1Funk), 1);
        QCOMPARE(int(station_->SP2Funk), 1);
        QCOMPARE(int(station_->SP1Aktiv), 0);
        QVERIFY(bus_->nothingSent());
        dlg_->open();
        QVERIFY(dlg_->S1OpCBox->isChecked());
        QVERIFY(!dlg_->S1AkCBox->isChecked());
    }

    void cancelKeepsNothing() {
        dlg_->open();
        dlg_->S1OpCBox->setChecked(true);
        dlg_->CancelBtn->click();
        QCOMPARE(dlg_->result(), int(QDialog::Rejected));
        QCOMPARE(int(station_->SP1Funk), 0);
    }

    void withoutAnActiveStationNothingHappens() {
        station_->SP1Wert = 1234;
        bus_->setActive(nullptr);
        dlg_->S1WMEdit->setText(QStringLiteral("-0077"));
        dlg_->S1AkCBox->setChecked(true);
        bus_->ack();
        dlg_->show();
        for (QPushButton* b : dlg_->findChildren<QPushButton*>()) {
            if (b == dlg_->OkBtn || b == dlg_->CancelBtn || b == dlg_->HelpBtn) continue;
            b->click();
        }
        QVERIFY(bus_->nothingSent());
        QVERIFY(bus_->messages.empty());
        QCOMPARE(dlg_->S1WMEdit->displayText(), QStringLiteral("-0077"));
        QVERIFY(dlg_->S1AkCBox->isChecked());
        dlg_->OkBtn->click();
        QCOMPARE(dlg_->result(), int(QDialog::Accepted));
    }

    void helpOpensContextFortyThreeAndStaysOpen() {
        dlg_->open();
        dlg_->HelpBtn->click();
        QCOMPARE(bus_->helpRequests, std::vector<int>{43});
        QVERIFY(dlg_->isVisible());
    }
};

QTEST_MAIN(RelayDialogTest)
#include "RelayDialogTest.moc"
