#include "dialogs/Displdlg.h"

#include "dialogs/LimitRows.h"

#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "panel/Qtv3590.h"
#include "platform/Help.h"
#include "platform/Windows1252.h"
#include "dialogs/ActiveStation.h"
#include "ui/Messages.h"
#include "ui/NumberText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QPointer>
#include <QShortcut>
#include <array>
#include <string>

TDispDlg* DispDlg = nullptr;

namespace {
// Devices of group '2' number their decimal-point codes 1 and 3 the other way round, and their
// "Fünfer" rounding has the code 5 instead of 3.
bool IsGroup2(const TQTV3590& panel) { return panel.TypGruppe == '2'; }

std::uint8_t SwapForGroup(std::uint8_t code, bool group2) {
    if (!group2) return code;
    if (code == 1) return 3;
    if (code == 3) return 1;
    return code;
}

constexpr int kRowLabelX = 8;
// The form is 28 pixels wider than the Windows original: the stand-ins for Tahoma are wider, and
// "Dimension, Benennung, User" and "Nur Gerade 0,2,4.." must stay whole.
constexpr int kFormWidth = 401;
constexpr int kRowLabelWidth = 172;
constexpr int kRowReadX = 180;
constexpr int kRowValueX = 250;
constexpr int kRowSendX = 328;
constexpr int kRowTop = 136;
constexpr int kRowStep = 28;
constexpr int kButtonW = 64;
constexpr int kButtonH = 25;

int RowY(int row) { return kRowTop + row * kRowStep; }

QRadioButton* AddRadio(QWidget* parent, QButtonGroup* group, const QString& caption, const char* name,
                       int id, int width) {
    auto* r = new QRadioButton(caption, parent);
    r->setObjectName(QString::fromLatin1(name));
    r->setGeometry(10, 20 + id * 24, width, 20);
    group->addButton(r, id);
    return r;
}

QCheckBox* AddCheckBox(QWidget* parent, const char* name, int y) {
    auto* c = new QCheckBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setGeometry(kRowValueX + 28, y + 4, 20, 20);
    return c;
}
}  // namespace

TDispDlg::TDispDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DispDlg"));
    setWindowTitle(QStringLiteral("Anzeige"));
    setFixedSize(kFormWidth, 352);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    setFont(font);

    BuildDecimalPointFrame();
    BuildRoundingFrame();
    BuildRows();
    BuildBottomRow();

    commands_.SetHelpButton(HelpBtn);
    // Until a station outside group '2' has been shown, the clock setting is not offered.
    UzLBtn->setEnabled(false);
    UzSBtn->setEnabled(false);
    UhrCBox->setEnabled(false);

    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &TDispDlg::HelpBtnClick);
}

QPushButton* TDispDlg::AddButton(const QString& caption, const char* name, int x, int y,
                                 void (TDispDlg::*handler)()) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(x, y, kButtonW, kButtonH);
    connect(b, &QPushButton::clicked, this, handler);
    return b;
}

QLineEdit* TDispDlg::AddRowEdit(const char* name, int y, const QString& text) {
    auto* e = new QLineEdit(text, this);
    e->setObjectName(QString::fromLatin1(name));
    e->setGeometry(kRowValueX, y + 2, 72, 21);
    return e;
}

QLabel* TDispDlg::AddRowLabel(const QString& caption, const char* name, int y) {
    auto* l = new QLabel(caption, this);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(kRowLabelX, y + 4, kRowLabelWidth, 17);
    return l;
}

void TDispDlg::BuildDecimalPointFrame() {
    DpGroup = new QGroupBox(QStringLiteral(" Dezimalpunkt "), this);
    DpGroup->setObjectName(QStringLiteral("DpGroup"));
    DpGroup->setGeometry(8, 8, 176, 120);
    DpButtons = new QButtonGroup(this);
    DpRBtn1 = AddRadio(DpGroup, DpButtons, QStringLiteral("XXXX"), "DpRBtn1", 0, 90);
    DpRBtn2 = AddRadio(DpGroup, DpButtons, QStringLiteral("XXX.X"), "DpRBtn2", 1, 90);
    DpRBtn3 = AddRadio(DpGroup, DpButtons, QStringLiteral("XX.XX"), "DpRBtn3", 2, 90);
    DpRBtn4 = AddRadio(DpGroup, DpButtons, QStringLiteral("X.XXX"), "DpRBtn4", 3, 90);
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(11);
    for (auto* r : {DpRBtn1, DpRBtn2, DpRBtn3, DpRBtn4}) r->setFont(bold);
    DpLBtn = AddButton(QStringLiteral("Lesen"), "DpLBtn", 8 + 104, 8 + 28, &TDispDlg::DpLBtnClick);
    DpSBtn = AddButton(QStringLiteral("Senden"), "DpSBtn", 8 + 104, 8 + 68, &TDispDlg::DpSBtnClick);
}

