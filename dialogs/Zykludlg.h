#pragma once
// TZyklDlg ("Zyklen aller Geräte"): one polling cycle for all stations. OK leaves the result in
// the spin buttons' position; the main window then gives it to every station.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TUpDown;

class TZyklDlg : public QDialog {
    Q_OBJECT
public:
    explicit TZyklDlg(QWidget* parent = nullptr);

    // The spin buttons' position: what OK confirms as AlleZyklen.
    int Position() const;

    QLineEdit* ZyklEdit = nullptr;
    TUpDown* ZyklUpDn = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* ZyklOkBtn = nullptr;
    QPushButton* ZyklBreakBtn = nullptr;
    QPushButton* ZyklHlpBtn = nullptr;

    // A whole number typed into the edit moves the spin buttons (within their range), so that
    // OK confirms what the operator typed; other texts leave them where they were.
    void ZyklEditChange();
    void ZyklOkBtnClick();
};

extern TZyklDlg* ZyklDlg;
