// The program settings dialogs: title, number of stations, cycle of all stations, program info.

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <optional>
#include <vector>

#include "dialogs/Pinfon.h"
#include "dialogs/QtvAndlg.h"
#include "dialogs/Titeldlg.h"
#include "dialogs/Zykludlg.h"
#include "platform/Help.h"
#include "platform/ProcessHooks.h"
#include "ui/Messages.h"
#include "ui/UpDown.h"

class SmallDialogsTest : public QObject {
    Q_OBJECT
    std::vector<ShownMessage> messages_;
    std::vector<int> helpRequests_;
    std::optional<ProcessHooksGuard> hooks_;  // the observers of a case go back after it

    static void Retype(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

private slots:
    void init() {
        messages_.clear();
        helpRequests_.clear();
        hooks_.emplace();
        SetMessageObserver([this](const ShownMessage& m) { messages_.push_back(m); });
        SetHelpObserver([this](int context) { helpRequests_.push_back(context); });
    }
    void cleanup() { hooks_.reset(); }

    void titleEditStartsWithTheMainWindowCaption() {
        QWidget main;
        main.setWindowTitle(QStringLiteral("Kesselhaus"));
        TTitDlg withParent(&main);
        QCOMPARE(withParent.TitleEd->text(), QStringLiteral("Kesselhaus"));

        TTitDlg alone;
        QCOMPARE(alone.TitleEd->text(), QStringLiteral("Netz1"));
        alone.SetTitleFromCaption(QStringLiteral("Halle 3"));
        QCOMPARE(alone.TitleEd->text(), QStringLiteral("Halle 3"));
    }

    void cancellingTheTitleKeepsTheEditedTextForNextTime() {
        TTitDlg dlg;
        dlg.SetTitleFromCaption(QStringLiteral("Netz1"));
        dlg.open();
        Retype(dlg.TitleEd, QStringLiteral("Pumpwerk"));
        dlg.TitCanBtn->click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(!dlg.isVisible());
        dlg.open();
        QCOMPARE(dlg.TitleEd->text(), QStringLiteral("Pumpwerk"));
        dlg.TitOkBtn->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void helpOfTitleAndStationCountOpensTheContents() {
        TTitDlg title;
        TQtvAnDlg count;
        title.open();
        title.HelpBtn->click();
        count.open();
        count.HelpBtn->click();
        QCOMPARE(helpRequests_, (std::vector<int>{0, 0}));
        QVERIFY(title.isVisible() && count.isVisible());
    }

    void stationCountRunsFromZeroToThirtyOneWithoutWrapping() {
        TQtvAnDlg dlg;
        QCOMPARE(dlg.QtvAnzUDn->minimum(), 0);
        QCOMPARE(dlg.QtvAnzUDn->maximum(), 31);
        dlg.QtvAnzUDn->setPosition(31);
        dlg.QtvAnzUDn->stepUp();
        QCOMPARE(dlg.MaxGeraete(), 31);
        dlg.QtvAnzUDn->setPosition(0);
        dlg.QtvAnzUDn->stepDown();
        QCOMPARE(dlg.MaxGeraete(), 0);
        QCOMPARE(dlg.QtvAnzEd->text(), QStringLiteral("0"));
    }

    void typedStationCountMovesTheSpinButtons() {
        TQtvAnDlg dlg;
        dlg.open();
        Retype(dlg.QtvAnzEd, QStringLiteral("12"));
        QCOMPARE(dlg.MaxGeraete(), 12);
        Retype(dlg.QtvAnzEd, QStringLiteral("40"));
        QCOMPARE(dlg.MaxGeraete(), 31);
        QCOMPARE(dlg.QtvAnzEd->text(), QStringLiteral("31"));
    }

    void clearedStationCountComplainsAndKeepsThePosition() {
        TQtvAnDlg dlg;
        dlg.QtvAnzEd->setText(QStringLiteral("7"));
        messages_.clear();
        dlg.QtvAnzEd->clear();
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(messages_[0].text, QString::fromUtf8("'' ist kein gültiger Integerwert"));
        QCOMPARE(dlg.MaxGeraete(), 7);

        dlg.QtvAnzEd->setText(QStringLiteral("7a"));
        QCOMPARE(messages_.size(), size_t(2));
        QCOMPARE(messages_[1].text, QString::fromUtf8("'7a' ist kein gültiger Integerwert"));
        QCOMPARE(dlg.MaxGeraete(), 7);
    }

    void stationCountOkTakesThePositionNotTheText() {
        TQtvAnDlg dlg;
        dlg.QtvAnzEd->setText(QStringLiteral("5"));
        dlg.QtvAnzUDn->setPosition(5);
        dlg.open();
        dlg.QtvAnzEd->setText(QStringLiteral("x"));
        dlg.OKBtn->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.MaxGeraete(), 5);
        QCOMPARE(dlg.QtvAnzUDn->position(), 5);
    }

    void cycleRunsFromZeroToThousandWithoutWrapping() {
        TZyklDlg dlg;
        QCOMPARE(dlg.Position(), 0);
        QCOMPARE(dlg.ZyklEdit->text(), QStringLiteral("0"));
        dlg.ZyklUpDn->stepDown();
        QCOMPARE(dlg.Position(), 0);
        dlg.ZyklUpDn->setPosition(1000);
        dlg.ZyklUpDn->stepUp();
        QCOMPARE(dlg.Position(), 1000);
        QCOMPARE(dlg.ZyklEdit->text(), QStringLiteral("1000"));
    }

    void typedCycleIsWhatOkConfirms() {
        TZyklDlg dlg;
        dlg.open();
        Retype(dlg.ZyklEdit, QStringLiteral("250"));
        dlg.ZyklOkBtn->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.Position(), 250);

        dlg.open();
        Retype(dlg.ZyklEdit, QStringLiteral("abc"));
        QCOMPARE(dlg.Position(), 250);
        QVERIFY(messages_.empty());
        Retype(dlg.ZyklEdit, QStringLiteral("0"));
        QCOMPARE(dlg.Position(), 0);
    }

    void cycleHelpButtonDoesNothing() {
        TZyklDlg dlg;
        dlg.open();
        dlg.ZyklHlpBtn->click();
        QVERIFY(dlg.isVisible());
        QVERIFY(helpRequests_.empty());
        dlg.ZyklBreakBtn->click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }

    void programInfoShowsATwoColourPictureAndNoButtons() {
        TProgInfo dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Programminfo"));
        QCOMPARE(dlg.size(), QSize(254, 170));
        const QImage picture = TProgInfo::Picture();
        QCOMPARE(picture.size(), QSize(193, 89));
        QCOMPARE(picture.format(), QImage::Format_Mono);
        QCOMPARE(dlg.Image1->geometry(), QRect(24, 8, 193, 89));
        int black = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) black += picture.pixelIndex(x, y) == 1 ? 1 : 0;
        QVERIFY(black > 0 && black < picture.width() * picture.height());  // there is a picture at all
        QCOMPARE(dlg.Label1->text(), QString::fromUtf8("Software für Netzwerkgeräte"));
        QVERIFY(dlg.Label1->font().bold());
        QCOMPARE(dlg.Label1->font().pixelSize(), 16);
        QCOMPARE(dlg.Label2->text(), QStringLiteral("Version 1.2"));
        QVERIFY(dlg.findChildren<QAbstractButton*>().isEmpty());
    }
};

QTEST_MAIN(SmallDialogsTest)
#include "SmallDialogsTest.moc"