void TDispDlg::BuildRoundingFrame() {
    RdGroup = new QGroupBox(QStringLiteral(" Letzte Stelle "), this);
    RdGroup->setObjectName(QStringLiteral("RdGroup"));
    RdGroup->setGeometry(189, 8, kFormWidth - 197, 120);
    RndButtons = new QButtonGroup(this);
    RndRBtn1 = AddRadio(RdGroup, RndButtons, QStringLiteral("immer 0"), "RndRBtn1", 0, 134);
    RndRBtn2 = AddRadio(RdGroup, RndButtons, QStringLiteral("Normal 0-9"), "RndRBtn2", 1, 134);
    RndRBtn3 = AddRadio(RdGroup, RndButtons, QStringLiteral("Nur Gerade 0,2,4.."), "RndRBtn3", 2, 134);
    RndRBtn4 = AddRadio(RdGroup, RndButtons, QString::fromUtf8("Fünfer 0,5,0"), "RndRBtn4", 3, 134);
    RdLBtn = AddButton(QStringLiteral("Lesen"), "RdLBtn", 189 + 146, 8 + 28, &TDispDlg::RdLBtnClick);
    RdSBtn = AddButton(QStringLiteral("Senden"), "RdSBtn", 189 + 146, 8 + 68, &TDispDlg::RdSBtnClick);
    RdLBtn->resize(56, kButtonH);
    RdSBtn->resize(56, kButtonH);
}

void TDispDlg::BuildRows() {
    MWLabel = AddRowLabel(QString::fromUtf8("Messungen für Durchschnitt"), "MWLabel", RowY(0));
    MWLBtn = AddButton(QStringLiteral("Lesen"), "MWLBtn", kRowReadX, RowY(0), &TDispDlg::MWLBtnClick);
    DsEdit = AddRowEdit("DsEdit", RowY(0), QStringLiteral("0000"));
    MWSBtn = AddButton(QStringLiteral("Senden"), "MWSBtn", kRowSendX, RowY(0), &TDispDlg::MWSBtnClick);

    BnLabel = AddRowLabel(QStringLiteral("Dimension, Benennung, User"), "BnLabel", RowY(1));
    BnLBtn = AddButton(QStringLiteral("Lesen"), "BnLBtn", kRowReadX, RowY(1), &TDispDlg::BnLBtnClick);
    DimEdit = AddRowEdit("DimEdit", RowY(1), QStringLiteral("..."));
    DimEdit->setMaxLength(3);
    BnSBtn = AddButton(QStringLiteral("Senden"), "BnSBtn", kRowSendX, RowY(1), &TDispDlg::BnSBtnClick);

    MxLabel = AddRowLabel(QStringLiteral("Maxwert"), "MxLabel", RowY(2));
    MxLBtn = AddButton(QStringLiteral("Lesen"), "MxLBtn", kRowReadX, RowY(2), &TDispDlg::MxLBtnClick);
    MaxWEdit = AddRowEdit("MaxWEdit", RowY(2), QStringLiteral("0000"));
    MxSBtn = AddButton(QStringLiteral("Senden"), "MxSBtn", kRowSendX, RowY(2), &TDispDlg::MxSBtnClick);

    MnLabel = AddRowLabel(QStringLiteral("Minwert"), "MnLabel", RowY(3));
    MnLBtn = AddButton(QStringLiteral("Lesen"), "MnLBtn", kRowReadX, RowY(3), &TDispDlg::MnLBtnClick);
    MinWEdit = AddRowEdit("MinWEdit", RowY(3), QStringLiteral("0000"));
    MnSBtn = AddButton(QStringLiteral("Senden"), "MnSBtn", kRowSendX, RowY(3), &TDispDlg::MnSBtnClick);

    DzLabel = AddRowLabel(QStringLiteral("Teiler durch 10"), "DzLabel", RowY(4));
    DzLBtn = AddButton(QStringLiteral("Lesen"), "DzLBtn", kRowReadX, RowY(4), &TDispDlg::DzLBtnClick);
    D10CBox = AddCheckBox(this, "D10CBox", RowY(4));
    DzSBtn = AddButton(QStringLiteral("Senden"), "DzSBtn", kRowSendX, RowY(4), &TDispDlg::DzSBtnClick);

    UzLabel = AddRowLabel(QStringLiteral("Uhrzeit zeigen"), "UzLabel", RowY(5));
    UzLBtn = AddButton(QStringLiteral("Lesen"), "UzLBtn", kRowReadX, RowY(5), &TDispDlg::UzLBtnClick);
    UhrCBox = AddCheckBox(this, "UhrCBox", RowY(5));
    UzSBtn = AddButton(QStringLiteral("Senden"), "UzSBtn", kRowSendX, RowY(5), &TDispDlg::UzSBtnClick);
}

