#pragma once
// TStADlg ("Stationsadresse"): the small modal dialog behind the address, cycle and title actions
// of a station panel's menu. Created once at start-up and reused; each action sets its captions
// and range, and reads the spin position (or the title edit) after OK.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TUpDown;

class TStADlg : public QDialog {
    Q_OBJECT
public:
    explicit TStADlg(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* StAMEdit = nullptr;  // masked: up to four digits
    TUpDown* SaUpDn = nullptr;      // bound to StAMEdit, wraps around
    QLineEdit* StEdit = nullptr;    // the title edit, hidden except for the title action
    QPushButton* StOkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

private:
    void StAMEditChange(const QString& text);
};

extern TStADlg* StADlg;
