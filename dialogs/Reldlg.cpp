#include "dialogs/Reldlg.h"

TRelDlg* RelDlg = nullptr;

TRelDlg::TRelDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Relaisfunktionen"));
}
