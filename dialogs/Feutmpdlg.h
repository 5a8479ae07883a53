#pragma once
// TFeuTempDlg ("Gewünschte Messart"): the measuring kind of a humidity device (type low byte
// 0x90), kept in the active panel's ABAnf: 0 relative humidity, 1 temperature, 2 dew point.
// It talks to the station through the port object, not through the command-set port.

#include <QDialog>

#include "dialogs/DialogCommands.h"

class QFrame;
class QPushButton;
class QRadioButton;

class TFeuTempDlg : public QDialog {
    Q_OBJECT
public:
    explicit TFeuTempDlg(QWidget* parent = nullptr);

    // Called by the main window before exec(): shows the kind stored in ABAnf.
    void ShowKind(int abAnf);

    void FTLBtnClick();
    void FTSBtnClick();
    void FeuOkBtnClick();
    void FeuHelpBtnClick();

    QFrame* Bevel1 = nullptr;
    QPushButton* FTLBtn = nullptr;
    QPushButton* FTSBtn = nullptr;
    QRadioButton* FeuchteBtn = nullptr;
    QRadioButton* TempBtn = nullptr;
    QRadioButton* TauBtn = nullptr;
    QPushButton* FeuOkBtn = nullptr;
    QPushButton* FeuCanBtn = nullptr;
    QPushButton* FeuHelpBtn = nullptr;

    static constexpr int kHelpContext = 47;

private:
    void CheckKind(int kind);  // exactly one of the three checked: 1 Temp, 2 Tau, else Feuchte
    int CheckedKind() const;   // 1 Temp, 2 Tau, else 0

    DialogCommands commands_{this};
};

extern TFeuTempDlg* FeuTempDlg;
