// The measuring range dialog against a scripted station: the two-byte answers, the '?' answer,
// the counter layout, Escape, and what the station panel keeps.

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QTest>

#include "dialogs/Mbrdlg.h"
#include "panel/Qtv3590.h"
#include "support/DialogFixture.h"

namespace {

struct RangeRow {
    const char* name;
    QPushButton* TMBrDlg::*read;
    QLineEdit* TMBrDlg::*edit;
    QPushButton* TMBrDlg::*send;
    std::uint8_t code;
    std::int16_t TQTV3590::*field;
};

const RangeRow kRows[] = {
    {"Messbereichsanfang", &TMBrDlg::MBALBtn, &TMBrDlg::MBAMEdit, &TMBrDlg::MBASBtn, 0x40, &TQTV3590::MBAnf},
    {"Messbereichsende", &TMBrDlg::MBELBtn, &TMBrDlg::MBEMEdit, &TMBrDlg::MBESBtn, 0x41, &TQTV3590::MBEnd},
    {"Anzeigebereichsanfang", &TMBrDlg::ABALBtn, &TMBrDlg::ABAMEdit, &TMBrDlg::ABASBtn, 0x42, &TQTV3590::ABAnf},
    {"Anzeigebereichsende", &TMBrDlg::ABELBtn, &TMBrDlg::ABEMEdit, &TMBrDlg::ABESBtn, 0x43, &TQTV3590::ABEnd},
};

}  // namespace

class RangeDialogTest : public QObject {
    Q_OBJECT
    std::unique_ptr<DialogFixture> bus_;
    std::unique_ptr<TMBrDlg> dlg_;
    TQTV3590* station_ = nullptr;

    bool NormalLayout() const {
        return dlg_->MBELBtn->isEnabled() && dlg_->SoMSBtn->isEnabled() && dlg_->ABEMEdit->isEnabled() &&
               !dlg_->SoMCBox->isHidden() && dlg_->MBALabel->text() == QStringLiteral("Messbereichsanfang") &&
               dlg_->ABALabel->text() == QStringLiteral("Anzeigebereichsanfang") &&
               dlg_->SoMLabel->text() == QStringLiteral("Sondermessung aktiv");
    }
    bool CounterLayout() const {
        const QString idle = QStringLiteral("---------");
        for (QWidget* w : std::initializer_list<QWidget*>{dlg_->MBELBtn, dlg_->MBESBtn, dlg_->ABELBtn, dlg_->ABESBtn,
                                                          dlg_->SoMLBtn, dlg_->SoMSBtn, dlg_->MBEMEdit, dlg_->ABEMEdit})
            if (w->isEnabled()) return false;
        return dlg_->SoMCBox->isHidden() && dlg_->MBALBtn->isEnabled() && dlg_->ABASBtn->isEnabled() &&
               dlg_->MBALabel->text() == QString::fromUtf8("Zählerstand") &&
               dlg_->ABALabel->text() == QStringLiteral("Richtung") && dlg_->MBELabel->text() == idle &&
               dlg_->ABELabel->text() == idle && dlg_->SoMLabel->text() == idle;
    }

private slots:
    void init() {
        bus_ = std::make_unique<DialogFixture>();
        QVERIFY(bus_->portOpened());
        station_ = bus_->panel();
        dlg_ = std::make_unique<TMBrDlg>();
    }
    void cleanup() {
        dlg_.reset();
        bus_.reset();
    }

    void formStartsInTheNormalLayoutWithBlankEdits() {
        QCOMPARE(dlg_->windowTitle(), QStringLiteral("Messbereich"));
        QCOMPARE(dlg_->size(), QSize(316, 220));  // 20 pixels wider, for the stand-ins for Tahoma
        QVERIFY(NormalLayout());
        for (QLineEdit* e : {dlg_->MBAMEdit, dlg_->MBEMEdit, dlg_->ABAMEdit, dlg_->ABEMEdit}) {
            QCOMPARE(e->displayText(), QStringLiteral("     "));
            QCOMPARE(e->maxLength(), 5);
            QCOMPARE(e->font().family(), QStringLiteral("MS Sans Serif"));
        }
        QCOMPARE(dlg_->HelpBtn->text(), QStringLiteral("Hilfe"));
    }

