#include "dialogs/DialogCommands.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

#include "panel/Qtv3590.h"

DialogCommands::DialogCommands(QWidget* dialog, QAbstractButton* help) : dialog_(dialog), help_(help) {
    if (dialog) dialog->installEventFilter(this);
}

bool DialogCommands::eventFilter(QObject* watched, QEvent* event) {
    if (watched != dialog_) return false;
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
        if (!event->spontaneous()) ++opening_;  // a new opening, or none
        return false;
    case QEvent::Close:
        if (!Busy()) return false;
        event->ignore();
        return true;
    case QEvent::KeyPress:
        if (!Busy() || !escapeCloses_ || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
        event->accept();
        return true;
    default:
        return false;
    }
}

DialogCommands::Asked DialogCommands::AskedNow() const { return {opening_, ActivePanel()}; }

bool DialogCommands::StillShows(const Asked& asked) const {
    return asked.opening == opening_ && asked.panel && asked.panel == ActivePanel();
}

void DialogCommands::Begin() {
    if (pending_++ > 0 || !dialog_) return;
    focus_ = dialog_->focusWidget();
    for (QPushButton* button : dialog_->findChildren<QPushButton*>()) {
        // The help window, a child while the dialog is modal, is never greyed.
        if (button == help_ || button->window() != dialog_) continue;
        wanted_[button] = button->isEnabled();
        button->setEnabled(false);
    }
    dialog_->setCursor(Qt::WaitCursor);
}

void DialogCommands::End() {
    if (pending_ == 0 || --pending_ > 0 || !dialog_) return;
    for (const auto& [button, enabled] : wanted_) button->setEnabled(enabled);
    wanted_.clear();
    dialog_->unsetCursor();
    // Return presses the button that had the focus, not the default one.
    if (focus_ && focus_->isEnabled() && focus_->window() == dialog_) focus_->setFocus();
    focus_ = nullptr;
}

void DialogCommands::SetEnabled(QWidget* control, bool enabled) {
    const auto kept = wanted_.find(control);
    if (Busy() && kept != wanted_.end())
        kept->second = enabled;
    else
        control->setEnabled(enabled);
}
