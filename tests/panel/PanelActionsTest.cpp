// The panel menu's actions with the station-address dialog answered by the test: address,
// cycle, title and colours, and the refusal of an address another station holds.

#include "panel/Qtv3590.h"
#include "panel/Stadrdlg.h"
#include "platform/ProcessHooks.h"
#include "ui/Messages.h"
#include "ui/UpDown.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <optional>
#include <vector>

namespace {
// Answers the next modal dialog: lets the test look at it and change it, then OK or Cancel.
void AnswerDialog(bool ok, std::function<void(TStADlg&)> edit = {}) {
    QTimer::singleShot(0, [ok, edit] {
        if (edit) edit(*StADlg);
        if (ok)
            StADlg->StOkBtn->click();
        else
            StADlg->CancelBtn->click();
    });
}
}  // namespace

class PanelActionsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dialogIsMadeUpAsTheOperatorKnowsIt();
    void typedDigitsMoveTheSpinPosition();
    void addressActionOffersZeroToThirtyOneWrapping();
    void addressActionTakesTheNewAddressAndKeepsTheOld();
    void cancelledAddressChangesNothing();
    void secondAddressChangeKeepsTheSlotThePanelSitsIn();
    void takenAddressIsRefusedWithAMessage();
    void withoutACheckNoAddressIsRefused();
    void cycleActionOffersUpTo9999();
    void cancelledCycleStillAsksAtTheNextTick();
    void titleActionChangesTitleAndRestoresAddressControls();
    void cancelledTitleChangesNothingButRestoresControls();
    void menuItemActsOnThePanelThatOwnsIt();
    void colourActionsSetTheirColourOnlyWhenConfirmed();

private:
    std::vector<ShownMessage> messages_;
    std::optional<ProcessHooksGuard> hooks_;
};

void PanelActionsTest::initTestCase() {
    StADlg = new TStADlg;
    SetMessageObserver([this](const ShownMessage& m) { messages_.push_back(m); });
}

void PanelActionsTest::init() {
    messages_.clear();
    hooks_.emplace();
}

void PanelActionsTest::cleanup() { hooks_.reset(); }

void PanelActionsTest::dialogIsMadeUpAsTheOperatorKnowsIt() {
    TStADlg dlg;
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Stationsadresse"));
    QCOMPARE(dlg.size(), QSize(235, 110));
    QCOMPARE(dlg.StAMEdit->text(), QStringLiteral("01"));
    QCOMPARE(dlg.StAMEdit->maxLength(), 4);
    QCOMPARE(dlg.StAMEdit->geometry(), QRect(16, 16, 41, 24));
    QCOMPARE(dlg.SaUpDn->position(), 1);
    QCOMPARE(dlg.SaUpDn->maximum(), 31);
    QVERIFY(dlg.SaUpDn->wrap());
    QVERIFY(dlg.StEdit->isHidden());
    QCOMPARE(dlg.StEdit->text(), QStringLiteral("StEdit"));
    QCOMPARE(dlg.CancelBtn->text(), QStringLiteral("Abbrechen"));
}

void PanelActionsTest::typedDigitsMoveTheSpinPosition() {
    TStADlg dlg;
    dlg.StAMEdit->selectAll();
    QTest::keyClicks(dlg.StAMEdit, QStringLiteral("17"));
    QCOMPARE(dlg.SaUpDn->position(), 17);
    dlg.StAMEdit->selectAll();
    QTest::keyClicks(dlg.StAMEdit, QStringLiteral("x"));  // the mask takes no letters
    QCOMPARE(dlg.SaUpDn->position(), 17);
}

void PanelActionsTest::addressActionOffersZeroToThirtyOneWrapping() {
    TQTV3590 p(nullptr);
    p.Insert(31);
    int wrappedUp = -1, wrappedDown = -1, maximum = -1;
    AnswerDialog(false, [&](TStADlg& d) {
        maximum = d.SaUpDn->maximum();
        d.SaUpDn->stepUp();
        wrappedUp = d.SaUpDn->position();
        d.SaUpDn->stepDown();
        wrappedDown = d.SaUpDn->position();
    });
    p.PopupItemClick(0);
    QCOMPARE(maximum, 31);
    QCOMPARE(wrappedUp, 0);
    QCOMPARE(wrappedDown, 31);
}

