#include "dialogs/QtvAndlg.h"

TQtvAnDlg* QtvAnDlg = nullptr;

TQtvAnDlg::TQtvAnDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Anzahl Geräte"));
}
