#pragma once
// TDispDlg ("Anzeige"): reads and sends the display parameters of the active station, one
// "Lesen"/"Senden" pair per parameter. What it shows again for a station comes from that
// station's panel (Komma, Runden, Mittel, Benennung, Durch10); the dialog keeps nothing itself.

#include <QDialog>
#include <cstdint>

#include "dialogs/DialogCommands.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TQTV3590;

class TDispDlg : public QDialog {
    Q_OBJECT
public:
    explicit TDispDlg(QWidget* parent = nullptr);

    static constexpr int kHelpContext = 41;

    // Runs each time the dialog is shown; callable directly as well.
    void FormActivate();

    void DpLBtnClick();
    void DpSBtnClick();
    void RdLBtnClick();
    void RdSBtnClick();
    void MWLBtnClick();
    void MWSBtnClick();
    void BnLBtnClick();
    void BnSBtnClick();
    void MxLBtnClick();
    void MxSBtnClick();
    void MnLBtnClick();
    void MnSBtnClick();
    void DzLBtnClick();
    void DzSBtnClick();
    void UzLBtnClick();
    void UzSBtnClick();
    void HelpBtnClick();

    // Controls.
    QGroupBox* DpGroup = nullptr;
    QRadioButton* DpRBtn1 = nullptr;
    QRadioButton* DpRBtn2 = nullptr;
    QRadioButton* DpRBtn3 = nullptr;
    QRadioButton* DpRBtn4 = nullptr;
    QButtonGroup* DpButtons = nullptr;  // ids 0..3: the dialog positions
    QPushButton* DpLBtn = nullptr;
    QPushButton* DpSBtn = nullptr;

    QGroupBox* RdGroup = nullptr;
    QRadioButton* RndRBtn1 = nullptr;
    QRadioButton* RndRBtn2 = nullptr;
    QRadioButton* RndRBtn3 = nullptr;
    QRadioButton* RndRBtn4 = nullptr;
    QButtonGroup* RndButtons = nullptr;  // ids 0..3
    QPushButton* RdLBtn = nullptr;
    QPushButton* RdSBtn = nullptr;

    QLabel* MWLabel = nullptr;
    QPushButton* MWLBtn = nullptr;
    QLineEdit* DsEdit = nullptr;
    QPushButton* MWSBtn = nullptr;

    QLabel* BnLabel = nullptr;
    QPushButton* BnLBtn = nullptr;
    QLineEdit* DimEdit = nullptr;
    QPushButton* BnSBtn = nullptr;

    QLabel* MxLabel = nullptr;
    QPushButton* MxLBtn = nullptr;
    QLineEdit* MaxWEdit = nullptr;
    QPushButton* MxSBtn = nullptr;

    QLabel* MnLabel = nullptr;
    QPushButton* MnLBtn = nullptr;
    QLineEdit* MinWEdit = nullptr;
    QPushButton* MnSBtn = nullptr;

    QLabel* DzLabel = nullptr;
    QPushButton* DzLBtn = nullptr;
    QCheckBox* D10CBox = nullptr;
    QPushButton* DzSBtn = nullptr;

    QLabel* UzLabel = nullptr;
    QPushButton* UzLBtn = nullptr;
    QCheckBox* UhrCBox = nullptr;
    QPushButton* UzSBtn = nullptr;

    QPushButton* DspOkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildDecimalPointFrame();
    void BuildRoundingFrame();
    void BuildRows();
    void BuildBottomRow();
    QPushButton* AddButton(const QString& caption, const char* name, int x, int y, void (TDispDlg::*handler)());
    QLineEdit* AddRowEdit(const char* name, int y, const QString& text);
    QLabel* AddRowLabel(const QString& caption, const char* name, int y);

    void ShowDecimalPoint(std::uint8_t code, bool group2);
    void ShowRounding(std::uint8_t code);

    DialogCommands commands_{this};
};

extern TDispDlg* DispDlg;