    void readingARangeValueTakesTwoBytesHighFirst_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("kept");
        for (int i = 0; i < 4; ++i) {
            const QByteArray name(kRows[i].name);
            QTest::newRow((name + " -200").constData()) << i << QByteArray("FF 38") << QStringLiteral("-0200") << -200;
            QTest::newRow((name + " 500").constData()) << i << QByteArray("01 F4") << QStringLiteral(" 0500") << 500;
        }
        QTest::newRow("zero") << 0 << QByteArray("00 00") << QStringLiteral(" 0000") << 0;
        QTest::newRow("lowest") << 1 << QByteArray("80 00") << QStringLiteral("-32768") << -32768;
        QTest::newRow("five digits shown whole") << 2 << QByteArray("30 39") << QStringLiteral(" 12345") << 12345;
    }
    void readingARangeValueTakesTwoBytesHighFirst() {
        QFETCH(int, row);
        QFETCH(QByteArray, answer);
        QFETCH(QString, shown);
        QFETCH(int, kept);
        const RangeRow& r = kRows[row];
        station_->*r.field = 77;
        bus_->answer(Hex(answer.toStdString()));
        (dlg_.get()->*r.read)->click();
        QCOMPARE(bus_->lastRequest(), ScriptedBus::request(r.code));
        QCOMPARE(bus_->pcReply(), std::string("06"));
        QCOMPARE((dlg_.get()->*r.edit)->displayText(), shown);
        QCOMPARE(int(station_->*r.field), kept);
        QVERIFY(bus_->messages.empty());
    }

    void questionMarkAnswerShowsZerosAndKeepsTheField_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("3F 10") << QByteArray("3F 10");
        QTest::newRow("3F FF") << QByteArray("3F FF");
    }
    void questionMarkAnswerShowsZerosAndKeepsTheField() {
        QFETCH(QByteArray, answer);
        station_->MBEnd = 250;
        bus_->answer(Hex(answer.toStdString()));
        dlg_->MBELBtn->click();
        QCOMPARE(dlg_->MBEMEdit->displayText(), QStringLiteral(" 0000"));
        QCOMPARE(int(station_->MBEnd), 250);
        QVERIFY(bus_->messages.empty());
    }

    void failedReadShowsQuestionMarksBeforeTheMessage() {
        station_->ABAnf = -3;
        bus_->observeAtMessage = [&] { return dlg_->ABAMEdit->displayText(); };
        bus_->nak();
        dlg_->ABALBtn->click();
        QCOMPARE(bus_->messages.size(), size_t(1));
        QVERIFY(IsTransferError(bus_->messages[0]));
        QCOMPARE(bus_->messages[0].observed, QStringLiteral(" ????"));
        QCOMPARE(int(station_->ABAnf), -3);

        bus_->answer(Hex("00 09"));  // the next number brings the mask back
        dlg_->ABALBtn->click();
        QCOMPARE(dlg_->ABAMEdit->displayText(), QStringLiteral(" 0009"));
        QVERIFY(!dlg_->ABAMEdit->inputMask().isEmpty());
        QCOMPARE(dlg_->ABAMEdit->maxLength(), 5);
    }

    void sendingARangeValueKeepsItEvenWhenRefused_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < 4; ++i) QTest::newRow(kRows[i].name) << i;
    }
    void sendingARangeValueKeepsItEvenWhenRefused() {
        QFETCH(int, row);
        const RangeRow& r = kRows[row];
        TypeInto(dlg_.get()->*r.edit, QStringLiteral("-0050"));
        bus_->ack();
        (dlg_.get()->*r.send)->click();
        QCOMPARE(bus_->lastRequest(), ScriptedBus::request(static_cast<std::uint8_t>(r.code | 0x80), Hex("FF CE")));
        QCOMPARE(int(station_->*r.field), -50);
        QVERIFY(bus_->messages.empty());

        TypeInto(dlg_.get()->*r.edit, QStringLiteral("1200"));
        bus_->nak();
        (dlg_.get()->*r.send)->click();
        QCOMPARE(int(station_->*r.field), 1200);
        QCOMPARE(bus_->messages.size(), size_t(1));
        QVERIFY(IsTransferError(bus_->messages[0]));
    }

    void blankEditSendsZero() {
        station_->MBAnf = 10;
        QCOMPARE(dlg_->MBAMEdit->displayText(), QStringLiteral("     "));
        bus_->ack();
        dlg_->MBASBtn->click();
        QCOMPARE(bus_->lastRequest(), std::string("02 05 06 C0 00 00 CD"));
        QCOMPARE(int(station_->MBAnf), 0);
    }

    void escapePressesHelpAndLeavesTheDialogOpen() {
        dlg_->open();
        QTest::keyClick(dlg_->MBAMEdit, Qt::Key_Escape);
        QCOMPARE(bus_->helpRequests, std::vector<int>{44});
        QVERIFY(dlg_->isVisible());
        dlg_->HelpBtn->click();
        QCOMPARE(bus_->helpRequests, (std::vector<int>{44, 44}));
        dlg_->CancelBtn->click();
        QCOMPARE(dlg_->result(), int(QDialog::Rejected));
        QVERIFY(!dlg_->isVisible());
    }

    void sondermessungIsKeptOnlyWhenSent() {
        bus_->answer(Hex("01"));
        dlg_->SoMLBtn->click();
        QCOMPARE(bus_->lastRequest(), std::string("02 05 04 17 22"));
        QVERIFY(dlg_->SoMCBox->isChecked());
        QCOMPARE(int(station_->SoMess), 0);

        dlg_->FormActivate();  // reopening shows the kept flag, not the one last read
        QVERIFY(!dlg_->SoMCBox->isChecked());

        dlg_->SoMCBox->setChecked(true);
        bus_->ack();
        dlg_->SoMSBtn->click();
        QCOMPARE(bus_->lastRequest(), ScriptedBus::request(0x97, Hex("01")));
        QCOMPARE(int(station_->SoMess), 1);
        dlg_->FormActivate();
        QVERIFY(dlg_->SoMCBox->isChecked());
    }

    void failedSondermessungReadChangesNothing() {
        dlg_->SoMCBox->setChecked(true);
        bus_->nak();
        dlg_->SoMLBtn->click();
        QVERIFY(dlg_->SoMCBox->isChecked());
        QCOMPARE(bus_->messages.size(), size_t(1));
        QVERIFY(IsTransferError(bus_->messages[0]));
    }

    void counterStationsGetTheCounterLayoutAndOthersTheNormalOne() {
        station_->SetSTyp(0x0385);
        dlg_->show();
        QVERIFY(CounterLayout());
        bus_->answer(Hex("00 07"));
        dlg_->MBALBtn->click();  // "Zählerstand" reads as usual
        QCOMPARE(dlg_->MBAMEdit->displayText(), QStringLiteral(" 0007"));
        TypeInto(dlg_->ABAMEdit, QStringLiteral("1"));
        bus_->ack();
        dlg_->ABASBtn->click();  // "Richtung" sends as usual
        QCOMPARE(bus_->lastRequest(), ScriptedBus::request(0xC2, Hex("00 01")));
        dlg_->hide();

        TQTV3590* other = bus_->newPanel();
        other->SetSTyp(0x8501);  // the high byte does not count
        bus_->setActive(other);
        dlg_->show();
        QVERIFY(NormalLayout());
        dlg_->hide();

        other->SetSTyp(0x0080);
        dlg_->show();
        QVERIFY(CounterLayout());
    }

    void openingForAnotherStationShowsThatStationsValues() {
        station_->MBAnf = -100;
        station_->ABEnd = 999;
        station_->SoMess = 1;
        TQTV3590* other = bus_->newPanel();
        other->MBAnf = 20;
        dlg_->show();
        QCOMPARE(dlg_->MBAMEdit->displayText(), QStringLiteral("-0100"));
        QCOMPARE(dlg_->ABEMEdit->displayText(), QStringLiteral(" 0999"));
        QVERIFY(dlg_->SoMCBox->isChecked());
        dlg_->hide();
        bus_->setActive(other);
        dlg_->show();
        QCOMPARE(dlg_->MBAMEdit->displayText(), QStringLiteral(" 0020"));
        QCOMPARE(dlg_->ABEMEdit->displayText(), QStringLiteral(" 0000"));
        QVERIFY(!dlg_->SoMCBox->isChecked());
        QVERIFY(bus_->nothingSent());
    }

    void withoutAnActiveStationNothingHappens() {
        station_->SetSTyp(0x85);
        bus_->setActive(nullptr);
        dlg_->MBAMEdit->setText(QStringLiteral(" 0033"));
        bus_->ack();
        dlg_->show();
        QVERIFY(NormalLayout());
        for (QPushButton* b : {dlg_->MBALBtn, dlg_->MBASBtn, dlg_->MBELBtn, dlg_->MBESBtn, dlg_->ABALBtn,
                               dlg_->ABASBtn, dlg_->ABELBtn, dlg_->ABESBtn, dlg_->SoMLBtn, dlg_->SoMSBtn})
            b->click();
        QVERIFY(bus_->nothingSent());
        QVERIFY(bus_->messages.empty());
        QCOMPARE(dlg_->MBAMEdit->displayText(), QStringLiteral(" 0033"));
    }
};

QTEST_MAIN(RangeDialogTest)
#include "RangeDialogTest.moc"
