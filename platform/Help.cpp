// The help window: one reused, non-modal window that shows the German help pages built into the
// program (Qt resource :/help/). The topic of help context n is the page hc<n>.html.
//
// A modal dialog blocks every window that is not its own, so the help window belongs to the
// modal window that is open, if any: as that window's child window it takes input while the
// dialog runs, and it stays above the dialog, beside it rather than over its buttons.

#include "platform/Help.h"

#include "platform/HelpPlacement.h"
#include "platform/ProcessHooks.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>
#include <utility>

// At global scope, as the resource's initialiser is declared where this expands.
static void InitHelpResources() { Q_INIT_RESOURCE(help); }

namespace {
// The pages live in a static library: make sure they are registered before anyone reads them.
const bool g_resourcesReady = (InitHelpResources(), true);

std::function<void(int)> g_observer;
[[maybe_unused]] const bool kObserverHook = RegisterProcessHook(HookKind::StandIn, "help observer", SnapshotOf(g_observer));

const QString kContentsPage = QStringLiteral("inhalt.html");
const QString kIndexPage = QStringLiteral("index.html");

QString PageOf(int context) {
    if (context == 0) return kContentsPage;
    const QString page = QStringLiteral("hc%1.html").arg(context);
    return QFile::exists(QStringLiteral(":/help/") + page) ? page : kContentsPage;
}

class HelpWindow : public QWidget {
public:
    HelpWindow() {
        setObjectName(QStringLiteral("TarvoHelp"));
        setWindowTitle(QStringLiteral("Tarvo-Hilfe"));
        resize(640, 520);
        browser_ = new QTextBrowser(this);
        browser_->setObjectName(QStringLiteral("HelpBrowser"));
        browser_->setOpenExternalLinks(true);
        auto* contents = new QPushButton(QStringLiteral("&Inhalt"), this);
        auto* index = new QPushButton(QStringLiteral("Inde&x"), this);
        auto* back = new QPushButton(QString::fromUtf8("&Zurück"), this);
        auto* forward = new QPushButton(QStringLiteral("&Vor"), this);
        back->setEnabled(false);
        forward->setEnabled(false);
        connect(contents, &QPushButton::clicked, this, [this] { Open(kContentsPage); });
        connect(index, &QPushButton::clicked, this, [this] { Open(kIndexPage); });
        connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
        connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
        connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
        connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);

        auto* buttons = new QHBoxLayout;
        for (QPushButton* b : {contents, index, back, forward}) buttons->addWidget(b);
        buttons->addStretch();
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(buttons);
        layout->addWidget(browser_);
        qApp->installEventFilter(this);  // to notice modal windows opening
    }

    void Open(const QString& page) {
        browser_->setSource(QUrl(QStringLiteral("qrc:/help/") + page));
        if (QWidget* modal = QApplication::activeModalWidget()) MoveTo(modal);
        show();
        raise();
        activateWindow();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == this || !watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Hide && w == parentWidget()) {
            // The owner closes, and a dialog of the moment (a message box, the colour dialog) is
            // deleted right after, with its children: the help moves on at once, to the modal
            // window below, or on its own.
            MoveTo(QApplication::activeModalWidget());
        } else if (event->type() == QEvent::Show && isVisible() && w->isWindow() && w->isModal()) {
            // A modal window opening while the help is shown would block it: the help follows,
            // once that window is up.
            QTimer::singleShot(0, this, [this, modal = QPointer<QWidget>(w)] {
                if (modal && modal->isVisible() && isVisible()) MoveTo(modal);
            });
        }
        return false;
    }

private:
    // Makes the help window a child window of `owner` (none: a window of its own), where it was,
    // or beside the owner when it would cover it.
    void MoveTo(QWidget* owner) {
        if (owner == this || owner == parentWidget()) return;
        const bool wasShown = isVisible();
        const QPoint at = pos();
        setParent(owner, Qt::Window);  // this hides it
        if (wasShown) move(at);
        if (owner && (!wasShown || frameGeometry().intersects(owner->frameGeometry()))) MoveBeside(owner);
        if (wasShown) show();
    }

    void MoveBeside(const QWidget* owner) {
        const QScreen* screen = owner->screen();
        if (!screen) return;
        const QSize frame = frameGeometry().size() - size();  // the window manager's, once known
        const QSize minimum = QSize(320, 240).expandedTo(minimumSizeHint());
        const QRect placed = ::PlaceBeside(owner->frameGeometry(), size() + frame, minimum + frame,
                                           screen->availableGeometry());
        move(placed.topLeft());
        resize(placed.size() - frame);
    }

    QTextBrowser* browser_ = nullptr;
};

HelpWindow& Window() {
    static QPointer<HelpWindow> window;
    if (!window) {
        window = new HelpWindow;
        // A window without parent: removed with the application, not after it.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, window.data(), &QObject::deleteLater);
    }
    return *window;
}

void Request(int observed, const QString& page) {
    if (g_observer) {
        g_observer(observed);
        return;
    }
    Window().Open(page);
}
}  // namespace

void ShowHelpContext(int context) { Request(context, PageOf(context)); }
void ShowHelpContents() { Request(-1, kContentsPage); }
void ShowHelpIndex() { Request(-2, kIndexPage); }
void SetHelpObserver(std::function<void(int)> observer) { g_observer = std::move(observer); }
