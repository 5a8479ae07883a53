// The keyboard in every dialog and menu: Enter presses the focused button, or the dialog's
// default button where no button has the focus; Escape closes a dialog wherever the focus is
// (the range dialog: opens its help); a letter that no item has underlined chooses the first
// item beginning with it. And the program ends with its main window.

#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include "support/DialogAnswer.h"
#include "support/WindowFixture.h"
#include "dialogs/Displdlg.h"
#include "dialogs/Feutmpdlg.h"
#include "dialogs/Mbrdlg.h"
#include "ui/MenuLetters.h"
#include "dialogs/QtvAndlg.h"
#include "dialogs/Reldlg.h"
#include "dialogs/Rtcdlg.h"
#include "dialogs/Sonstdlg.h"
#include "dialogs/Titeldlg.h"
#include "dialogs/Zykludlg.h"
#include "link/Siodlg.h"
#include "panel/Stadrdlg.h"
#include "platform/Help.h"
#include "ui/Messages.h"

namespace {
struct DialogKeys {
    QDialog* dialog;
    QPushButton* byDefault;  // what Enter presses while no button has the focus
};

std::vector<DialogKeys> EveryDialog() {
    return {{DispDlg, DispDlg->DspOkBtn},  {RtcDlg, RtcDlg->OkBtn},        {RelDlg, RelDlg->OkBtn},
            {MBrDlg, MBrDlg->OkBtn},       {SonsDlg, SonsDlg->HelpBtn},    {FeuTempDlg, FeuTempDlg->FeuOkBtn},
            {TitDlg, TitDlg->TitOkBtn},    {QtvAnDlg, QtvAnDlg->OKBtn},    {ZyklDlg, ZyklDlg->ZyklOkBtn},
            {StADlg, StADlg->StOkBtn},     {PcSioDlg, PcSioDlg->SioOkBtn}};
}

QString NameOf(const QWidget* w) {
    return QStringLiteral("%1 %2 \"%3\"")
        .arg(QString::fromLatin1(w->window()->metaObject()->className()),
             QString::fromLatin1(w->metaObject()->className()),
             w->property("text").toString());
}

bool Takes(const QWidget* w) { return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus); }

void ShowActive(QDialog* d) {
    d->show();
    d->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d));
}