void PanelActionsTest::addressActionTakesTheNewAddressAndKeepsTheOld() {
    TQTV3590 p(nullptr);
    p.Insert(3);
    QString caption, label;
    int offered = -1;
    AnswerDialog(true, [&](TStADlg& d) {
        caption = d.windowTitle();
        label = d.Label1->text();
        offered = d.SaUpDn->position();
        d.SaUpDn->setPosition(9);
    });
    p.PopupItemClick(0);
    QCOMPARE(caption, QStringLiteral(" Stationsadresse"));
    QCOMPARE(label, QStringLiteral("Stationsadresse"));
    QCOMPARE(offered, 3);
    QCOMPARE(p.StatAdr, std::uint16_t(9));
    QCOMPARE(p.OldAdr, std::int16_t(3));
    QCOMPARE(p.Caption(), QString::fromUtf8(" Gerät (9) "));
}

void PanelActionsTest::cancelledAddressChangesNothing() {
    TQTV3590 p(nullptr);
    p.StatAdr = 4;
    p.SetTitel(QStringLiteral("Ofen"));
    AnswerDialog(false, [](TStADlg& d) { d.SaUpDn->setPosition(20); });
    p.PopupItemClick(0);
    QCOMPARE(p.StatAdr, std::uint16_t(4));
    QCOMPARE(p.OldAdr, std::int16_t(-1));
    QCOMPARE(p.Caption(), QStringLiteral("Ofen (4)"));
}

void PanelActionsTest::secondAddressChangeKeepsTheSlotThePanelSitsIn() {
    TQTV3590 p(nullptr);
    p.Insert(3);
    AnswerDialog(true, [](TStADlg& d) { d.SaUpDn->setPosition(9); });
    p.PopupItemClick(0);
    AnswerDialog(true, [](TStADlg& d) { d.SaUpDn->setPosition(12); });
    p.PopupItemClick(0);
    QCOMPARE(p.StatAdr, std::uint16_t(12));
    QCOMPARE(p.OldAdr, std::int16_t(3));
    AnswerDialog(true, [](TStADlg& d) { d.SaUpDn->setPosition(3); });
    p.PopupItemClick(0);
    QCOMPARE(p.StatAdr, std::uint16_t(3));
    QCOMPARE(p.OldAdr, std::int16_t(-1));  // back where it sits: nothing to move
}

void PanelActionsTest::takenAddressIsRefusedWithAMessage() {
    TQTV3590 p(nullptr);
    p.Insert(3);
    int asked = 0;
    connect(&p, &TQTV3590::addressTaken, [&](int address, bool& taken) {
        ++asked;
        taken = address == 7;
    });
    AnswerDialog(true, [](TStADlg& d) { d.SaUpDn->setPosition(7); });
    p.PopupItemClick(0);
    QCOMPARE(asked, 1);
    QCOMPARE(p.StatAdr, std::uint16_t(3));
    QCOMPARE(p.OldAdr, std::int16_t(-1));
    QCOMPARE(p.Caption(), QString::fromUtf8(" Gerät (3) "));
    QCOMPARE(messages_.size(), std::size_t(1));
    QCOMPARE(messages_[0].caption, QStringLiteral("Stationsadresse"));
    QCOMPARE(messages_[0].text, QStringLiteral("Die Adresse 7 ist bereits belegt."));

    AnswerDialog(true, [](TStADlg& d) { d.SaUpDn->setPosition(8); });
    p.PopupItemClick(0);
    QCOMPARE(p.StatAdr, std::uint16_t(8));
    QCOMPARE(messages_.size(), std::size_t(1));
}

void PanelActionsTest::withoutACheckNoAddressIsRefused() {
    TQTV3590 p(nullptr);
    p.Insert(3);
    AnswerDialog(true, [](TStADlg& d) { d.SaUpDn->setPosition(7); });
    p.PopupItemClick(0);
    QCOMPARE(p.StatAdr, std::uint16_t(7));
    QVERIFY(messages_.empty());
}

void PanelActionsTest::cycleActionOffersUpTo9999() {
    TQTV3590 p(nullptr);
    p.SetSZykl(2500);  // more than the address maximum the dialog may still hold
    QString caption, label;
    int offered = -1, maximum = -1;
    AnswerDialog(true, [&](TStADlg& d) {
        caption = d.windowTitle();
        label = d.Label1->text();
        offered = d.SaUpDn->position();
        maximum = d.SaUpDn->maximum();
        d.SaUpDn->setPosition(9999);
    });
    p.PopupItemClick(1);
    QCOMPARE(caption, QStringLiteral(" Zyklen"));
    QCOMPARE(label, QStringLiteral("Sendezyklen"));
    QCOMPARE(offered, 2500);
    QCOMPARE(maximum, 9999);
    QCOMPARE(p.GetSZykl(), std::uint16_t(9999));
    QCOMPARE(p.ZVar, std::uint16_t(1));
}

