#include "dialogs/Rtcdlg.h"

TRtcDlg* RtcDlg = nullptr;

TRtcDlg::TRtcDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Real Time Clock"));
}
