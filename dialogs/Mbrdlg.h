#pragma once
// TMBrDlg ("Messbereich"): reads and sends the measuring range, the display range and the
// Sondermessung flag of the active station. For counter stations (type low byte 0x80 or 0x85)
// its first and third rows serve for the counter reading and the direction, the rest is idle.

#include <QDialog>

#include "dialogs/DialogCommands.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TMBrDlg : public QDialog {
    Q_OBJECT
public:
    explicit TMBrDlg(QWidget* parent = nullptr);

    static constexpr int kHelpContext = 44;

    QPushButton *MBALBtn = nullptr, *MBASBtn = nullptr;
    QPushButton *MBELBtn = nullptr, *MBESBtn = nullptr;
    QPushButton *ABALBtn = nullptr, *ABASBtn = nullptr;
    QPushButton *ABELBtn = nullptr, *ABESBtn = nullptr;
    QPushButton *SoMLBtn = nullptr, *SoMSBtn = nullptr;
    QLineEdit* MBAMEdit = nullptr;
    QLineEdit* MBEMEdit = nullptr;
    QLineEdit* ABAMEdit = nullptr;
    QLineEdit* ABEMEdit = nullptr;
    QCheckBox* SoMCBox = nullptr;
    QLabel* MBALabel = nullptr;
    QLabel* MBELabel = nullptr;
    QLabel* ABALabel = nullptr;
    QLabel* ABELabel = nullptr;
    QLabel* SoMLabel = nullptr;

    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    // Shows the active station's kept values and chooses the counter or the normal layout;
    // sends nothing. Runs each time the dialog is shown.
    void FormActivate();

    void MBALBtnClick();
    void MBASBtnClick();
    void MBELBtnClick();
    void MBESBtnClick();
    void ABALBtnClick();
    void ABASBtnClick();
    void ABELBtnClick();
    void ABESBtnClick();
    void SoMLBtnClick();
    void SoMSBtnClick();
    void HelpBtnClick();

protected:
    void showEvent(QShowEvent* event) override;
    // Escape presses "Hilfe" here; it does not close the dialog.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildRows();
    void BuildButtons();
    void Connect();
    void SetCounterLayout(bool counter);

    DialogCommands commands_{this};
};

extern TMBrDlg* MBrDlg;
