#include "dialogs/Zykludlg.h"

TZyklDlg* ZyklDlg = nullptr;

TZyklDlg::TZyklDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Zyklen aller Geräte"));
}
