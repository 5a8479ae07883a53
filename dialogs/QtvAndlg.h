#pragma once
// TQtvAnDlg ("Anzahl Geräte"). Placeholder form until its behaviour is built.

#include <QDialog>

class TQtvAnDlg : public QDialog {
    Q_OBJECT
public:
    explicit TQtvAnDlg(QWidget* parent = nullptr);
};

extern TQtvAnDlg* QtvAnDlg;
