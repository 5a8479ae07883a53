#include "link/Siodlg.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <string>
#include <vector>

#include "link/SioPort.h"
#include "platform/Help.h"
#include "platform/Net.h"
#include "platform/Process.h"
#include "ui/Messages.h"
#include "ui/NumberText.h"
#include "ui/UpDown.h"

TPcSioDlg* PcSioDlg = nullptr;

// --- Network link ------------------------------------------------------------------------------

namespace {

// The device server's TCP port that the redirector maps onto the local port number.
constexpr const char* kServerPort = "10001";

QString DottedAddress(const Ipv4Address& a) {
    return QStringLiteral("%1.%2.%3.%4").arg(a[0]).arg(a[1]).arg(a[2]).arg(a[3]);
}

// Only the exit code counts; a tool that cannot be started is a failed run (RunProcess: -1).
// The arguments go to the tool as a vector, so nothing the operator typed reaches a shell.
bool RunRedirector(const std::vector<std::string>& args, const QString& workingDirectory) {
    ProcessRequest request;
    request.program = RedirectorTool().toStdString();
    request.args = args;
    request.workingDirectory = workingDirectory.toStdString();
    return RunProcess(request) == 0;
}

QString CleanNumber(const QString& number) {
    int i = 0;
    bool hadZero = false;
    while (i < number.size() && (number[i] == QChar('0') || number[i] == QChar(' '))) {
        hadZero = hadZero || number[i] == QChar('0');
        ++i;
    }
    const QString rest = number.mid(i);
    const bool restIsDigits = !rest.isEmpty() && rest[0].isDigit();
    return (hadZero && !restIsDigits) ? QStringLiteral("0") + rest : rest;
}

}  // namespace

QString CleanLocalIp(const QString& lokalIP) {
    QStringList numbers = lokalIP.split(QChar('.'));
    for (QString& n : numbers) n = CleanNumber(n);
    return numbers.join(QChar('.'));
}

QString RedirectorTool() {
#ifdef _WIN32
    const QString name = QStringLiteral("CprMgrCmd.EXE");
#else
    const QString name = QStringLiteral("cprmgrcmd");
#endif
    const QString beside = QString::fromStdString(ProgramFolder()) + QChar('/') + name;
    const QFileInfo info(beside);
    if (!ProgramFolder().empty() && info.isFile() && info.isExecutable()) return beside;
    return name;
}

void SetupNetLink(bool internet, std::uint8_t sioNr, const QString& hostName, QString& lokalIP,
                  const QString& workingDirectory) {
    // The socket start-up and the test socket of the Windows program have no counterpart here:
    // name resolution needs neither, and there is nothing that could fail in their place.
    const std::string port = std::to_string(sioNr);
    std::string ipText;
    if (internet) {
        const auto address = ResolveHostIpv4(hostName.trimmed().toStdString());
        if (!address) {
            ShowLinkError(QStringLiteral("IP kann nicht ermittelt werden"));
            return;
        }
        ipText = DottedAddress(*address).toStdString();
    } else {
        lokalIP = CleanLocalIp(lokalIP);
        if (lokalIP == QStringLiteral("0.0.0.0")) return;
        ipText = lokalIP.toStdString();
    }
    for (int run = 0; run < 2; ++run) {
        if (!RunRedirector({"remservice", port, "1"}, workingDirectory))
            ShowLinkError(QString::fromUtf8("Service kann nicht gelöscht werden"));
    }
    if (!RunRedirector({"addservice", port, ipText, kServerPort}, workingDirectory))
        ShowLinkError(QStringLiteral("IP kann nicht ermittelt werden"));
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

void ApplyPortSelection(TPcSioDlg& dlg, PortSelectionState& s) {
    s.HostName = dlg.HostName;
    s.SioNr = static_cast<std::uint8_t>(dlg.SioNrUDn->position());
    s.SioObjekt.reset();
    s.Internet = dlg.INetBtn->isChecked() ? 1 : 0;
    s.LokalIP = dlg.LipEdit->text();
    if (s.Internet) SetupNetLink(true, s.SioNr, s.HostName, s.LokalIP, s.workingDirectory);
    // Created even when the link could not be registered: the recovery of the port object
    // registers it again once its sends keep failing.
    s.SioObjekt = std::make_unique<SioPort>(s.SioNr);
}

bool RunPortSelection(TPcSioDlg& dlg, PortSelectionState& s) {
    PreparePortSelection(dlg, s);
    if (dlg.exec() != QDialog::Accepted) return false;
    ApplyPortSelection(dlg, s);
    return true;
}

bool RunPortSelection(PortSelectionState& s) { return PcSioDlg && RunPortSelection(*PcSioDlg, s); }
