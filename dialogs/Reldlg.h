#pragma once
// TRelDlg ("Relaisfunktionen"): reads and sends the settings of the two relays of the active
// station (switching point, hysteresis, delay, active, opener, status). What it shows again for
// a station is kept in that station's panel; the status is only shown, never kept.

#include <QDialog>

#include "dialogs/DialogCommands.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TRelDlg : public QDialog {
    Q_OBJECT
public:
    explicit TRelDlg(QWidget* parent = nullptr);

    static constexpr int kHelpContext = 43;

    QGroupBox* GroupBox1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;

    // Relay 1: the edits carry the number mask.
    QLabel* SP1Label = nullptr;
    QLabel* S1HLabel = nullptr;
    QLabel* S1VLabel = nullptr;
    QLabel* Ak1Label = nullptr;
    QLabel* Op1Label = nullptr;
    QLabel* St1Label = nullptr;
    QLineEdit* S1WMEdit = nullptr;
    QLineEdit* S1HMEdit = nullptr;
    QLineEdit* S1VMEdit = nullptr;
    QCheckBox* S1AkCBox = nullptr;
    QCheckBox* S1OpCBox = nullptr;
    QCheckBox* S1SCBox = nullptr;
    QPushButton *S1LBtn = nullptr, *S1SBtn = nullptr;
    QPushButton *H1LBtn = nullptr, *H1SBtn = nullptr;
    QPushButton *V1LBtn = nullptr, *V1SBtn = nullptr;
    QPushButton *A1LBtn = nullptr, *A1SBtn = nullptr;
    QPushButton *O1LBtn = nullptr, *O1SBtn = nullptr;
    QPushButton *U1LBtn = nullptr, *U1SBtn = nullptr;

    // Relay 2: plain edits without mask or length limit.
    QLabel* Sp2Label = nullptr;
    QLabel* S2HLabel = nullptr;
    QLabel* S2VLabel = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* S2WMEdit = nullptr;
    QLineEdit* S2HMEdit = nullptr;
    QLineEdit* S2VMEdit = nullptr;
    QCheckBox* S2AkCBox = nullptr;
    QCheckBox* S2OpCBox = nullptr;
    QCheckBox* S2SCBox = nullptr;
    QPushButton *S2LBtn = nullptr, *S2SBtn = nullptr;
    QPushButton *H2LBtn = nullptr, *H2SBtn = nullptr;
    QPushButton *V2LBtn = nullptr, *V2SBtn = nullptr;
    QPushButton *A2LBtn = nullptr, *A2SBtn = nullptr;
    QPushButton *O2LBtn = nullptr, *O2SBtn = nullptr;
    QPushButton *U2LBtn = nullptr, *U2SBtn = nullptr;

    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    // Shows the active station's kept values; sends nothing. Runs each time the dialog is shown.
    void FormActivate();

    void S1LBtnClick();
    void S1SBtnClick();
    void H1LBtnClick();
    void H1SBtnClick();
    void V1LBtnClick();
    void V1SBtnClick();
    void A1LBtnClick();
    void A1SBtnClick();
    void O1LBtnClick();
    void O1SBtnClick();
    void U1LBtnClick();
    void U1SBtnClick();
    void S2LBtnClick();
    void S2SBtnClick();
    void H2LBtnClick();
    void H2SBtnClick();
    void V2LBtnClick();
    void V2SBtnClick();
    void A2LBtnClick();
    void A2SBtnClick();
    void O2LBtnClick();
    void O2SBtnClick();
    void U2LBtnClick();
    void U2SBtnClick();
    void OkBtnClick();
    void HelpBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct NumberRow {
        QLabel** label;
        const char* caption;
        QPushButton** read;
        QLineEdit** edit;
        QPushButton** send;
    };
    struct CheckRow {
        QLabel** label;
        const char* caption;
        QPushButton** read;
        QCheckBox** box;
        QPushButton** send;
    };
    void BuildRelay(QGroupBox* box, bool masked, const NumberRow (&numbers)[3], const CheckRow (&checks)[3]);
    void BuildButtons();
    void Connect();

    DialogCommands commands_{this};
};

extern TRelDlg* RelDlg;
