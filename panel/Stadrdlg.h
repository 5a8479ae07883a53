#pragma once
// TStADlg ("Stationsadresse"). Placeholder form until its behaviour is built.

#include <QDialog>

class TStADlg : public QDialog {
    Q_OBJECT
public:
    explicit TStADlg(QWidget* parent = nullptr);
};

extern TStADlg* StADlg;
