#include "dialogs/Reldlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QPointer>
#include <QShowEvent>

#include "dialogs/NumberMaskEdit.h"
#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "panel/Qtv3590.h"
#include "platform/Help.h"
#include "dialogs/ActiveStation.h"
#include "ui/Messages.h"
#include "ui/NumberText.h"

TRelDlg* RelDlg = nullptr;

namespace {

void SetEditText(QLineEdit* edit, const QString& text) {
    if (auto* masked = qobject_cast<TNumberMaskEdit*>(edit)) {
        masked->SetWholeText(text);
    } else {
        edit->setText(text);
    }
}

// Each click takes the station that is active now; its result goes to that station's panel, if
// it is still there, and to the dialog's controls.

// Numbers: a good read is kept in the station and shown; a failed one shows " 0000" and keeps
// the station's value.
template <class Field, class Read>
void ReadNumber(DialogCommands& commands, QLineEdit* edit, Read read, Field TQTV3590::*field) {
    const QPointer<TQTV3590> panel = ActivePanel();
    if (!panel) return;
    commands.Run(Reading(read), [&commands, edit, panel, field](auto answer) {
        if (!answer.ok) {
            if (commands.Shows()) SetEditText(edit, QStringLiteral(" 0000"));
            ShowTransferError();
            return;
        }
        const auto value = static_cast<Field>(answer.value);
        if (panel) panel->*field = value;
        if (commands.Shows()) SetEditText(edit, SignedFourDigits(value));
    });
}

// The station keeps what was sent even when the station did not take it.
template <class Field, class Write>
void SendNumber(DialogCommands& commands, const QLineEdit* edit, Write write, Field TQTV3590::*field) {
    TQTV3590* panel = ActivePanel();
    if (!panel) return;
    panel->*field = static_cast<Field>(LenientNumber(edit->text()));
    commands.Send(Writing(write, panel->*field), [](Answer<std::int32_t> sent) {
        if (!sent.ok) ShowTransferError();
    });
}

template <class Read>
void ReadFlag(DialogCommands& commands, QCheckBox* box, Read read, std::uint8_t TQTV3590::*field) {
    const QPointer<TQTV3590> panel = ActivePanel();
    if (!panel) return;
    commands.Run(Reading(read), [&commands, box, panel, field](Answer<std::uint8_t> flag) {
        if (!flag.ok) return ShowTransferError();
        if (commands.Shows()) box->setChecked(flag.value != 0);
        if (panel) panel->*field = flag.value != 0 ? 1 : 0;
    });
}

template <class Write>
void SendFlag(DialogCommands& commands, const QCheckBox* box, Write write, std::uint8_t TQTV3590::*field) {
    TQTV3590* panel = ActivePanel();
    if (!panel) return;
    panel->*field = box->isChecked() ? 1 : 0;
    commands.Send(Writing(write, panel->*field), [](Answer<std::int32_t> sent) {
        if (!sent.ok) ShowTransferError();
    });
}

// The status is only shown, never kept in the station.
template <class Read>
void ReadStatus(DialogCommands& commands, QCheckBox* box, Read read) {
    if (!ActivePanel()) return;
    commands.Run(Reading(read), [&commands, box](Answer<std::uint8_t> flag) {
        if (!flag.ok) return ShowTransferError();
        if (commands.Shows()) box->setChecked(flag.value != 0);
    });
}

template <class Write>
void SendStatus(DialogCommands& commands, const QCheckBox* box, Write write) {
    if (!ActivePanel()) return;
    const std::uint8_t on = box->isChecked() ? 1 : 0;
    commands.Send(Writing(write, on), [](Answer<std::int32_t> sent) {
        if (!sent.ok) ShowTransferError();
    });
}

QPushButton* RowButton(QWidget* parent, const char* caption, int x, int y) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setGeometry(x, y, 50, 22);
    return button;
}

}  // namespace

