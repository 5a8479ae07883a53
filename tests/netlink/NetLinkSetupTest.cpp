// The network link setup: which tool runs are made, in which order, with which arguments, and
// what the operator is told. The tool runner and the resolver are fakes except where the real
// tool proves that a hostile address reaches no shell.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <vector>

#include "link/Siodlg.h"
#include "platform/Net.h"
#include "platform/Process.h"
#include "ui/Messages.h"

using Args = std::vector<std::string>;

class NetLinkSetupTest : public QObject {
    Q_OBJECT

    std::vector<ProcessRequest> runs;
    std::vector<ShownMessage> messages;
    std::vector<std::string> resolved;
    int removeExit = 0;
    int addExit = 0;

    void installFakes() {
        runs.clear();
        messages.clear();
        resolved.clear();
        removeExit = addExit = 0;
        SetProcessRunner([this](const ProcessRequest& r) {
            runs.push_back(r);
            return r.args.at(0) == "remservice" ? removeExit : addExit;
        });
        SetHostResolver([this](const std::string& name) -> std::optional<Ipv4Address> {
            resolved.push_back(name);
            if (name == "unknown.invalid") return std::nullopt;
            return Ipv4Address{192, 168, 1, 10};
        });
        SetMessageObserver([this](const ShownMessage& m) { messages.push_back(m); });
    }

    QStringList texts() const {
        QStringList t;
        for (const auto& m : messages) t << m.caption + QStringLiteral(": ") + m.text;
        return t;
    }

private slots:
    void init() { installFakes(); }
    void cleanup() {
        SetProcessRunner({});
        SetHostResolver({});
        SetMessageObserver({});
    }

    void internetRunsRemoveTwiceThenAddWithTheResolvedAddress() {
        QString lokal = QStringLiteral("010.000.007.120");
        SetupNetLink(true, 5, QStringLiteral("qtv.example"), lokal, QStringLiteral("/conf/dir"));
        QCOMPARE(runs.size(), 3u);
        QCOMPARE(runs[0].args, (Args{"remservice", "5", "1"}));
        QCOMPARE(runs[1].args, (Args{"remservice", "5", "1"}));
        QCOMPARE(runs[2].args, (Args{"addservice", "5", "192.168.1.10", "10001"}));
        for (const auto& r : runs) {
            QCOMPARE(r.workingDirectory, std::string("/conf/dir"));
            QVERIFY(QString::fromStdString(r.program).endsWith(QStringLiteral("cprmgrcmd")));
        }
        QCOMPARE(resolved, (std::vector<std::string>{"qtv.example"}));
        QVERIFY(messages.empty());
        QCOMPARE(lokal, QStringLiteral("010.000.007.120"));  // only the local way cleans it
    }

