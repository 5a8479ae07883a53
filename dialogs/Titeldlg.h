#pragma once
// TTitDlg ("Programmtitel"). Placeholder form until its behaviour is built.

#include <QDialog>

class TTitDlg : public QDialog {
    Q_OBJECT
public:
    explicit TTitDlg(QWidget* parent = nullptr);
};

extern TTitDlg* TitDlg;
