#pragma once
// TMBrDlg ("Messbereich"). Placeholder form until its behaviour is built.

#include <QDialog>

class TMBrDlg : public QDialog {
    Q_OBJECT
public:
    explicit TMBrDlg(QWidget* parent = nullptr);
};

extern TMBrDlg* MBrDlg;
