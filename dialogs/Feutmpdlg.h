#pragma once
// TFeuTempDlg ("Gewünschte Messart"). Placeholder form until its behaviour is built.

#include <QDialog>

class TFeuTempDlg : public QDialog {
    Q_OBJECT
public:
    explicit TFeuTempDlg(QWidget* parent = nullptr);
};

extern TFeuTempDlg* FeuTempDlg;
