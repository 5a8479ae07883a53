#include "link/Siodlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <string>

#include "link/NetLink.h"
#include "link/PortSelection.h"
#include "link/SioPort.h"
#include "platform/Help.h"
#include "ui/Messages.h"
#include "ui/NumberText.h"
#include "ui/UpDown.h"

TPcSioDlg* PcSioDlg = nullptr;

// --- Network link ------------------------------------------------------------------------------

namespace {
void ShowLinkMessage(const std::string& text) { ShowLinkError(QString::fromStdString(text)); }
}  // namespace

void SetupNetLink(bool internet, std::uint8_t sioNr, const QString& hostName, QString& lokalIP,
                  const QString& workingDirectory) {
    std::string lokal = lokalIP.toStdString();
    SetupNetLink(internet, sioNr, hostName.toStdString(), lokal, workingDirectory.toStdString(), ShowLinkMessage);
    lokalIP = QString::fromStdString(lokal);
}

// --- Port dialog -------------------------------------------------------------------------------

TPcSioDlg::TPcSioDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Schnittstelle wählen"));
    setFixedSize(309, 128);

    Label1 = new QLabel(QStringLiteral("COM"), this);
    Label1->setGeometry(8, 8, 40, 13);
    SioNrEd = new QLineEdit(this);
    SioNrEd->setGeometry(8, 24, 33, 21);
    SioNrUDn = new TUpDown(this);
    SioNrUDn->setRange(1, 50);
    SioNrUDn->setWrap(true);
    SioNrUDn->setPosition(50);
    SioNrUDn->setAssociate(SioNrEd);

    DirektBtn = new QRadioButton(QStringLiteral("Lokal"), this);
    DirektBtn->setGeometry(80, 12, 74, 17);
    DirektBtn->setChecked(true);
    LipEdit = new QLineEdit(QStringLiteral("000.000.000.000"), this);
    LipEdit->setGeometry(156, 10, 146, 21);
    INetBtn = new QRadioButton(QStringLiteral("Internet"), this);
    INetBtn->setGeometry(80, 48, 74, 17);
    HNameEdit = new QLineEdit(this);
    HNameEdit->setGeometry(156, 46, 146, 21);

    SioOkBtn = new QPushButton(QStringLiteral("OK"), this);
    SioOkBtn->setGeometry(32, 92, 75, 25);
    SioOkBtn->setDefault(true);
    SioABtn = new QPushButton(QStringLiteral("Abbruch"), this);
    SioABtn->setGeometry(117, 92, 75, 25);
    HelpBtn = new QPushButton(QStringLiteral("&Hilfe"), this);
    HelpBtn->setGeometry(202, 92, 75, 25);

    connect(SioNrEd, &QLineEdit::textChanged, this, [this] { SioNrEdChange(); });
    connect(SioOkBtn, &QPushButton::clicked, this, [this] { SioOkBtnClick(); });
    connect(SioABtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [this] { HelpBtnClick(); });
}

void TPcSioDlg::InitFromSettings(std::uint8_t sioNr, const QString& hostName) {
    SioNrUDn->setPosition(sioNr);
    HNameEdit->setText(hostName);
}

void TPcSioDlg::SioNrEdChange() {
    const auto number = StrToIntOrComplain(SioNrEd->text());
    if (number) SioNrUDn->setPosition(*number);
}

void TPcSioDlg::SioOkBtnClick() {
    SioNr = static_cast<std::uint8_t>(SioNrUDn->position());
    HostName = HNameEdit->text();
    accept();
}

void TPcSioDlg::HelpBtnClick() { ShowHelpContext(kHelpContext); }

// --- Menu action "&PC-Sio" ---------------------------------------------------------------------

void PreparePortSelection(TPcSioDlg& dlg, const PortSelectionState& s) {
    // The host-name field keeps whatever was typed last, even in a cancelled run.
    dlg.SioNrEd->setText(QString::number(s.SioNr));
    dlg.SioNrUDn->setPosition(s.SioNr);
    dlg.LipEdit->setText(s.LokalIP);
    if (s.Internet)
        dlg.INetBtn->setChecked(true);
    else
        dlg.DirektBtn->setChecked(true);
}

PortChoice ChosenPort(const TPcSioDlg& dlg) {
    PortChoice choice;
    choice.sioNr = static_cast<std::uint8_t>(dlg.SioNrUDn->position());
    choice.internet = dlg.INetBtn->isChecked();
    choice.hostName = dlg.HostName.toStdString();
    choice.lokalIP = dlg.LipEdit->text().toStdString();
    return choice;
}

