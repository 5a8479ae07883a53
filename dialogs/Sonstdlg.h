#pragma once
// TSonsDlg ("Sonstige Funktionen"): reads and sends the maximum value, the minimum value and the
// pulses per revolution of the active station. None of them is kept in the station's panel; the
// edits show what they showed when the dialog was last closed.

#include <QDialog>
#include <cstdint>

#include "dialogs/DialogCommands.h"

class QLabel;
class QLineEdit;
class QPushButton;

class TSonsDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSonsDlg(QWidget* parent = nullptr);

    static constexpr int kHelpContext = 45;

    void MaxLBtnClick();
    void MaxSBtnClick();
    void MinLBtnClick();
    void MinSBtnClick();
    void EVLBtnClick();
    void EVSBtnClick();
    void CloseBtnClick();
    void HelpBtnClick();

    QPushButton* MaxLBtn = nullptr;
    QLineEdit* MaxMEdit = nullptr;
    QPushButton* MaxSBtn = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* MinLBtn = nullptr;
    QLineEdit* MinMEdit = nullptr;
    QPushButton* MinSBtn = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* EVLBtn = nullptr;
    QLineEdit* EVMEdit = nullptr;
    QPushButton* EVSBtn = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* CloseBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

private:
    QPushButton* AddButton(const QString& caption, const char* name, int x, int y, void (TSonsDlg::*handler)());
    QLineEdit* AddEdit(const char* name, int y, const QString& text, bool signedValue);
    QLabel* AddLabel(const QString& caption, const char* name, int y);

    DialogCommands commands_{this};
};

extern TSonsDlg* SonsDlg;
