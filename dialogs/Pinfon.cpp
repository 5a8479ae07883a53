#include "dialogs/Pinfon.h"

TProgInfo* ProgInfo = nullptr;

TProgInfo::TProgInfo(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Programminfo"));
}
