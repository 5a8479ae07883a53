#include "dialogs/Displdlg.h"

TDispDlg* DispDlg = nullptr;

TDispDlg::TDispDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Anzeige"));
}