TRelDlg::TRelDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Relaisfunktionen"));
    QFont form(QStringLiteral("Tahoma"));
    form.setPixelSize(13);
    setFont(form);
    setFixedSize(455, 301);

    GroupBox1 = new QGroupBox(QStringLiteral(" Relais 1 (SP1) "), this);
    GroupBox1->setGeometry(8, 8, 439, 116);
    GroupBox2 = new QGroupBox(QStringLiteral(" Relais 2 (SP2) "), this);
    GroupBox2->setGeometry(8, 132, 439, 116);

    BuildRelay(GroupBox1, true,
               {{&SP1Label, "Schaltpunkt", &S1LBtn, &S1WMEdit, &S1SBtn},
                {&S1HLabel, "Hysterese", &H1LBtn, &S1HMEdit, &H1SBtn},
                {&S1VLabel, "Verzögerung", &V1LBtn, &S1VMEdit, &V1SBtn}},
               {{&Ak1Label, "Aktiv", &A1LBtn, &S1AkCBox, &A1SBtn},
                {&Op1Label, "Öffner", &O1LBtn, &S1OpCBox, &O1SBtn},
                {&St1Label, "Status", &U1LBtn, &S1SCBox, &U1SBtn}});
    BuildRelay(GroupBox2, false,
               {{&Sp2Label, "Schaltpunkt", &S2LBtn, &S2WMEdit, &S2SBtn},
                {&S2HLabel, "Hysterese", &H2LBtn, &S2HMEdit, &H2SBtn},
                {&S2VLabel, "Verzögerung", &V2LBtn, &S2VMEdit, &V2SBtn}},
               {{&Label4, "Aktiv", &A2LBtn, &S2AkCBox, &A2SBtn},
                {&Label5, "Öffner", &O2LBtn, &S2OpCBox, &O2SBtn},
                {&Label6, "Status", &U2LBtn, &S2SCBox, &U2SBtn}});
    BuildButtons();
    Connect();
    commands_.SetHelpButton(HelpBtn);
}

void TRelDlg::BuildRelay(QGroupBox* box, bool masked, const NumberRow (&numbers)[3], const CheckRow (&checks)[3]) {
    for (int i = 0; i < 3; ++i) {
        const int y = 22 + i * 30;
        const NumberRow& n = numbers[i];
        *n.read = RowButton(box, "Lesen", 10, y);
        QLineEdit* edit = masked ? new TNumberMaskEdit(box) : new QLineEdit(box);
        edit->setGeometry(64, y, 50, 22);
        edit->setText(QStringLiteral("0000 "));
        *n.edit = edit;
        *n.send = RowButton(box, "Senden", 118, y);
        // Wide enough for "Verzögerung"; the check rows give up the room on their right.
        *n.label = new QLabel(QString::fromUtf8(n.caption), box);
        (*n.label)->setGeometry(172, y + 3, 78, 16);

        const CheckRow& c = checks[i];
        *c.read = RowButton(box, "Lesen", 254, y);
        *c.box = new QCheckBox(box);
        (*c.box)->setGeometry(310, y + 3, 16, 16);
        *c.send = RowButton(box, "Senden", 330, y);
        *c.label = new QLabel(QString::fromUtf8(c.caption), box);
        (*c.label)->setGeometry(386, y + 3, 48, 16);
    }
}

void TRelDlg::BuildButtons() {
    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setGeometry(112, 264, 75, 25);
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Abbruch"), this);
    CancelBtn->setGeometry(190, 264, 75, 25);
    HelpBtn = new QPushButton(QStringLiteral("&Hilfe"), this);
    HelpBtn->setGeometry(268, 264, 75, 25);
}

