#pragma once
// TDispDlg ("Anzeige"). Placeholder form until its behaviour is built.

#include <QDialog>

class TDispDlg : public QDialog {
    Q_OBJECT
public:
    explicit TDispDlg(QWidget* parent = nullptr);
};

extern TDispDlg* DispDlg;
