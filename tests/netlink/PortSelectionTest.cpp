// The port dialog and the menu action's steps: what a confirmed or cancelled choice changes, which
// tool runs it makes, and the port object it leaves behind.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <optional>
#include <vector>

#include "link/Sio.h"
#include "link/SioPort.h"
#include "link/Siodlg.h"
#include "platform/Help.h"
#include "platform/Net.h"
#include "platform/Process.h"
#include "support/FakeLine.h"
#include "support/LinkReset.h"
#include "ui/Messages.h"
#include "ui/UpDown.h"

class PortSelectionTest : public QObject {
    Q_OBJECT

    std::vector<ProcessRequest> runs;
    std::vector<ShownMessage> messages;
    int addExit = 0;

    // The main window's state.
    std::uint8_t sioNr = 3;
    std::uint8_t internet = 0;
    QString hostName = QStringLiteral("qtv.example");
    QString lokalIP = QStringLiteral("192.168.001.010");
    std::unique_ptr<SioPort> sioObjekt;
    PortSelectionState state() { return {sioNr, internet, hostName, lokalIP, sioObjekt, QStringLiteral("/conf")}; }

    std::optional<LinkReset> linkReset_;
    std::unique_ptr<FakeLineFactory> lines;
    std::unique_ptr<TPcSioDlg> dlg;

    std::vector<std::string> commands() const {
        std::vector<std::string> c;
        for (const auto& r : runs) {
            std::string line;
            for (const auto& a : r.args) line += (line.empty() ? "" : " ") + a;
            c.push_back(line);
        }
        return c;
    }

    // Answers the modal dialog with one of its buttons once it is shown.
    void pressWhenShown(QPushButton* button) {
        QTimer::singleShot(0, button, [button] { button->click(); });
    }

private slots:
    void init() {
        linkReset_.emplace();
        runs.clear();
        messages.clear();
        addExit = 0;
        sioNr = 3;
        internet = 0;
        hostName = QStringLiteral("qtv.example");
        lokalIP = QStringLiteral("192.168.001.010");
        lines = std::make_unique<FakeLineFactory>();
        sioObjekt.reset();
        SetProcessRunner([this](const ProcessRequest& r) {
            runs.push_back(r);
            return r.args.at(0) == "addservice" ? addExit : 0;
        });
        SetHostResolver([](const std::string&) { return std::optional<Ipv4Address>(Ipv4Address{10, 1, 2, 3}); });
        SetMessageObserver([this](const ShownMessage& m) { messages.push_back(m); });
        dlg = std::make_unique<TPcSioDlg>();
        dlg->InitFromSettings(sioNr, hostName);
    }
    void cleanup() {
        dlg.reset();
        sioObjekt.reset();
        linkReset_.reset();  // the link and every hook as before the case
        lines.reset();
    }

    void dialogShowsItsControls() {
        QCOMPARE(dlg->windowTitle(), QString::fromUtf8("Schnittstelle wählen"));
        QCOMPARE(dlg->size(), QSize(309, 128));
        QCOMPARE(dlg->SioNrUDn->minimum(), 1);
        QCOMPARE(dlg->SioNrUDn->maximum(), 50);
        QCOMPARE(dlg->DirektBtn->text(), QStringLiteral("Lokal"));
        QCOMPARE(dlg->INetBtn->text(), QStringLiteral("Internet"));
        QCOMPARE(dlg->SioOkBtn->text(), QStringLiteral("OK"));
        QCOMPARE(dlg->SioABtn->text(), QStringLiteral("Abbruch"));
        QCOMPARE(dlg->HelpBtn->text(), QStringLiteral("&Hilfe"));
        QCOMPARE(dlg->HNameEdit->text(), QStringLiteral("qtv.example"));
        QCOMPARE(dlg->SioNrUDn->position(), 3);
    }

    void spinButtonsWrapAroundAtBothEnds() {
        dlg->SioNrUDn->setPosition(50);
        dlg->SioNrUDn->stepUp();
        QCOMPARE(dlg->SioNrUDn->position(), 1);
        QCOMPARE(dlg->SioNrEd->text(), QStringLiteral("1"));
        dlg->SioNrUDn->stepDown();
        QCOMPARE(dlg->SioNrUDn->position(), 50);
    }

    void portTextFollowsTheSpinAndABadTextIsRefused() {
        dlg->SioNrEd->setText(QStringLiteral("17"));
        QCOMPARE(dlg->SioNrUDn->position(), 17);
        QVERIFY(messages.empty());
        dlg->SioNrEd->setText(QStringLiteral("1x"));
        QCOMPARE(dlg->SioNrUDn->position(), 17);
        QCOMPARE(messages.size(), 1u);
        QCOMPARE(messages[0].text, QString::fromUtf8("'1x' ist kein gültiger Integerwert"));
    }

    void helpOpensTheDialogsContext() {
        int context = 0;
        SetHelpObserver([&context](int c) { context = c; });
        dlg->HelpBtn->click();
        QCOMPARE(context, 53);
    }

