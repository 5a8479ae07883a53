#include "ui/Messages.h"

#include <QApplication>
#include <QBasicTimer>
#include <QCursor>
#include <QEvent>
#include <QTimer>
#include <QToolTip>
#include <utility>

#include "platform/ProcessHooks.h"

namespace {
std::function<void(const ShownMessage&)> g_observer;
[[maybe_unused]] const bool kObserverHook = RegisterProcessHook(HookKind::StandIn, "message observer", SnapshotOf(g_observer));

// A note asked for by a menu item comes up while the closed menu hands the focus back to its
// window. On a real display that hand-over reaches the program only later, from the window
// system, and a tooltip hides itself on any focus or activation change, so the note would be
// gone before it was seen. For a short while after a note, such a change brings it back where it
// was; a click, a key or the wheel, the operator's own doing, ends that at once.
class NoteKeeper : public QObject {
public:
    using QObject::QObject;

    void keep(const QPoint& at, const QString& text) {
        at_ = at;
        text_ = text;
        if (!watching_) qApp->installEventFilter(this);
        watching_ = true;
        ending_.start(kKeepMs, this);
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        switch (event->type()) {
            case QEvent::FocusIn:
            case QEvent::FocusOut:
            case QEvent::WindowActivate:
            case QEvent::WindowDeactivate:
                // After the tooltip's own handling of this event, which hides it.
                QTimer::singleShot(0, this, [this] {
                    if (watching_) QToolTip::showText(at_, text_);
                });
                break;
            case QEvent::MouseButtonPress:
            case QEvent::KeyPress:
            case QEvent::Wheel:
                stop();
                break;
            default:
                break;
        }
        return false;
    }

    void timerEvent(QTimerEvent* event) override {
        if (event->timerId() == ending_.timerId()) stop();
    }

private:
    static constexpr int kKeepMs = 500;

    void stop() {
        ending_.stop();
        if (watching_) qApp->removeEventFilter(this);
        watching_ = false;
    }

    QPoint at_;
    QString text_;
    QBasicTimer ending_;
    bool watching_ = false;
};

NoteKeeper& Keeper() {
    static auto* keeper = new NoteKeeper(QCoreApplication::instance());  // lives as long as the application
    return *keeper;
}

void Show(const QString& caption, const QString& text, QMessageBox::Icon icon) {
    if (g_observer) {
        g_observer(ShownMessage{caption, text, icon});
        return;
    }
    // No owner window: the box stands on its own, as the operator knows it.
    QMessageBox box(icon, caption, text, QMessageBox::Ok);
    box.exec();
}
}  // namespace

void ShowTransferError() {
    Show(QStringLiteral("Meldung"), QString::fromUtf8("Übertragungsfehler"), QMessageBox::Information);
}

void ShowConversionError(const QString& text) {
    Show(QStringLiteral("Tarvo"), QString::fromUtf8("'%1' ist kein gültiger Integerwert").arg(text),
         QMessageBox::Critical);
}

void ShowLinkError(const QString& text) { Show(QStringLiteral("Fehler"), text, QMessageBox::Information); }

void ShowInfo(const QString& caption, const QString& text) { Show(caption, text, QMessageBox::Information); }

void ShowNote(const QString& text) {
    if (g_observer) {
        g_observer(ShownMessage{QString(), text, QMessageBox::NoIcon});
        return;
    }
    const QPoint at = QCursor::pos();
    QToolTip::showText(at, text);
    Keeper().keep(at, text);
}

void SetMessageObserver(std::function<void(const ShownMessage&)> observer) { g_observer = std::move(observer); }
