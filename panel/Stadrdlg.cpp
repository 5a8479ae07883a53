#include "panel/Stadrdlg.h"

TStADlg* StADlg = nullptr;

TStADlg::TStADlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Stationsadresse"));
}