    void localAddressIsCleanedWrittenBackAndHandedOver_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("cleaned");
        QTest::newRow("three digits") << "010.000.007.120" << "10.0.7.120";
        QTest::newRow("leading zeros") << "192.168.001.010" << "192.168.1.10";
        QTest::newRow("blanks in front") << "192.168.  1. 10" << "192.168.1.10";
        QTest::newRow("already clean") << "172.16.4.200" << "172.16.4.200";
        QTest::newRow("zero inside") << "100.020.003.000" << "100.20.3.0";
    }
    void localAddressIsCleanedWrittenBackAndHandedOver() {
        QFETCH(QString, typed);
        QFETCH(QString, cleaned);
        QString lokal = typed;
        SetupNetLink(false, 12, QStringLiteral("ignored"), lokal, QString());
        QCOMPARE(lokal, cleaned);
        QCOMPARE(runs.size(), 3u);
        QCOMPARE(runs[2].args, (Args{"addservice", "12", cleaned.toStdString(), "10001"}));
        QVERIFY(resolved.empty());
    }

    void localZeroAddressIsWrittenBackAndRegistersNothing() {
        QString lokal = QStringLiteral("000.000.000.000");
        SetupNetLink(false, 3, QString(), lokal, QString());
        QCOMPARE(lokal, QStringLiteral("0.0.0.0"));
        QVERIFY(runs.empty());
        QVERIFY(messages.empty());
    }

    void unresolvableHostShowsItsMessageAndRunsNoTool() {
        QString lokal = QStringLiteral("000.000.000.000");
        SetupNetLink(true, 5, QStringLiteral("unknown.invalid"), lokal, QString());
        QVERIFY(runs.empty());
        QCOMPARE(texts(), QStringList{QStringLiteral("Fehler: IP kann nicht ermittelt werden")});
        QCOMPARE(messages[0].icon, QMessageBox::Information);
    }

    void failedRemovesAreReportedEachAndTheAddStillRuns() {
        removeExit = 1;
        QString lokal;
        SetupNetLink(true, 7, QStringLiteral("qtv.example"), lokal, QString());
        QCOMPARE(runs.size(), 3u);
        QCOMPARE(runs[2].args.at(0), std::string("addservice"));
        const QString removeFailed = QString::fromUtf8("Fehler: Service kann nicht gelöscht werden");
        QCOMPARE(texts(), (QStringList{removeFailed, removeFailed}));
    }

    void failedOrUnstartableAddShowsTheAddressMessage_data() {
        QTest::addColumn<int>("exitCode");
        QTest::newRow("tool refused") << 1;
        QTest::newRow("tool not started") << -1;
    }
    void failedOrUnstartableAddShowsTheAddressMessage() {
        QFETCH(int, exitCode);
        addExit = exitCode;
        QString lokal;
        SetupNetLink(true, 7, QStringLiteral("qtv.example"), lokal, QString());
        QCOMPARE(texts(), QStringList{QStringLiteral("Fehler: IP kann nicht ermittelt werden")});
    }

    void hostileTextsArePassedAsSingleArguments() {
        const std::string hostile = "x; touch /tmp/owned";
        QString lokal = QString::fromStdString(hostile);
        SetupNetLink(false, 4, QString(), lokal, QString());
        QCOMPARE(runs.size(), 3u);
        QCOMPARE(runs[2].args, (Args{"addservice", "4", hostile, "10001"}));

        installFakes();
        SetupNetLink(true, 4, QString::fromStdString(hostile), lokal, QString());
        QCOMPARE(resolved, std::vector<std::string>{hostile});  // the name is only ever resolved
        QCOMPARE(runs[2].args.at(2), std::string("192.168.1.10"));
    }

    // The real runner and the real tool: the hostile local address is refused and nothing runs it.
    void realToolRefusesHostileAddressAndNothingIsExecuted() {
        SetProcessRunner({});
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        prependToolFolderToPath();
        const QString victim = dir.filePath(QStringLiteral("owned"));
        QString lokal = QStringLiteral("x; touch ") + victim + QStringLiteral(" #");
        SetupNetLink(false, 5, QString(), lokal, dir.path());
        QCOMPARE(texts(), QStringList{QStringLiteral("Fehler: IP kann nicht ermittelt werden")});
        QVERIFY(!QFile::exists(victim));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("ports/COM5"))));
    }

    // The link lands in ports/ under the working directory given, where the program looks.
    void realToolRegistersTheLinkInTheConfigurationFolder() {
        SetProcessRunner({});
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        prependToolFolderToPath();
        QString lokal = QStringLiteral("127.000.000.001");
        SetupNetLink(false, 9, QString(), lokal, dir.path());
        QVERIFY2(messages.empty(), qPrintable(texts().join(QChar('|'))));
        const QString link = dir.filePath(QStringLiteral("ports/COM9"));
        QVERIFY(QFileInfo(link).isSymLink());
        const int removed = RunProcess({CPRMGRCMD_PATH, {"remservice", "9", "1"}, dir.path().toStdString()});
        QCOMPARE(removed, 0);
        QVERIFY(!QFileInfo(link).isSymLink());
    }

private:
    static void prependToolFolderToPath() {
        const QString folder = QFileInfo(QStringLiteral(CPRMGRCMD_PATH)).absolutePath();
        const QByteArray path = qgetenv("PATH");
        if (!path.startsWith(folder.toUtf8() + ':')) qputenv("PATH", folder.toUtf8() + ':' + path);
    }
};

QTEST_MAIN(NetLinkSetupTest)
#include "NetLinkSetupTest.moc"
