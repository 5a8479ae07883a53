#include "dialogs/DialogCommands.h"

#include <QAbstractButton>
#include <QPushButton>

void DialogCommands::Begin() {
    if (pending_++ > 0 || !dialog_) return;
    for (QPushButton* button : dialog_->findChildren<QPushButton*>()) {
        if (button == help_) continue;
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
}

void DialogCommands::SetEnabled(QWidget* control, bool enabled) {
    const auto kept = wanted_.find(control);
    if (Busy() && kept != wanted_.end())
        kept->second = enabled;
    else
        control->setEnabled(enabled);
}