QAction* ActionNamed(TForm1& f, const char* name) { return f.findChild<QAction*>(QString::fromLatin1(name)); }
}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
private slots:
    void enterPressesTheFocusedButtonElseTheDefault() {
        WindowFixture w;
        w.start("[Form]\n[Geraet 1]\nAdresse=1\nQtvTyp=4660\n");  // 0x1234: the clock row enabled
        QList<QPushButton*> pressed;
        for (const DialogKeys& k : EveryDialog()) {
            ShowActive(k.dialog);
            // The buttons do nothing but say that they were pressed.
            const QList<QPushButton*> buttons = k.dialog->findChildren<QPushButton*>();
            for (QPushButton* b : buttons) {
                disconnect(b, &QAbstractButton::clicked, nullptr, nullptr);
                connect(b, &QAbstractButton::clicked, b, [&pressed, b] { pressed << b; });
            }
            for (QPushButton* b : buttons) {
                if (!Takes(b)) continue;
                pressed.clear();
                b->setFocus(Qt::TabFocusReason);
                QTest::keyClick(b, Qt::Key_Return);
                QVERIFY2(pressed == QList<QPushButton*>{b}, qPrintable(NameOf(b)));
            }
            QWidget* field = nullptr;
            for (QWidget* c : k.dialog->findChildren<QWidget*>())
                if (!qobject_cast<QPushButton*>(c) && Takes(c) && !field) field = c;
            QVERIFY2(field, k.dialog->metaObject()->className());
            pressed.clear();
            field->setFocus(Qt::TabFocusReason);
            QTest::keyClick(field, Qt::Key_Return);
            QVERIFY2(pressed == QList<QPushButton*>{k.byDefault}, qPrintable(NameOf(field)));
            k.dialog->hide();
        }
    }

    void escapeClosesEveryDialogWhereverTheFocusIs() {
        WindowFixture w;
        w.start("[Form]\n[Geraet 1]\nAdresse=1\nQtvTyp=4660\n");
        QList<int> help;
        SetHelpObserver([&help](int context) { help << context; });
        for (const DialogKeys& k : EveryDialog()) {
            ShowActive(k.dialog);
            QList<QWidget*> fields;
            for (QWidget* c : k.dialog->findChildren<QWidget*>())
                if (Takes(c)) fields << c;
            QVERIFY(!fields.isEmpty());
            for (QWidget* field : fields) {
                if (!k.dialog->isVisible()) ShowActive(k.dialog);
                help.clear();
                field->setFocus(Qt::TabFocusReason);
                QTest::keyClick(field, Qt::Key_Escape);
                if (k.dialog == MBrDlg) {
                    // Here Escape is "Hilfe", and the dialog stays.
                    QVERIFY2(k.dialog->isVisible() && help == QList<int>{44}, qPrintable(NameOf(field)));
                } else {
                    QVERIFY2(!k.dialog->isVisible(), qPrintable(NameOf(field)));
                    QCOMPARE(k.dialog->result(), int(QDialog::Rejected));
                }
            }
            k.dialog->hide();
        }
    }

    void firstLetterChoosesAnItemWithoutUnderlinedLetter() {
        QMenu menu;
        for (const char* caption : {"&Adresse", "Zyklus", "Aufzeichnen", "-", "Hintergrund", "Titel", "Text", "T&eilen", "Ende"})
            caption[0] == '-' ? menu.addSeparator() : menu.addAction(QString::fromLatin1(caption));
        menu.actions()[4]->setVisible(false);   // "Hintergrund"
        menu.actions()[5]->setEnabled(false);   // "Titel"
        const auto chosen = [&menu](char letter) {
            const QAction* a = FirstLetterItem(menu, QChar(letter));
            return a ? a->text() : QString();
        };
        QCOMPARE(chosen('z'), QStringLiteral("Zyklus"));
        QCOMPARE(chosen('Z'), QStringLiteral("Zyklus"));
        QCOMPARE(chosen('a'), QString());  // the underlined A of "&Adresse" chooses
        QCOMPARE(chosen('h'), QString());
        QCOMPARE(chosen('t'), QStringLiteral("Text"));
        QCOMPARE(chosen('e'), QString());  // "T&eilen"
        menu.actions()[7]->setVisible(false);
        QCOMPARE(chosen('e'), QStringLiteral("Ende"));
    }

    // The parameter menu's renamed range item, and the panel menu's "Zyklus".
    void letterOpensTheItemWithoutUnderlinedLetter_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("Messbereich") << 0x1234 << QStringLiteral("Messbereich") << QStringLiteral("TMBrDlg");
        QTest::newRow("Messart") << 0x1090 << QStringLiteral("Messart") << QStringLiteral("TFeuTempDlg");
        QTest::newRow("Zyklus") << 0x1234 << QString() << QStringLiteral("TStADlg");
    }
    void letterOpensTheItemWithoutUnderlinedLetter() {
        QFETCH(int, type);
        QFETCH(QString, caption);
        QFETCH(QString, dialog);
        WindowFixture w;
        TForm1& f = w.start(QStringLiteral("[Form]\n[Geraet 1]\nAdresse=1\nQtvTyp=%1\n").arg(type).toUtf8());
        f.show();
        w.ticks(1);
        QMenu* menu = f.ItParam;
        if (caption.isEmpty()) {
            f.LokalesMen1Click();
            menu = f.AktivPanel->PanelMenu();
        } else {
            QCOMPARE(f.Messbereich1->text(), caption);
            menu->popup(f.mapToGlobal(QPoint(10, 10)));
        }
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        DialogAnswer answer([](QDialog* d) { d->reject(); });
        QTest::keyClick(menu, caption.isEmpty() ? Qt::Key_Z : Qt::Key_M);
        QCOMPARE(*answer.seen, dialog);
        QVERIFY(!menu->isVisible());
    }

    // A refusal note from a menu item outlives the focus coming back to the window once the menu
    // has closed, which a real display delivers only after the item's handler has run.
    void noteOutlastsTheFocusComingBackAfterTheMenu() {
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ShowNote(QStringLiteral("Nicht jetzt."));
        QVERIFY(QToolTip::isVisible());
        QFocusEvent back(QEvent::FocusIn, Qt::PopupFocusReason);
        QCoreApplication::sendEvent(window.windowHandle(), &back);
        QTest::qWait(50);
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QStringLiteral("Nicht jetzt."));
        QToolTip::hideText();
    }

    void closingTheMainWindowEndsTheProgramWhileTheHelpIsOpen_data() {
        QTest::addColumn<bool>("throughTheMenu");
        QTest::newRow("Datei > Beenden") << true;
        QTest::newRow("close box") << false;
    }
    void closingTheMainWindowEndsTheProgramWhileTheHelpIsOpen() {
        QFETCH(bool, throughTheMenu);
        WindowFixture w;
        TForm1& f = w.start();
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        ShowHelpContents();  // the help window itself, not an observer
        QTimer::singleShot(0, &f, [&f, throughTheMenu] {
            if (throughTheMenu)
                ActionNamed(f, "Beenden1")->trigger();
            else
                f.close();
        });
        QTimer stillRunning;  // only ends a loop that the closing did not end
        stillRunning.setSingleShot(true);
        connect(&stillRunning, &QTimer::timeout, [] { QCoreApplication::exit(2); });
        stillRunning.start(20000);
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(KeyboardTest)
#include "KeyboardTest.moc"
