// The menu action "&PC-Sio" as the program runs it: the port dialog shown modally, a confirmed
// choice applied on the bus (the redirector's runs, the command-set port on its new number, a new
// port object), a cancelled one changing nothing.

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "support/DialogAnswer.h"
#include "support/WindowFixture.h"
#include "link/SioPort.h"
#include "dialogs/ActiveStation.h"
#include "link/Siodlg.h"
#include "platform/Net.h"
#include "platform/Process.h"
#include "ui/UpDown.h"

namespace {
// Sets the dialog's controls, then presses one of its buttons.
DialogAnswer Press(std::function<void(TPcSioDlg*)> set, bool confirm) {
    return DialogAnswer([set, confirm](QDialog* d) {
        auto* dlg = qobject_cast<TPcSioDlg*>(d);
        if (!dlg) return d->reject();
        set(dlg);
        (confirm ? dlg->SioOkBtn : dlg->SioABtn)->click();
    });
}
}  // namespace

class PortDialogTest : public QObject {
    Q_OBJECT

    std::vector<ProcessRequest> runs;
    int addExit = 0;

    std::vector<std::string> commands() const {
        std::vector<std::string> c;
        for (const auto& r : runs) {
            std::string line;
            for (const auto& a : r.args) line += (line.empty() ? "" : " ") + a;
            c.push_back(line);
        }
        return c;
    }

    static TForm1& Start(WindowFixture& w) {
        return w.start("[Form]\nSIO=3\nHostName=qtv.example\nLokalIP=192.168.001.010\n");
    }

private slots:
    void init() {
        runs.clear();
        addExit = 0;
        SetProcessRunner([this](const ProcessRequest& r) {
            runs.push_back(r);
            return r.args.at(0) == "addservice" ? addExit : 0;
        });
        SetHostResolver([](const std::string&) { return std::optional<Ipv4Address>(Ipv4Address{10, 1, 2, 3}); });
    }
    void cleanup() {
        SetProcessRunner({});
        SetHostResolver({});
    }

    void lokalConfirmedRunsNoToolAndOpensThePortObjectOnTheChosenPort() {
        WindowFixture w;
        TForm1& f = Start(w);
        auto answer = Press(
            [](TPcSioDlg* d) {
                d->SioNrUDn->setPosition(7);
                d->HNameEdit->setText(QStringLiteral("other.example"));
            },
            true);
        f.PCSio1Click();
        QCOMPARE(*answer.seen, QStringLiteral("TPcSioDlg"));
        QVERIFY(runs.empty());
        QCOMPARE(f.SioNr, std::uint8_t(7));
        QCOMPARE(Internet, std::uint8_t(0));
        QCOMPARE(f.HostName, QStringLiteral("other.example"));  // taken from the field even for "Lokal"
        QCOMPARE(f.LokalIP, QStringLiteral("192.168.001.010"));  // stored as typed
        QVERIFY(PortObject());
        QCOMPARE(SioPortNr, std::uint8_t(7));
        QCOMPARE(w.bus.line().openedPort(), 7u);
        QVERIFY(CommandSetPortHolds(7));  // at once, not at the next start
        QVERIFY(PortObject()->SharesCommandSetPort());
    }

    void internetConfirmedRunsRemoveRemoveAddOnTheChosenPortBeforeOpening() {
        WindowFixture w;
        TForm1& f = Start(w);
        auto answer = Press(
            [](TPcSioDlg* d) {
                d->INetBtn->setChecked(true);
                d->SioNrUDn->setPosition(12);
            },
            true);
        f.PCSio1Click();
        QCOMPARE(commands(), (std::vector<std::string>{"remservice 12 1", "remservice 12 1",
                                                       "addservice 12 10.1.2.3 10001"}));
        QCOMPARE(runs[0].workingDirectory, QFileInfo(w.configPath()).absolutePath().toStdString());
        QCOMPARE(Internet, std::uint8_t(1));
        QVERIFY(PortObject());
        QCOMPARE(w.bus.line().openedPort(), 12u);
    }

    void failedAddStillLeavesANewPortObjectAndTheOldLineIsClosed() {
        WindowFixture w;
        TForm1& f = Start(w);
        FakeLine& old = w.bus.line();
        QVERIFY(old.isOpen());
        addExit = 1;
        auto answer = Press(
            [](TPcSioDlg* d) {
                d->INetBtn->setChecked(true);
                d->SioNrUDn->setPosition(20);
            },
            true);
        f.PCSio1Click();
        QVERIFY(!old.isOpen());
        QCOMPARE(w.messages.size(), 1u);
        QCOMPARE(w.messages[0].text, QStringLiteral("IP kann nicht ermittelt werden"));
        QVERIFY(PortObject());
        QCOMPARE(w.bus.line().openedPort(), 20u);
    }

    void cancelChangesNothingAndKeepsThePortObject() {
        WindowFixture w;
        TForm1& f = Start(w);
        SioPort* before = PortObject();
        auto answer = Press([](TPcSioDlg* d) { d->INetBtn->setChecked(true); }, false);
        f.PCSio1Click();
        QCOMPARE(*answer.seen, QStringLiteral("TPcSioDlg"));
        QCOMPARE(PortObject(), before);
        QCOMPARE(f.SioNr, std::uint8_t(3));
        QCOMPARE(Internet, std::uint8_t(0));
        QVERIFY(runs.empty());
    }

    void hostNameFieldKeepsItsLastTextAfterCancel() {
        WindowFixture w;
        TForm1& f = Start(w);
        auto typed = Press([](TPcSioDlg* d) { d->HNameEdit->setText(QStringLiteral("typed.example")); }, false);
        f.PCSio1Click();
        QCOMPARE(f.HostName, QStringLiteral("qtv.example"));
        QString shown;
        auto again = Press([&shown](TPcSioDlg* d) { shown = d->HNameEdit->text(); }, false);
        f.PCSio1Click();
        QCOMPARE(shown, QStringLiteral("typed.example"));
    }
};

QTEST_MAIN(PortDialogTest)
#include "PortDialogTest.moc"
