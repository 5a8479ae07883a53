#pragma once
// TProgInfo ("Programminfo"): the program's picture, purpose and version. It has no buttons;
// the operator closes it with the window's close button.

#include <QDialog>

class QImage;
class QLabel;

class TProgInfo : public QDialog {
    Q_OBJECT
public:
    explicit TProgInfo(QWidget* parent = nullptr);

    // The two-colour picture: a PC and its stations on one bus line.
    static QImage Picture();

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
};

extern TProgInfo* ProgInfo;
