#pragma once
// The program's message boxes. Tests install an observer that records each box instead of
// showing it (the observer's return value is the button "pressed").

#include <QMessageBox>
#include <QString>
#include <functional>

struct ShownMessage {
    QString caption;
    QString text;
    QMessageBox::Icon icon;
};

// "Übertragungsfehler", caption "Meldung", information icon, one OK button, no owner window.
void ShowTransferError();
// The toolkit's conversion error (caption: the program name): "'%s' ist kein gültiger Integerwert".
void ShowConversionError(const QString& text);
// A message of the network link: caption "Fehler", information icon, OK.
void ShowLinkError(const QString& text);
// Any other information box without owner.
void ShowInfo(const QString& caption, const QString& text);
// A short note at the mouse pointer that goes by itself, no box: why an action is refused for
// now. The observer sees it without caption and icon.
void ShowNote(const QString& text);

void SetMessageObserver(std::function<void(const ShownMessage&)> observer);  // empty: real boxes
