#pragma once
// Choosing a menu item by a letter, as in Windows menus: the underlined letter of an item
// chooses it; a letter that is no item's underlined letter chooses the first item without an
// underlined letter whose caption begins with it (captions such as "Messbereich" or "Zyklus",
// which the program sets without one).

class QAction;
class QChar;
class QMenu;

// Gives `menu` the first-letter choice; every menu of the program gets it.
void ChooseByFirstLetter(QMenu* menu);

// The item `letter` chooses by its first letter, or none when an item has it underlined (the
// menu's own handling chooses that one) or no item without an underlined letter begins with it.
// Hidden, disabled and separator items never count.
QAction* FirstLetterItem(const QMenu& menu, QChar letter);
