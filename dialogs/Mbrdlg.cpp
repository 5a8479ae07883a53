#include "dialogs/Mbrdlg.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QPointer>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "dialogs/NumberMaskEdit.h"
#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "panel/Qtv3590.h"
#include "platform/Help.h"
#include "dialogs/ActiveStation.h"
#include "ui/Messages.h"
#include "ui/NumberText.h"

TMBrDlg* MBrDlg = nullptr;

namespace {

constexpr std::uint8_t kNoValue = 0x3F;  // '?': the station has no value for this range
const char* const kIdleLabel = "---------";

bool IsCounterType(std::uint16_t typ) {
    const std::uint8_t low = typ & 0xFF;
    return low == 0x80 || low == 0x85;
}

void SetEditText(QLineEdit* edit, const QString& text) { static_cast<TNumberMaskEdit*>(edit)->SetWholeText(text); }

// The station answers high byte first; the value is a signed 16-bit number. The result goes to
// the panel of the station that was active at the click, if it is still there.
template <class Read>
void ReadRange(DialogCommands& commands, QLineEdit* edit, Read read, std::int16_t TQTV3590::*field) {
    const QPointer<TQTV3590> panel = ActivePanel();
    if (!panel) return;
    commands.Run(AreaReading<4>(read), [&commands, edit, panel, field](Answer<std::array<std::uint8_t, 4>> area) {
        const bool shows = commands.Shows();
        if (!area.ok) {
            if (shows) SetEditText(edit, QStringLiteral(" ????"));
            ShowTransferError();
        } else if (area.value[0] == kNoValue) {
            if (shows) SetEditText(edit, QStringLiteral(" 0000"));
        } else {
            const auto value = static_cast<std::int16_t>((area.value[0] << 8) | area.value[1]);
            if (panel) panel->*field = value;
            if (shows) SetEditText(edit, SignedFourDigits(value));
        }
    });
}

// The station keeps what was sent even when the station did not take it.
template <class Write>
void SendRange(DialogCommands& commands, const QLineEdit* edit, Write write, std::int16_t TQTV3590::*field) {
    TQTV3590* panel = ActivePanel();
    if (!panel) return;
    panel->*field = static_cast<std::int16_t>(LenientNumber(edit->text()));
    commands.Send(Writing(write, static_cast<std::uint16_t>(panel->*field)), [](Answer<std::int32_t> sent) {
        if (!sent.ok) ShowTransferError();
    });
}

QPushButton* RowButton(QWidget* parent, const char* caption, int x, int y) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setGeometry(x, y, 50, 22);
    return button;
}

}  // namespace

TMBrDlg::TMBrDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Messbereich"));
    QFont form(QStringLiteral("Tahoma"));
    form.setPixelSize(13);
    setFont(form);
    // 20 pixels wider than the Windows original, so that "Anzeigebereichsanfang" stays whole in
    // the wider stand-ins for Tahoma.
    setFixedSize(316, 220);
    BuildRows();
    BuildButtons();
    Connect();
    commands_.SetHelpButton(HelpBtn);
    commands_.SetEscapeCloses(false);
}

void TMBrDlg::BuildRows() {
    struct Row {
        QPushButton** read;
        QLineEdit** edit;
        QPushButton** send;
        QLabel** label;
    };
    const Row rows[] = {{&MBALBtn, &MBAMEdit, &MBASBtn, &MBALabel},
                        {&MBELBtn, &MBEMEdit, &MBESBtn, &MBELabel},
                        {&ABALBtn, &ABAMEdit, &ABASBtn, &ABALabel},
                        {&ABELBtn, &ABEMEdit, &ABESBtn, &ABELabel},
                        {&SoMLBtn, nullptr, &SoMSBtn, &SoMLabel}};
    QFont editFont(QStringLiteral("MS Sans Serif"));
    editFont.setPixelSize(13);
    int y = 10;
    for (const Row& row : rows) {
        *row.read = RowButton(this, "Lesen", 8, y);
        if (row.edit) {
            auto* edit = new TNumberMaskEdit(this);
            edit->setFont(editFont);
            edit->setGeometry(62, y, 50, 22);
            edit->setText(QStringLiteral("     "));
            *row.edit = edit;
        } else {
            SoMCBox = new QCheckBox(QStringLiteral(" "), this);
            SoMCBox->setGeometry(80, y + 3, 20, 16);
        }
        *row.send = RowButton(this, "Senden", 116, y);
        *row.label = new QLabel(this);
        (*row.label)->setGeometry(172, y + 3, 138, 16);
        y += 32;
    }
    SetCounterLayout(false);
}

void TMBrDlg::BuildButtons() {
    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setGeometry(38, 182, 75, 25);
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Abbruch"), this);
    CancelBtn->setGeometry(120, 182, 75, 25);
    HelpBtn = new QPushButton(QStringLiteral("Hilfe"), this);
    HelpBtn->setGeometry(202, 182, 75, 25);
}