void TRelDlg::Connect() {
    const std::pair<QPushButton*, void (TRelDlg::*)()> handlers[] = {
        {S1LBtn, &TRelDlg::S1LBtnClick}, {S1SBtn, &TRelDlg::S1SBtnClick}, {H1LBtn, &TRelDlg::H1LBtnClick},
        {H1SBtn, &TRelDlg::H1SBtnClick}, {V1LBtn, &TRelDlg::V1LBtnClick}, {V1SBtn, &TRelDlg::V1SBtnClick},
        {A1LBtn, &TRelDlg::A1LBtnClick}, {A1SBtn, &TRelDlg::A1SBtnClick}, {O1LBtn, &TRelDlg::O1LBtnClick},
        {O1SBtn, &TRelDlg::O1SBtnClick}, {U1LBtn, &TRelDlg::U1LBtnClick}, {U1SBtn, &TRelDlg::U1SBtnClick},
        {S2LBtn, &TRelDlg::S2LBtnClick}, {S2SBtn, &TRelDlg::S2SBtnClick}, {H2LBtn, &TRelDlg::H2LBtnClick},
        {H2SBtn, &TRelDlg::H2SBtnClick}, {V2LBtn, &TRelDlg::V2LBtnClick}, {V2SBtn, &TRelDlg::V2SBtnClick},
        {A2LBtn, &TRelDlg::A2LBtnClick}, {A2SBtn, &TRelDlg::A2SBtnClick}, {O2LBtn, &TRelDlg::O2LBtnClick},
        {O2SBtn, &TRelDlg::O2SBtnClick}, {U2LBtn, &TRelDlg::U2LBtnClick}, {U2SBtn, &TRelDlg::U2SBtnClick},
        {OkBtn, &TRelDlg::OkBtnClick},   {HelpBtn, &TRelDlg::HelpBtnClick},
    };
    for (const auto& [button, handler] : handlers) connect(button, &QPushButton::clicked, this, handler);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TRelDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TRelDlg::FormActivate() {
    const TQTV3590* panel = ActivePanel();
    if (!panel) return;
    SetEditText(S1WMEdit, SignedFourDigits(panel->SP1Wert));
    SetEditText(S1HMEdit, SignedFourDigits(panel->SP1Hyst));
    SetEditText(S1VMEdit, SignedFourDigits(panel->SP1Verz));
    SetEditText(S2WMEdit, SignedFourDigits(panel->SP2Wert));
    SetEditText(S2HMEdit, SignedFourDigits(panel->SP2Hyst));
    SetEditText(S2VMEdit, SignedFourDigits(panel->SP2Verz));
    S1AkCBox->setChecked(panel->SP1Aktiv != 0);
    S1OpCBox->setChecked(panel->SP1Funk != 0);
    S2AkCBox->setChecked(panel->SP2Aktiv != 0);
    S2OpCBox->setChecked(panel->SP2Funk != 0);
}

void TRelDlg::S1LBtnClick() { ReadNumber(commands_, S1WMEdit, ReadSP1Wert, &TQTV3590::SP1Wert); }
void TRelDlg::S1SBtnClick() { SendNumber(commands_, S1WMEdit, WriteSP1Wert, &TQTV3590::SP1Wert); }
void TRelDlg::H1LBtnClick() { ReadNumber(commands_, S1HMEdit, ReadSP1Hyst, &TQTV3590::SP1Hyst); }
void TRelDlg::H1SBtnClick() { SendNumber(commands_, S1HMEdit, WriteSP1Hyst, &TQTV3590::SP1Hyst); }
void TRelDlg::V1LBtnClick() { ReadNumber(commands_, S1VMEdit, ReadSP1Verz, &TQTV3590::SP1Verz); }
void TRelDlg::V1SBtnClick() { SendNumber(commands_, S1VMEdit, WriteSP1Verz, &TQTV3590::SP1Verz); }
void TRelDlg::A1LBtnClick() { ReadFlag(commands_, S1AkCBox, ReadSP1Aktiv, &TQTV3590::SP1Aktiv); }
void TRelDlg::A1SBtnClick() { SendFlag(commands_, S1AkCBox, WriteSP1Aktiv, &TQTV3590::SP1Aktiv); }
void TRelDlg::O1LBtnClick() { ReadFlag(commands_, S1OpCBox, ReadSP1Funk, &TQTV3590::SP1Funk); }
void TRelDlg::O1SBtnClick() { SendFlag(commands_, S1OpCBox, WriteSP1Funk, &TQTV3590::SP1Funk); }
void TRelDlg::U1LBtnClick() { ReadStatus(commands_, S1SCBox, ReadSP1Status); }
void TRelDlg::U1SBtnClick() { SendStatus(commands_, S1SCBox, WriteSP1Status); }

void TRelDlg::S2LBtnClick() { ReadNumber(commands_, S2WMEdit, ReadSP2Wert, &TQTV3590::SP2Wert); }
void TRelDlg::S2SBtnClick() { SendNumber(commands_, S2WMEdit, WriteSP2Wert, &TQTV3590::SP2Wert); }
void TRelDlg::H2LBtnClick() { ReadNumber(commands_, S2HMEdit, ReadSP2Hyst, &TQTV3590::SP2Hyst); }
void TRelDlg::H2SBtnClick() { SendNumber(commands_, S2HMEdit, WriteSP2Hyst, &TQTV3590::SP2Hyst); }
void TRelDlg::V2LBtnClick() { ReadNumber(commands_, S2VMEdit, ReadSP2Verz, &TQTV3590::SP2Verz); }
void TRelDlg::V2SBtnClick() { SendNumber(commands_, S2VMEdit, WriteSP2Verz, &TQTV3590::SP2Verz); }
void TRelDlg::A2LBtnClick() { ReadFlag(commands_, S2AkCBox, ReadSP2Aktiv, &TQTV3590::SP2Aktiv); }
void TRelDlg::A2SBtnClick() { SendFlag(commands_, S2AkCBox, WriteSP2Aktiv, &TQTV3590::SP2Aktiv); }
void TRelDlg::O2LBtnClick() { ReadFlag(commands_, S2OpCBox, ReadSP2Funk, &TQTV3590::SP2Funk); }
void TRelDlg::O2SBtnClick() { SendFlag(commands_, S2OpCBox, WriteSP2Funk, &TQTV3590::SP2Funk); }
void TRelDlg::U2LBtnClick() { ReadStatus(commands_, S2SCBox, ReadSP2Status); }
void TRelDlg::U2SBtnClick() { SendStatus(commands_, S2SCBox, WriteSP2Status); }

// The opener flags are kept on OK even though nothing is sent; the active flags are not.
void TRelDlg::OkBtnClick() {
    if (TQTV3590* panel = ActivePanel()) {
        panel->SP1Funk = S1OpCBox->isChecked() ? 1 : 0;
        panel->SP2Funk = S2OpCBox->isChecked() ? 1 : 0;
    }
    accept();
}

void TRelDlg::HelpBtnClick() { ShowHelpContext(kHelpContext); }
