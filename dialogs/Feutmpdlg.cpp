#include "dialogs/Feutmpdlg.h"

#include <QFont>
#include <QFrame>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include "link/SioPort.h"
#include "link/Telegram.h"
#include "panel/Qtv3590.h"
#include "platform/Help.h"
#include "dialogs/ActiveStation.h"
#include "ui/Messages.h"

TFeuTempDlg* FeuTempDlg = nullptr;

namespace {
// The device keeps its kind where other devices keep the display range start.
constexpr std::uint8_t kReadABAnf = 0x42;
constexpr std::uint8_t kWriteABAnf = 0xC2;
}  // namespace

TFeuTempDlg::TFeuTempDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Gewünschte Messart"));
    setFixedSize(285, 185);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    setFont(font);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 265, 137);
    FTLBtn = new QPushButton(QStringLiteral("Lesen"), this);
    FTLBtn->setGeometry(40, 32, 75, 25);
    FTSBtn = new QPushButton(QStringLiteral("Schreiben"), this);
    FTSBtn->setGeometry(40, 104, 75, 25);
    FeuchteBtn = new QRadioButton(QStringLiteral("relative Feuchte"), this);
    FeuchteBtn->setGeometry(144, 36, 124, 17);
    TempBtn = new QRadioButton(QStringLiteral("Temperatur"), this);
    TempBtn->setGeometry(144, 72, 124, 17);
    TauBtn = new QRadioButton(QStringLiteral("Taupunkt"), this);
    TauBtn->setGeometry(144, 108, 124, 17);

    FeuOkBtn = new QPushButton(QStringLiteral("OK"), this);
    FeuOkBtn->setGeometry(24, 152, 75, 25);
    FeuOkBtn->setDefault(true);
    FeuCanBtn = new QPushButton(QStringLiteral("Abbruch"), this);
    FeuCanBtn->setGeometry(105, 152, 75, 25);
    FeuHelpBtn = new QPushButton(QStringLiteral("Hilfe"), this);
    FeuHelpBtn->setGeometry(186, 152, 75, 25);

    FeuchteBtn->setChecked(true);
    connect(FTLBtn, &QPushButton::clicked, this, [this] { FTLBtnClick(); });
    connect(FTSBtn, &QPushButton::clicked, this, [this] { FTSBtnClick(); });
    connect(FeuOkBtn, &QPushButton::clicked, this, [this] { FeuOkBtnClick(); });
    connect(FeuCanBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(FeuHelpBtn, &QPushButton::clicked, this, [this] { FeuHelpBtnClick(); });
    commands_.SetHelpButton(FeuHelpBtn);
}

void TFeuTempDlg::CheckKind(int kind) {
    QRadioButton* const buttons[] = {FeuchteBtn, TempBtn, TauBtn};
    QRadioButton* const chosen = kind == 1 ? TempBtn : kind == 2 ? TauBtn : FeuchteBtn;
    for (QRadioButton* b : buttons) {
        // An exclusive radio button cannot be unchecked directly.
        b->setAutoExclusive(false);
        b->setChecked(b == chosen);
        b->setAutoExclusive(true);
    }
}

int TFeuTempDlg::CheckedKind() const {
    if (TauBtn->isChecked()) return 2;
    if (TempBtn->isChecked()) return 1;
    return 0;
}

void TFeuTempDlg::ShowKind(int abAnf) { CheckKind(abAnf); }

// Without a port object (the port dialog not confirmed in this run) there is no way to the
// station: the operator sees the transfer error and nothing changes. The port object belongs to
// the bus's thread, so whether there is one is asked there.
void TFeuTempDlg::FTLBtnClick() {
    const QPointer<TQTV3590> panel = ActivePanel();
    if (!panel) return;
    const auto address = static_cast<std::uint8_t>(panel->StatAdr);
    const auto read = [address] {
        SioPort* port = PortObject();
        if (!port) return Answer<std::uint8_t>{};
        port->Buffer[0] = STX;
        port->Buffer[1] = address;
        port->Buffer[2] = 4;
        port->Buffer[3] = kReadABAnf;
        if (port->Exchange() == 0) return Answer<std::uint8_t>{};
        return Answer<std::uint8_t>{port->Buffer[SioPort::kAnswer + 4], true};  // the low data byte
    };
    commands_.Run(read, [this, panel](Answer<std::uint8_t> kind) {
        if (!kind.ok) return ShowTransferError();
        if (panel) panel->ABAnf = kind.value;
        if (commands_.Shows()) CheckKind(kind.value & 3);  // 3 names no kind: shown as relative humidity, kept as it came
    });
}

void TFeuTempDlg::FTSBtnClick() {
    const QPointer<TQTV3590> panel = ActivePanel();
    if (!panel) return;
    const std::int16_t before = panel->ABAnf;
    panel->ABAnf = static_cast<std::int16_t>(CheckedKind());
    const auto address = static_cast<std::uint8_t>(panel->StatAdr);
    const auto kind = static_cast<std::uint8_t>(panel->ABAnf);
    struct Sent {
        bool portThere = false;
        bool taken = false;
    };
    const auto write = [address, kind] {
        SioPort* port = PortObject();
        if (!port) return Sent{};
        port->Buffer[2] = 6;
        port->Buffer[4] = 0;
        port->Buffer[5] = kind;
        return Sent{true, port->Command(kWriteABAnf, address)};
    };
    commands_.Send(write, [panel, before](const Sent& sent) {
        // Without a port object nothing was sent, and the station's kind stays as it was.
        if (!sent.portThere && panel) panel->ABAnf = before;
        if (!sent.taken) ShowTransferError();
    });
}

void TFeuTempDlg::FeuOkBtnClick() {
    if (TQTV3590* panel = ActivePanel()) panel->ABAnf = static_cast<std::int16_t>(CheckedKind());
    accept();
}

void TFeuTempDlg::FeuHelpBtnClick() { ShowHelpContext(kHelpContext); }
