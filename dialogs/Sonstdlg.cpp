#include "dialogs/Sonstdlg.h"

TSonsDlg* SonsDlg = nullptr;

TSonsDlg::TSonsDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Sonstige Funktionen"));
}
