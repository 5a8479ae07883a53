#pragma once
// TZyklDlg ("Zyklen aller Geräte"). Placeholder form until its behaviour is built.

#include <QDialog>

class TZyklDlg : public QDialog {
    Q_OBJECT
public:
    explicit TZyklDlg(QWidget* parent = nullptr);
};

extern TZyklDlg* ZyklDlg;
