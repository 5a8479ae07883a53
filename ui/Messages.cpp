#include "ui/Messages.h"

#include <QCursor>
#include <QToolTip>
#include <utility>

namespace {
std::function<void(const ShownMessage&)> g_observer;

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
    QToolTip::showText(QCursor::pos(), text);
}

void SetMessageObserver(std::function<void(const ShownMessage&)> observer) { g_observer = std::move(observer); }
