#include "link/Siodlg.h"

TPcSioDlg* PcSioDlg = nullptr;

TPcSioDlg::TPcSioDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Schnittstelle wählen"));
}

void SetupNetLink(bool, std::uint8_t, const QString&, QString&, const QString&) {}

QString RedirectorTool() { return QStringLiteral("cprmgrcmd"); }
