// On loopback only: qtvsim plays a network device server, cprmgrcmd bridges it to ports/COMn,
// the bus link reads a station through that port, and the humidity dialog reads and writes the
// measuring kind through a port object on it. Then the bridge vanishes under the open port
// object and the recovery registers it again; last the network link setup replaces the bridge
// under the open polling port.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "dialogs/Feutmpdlg.h"
#include "link/NetLink.h"
#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "link/SioPort.h"
#include "panel/Qtv3590.h"
#include "platform/PortPath.h"
#include "platform/Process.h"
#include "dialogs/ActiveStation.h"
#include "ui/Messages.h"

namespace {
constexpr int kPort = 6;
constexpr int kHumidityStation = 3;
}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QProcess sim;
    QString serverPort;
    std::vector<ShownMessage> messages;

    int tool(const std::vector<std::string>& args) {
        std::vector<std::string> all = args;
        all.insert(all.end(), {"--ports", dir.filePath(QStringLiteral("ports")).toStdString()});
        return RunProcess({CPRMGRCMD_PATH, all, dir.path().toStdString()});
    }
    int addService() { return tool({"addservice", std::to_string(kPort), "127.0.0.1", serverPort.toStdString()}); }
    int removeService() { return tool({"remservice", std::to_string(kPort), "1"}); }

private slots:
    void initTestCase() {
        ResetLinkState();
        QVERIFY(dir.isValid());
        sim.setProgram(QStringLiteral(QTVSIM_PATH));
        sim.setArguments({QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--station"),
                          QStringLiteral("3:3590:%rF")});
        sim.start();
        QVERIFY(sim.waitForStarted(5000));
        QString ready;
        for (int i = 0; i < 50 && !ready.contains(QChar('\n')); ++i) {
            sim.waitForReadyRead(200);
            ready += QString::fromUtf8(sim.readAllStandardOutput());
        }
        const auto match = QRegularExpression(QStringLiteral("on 127\\.0\\.0\\.1:(\\d+)")).match(ready);
        QVERIFY2(match.hasMatch(), qPrintable(ready));
        serverPort = match.captured(1);
        QCOMPARE(addService(), 0);
        SetPortsFolder(dir.filePath(QStringLiteral("ports")).toStdString());
        SetMessageObserver([this](const ShownMessage& m) { messages.push_back(m); });
        Internet = 1;
    }
    void cleanupTestCase() {
        removeService();
        sim.terminate();
        if (!sim.waitForFinished(5000)) sim.kill();
        SetMessageObserver({});
        SetActivePanelSource({});
        SetPortObjectSource({});
        ResetLinkState();
    }

    void busLinkReadsAStationThroughTheBridgedPort() {
        QVERIFY(InitSio(kPort));
        BusAdresse = kHumidityStation;
        QVERIFY(ReadID() != 0xFFFF);
        QCOMPARE(SioErgebnis, 1);
        ReSetSio();  // the port object below needs the port for itself
    }

    void humidityDialogWritesAndReadsTheKindAndRecoversALostBridge() {
        QWidget owner;
        auto* panel = new TQTV3590(&owner);
        panel->StatAdr = kHumidityStation;
        auto port = std::make_unique<SioPort>(kPort);
        SetActivePanelSource([panel] { return panel; });
        SetPortObjectSource([&port] { return port.get(); });
        TFeuTempDlg dlg;

        dlg.TauBtn->setChecked(true);
        dlg.FTSBtnClick();
        dlg.ShowKind(0);
        panel->ABAnf = 0;
        dlg.FTLBtnClick();
        QVERIFY(messages.empty());
        QCOMPARE(panel->ABAnf, std::int16_t(2));
        QVERIFY(dlg.TauBtn->isChecked());

        // The bridge goes away under the open port: its sends fail, and the 21st brings it back.
        int restarts = 0;
        LinkHooks hooks;
        hooks.restartPolling = [&restarts] { ++restarts; };
        hooks.setupNetLink = [this](bool) { QCOMPARE(addService(), 0); };
        SetLinkHooks(hooks);
        QCOMPARE(removeService(), 0);
        for (int i = 0; i < 21 && restarts == 0; ++i) {
            port->Buffer[2] = 4;
            port->Command(0x42, kHumidityStation);
        }
        QCOMPARE(restarts, 1);
        messages.clear();
        dlg.TempBtn->setChecked(true);
        dlg.FTSBtnClick();
        panel->ABAnf = 0;
        dlg.FTLBtnClick();
        QVERIFY(messages.empty());
        QCOMPARE(panel->ABAnf, std::int16_t(1));
    }

    // "&PC-Sio" confirmed with "Internet" on the polling port's number: the setup replaces the
    // bridge under the open polling port, which takes the new one at once; the port object made
    // on the same number then shares it. The tool runs as the program runs it (by name on the
    // search path, in the configuration folder), through a stand-in that points the add at the
    // simulator's port instead of 10001.
    void networkSetupGivesThePollingPortTheNewBridgeAtOnce() {
        SetLinkHooks({});
        const QString tools = dir.filePath(QStringLiteral("tools"));
        QVERIFY(QDir().mkpath(tools));
        QFile standIn(tools + QStringLiteral("/cprmgrcmd"));
        QVERIFY(standIn.open(QIODevice::WriteOnly));
        standIn.write(QStringLiteral("#!/bin/sh\n"
                                     "if [ \"$1\" = addservice ]; then exec '%1' addservice \"$2\" \"$3\" %2; fi\n"
                                     "exec '%1' \"$@\"\n")
                          .arg(QStringLiteral(CPRMGRCMD_PATH), serverPort)
                          .toUtf8());
        standIn.close();
        standIn.setPermissions(standIn.permissions() | QFileDevice::ExeOwner);
        qputenv("PATH", tools.toUtf8() + ':' + qgetenv("PATH"));

        QVERIFY(InitSio(kPort));
        BusAdresse = kHumidityStation;
        QVERIFY(ReadID() != 0xFFFF);
        std::string hostName = "127.0.0.1", lokalIP, shown;
        SetupNetLink(true, kPort, hostName, lokalIP, dir.path().toStdString(),
                     [&shown](const std::string& text) { shown += text; });
        QCOMPARE(shown, std::string());
        QVERIFY(ReadID() != 0xFFFF);  // at once: no 5 s wait for the lost device
        SioPort port(kPort);
        QVERIFY(port.SharesCommandSetPort());
        port.Buffer[2] = 4;
        QVERIFY(port.Command(0x42, kHumidityStation));
        QVERIFY(ReadID() != 0xFFFF);
        ReSetSio();
    }
};

QTEST_MAIN(EndToEndTest)
#include "EndToEndTest.moc"