void TMBrDlg::Connect() {
    const std::pair<QPushButton*, void (TMBrDlg::*)()> handlers[] = {
        {MBALBtn, &TMBrDlg::MBALBtnClick}, {MBASBtn, &TMBrDlg::MBASBtnClick}, {MBELBtn, &TMBrDlg::MBELBtnClick},
        {MBESBtn, &TMBrDlg::MBESBtnClick}, {ABALBtn, &TMBrDlg::ABALBtnClick}, {ABASBtn, &TMBrDlg::ABASBtnClick},
        {ABELBtn, &TMBrDlg::ABELBtnClick}, {ABESBtn, &TMBrDlg::ABESBtnClick}, {SoMLBtn, &TMBrDlg::SoMLBtnClick},
        {SoMSBtn, &TMBrDlg::SoMSBtnClick}, {HelpBtn, &TMBrDlg::HelpBtnClick},
    };
    for (const auto& [button, handler] : handlers) connect(button, &QPushButton::clicked, this, handler);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TMBrDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TMBrDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        HelpBtn->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TMBrDlg::FormActivate() {
    const TQTV3590* panel = ActivePanel();
    if (!panel) return;
    SetEditText(MBAMEdit, SignedFourDigits(panel->MBAnf));
    SetEditText(MBEMEdit, SignedFourDigits(panel->MBEnd));
    SetEditText(ABAMEdit, SignedFourDigits(panel->ABAnf));
    SetEditText(ABEMEdit, SignedFourDigits(panel->ABEnd));
    SoMCBox->setChecked(panel->SoMess != 0);
    SetCounterLayout(IsCounterType(panel->GetSTyp()));
}

void TMBrDlg::SetCounterLayout(bool counter) {
    for (QWidget* w : std::initializer_list<QWidget*>{MBELBtn, MBESBtn, ABELBtn, ABESBtn, SoMLBtn, SoMSBtn, MBEMEdit,
                                                      ABEMEdit}) {
        commands_.SetEnabled(w, !counter);
    }
    SoMCBox->setVisible(!counter);
    const QString idle = QString::fromUtf8(kIdleLabel);
    MBALabel->setText(QString::fromUtf8(counter ? "Zählerstand" : "Messbereichsanfang"));
    MBELabel->setText(counter ? idle : QStringLiteral("Messbereichsende"));
    ABALabel->setText(counter ? QStringLiteral("Richtung") : QStringLiteral("Anzeigebereichsanfang"));
    ABELabel->setText(counter ? idle : QStringLiteral("Anzeigebereichsende"));
    SoMLabel->setText(counter ? idle : QStringLiteral("Sondermessung aktiv"));
}

void TMBrDlg::MBALBtnClick() { ReadRange(commands_, MBAMEdit, ReadMBAnf, &TQTV3590::MBAnf); }
void TMBrDlg::MBASBtnClick() { SendRange(commands_, MBAMEdit, WriteMBAnf, &TQTV3590::MBAnf); }
void TMBrDlg::MBELBtnClick() { ReadRange(commands_, MBEMEdit, ReadMBEnd, &TQTV3590::MBEnd); }
void TMBrDlg::MBESBtnClick() { SendRange(commands_, MBEMEdit, WriteMBEnd, &TQTV3590::MBEnd); }
void TMBrDlg::ABALBtnClick() { ReadRange(commands_, ABAMEdit, ReadABAnf, &TQTV3590::ABAnf); }
void TMBrDlg::ABASBtnClick() { SendRange(commands_, ABAMEdit, WriteABAnf, &TQTV3590::ABAnf); }
void TMBrDlg::ABELBtnClick() { ReadRange(commands_, ABEMEdit, ReadABEnd, &TQTV3590::ABEnd); }
void TMBrDlg::ABESBtnClick() { SendRange(commands_, ABEMEdit, WriteABEnd, &TQTV3590::ABEnd); }

// A read only shows the flag; the station keeps it only when it is sent.
void TMBrDlg::SoMLBtnClick() {
    if (!ActivePanel()) return;
    commands_.Run(Reading(&ReadSoMess), [this](Answer<std::uint8_t> flag) {
        if (!flag.ok) return ShowTransferError();
        if (commands_.Shows()) SoMCBox->setChecked(flag.value != 0);
    });
}

void TMBrDlg::SoMSBtnClick() {
    TQTV3590* panel = ActivePanel();
    if (!panel) return;
    panel->SoMess = SoMCBox->isChecked() ? 1 : 0;
    commands_.Send(Writing(&WriteSoMess, panel->SoMess), [](Answer<std::int32_t> sent) {
        if (!sent.ok) ShowTransferError();
    });
}

void TMBrDlg::HelpBtnClick() { ShowHelpContext(kHelpContext); }
