#pragma once
// TRelDlg ("Relaisfunktionen"). Placeholder form until its behaviour is built.

#include <QDialog>

class TRelDlg : public QDialog {
    Q_OBJECT
public:
    explicit TRelDlg(QWidget* parent = nullptr);
};

extern TRelDlg* RelDlg;
