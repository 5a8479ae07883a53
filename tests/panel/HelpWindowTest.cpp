// The help window while a dialog runs modally: it takes mouse and keys (sent the way the window
// system sends them, so that modality applies), stays beside the dialog, and is placed where it
// leaves the dialog's buttons free.

#include "platform/Help.h"
#include "platform/HelpPlacement.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

namespace {
QWidget* HelpWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("TarvoHelp")) return w;
    return nullptr;
}

QPushButton* HelpButton(QWidget* help, const QString& caption) {
    for (QPushButton* b : help->findChildren<QPushButton*>())
        if (b->text() == caption) return b;
    return nullptr;
}

// Clicks a button of the help window through the window system's path.
void ClickThroughWindow(QPushButton* b) {
    QWidget* top = b->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, b->mapTo(top, b->rect().center()));
}

// Runs `then` in the loop of the dialog about to run, after what its showing set off.
void AfterShowing(QDialog* dialog, const std::function<void()>& then) {
    QTimer::singleShot(0, dialog, [dialog, then] { QTimer::singleShot(0, dialog, then); });
}

// A dialog at the screen's left edge, as a parameter dialog with its help button.
struct ModalDialog {
    QDialog dialog;
    QPushButton* help = new QPushButton(QStringLiteral("Hilfe"), &dialog);
    QPushButton* cancel = new QPushButton(QStringLiteral("Abbruch"), &dialog);
    ModalDialog() {
        dialog.setFixedSize(296, 220);
        help->setGeometry(192, 182, 75, 25);
        cancel->setGeometry(110, 182, 75, 25);
        QObject::connect(help, &QPushButton::clicked, [] { ShowHelpContext(44); });
        QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        dialog.move(screen.left(), screen.top() + 40);
    }
    // Runs `whileOpen` once the dialog runs modally, then closes it with its own button.
    void run(const std::function<void()>& whileOpen) {
        AfterShowing(&dialog, [this, whileOpen] {
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QCOMPARE(QApplication::activeModalWidget(), &dialog);
            whileOpen();
            ClickThroughWindow(cancel);
        });
        QTimer::singleShot(20000, &dialog, [this] { dialog.done(2); });  // never stuck
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    }
};
}  // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT
private slots:
    void helpFromARunningDialogTakesInputAndLeavesTheDialogFree() {
        ModalDialog modal;
        QString afterIndex, afterBack;
        bool scrolledToEnd = false;
        bool besideTheDialog = false, onTheScreen = false, dialogButtonsFree = false;
        modal.run([&] {
            ClickThroughWindow(modal.help);
            QWidget* help = HelpWindow();
            QVERIFY(help && help->isVisible());
            auto* browser = help->findChild<QTextBrowser*>();
            ClickThroughWindow(HelpButton(help, QStringLiteral("Inde&x")));
            afterIndex = browser->source().fileName();
            // Keys reach it too: End scrolls the long index to its end.
            browser->setFocus();
            QTest::keyClick(help->windowHandle(), Qt::Key_End);
            scrolledToEnd = browser->verticalScrollBar()->value() > 0 &&
                            browser->verticalScrollBar()->value() == browser->verticalScrollBar()->maximum();
            ClickThroughWindow(HelpButton(help, QString::fromUtf8("&Zurück")));
            afterBack = browser->source().fileName();

            const QRect frame = help->frameGeometry();
            besideTheDialog = !frame.intersects(modal.dialog.frameGeometry());
            onTheScreen = modal.dialog.screen()->availableGeometry().contains(frame);
            dialogButtonsFree = true;
            for (QPushButton* b : {modal.help, modal.cancel})
                if (frame.intersects(QRect(b->mapToGlobal(QPoint(0, 0)), b->size()))) dialogButtonsFree = false;
        });
        QCOMPARE(afterIndex, QStringLiteral("index.html"));
        QVERIFY(scrolledToEnd);
        QCOMPARE(afterBack, QStringLiteral("hc44.html"));
        QVERIFY(besideTheDialog);
        QVERIFY(onTheScreen);
        QVERIFY(dialogButtonsFree);
        HelpWindow()->close();
    }

    void helpAlreadyOpenStaysUsableWhenADialogOpens() {
        ShowHelpContext(41);  // from the main menu, no dialog open
        QWidget* help = HelpWindow();
        QVERIFY(QTest::qWaitForWindowExposed(help));
        ModalDialog modal;
        QString shown;
        modal.run([&] {
            ClickThroughWindow(HelpButton(HelpWindow(), QStringLiteral("Inde&x")));
            shown = HelpWindow()->findChild<QTextBrowser*>()->source().fileName();
        });
        QCOMPARE(shown, QStringLiteral("index.html"));
        HelpWindow()->close();
    }

    // A message box over the dialog takes the help along while it is up; once it is closed and
    // deleted, the help is still there and usable above the dialog.
    void helpOutlivesAMessageBoxOverTheDialog() {
        ModalDialog modal;
        QString inBox, afterBox;
        bool survived = false;
        modal.run([&] {
            ClickThroughWindow(modal.help);
            auto* box = new QDialog(&modal.dialog);  // deleted when closed, as a message box is
            box->setAttribute(Qt::WA_DeleteOnClose);
            AfterShowing(box, [&, box] {
                ClickThroughWindow(HelpButton(HelpWindow(), QStringLiteral("Inde&x")));
                inBox = HelpWindow()->findChild<QTextBrowser*>()->source().fileName();
                box->close();
            });
            box->exec();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            survived = HelpWindow() && HelpWindow()->isVisible();
            if (!survived) return;
            ClickThroughWindow(HelpButton(HelpWindow(), QStringLiteral("&Inhalt")));
            afterBox = HelpWindow()->findChild<QTextBrowser*>()->source().fileName();
        });
        QCOMPARE(inBox, QStringLiteral("index.html"));
        QVERIFY(survived);
        QCOMPARE(afterBox, QStringLiteral("inhalt.html"));
        HelpWindow()->close();
    }

    void placementKeepsBesideTheDialog_data() {
        QTest::addColumn<QRect>("dialog");
        QTest::addColumn<QRect>("expected");
        const QRect screen(0, 0, 1280, 1024);
        // Room on both sides: right.
        QTest::newRow("right") << QRect(400, 300, 300, 220) << QRect(708, 300, 560, 480);
        // At the right edge: left, aligned with the dialog's top.
        QTest::newRow("left") << QRect(900, 100, 380, 300) << QRect(332, 100, 560, 480);
        // Too wide for either side: below.
        QTest::newRow("below") << QRect(100, 20, 1100, 300) << QRect(100, 328, 560, 480);
        // Too little room for the whole window: the larger side, shrunk to fit.
        QTest::newRow("shrunk") << QRect(0, 0, 800, 1024) << QRect(808, 0, 472, 480);
        // Low on the screen: pushed up to stay on it.
        QTest::newRow("low") << QRect(100, 800, 300, 220) << QRect(408, 544, 560, 480);
        Q_UNUSED(screen);
    }
    void placementKeepsBesideTheDialog() {
        QFETCH(QRect, dialog);
        QFETCH(QRect, expected);
        const QRect placed = PlaceBeside(dialog, QSize(560, 480), QSize(320, 240), QRect(0, 0, 1280, 1024));
        QCOMPARE(placed, expected);
        QVERIFY(!placed.intersects(dialog));
    }

    void placementOnATinyScreenStaysOnIt() {
        const QRect screen(0, 0, 640, 480);
        const QRect placed = PlaceBeside(QRect(100, 100, 440, 300), QSize(560, 480), QSize(320, 240), screen);
        QVERIFY(screen.contains(placed));
        QCOMPARE(placed.size(), QSize(320, 240));
    }
};

QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
