#pragma once
// TSonsDlg ("Sonstige Funktionen"). Placeholder form until its behaviour is built.

#include <QDialog>

class TSonsDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSonsDlg(QWidget* parent = nullptr);
};

extern TSonsDlg* SonsDlg;
