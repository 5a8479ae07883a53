#include "dialogs/Titeldlg.h"

TTitDlg* TitDlg = nullptr;

TTitDlg::TTitDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Programmtitel"));
}
