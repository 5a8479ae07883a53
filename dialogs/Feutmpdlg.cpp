#include "dialogs/Feutmpdlg.h"

TFeuTempDlg* FeuTempDlg = nullptr;

TFeuTempDlg::TFeuTempDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Gewünschte Messart"));
}
