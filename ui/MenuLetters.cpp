#include "ui/MenuLetters.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>

namespace {
bool Choosable(const QAction* item) { return item->isVisible() && item->isEnabled() && !item->isSeparator(); }

bool IsUnderlined(const QAction* item, QChar letter) {
    const QKeySequence mnemonic = QKeySequence::mnemonic(item->text());
    return !mnemonic.isEmpty() && (mnemonic[0].toCombined() & ~Qt::KeyboardModifierMask) == int(letter.toUpper().unicode());
}

// One filter object serves every menu; it lives as long as the application.
class FirstLetterFilter : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* menu = qobject_cast<QMenu*>(watched);
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (!menu || (key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) || key->text().size() != 1)
            return false;
        QAction* item = FirstLetterItem(*menu, key->text().at(0));
        if (!item) return false;
        // Return on the highlighted item chooses it the way the menu itself does: a command
        // runs and every menu closes, a submenu opens.
        menu->setActiveAction(item);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(menu, &enter);
        return true;
    }
};

FirstLetterFilter& Filter() {
    static auto* filter = new FirstLetterFilter(QCoreApplication::instance());
    return *filter;
}
}  // namespace

QAction* FirstLetterItem(const QMenu& menu, QChar letter) {
    if (!letter.isLetterOrNumber()) return nullptr;
    const QList<QAction*> items = menu.actions();
    for (const QAction* item : items)
        if (item->isVisible() && !item->isSeparator() && IsUnderlined(item, letter)) return nullptr;
    for (QAction* item : items) {
        if (!Choosable(item) || !QKeySequence::mnemonic(item->text()).isEmpty()) continue;
        const QString caption = item->text().trimmed();
        if (!caption.isEmpty() && caption.at(0).toUpper() == letter.toUpper()) return item;
    }
    return nullptr;
}

void ChooseByFirstLetter(QMenu* menu) { menu->installEventFilter(&Filter()); }
