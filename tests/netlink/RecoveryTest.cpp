// The port object's recovery as the main window wires it: after 20 failed sends the 21st stops
// the polling, closes the port, registers the network link again (above port 2) through the
// network link setup, reopens the port and restarts the polling.

#include <QtTest>
#include <memory>
#include <optional>
#include <vector>

#include "link/Sio.h"
#include "link/SioPort.h"
#include "link/Siodlg.h"
#include "platform/Net.h"
#include "platform/Process.h"
#include "support/FakeLine.h"
#include "support/LinkReset.h"
#include "ui/Messages.h"

class RecoveryTest : public QObject {
    Q_OBJECT

    std::vector<std::string> commands;
    std::vector<std::string> events;
    QString lokalIP = QStringLiteral("010.000.000.005");
    std::optional<LinkReset> linkReset_;
    std::unique_ptr<FakeLineFactory> lines;

    // A request that can only fail at its write.
    static int FailedSend(SioPort& port) {
        port.Buffer[2] = 4;
        return port.Command(0x42, 5) ? 1 : 0;
    }

private slots:
    void init() {
        linkReset_.emplace();
        commands.clear();
        events.clear();
        lines = std::make_unique<FakeLineFactory>([](FakeLine& l) { l.failAllWrites(); });
        SetProcessRunner([this](const ProcessRequest& r) {
            std::string line;
            for (const auto& a : r.args) line += (line.empty() ? "" : " ") + a;
            commands.push_back(line);
            events.push_back("tool");
            return 0;
        });
        SetHostResolver([](const std::string&) { return std::optional<Ipv4Address>(Ipv4Address{10, 9, 8, 7}); });
        SetMessageObserver([](const ShownMessage&) {});
        LinkHooks hooks;
        hooks.stopPolling = [this] { events.push_back("stop"); };
        hooks.restartPolling = [this] { events.push_back("restart"); };
        hooks.setupNetLink = [this](bool internet) {
            SetupNetLink(internet, SioPortNr, QStringLiteral("qtv.example"), lokalIP, QString());
        };
        SetLinkHooks(hooks);
    }
    void cleanup() {
        linkReset_.reset();  // the link and every hook as before the case
        lines.reset();
    }

    void twentyFailedSendsPassAloneAndTheTwentyFirstRegistersAndReopens() {
        Internet = 1;
        SioPort port(12);
        for (int i = 0; i < 20; ++i) QCOMPARE(FailedSend(port), 0);
        QVERIFY(events.empty());
        QCOMPARE(lines->count(), 1u);
        QCOMPARE(FailedSend(port), 0);
        QCOMPARE(events, (std::vector<std::string>{"stop", "tool", "tool", "tool", "restart"}));
        QCOMPARE(commands.back(), std::string("addservice 12 10.9.8.7 10001"));
        QVERIFY(!lines->line(0).isOpen());
        QCOMPARE(lines->count(), 2u);
        QCOMPARE(lines->last().openedPort(), 12u);
        QCOMPARE(SendeReserve, std::int16_t(20));
    }

    void localModeRegistersTheCleanedLocalAddress() {
        Internet = 0;
        SioPort port(4);
        for (int i = 0; i < 21; ++i) FailedSend(port);
        QCOMPARE(commands.back(), std::string("addservice 4 10.0.0.5 10001"));
        QCOMPARE(lokalIP, QStringLiteral("10.0.0.5"));
    }

    void localPortsOneAndTwoAreReopenedWithoutTheTool() {
        Internet = 1;
        SioPort port(2);
        for (int i = 0; i < 21; ++i) FailedSend(port);
        QCOMPARE(events, (std::vector<std::string>{"stop", "restart"}));
        QCOMPARE(lines->count(), 2u);
    }
};

QTEST_MAIN(RecoveryTest)
#include "RecoveryTest.moc"
