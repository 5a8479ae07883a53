// The port dialog itself: its controls, its port text and help, and how it shows the current
// choice. What a confirmed or cancelled choice changes is the main window's (mainwindow/).

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "link/SioPort.h"
#include "link/Siodlg.h"
#include "platform/Help.h"
#include "ui/Messages.h"
#include "ui/UpDown.h"

class PortSelectionTest : public QObject {
    Q_OBJECT

    std::vector<ShownMessage> messages;

    // The main window's state.
    std::uint8_t sioNr = 3;
    std::uint8_t internet = 0;
    QString hostName = QStringLiteral("qtv.example");
    QString lokalIP = QStringLiteral("192.168.001.010");
    std::unique_ptr<SioPort> sioObjekt;
    PortSelectionState state() { return {sioNr, internet, hostName, lokalIP, sioObjekt, QStringLiteral("/conf")}; }

    std::unique_ptr<TPcSioDlg> dlg;

private slots:
    void init() {
        messages.clear();
        sioNr = 3;
        internet = 0;
        hostName = QStringLiteral("qtv.example");
        lokalIP = QStringLiteral("192.168.001.010");
        SetMessageObserver([this](const ShownMessage& m) { messages.push_back(m); });
        dlg = std::make_unique<TPcSioDlg>();
        dlg->InitFromSettings(sioNr, hostName);
    }
    void cleanup() {
        dlg.reset();
        SetMessageObserver({});
        SetHelpObserver({});
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
};

QTEST_MAIN(PortSelectionTest)
#include "PortSelectionTest.moc"