    void prepareShowsTheCurrentChoice() {
        sioNr = 12;
        internet = 1;
        PreparePortSelection(*dlg, state());
        QCOMPARE(dlg->SioNrEd->text(), QStringLiteral("12"));
        QCOMPARE(dlg->SioNrUDn->position(), 12);
        QCOMPARE(dlg->LipEdit->text(), QStringLiteral("192.168.001.010"));
        QVERIFY(dlg->INetBtn->isChecked());
        internet = 0;
        PreparePortSelection(*dlg, state());
        QVERIFY(dlg->DirektBtn->isChecked());
    }

    void lokalConfirmedRunsNoToolAndOpensThePortObjectOnTheChosenPort() {
        auto s = state();
        PreparePortSelection(*dlg, s);
        dlg->SioNrUDn->setPosition(7);
        dlg->HNameEdit->setText(QStringLiteral("other.example"));
        dlg->SioOkBtnClick();
        ApplyPortSelection(*dlg, s);
        QVERIFY(runs.empty());
        QCOMPARE(sioNr, std::uint8_t(7));
        QCOMPARE(internet, std::uint8_t(0));
        QCOMPARE(hostName, QStringLiteral("other.example"));  // taken from the field even for "Lokal"
        QCOMPARE(lokalIP, QStringLiteral("192.168.001.010"));  // stored as typed
        QVERIFY(sioObjekt);
        QCOMPARE(SioPortNr, std::uint8_t(7));
        QCOMPARE(lines->last().openedPort(), 7u);
        QVERIFY(CommandSetPortHolds(7));  // at once, not at the next start
        QVERIFY(sioObjekt->SharesCommandSetPort());
    }

    void internetConfirmedRunsRemoveRemoveAddOnTheChosenPortBeforeOpening() {
        auto s = state();
        PreparePortSelection(*dlg, s);
        dlg->INetBtn->setChecked(true);
        dlg->SioNrUDn->setPosition(12);
        dlg->SioOkBtnClick();
        ApplyPortSelection(*dlg, s);
        QCOMPARE(commands(), (std::vector<std::string>{"remservice 12 1", "remservice 12 1",
                                                       "addservice 12 10.1.2.3 10001"}));
        QCOMPARE(runs[0].workingDirectory, std::string("/conf"));
        QCOMPARE(internet, std::uint8_t(1));
        QVERIFY(sioObjekt);
        QCOMPARE(lines->last().openedPort(), 12u);
    }

    void failedAddStillLeavesANewPortObjectAndTheOldOneIsClosed() {
        sioObjekt = std::make_unique<SioPort>(3);
        FakeLine& old = lines->last();
        QVERIFY(old.isOpen());
        addExit = 1;
        auto s = state();
        PreparePortSelection(*dlg, s);
        dlg->INetBtn->setChecked(true);
        dlg->SioNrUDn->setPosition(20);
        dlg->SioOkBtnClick();
        ApplyPortSelection(*dlg, s);
        QVERIFY(!old.isOpen());
        QCOMPARE(messages.size(), 1u);
        QCOMPARE(messages[0].text, QStringLiteral("IP kann nicht ermittelt werden"));
        QVERIFY(sioObjekt);
        QCOMPARE(lines->last().openedPort(), 20u);
    }

    void cancelChangesNothingAndKeepsThePortObject() {
        sioObjekt = std::make_unique<SioPort>(3);
        SioPort* before = sioObjekt.get();
        auto s = state();
        pressWhenShown(dlg->SioABtn);
        dlg->INetBtn->setChecked(true);
        QVERIFY(!RunPortSelection(*dlg, s));
        QCOMPARE(sioObjekt.get(), before);
        QCOMPARE(sioNr, std::uint8_t(3));
        QCOMPARE(internet, std::uint8_t(0));
        QVERIFY(runs.empty());
    }

    void confirmingTheModalDialogAppliesTheChoice() {
        auto s = state();
        QTimer::singleShot(0, dlg.get(), [this] {
            dlg->SioNrUDn->setPosition(9);
            dlg->SioOkBtn->click();
        });
        QVERIFY(RunPortSelection(*dlg, s));
        QCOMPARE(sioNr, std::uint8_t(9));
        QVERIFY(sioObjekt);
    }

    void hostNameFieldKeepsItsLastTextAfterCancel() {
        auto s = state();
        QTimer::singleShot(0, dlg.get(), [this] {
            dlg->HNameEdit->setText(QStringLiteral("typed.example"));
            dlg->SioABtn->click();
        });
        QVERIFY(!RunPortSelection(*dlg, s));
        QCOMPARE(hostName, QStringLiteral("qtv.example"));
        PreparePortSelection(*dlg, s);
        QCOMPARE(dlg->HNameEdit->text(), QStringLiteral("typed.example"));
    }
};

QTEST_MAIN(PortSelectionTest)
#include "PortSelectionTest.moc"