void TDispDlg::BuildBottomRow() {
    const int y = 318;
    DspOkBtn = new QPushButton(QStringLiteral("OK"), this);
    DspOkBtn->setObjectName(QStringLiteral("DspOkBtn"));
    DspOkBtn->setGeometry(74, y, 75, kButtonH);
    DspOkBtn->setDefault(true);
    connect(DspOkBtn, &QPushButton::clicked, this, &QDialog::accept);
    CancelBtn = new QPushButton(QStringLiteral("Abbruch"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(163, y, 75, kButtonH);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    HelpBtn = AddButton(QStringLiteral("&Hilfe"), "HelpBtn", 252, y, &TDispDlg::HelpBtnClick);
    HelpBtn->resize(75, kButtonH);
    HelpBtn->setToolTip(QString::fromUtf8("Hilfe für Anzeige"));
}

void TDispDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

// --- Activation --------------------------------------------------------------------------------

void TDispDlg::FormActivate() {
    TQTV3590* panel = ActivePanel();
    if (!panel) return;
    ShowDecimalPoint(panel->Komma, IsGroup2(*panel));
    ShowRounding(panel->Runden);
    DsEdit->setText(QString::number(panel->Mittel));
    DimEdit->setText(panel->GetSBen());
    MaxWEdit->setText(QStringLiteral("    "));
    D10CBox->setChecked(panel->Durch10 != 0);
    UhrCBox->setChecked(true);
    if (!IsGroup2(*panel)) {
        commands_.SetEnabled(UzLBtn, true);
        commands_.SetEnabled(UzSBtn, true);
        UhrCBox->setEnabled(true);
    }
}

void TDispDlg::ShowDecimalPoint(std::uint8_t code, bool group2) {
    DpButtons->button(SwapForGroup(code, group2) & 3)->setChecked(true);
}

void TDispDlg::ShowRounding(std::uint8_t code) {
    // 0, 1 and 2 have a button each; every other code is one of the "Fünfer" codes.
    RndButtons->button(code <= 2 ? code : 3)->setChecked(true);
}

// --- Decimal point and rounding ----------------------------------------------------------------
// Each click takes the station that is active now; its result goes to that station's panel, if
// it is still there, and to the dialog's controls, whatever is active by then.

void TDispDlg::DpLBtnClick() {
    const TQTV3590* panel = ActivePanel();
    if (!panel) return;
    const bool group2 = IsGroup2(*panel);
    commands_.Run(Reading(&ReadKomma), [this, group2](Answer<std::uint8_t> code) {
        if (!code.ok) return ShowTransferError();
        if (commands_.Shows()) ShowDecimalPoint(code.value, group2);
    });
}

void TDispDlg::DpSBtnClick() {
    TQTV3590* panel = ActivePanel();
    if (!panel) return;
    const int position = DpButtons->checkedId();
    const std::uint8_t code = SwapForGroup(static_cast<std::uint8_t>(position < 0 ? 0 : position), IsGroup2(*panel));
    panel->Komma = code;
    commands_.Send(Writing(&WriteKomma, code), [](Answer<std::int32_t> sent) {
        if (!sent.ok) ShowTransferError();
    });
}

void TDispDlg::RdLBtnClick() {
    const QPointer<TQTV3590> panel = ActivePanel();
    if (!panel) return;
    commands_.Run(Reading(&ReadRunden), [this, panel](Answer<std::uint8_t> code) {
        if (!code.ok) return ShowTransferError();
        if (panel) panel->Runden = code.value;
        if (commands_.Shows()) ShowRounding(code.value);
    });
}

void TDispDlg::RdSBtnClick() {
    const TQTV3590* panel = ActivePanel();
    if (!panel) return;
    const int position = RndButtons->checkedId();
    std::uint8_t code = static_cast<std::uint8_t>(position < 0 ? 0 : position);
    if (code == 3 && IsGroup2(*panel)) code = 5;
    commands_.Send(Writing(&WriteRunden, code), [](Answer<std::int32_t> sent) {
        if (!sent.ok) ShowTransferError();
    });
}

// --- Averaging and designation -----------------------------------------------------------------

void TDispDlg::MWLBtnClick() {
    const QPointer<TQTV3590> panel = ActivePanel();
    if (!panel) return;
    commands_.Run(Reading(&ReadMittel), [this, panel](Answer<std::uint16_t> count) {
        if (!count.ok) return ShowTransferError();
        if (panel) panel->Mittel = count.value;
        if (commands_.Shows()) DsEdit->setText(FourDigits(count.value));
    });
}

void TDispDlg::MWSBtnClick() {
    TQTV3590* panel = ActivePanel();
    if (!panel) return;
    const auto number = StrToIntOrComplain(DsEdit->text());
    if (!number) return;
    panel->Mittel = static_cast<std::uint16_t>(*number);
    commands_.Send(Writing(&WriteMittel, panel->Mittel), [](Answer<std::int32_t> sent) {
        if (!sent.ok) ShowTransferError();
    });
}

void TDispDlg::BnLBtnClick() {
    const QPointer<TQTV3590> panel = ActivePanel();
    if (!panel) return;
    commands_.Run(AreaReading<4>(&ReadDTxt), [this, panel](Answer<std::array<std::uint8_t, 4>> area) {
        if (!area.ok) return ShowTransferError();
        // The station's characters are single bytes of Windows-1252, as in the recording files
        // and the configuration file ("€" is 0x80).
        const std::string text(reinterpret_cast<const char*>(area.value.data()));
        const QString benennung = QString::fromStdString(Windows1252ToUtf8(text));
        if (panel) panel->SetSBen(benennung);
        if (commands_.Shows()) DimEdit->setText(benennung);
    });
}

void TDispDlg::BnSBtnClick() {
    if (!ActivePanel()) return;
    // One byte of Windows-1252 per character; WriteDTxt sends the first three.
    const std::string bytes = Utf8ToWindows1252(DimEdit->text().toStdString());
    commands_.Send([bytes] {
        const std::int32_t result = WriteDTxt(bytes);
        return Answer<std::int32_t>{result, result != 0};
    }, [](Answer<std::int32_t> sent) {
        if (!sent.ok) ShowTransferError();
    });
}

// --- Maximum and minimum -----------------------------------------------------------------------

void TDispDlg::MxLBtnClick() { ReadLimitRow(commands_, &ReadMaxWert, MaxWEdit, &SignedFourDigits); }
void TDispDlg::MxSBtnClick() { SendWordRow(commands_, &WriteMaxWert, MaxWEdit); }
void TDispDlg::MnLBtnClick() { ReadLimitRow(commands_, &ReadMinWert, MinWEdit, &SignedFourDigits); }
void TDispDlg::MnSBtnClick() { SendWordRow(commands_, &WriteMinWert, MinWEdit); }

// --- Divide by 10 and time display -------------------------------------------------------------

void TDispDlg::DzLBtnClick() {
    const QPointer<TQTV3590> panel = ActivePanel();
    if (!panel) return;
    commands_.Run(Reading(&ReadDurch10), [this, panel](Answer<std::uint8_t> set) {
        if (!set.ok) return ShowTransferError();
        if (commands_.Shows()) D10CBox->setChecked(set.value == 1);
        if (panel) panel->Durch10 = set.value;
    });
}

void TDispDlg::DzSBtnClick() {
    TQTV3590* panel = ActivePanel();
    if (!panel) return;
    panel->Durch10 = D10CBox->isChecked() ? 1 : 0;
    commands_.Send(Writing(&WriteDurch10, panel->Durch10), [](Answer<std::int32_t> sent) {
        if (!sent.ok) ShowTransferError();
    });
}

void TDispDlg::UzLBtnClick() {
    if (!ActivePanel()) return;
    commands_.Run(Reading(&ReadUShow), [this](Answer<std::uint8_t> shown) {
        if (!shown.ok) return ShowTransferError();
        if (commands_.Shows()) UhrCBox->setChecked(shown.value == 1);
    });
}

void TDispDlg::UzSBtnClick() {
    if (!ActivePanel()) return;
    const std::uint8_t shown = UhrCBox->isChecked() ? 1 : 0;
    commands_.Send(Writing(&WriteUShow, shown), [](Answer<std::int32_t> sent) {
        if (!sent.ok) ShowTransferError();
    });
}

void TDispDlg::HelpBtnClick() { ShowHelpContext(kHelpContext); }
