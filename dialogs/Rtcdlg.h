#pragma once
// TRtcDlg ("Real Time Clock"). Placeholder form until its behaviour is built.

#include <QDialog>

class TRtcDlg : public QDialog {
    Q_OBJECT
public:
    explicit TRtcDlg(QWidget* parent = nullptr);
};

extern TRtcDlg* RtcDlg;
