#include "dialogs/Mbrdlg.h"

TMBrDlg* MBrDlg = nullptr;

TMBrDlg::TMBrDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Messbereich"));
}
