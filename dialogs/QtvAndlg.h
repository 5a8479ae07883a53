#pragma once
// TQtvAnDlg ("Anzahl Geräte"): the highest station address the main window looks at.
// The main window fills the edit and the spin buttons before showing it; OK leaves the result
// in the spin buttons' position.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TUpDown;

class TQtvAnDlg : public QDialog {
    Q_OBJECT
public:
    explicit TQtvAnDlg(QWidget* parent = nullptr);

    // The spin buttons' position: what OK confirms.
    int MaxGeraete() const;

    QLabel* Label1 = nullptr;
    QLineEdit* QtvAnzEd = nullptr;
    TUpDown* QtvAnzUDn = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    // Every change of the edit's text moves the spin buttons to that number; a text that is
    // not a whole number is reported and leaves them where they were.
    void QtvAnzEdChange();
    void OKBtnClick();
    void HelpBtnClick();
};

extern TQtvAnDlg* QtvAnDlg;
