// The humidity and temperature dialog against a scripted line under the port object: the bytes
// it puts on the wire, what it keeps in ABAnf, and what it does without a port object.

#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>
#include <optional>
#include <vector>

#include "dialogs/Feutmpdlg.h"
#include "link/Sio.h"
#include "link/SioPort.h"
#include "panel/Qtv3590.h"
#include "platform/Help.h"
#include "support/FakeLine.h"
#include "support/LinkReset.h"
#include "dialogs/ActiveStation.h"
#include "ui/Messages.h"

class HumidityDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> owner;
    TQTV3590* panel = nullptr;
    std::optional<LinkReset> linkReset_;
    std::unique_ptr<FakeLineFactory> lines;
    std::unique_ptr<SioPort> port;
    std::unique_ptr<TFeuTempDlg> dlg;
    std::vector<ShownMessage> messages;
    bool hasPanel = true;
    bool hasPort = true;

    FakeLine& line() { return lines->last(); }
    QString checked() const {
        QStringList c;
        for (QRadioButton* b : {dlg->FeuchteBtn, dlg->TempBtn, dlg->TauBtn})
            if (b->isChecked()) c << b->text();
        return c.join(QChar('+'));
    }

private slots:
    void init() {
        linkReset_.emplace();
        Internet = 1;  // the whole frame in one write
        messages.clear();
        hasPanel = hasPort = true;
        owner = std::make_unique<QWidget>();
        panel = new TQTV3590(owner.get());
        panel->StatAdr = 5;
        panel->ABAnf = 0;
        lines = std::make_unique<FakeLineFactory>();
        port = std::make_unique<SioPort>(4);
        line().clearEvents();
        SetActivePanelSource([this] { return hasPanel ? panel : nullptr; });
        SetPortObjectSource([this] { return hasPort ? port.get() : nullptr; });
        SetMessageObserver([this](const ShownMessage& m) { messages.push_back(m); });
        dlg = std::make_unique<TFeuTempDlg>();
        dlg->ShowKind(panel->ABAnf);
    }
    void cleanup() {
        dlg.reset();
        port.reset();
        lines.reset();
        owner.reset();
        linkReset_.reset();  // the link and every hook as before the case
    }

    void formHasItsControls() {
        QCOMPARE(dlg->windowTitle(), QString::fromUtf8("Gewünschte Messart"));
        QCOMPARE(dlg->size(), QSize(285, 185));
        QCOMPARE(dlg->FTLBtn->geometry().topLeft(), QPoint(40, 32));
        QCOMPARE(dlg->FTSBtn->geometry().topLeft(), QPoint(40, 104));
        QCOMPARE(dlg->TauBtn->geometry().topLeft(), QPoint(144, 108));
        QCOMPARE(dlg->FeuchteBtn->text(), QStringLiteral("relative Feuchte"));
        int context = 0;
        SetHelpObserver([&context](int c) { context = c; });
        dlg->FeuHelpBtn->click();
        QCOMPARE(context, 47);
    }

    void openingShowsTheStoredKind_data() {
        QTest::addColumn<int>("abAnf");
        QTest::addColumn<QString>("shown");
        QTest::newRow("humidity") << 0 << "relative Feuchte";
        QTest::newRow("temperature") << 1 << "Temperatur";
        QTest::newRow("dew point") << 2 << "Taupunkt";
        QTest::newRow("anything else") << 7 << "relative Feuchte";
    }
    void openingShowsTheStoredKind() {
        QFETCH(int, abAnf);
        QFETCH(QString, shown);
        dlg->ShowKind(2);
        dlg->ShowKind(abAnf);
        QCOMPARE(checked(), shown);
    }

    void readAsksTheStationAndShowsAndStoresItsKind() {
        line().queueReply(Hex("02 05 05 00 01 0D"));
        dlg->FTLBtn->click();
        QCOMPARE(HexOf(line().writes().at(0)), std::string("02 05 04 42 4D"));
        QCOMPARE(HexOf(line().writes().at(1)), std::string("06"));
        QCOMPARE(panel->ABAnf, std::int16_t(1));
        QCOMPARE(checked(), QStringLiteral("Temperatur"));
        QVERIFY(messages.empty());
    }

    void kindThreeIsShownAsHumidityButKeptAsThree() {
        dlg->ShowKind(2);
        line().queueReply(Hex("02 05 05 00 03 0F"));
        dlg->FTLBtnClick();
        QCOMPARE(checked(), QStringLiteral("relative Feuchte"));
        QCOMPARE(panel->ABAnf, std::int16_t(3));
    }

    void failedReadReportsAndChangesNothing() {
        panel->ABAnf = 2;
        dlg->ShowKind(2);
        line().queueReply({});  // the station stays silent
        dlg->FTLBtnClick();
        QCOMPARE(messages.size(), 1u);
        QCOMPARE(messages[0].caption, QStringLiteral("Meldung"));
        QCOMPARE(messages[0].text, QString::fromUtf8("Übertragungsfehler"));
        QCOMPARE(panel->ABAnf, std::int16_t(2));
        QCOMPARE(checked(), QStringLiteral("Taupunkt"));
    }

    void writeSendsTheCheckedKindToTheStation() {
        dlg->TauBtn->setChecked(true);
        line().queueReply(Hex("06"));
        dlg->FTSBtn->click();
        QCOMPARE(HexOf(line().writes().at(0)), std::string("02 05 06 C2 00 02 D1"));
        QCOMPARE(panel->ABAnf, std::int16_t(2));
        QVERIFY(messages.empty());
    }

    void refusedWriteReportsButKeepsTheNewKind() {
        dlg->TempBtn->setChecked(true);
        line().queueReply(Hex("15"));
        dlg->FTSBtnClick();
        QCOMPARE(messages.size(), 1u);
        QCOMPARE(panel->ABAnf, std::int16_t(1));
    }

    void okStoresTheKindAndSendsNothing() {
        dlg->TempBtn->setChecked(true);
        dlg->FeuOkBtn->click();
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QCOMPARE(panel->ABAnf, std::int16_t(1));
        QVERIFY(line().writes().empty());
    }

    void withoutPortObjectReadAndWriteReportAndChangeNothing() {
        hasPort = false;
        panel->ABAnf = 1;
        dlg->ShowKind(1);
        dlg->TauBtn->setChecked(true);
        dlg->FTLBtnClick();
        dlg->FTSBtnClick();
        QCOMPARE(messages.size(), 2u);
        QCOMPARE(messages[1].text, QString::fromUtf8("Übertragungsfehler"));
        QCOMPARE(panel->ABAnf, std::int16_t(1));
        QCOMPARE(checked(), QStringLiteral("Taupunkt"));
        QVERIFY(line().writes().empty());
    }

    void withoutActiveStationNothingHappens() {
        hasPanel = false;
        dlg->FTLBtnClick();
        dlg->FTSBtnClick();
        QVERIFY(messages.empty());
        QVERIFY(line().writes().empty());
    }
};

QTEST_MAIN(HumidityDialogTest)
#include "HumidityDialogTest.moc"
