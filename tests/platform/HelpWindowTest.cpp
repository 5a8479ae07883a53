// The help window while a dialog runs modally: it takes mouse and keys, sent the way the window
// system sends them (so that modality applies), and stands beside the dialog, off its buttons.

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
QWidget* Help() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("TarvoHelp")) return w;
    return nullptr;
}
QTextBrowser* Browser() { return Help()->findChild<QTextBrowser*>(); }
QString Page() { return Browser()->source().fileName(); }

void Click(QPushButton* b) {
    QWidget* top = b->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, b->mapTo(top, b->rect().center()));
}
void ClickHelp(const char* caption) {
    for (QPushButton* b : Help()->findChildren<QPushButton*>())
        if (b->text() == QString::fromUtf8(caption)) Click(b);
}

// Runs `then` in the loop of the dialog about to run, after what its showing set off.
void AfterShowing(QDialog* dialog, const std::function<void()>& then) {
    QTimer::singleShot(0, dialog, [dialog, then] { QTimer::singleShot(0, dialog, then); });
}

// A dialog at the screen's left edge with "Hilfe" and "Abbruch"; `whileOpen` runs while it runs
// modally, then "Abbruch" closes it.
struct ModalDialog {
    QDialog dialog;
    QPushButton* help = new QPushButton(QStringLiteral("Hilfe"), &dialog);
    QPushButton* cancel = new QPushButton(QStringLiteral("Abbruch"), &dialog);
    explicit ModalDialog(const std::function<void()>& whileOpen) {
        dialog.setFixedSize(296, 220);
        help->setGeometry(192, 182, 75, 25);
        cancel->setGeometry(110, 182, 75, 25);
        QObject::connect(help, &QPushButton::clicked, [] { ShowHelpContext(44); });
        QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
        dialog.move(QGuiApplication::primaryScreen()->availableGeometry().topLeft() + QPoint(0, 40));
        AfterShowing(&dialog, [this, whileOpen] {
            whileOpen();
            Click(cancel);
        });
        QTimer::singleShot(20000, &dialog, [this] { dialog.done(2); });  // never stuck
        result = dialog.exec();
    }
    int result = -1;
};
}  // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT
private slots:
    void helpFromARunningDialogTakesInputBesideIt() {
        QStringList pages;
        bool scrolled = false, clear = false;
        ModalDialog modal([&] {
            Click(modal.help);
            ClickHelp("Inde&x");
            pages << Page();
            Browser()->setFocus();
            QTest::keyClick(Help()->windowHandle(), Qt::Key_End);  // the long index to its end
            scrolled = Browser()->verticalScrollBar()->value() > 0;
            ClickHelp("&Zurück");
            pages << Page();
            const QRect frame = Help()->frameGeometry();
            clear = !frame.intersects(modal.dialog.frameGeometry()) &&
                    modal.dialog.screen()->availableGeometry().contains(frame);
        });
        QCOMPARE(modal.result, int(QDialog::Rejected));
        QCOMPARE(pages, (QStringList{QStringLiteral("index.html"), QStringLiteral("hc44.html")}));
        QVERIFY(scrolled);
        QVERIFY(clear);
        Help()->close();
    }

    void helpAlreadyOpenFollowsADialogThatOpens() {
        ShowHelpContext(41);
        QString page;
        ModalDialog modal([&] {
            ClickHelp("Inde&x");
            page = Page();
        });
        QCOMPARE(page, QStringLiteral("index.html"));
        Help()->close();
    }

    // A message box over the dialog takes the help along; closed and deleted, it leaves the
    // help usable above the dialog.
    void helpOutlivesAMessageBoxOverTheDialog() {
        QStringList pages;
        ModalDialog modal([&] {
            Click(modal.help);
            auto* box = new QDialog(&modal.dialog);
            box->setAttribute(Qt::WA_DeleteOnClose);
            AfterShowing(box, [&pages, box] {
                ClickHelp("Inde&x");
                pages << Page();
                box->close();
            });
            box->exec();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (!Help()) return;
            ClickHelp("&Inhalt");
            pages << Page();
        });
        QCOMPARE(pages, (QStringList{QStringLiteral("index.html"), QStringLiteral("inhalt.html")}));
        Help()->close();
    }

    void placementStaysBesideTheDialog_data() {
        QTest::addColumn<QRect>("dialog");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("right") << QRect(400, 300, 300, 220) << QRect(708, 300, 560, 480);
        QTest::newRow("left, at the right edge") << QRect(900, 100, 380, 300) << QRect(332, 100, 560, 480);
        QTest::newRow("below a wide one") << QRect(100, 20, 1100, 300) << QRect(100, 328, 560, 480);
        QTest::newRow("shrunk to the room") << QRect(0, 0, 800, 1024) << QRect(808, 0, 472, 480);
        QTest::newRow("pushed up") << QRect(100, 800, 300, 220) << QRect(408, 544, 560, 480);
    }
    void placementStaysBesideTheDialog() {
        QFETCH(QRect, dialog);
        QFETCH(QRect, expected);
        QCOMPARE(PlaceBeside(dialog, QSize(560, 480), QSize(320, 240), QRect(0, 0, 1280, 1024)), expected);
        // A screen too small for both: the smallest window, still on the screen.
        QCOMPARE(PlaceBeside(QRect(100, 100, 440, 300), QSize(560, 480), QSize(320, 240), QRect(0, 0, 640, 480)),
                 QRect(100, 0, 320, 240));
    }
};

QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