void PanelActionsTest::cancelledCycleStillAsksAtTheNextTick() {
    TQTV3590 p(nullptr);
    p.SetSZykl(6);
    p.ZVar = 4;
    p.SioFehler = 12;
    p.SetFrameColor(clWhite);
    AnswerDialog(false, [](TStADlg& d) { d.SaUpDn->setPosition(40); });
    p.PopupItemClick(1);
    QCOMPARE(p.GetSZykl(), std::uint16_t(6));
    QCOMPARE(p.ZVar, std::uint16_t(1));
    QCOMPARE(p.SioFehler, std::uint8_t(0));
    QCOMPARE(p.FrameColor(), TQTV3590::kFrameButtonFace);
}

void PanelActionsTest::titleActionChangesTitleAndRestoresAddressControls() {
    TQTV3590 p(nullptr);
    p.StatAdr = 6;
    p.SetTitel(QStringLiteral("Alt"));
    QString caption, label, offeredTitle;
    bool addressControlsHidden = false;
    AnswerDialog(true, [&](TStADlg& d) {
        caption = d.windowTitle();
        label = d.Label1->text();
        offeredTitle = d.StEdit->text();
        addressControlsHidden = d.StAMEdit->isHidden() && d.SaUpDn->isHidden() && d.StEdit->isVisible();
        d.StEdit->setText(QStringLiteral("Kühlraum"));
    });
    p.PopupItemClick(7);
    QCOMPARE(caption, QString::fromUtf8(" Gerätetitel "));
    QCOMPARE(label, QStringLiteral(" Titel"));
    QCOMPARE(offeredTitle, QStringLiteral("Alt"));
    QVERIFY(addressControlsHidden);
    QCOMPARE(p.GetTitel(), QStringLiteral("Kühlraum"));
    QCOMPARE(p.Caption(), QString::fromUtf8(" Kühlraum (6) "));
    QVERIFY(!StADlg->StAMEdit->isHidden());
    QVERIFY(!StADlg->SaUpDn->isHidden());
    QVERIFY(StADlg->StEdit->isHidden());
}

void PanelActionsTest::cancelledTitleChangesNothingButRestoresControls() {
    TQTV3590 p(nullptr);
    p.SetTitel(QStringLiteral("Alt"));
    AnswerDialog(false, [](TStADlg& d) { d.StEdit->setText(QStringLiteral("Neu")); });
    p.PopupItemClick(7);
    QCOMPARE(p.GetTitel(), QStringLiteral("Alt"));
    QCOMPARE(p.Caption(), QStringLiteral("Alt (0)"));
    QVERIFY(!StADlg->StAMEdit->isHidden());
    QVERIFY(StADlg->StEdit->isHidden());
}

void PanelActionsTest::menuItemActsOnThePanelThatOwnsIt() {
    TQTV3590 first(nullptr), second(nullptr);
    first.Insert(1);
    second.Insert(2);
    AnswerDialog(true, [](TStADlg& d) { d.SaUpDn->setPosition(5); });
    second.PanelMenu()->actions().at(0)->trigger();
    QCOMPARE(first.StatAdr, std::uint16_t(1));
    QCOMPARE(second.StatAdr, std::uint16_t(5));
}

void PanelActionsTest::colourActionsSetTheirColourOnlyWhenConfirmed() {
    TQTV3590 p(nullptr);
    QWidget* owner = nullptr;
    std::optional<TColor> answer = clRed;
    SetColourChoice([&](QWidget* w) {
        owner = w;
        return answer;
    });
    p.PopupItemClick(4);
    QCOMPARE(owner, p.ValuePanel());
    QCOMPARE(p.GetTextColor(), clRed);
    QCOMPARE(p.GetHGColor(), clWhite);
    answer = clGreen;
    p.PopupItemClick(5);
    QCOMPARE(p.GetHGColor(), clGreen);
    QCOMPARE(p.GetTextColor(), clRed);
    answer.reset();
    p.PopupItemClick(4);
    p.PopupItemClick(5);
    QCOMPARE(p.GetTextColor(), clRed);
    QCOMPARE(p.GetHGColor(), clGreen);
}

QTEST_MAIN(PanelActionsTest)
#include "PanelActionsTest.moc"
