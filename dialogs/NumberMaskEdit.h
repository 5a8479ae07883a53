#pragma once
// The number edit of the relay and range dialogs: one position for a sign, a digit or a blank,
// then four optional digits, blanks shown as spaces ("#9999;1; " in the operator's terms).
// The program's own texts are shown as they are: a number that needs more places than the mask
// (a signed value of five digits, a delay of 65535) widens the mask, so nothing is cut off and
// sending the edit again sends the value it shows; a text that is no number (" ????" for a
// failed read) is shown without mask until the next number is put in.

#include <QLineEdit>

class TNumberMaskEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TNumberMaskEdit(QWidget* parent = nullptr);

    // Puts a text of the program into the edit as a whole.
    void SetWholeText(const QString& text);

    static constexpr int kPlaces = 5;
};
