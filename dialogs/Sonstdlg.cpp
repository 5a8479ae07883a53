#include "dialogs/Sonstdlg.h"

#include "dialogs/LimitRows.h"

#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "platform/Help.h"
#include "dialogs/ActiveStation.h"
#include "ui/Messages.h"
#include "ui/NumberText.h"

#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QShortcut>

TSonsDlg* SonsDlg = nullptr;

namespace {
// Room for every text the dialog itself puts in: a sign place and four digits (" 0000",
// "-0012", " ????"), five digits ("65535"), or a sign and five digits ("-32768").
constexpr int kEditLength = 6;

// The operator types digits and blanks, and a sign where the value is signed. The '?' of a
// failed read stays editable, so that it can be overwritten digit by digit.
QValidator* TypedCharacters(QObject* parent, bool signedValue) {
    const QString pattern = signedValue ? QStringLiteral("[ 0-9+\\-?]{0,6}") : QStringLiteral("[ 0-9?]{0,6}");
    return new QRegularExpressionValidator(QRegularExpression(pattern), parent);
}

std::int32_t WritePulses(std::uint16_t value) { return WriteEVar(static_cast<std::int16_t>(value)); }

constexpr int kReadX = 8;
constexpr int kEditX = 80;
constexpr int kSendX = 150;
constexpr int kLabelX = 222;
constexpr int kRowTop = 16;
constexpr int kRowStep = 40;
}  // namespace

TSonsDlg::TSonsDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SonsDlg"));
    setWindowTitle(QStringLiteral("Sonstige Funktionen"));
    // 29 pixels wider than the Windows original, so that "Impulse/Umdrehungen" stays whole in
    // the wider stand-ins for Tahoma.
    setFixedSize(362, 190);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    setFont(font);

    const int y0 = kRowTop, y1 = kRowTop + kRowStep, y2 = kRowTop + 2 * kRowStep;
    MaxLBtn = AddButton(QStringLiteral("Lesen"), "MaxLBtn", kReadX, y0, &TSonsDlg::MaxLBtnClick);
    MaxMEdit = AddEdit("MaxMEdit", y0, QStringLiteral("0000"), true);
    MaxSBtn = AddButton(QStringLiteral("Senden"), "MaxSBtn", kSendX, y0, &TSonsDlg::MaxSBtnClick);
    Label1 = AddLabel(QStringLiteral("Maximalwert"), "Label1", y0);

    MinLBtn = AddButton(QStringLiteral("Lesen"), "MinLBtn", kReadX, y1, &TSonsDlg::MinLBtnClick);
    MinMEdit = AddEdit("MinMEdit", y1, QStringLiteral("     "), true);
    MinSBtn = AddButton(QStringLiteral("Senden"), "MinSBtn", kSendX, y1, &TSonsDlg::MinSBtnClick);
    Label2 = AddLabel(QStringLiteral("Minimalwert"), "Label2", y1);

    EVLBtn = AddButton(QStringLiteral("Lesen"), "EVLBtn", kReadX, y2, &TSonsDlg::EVLBtnClick);
    EVMEdit = AddEdit("EVMEdit", y2, QStringLiteral("0000"), false);
    EVSBtn = AddButton(QStringLiteral("Senden"), "EVSBtn", kSendX, y2, &TSonsDlg::EVSBtnClick);
    Label3 = AddLabel(QStringLiteral("Impulse/Umdrehungen"), "Label3", y2);

    CloseBtn = AddButton(QString::fromUtf8("Schließen"), "CloseBtn", 94, 150, &TSonsDlg::CloseBtnClick);
    CloseBtn->resize(80, 25);
    HelpBtn = AddButton(QStringLiteral("Hilfe"), "HelpBtn", 186, 150, &TSonsDlg::HelpBtnClick);
    HelpBtn->resize(80, 25);
    // Enter asks for help while no button has the focus; a focused button it presses.
    HelpBtn->setDefault(true);
    commands_.SetHelpButton(HelpBtn);

    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &TSonsDlg::HelpBtnClick);
}

QPushButton* TSonsDlg::AddButton(const QString& caption, const char* name, int x, int y,
                                 void (TSonsDlg::*handler)()) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(x, y, 64, 25);
    connect(b, &QPushButton::clicked, this, handler);
    return b;
}

QLineEdit* TSonsDlg::AddEdit(const char* name, int y, const QString& text, bool signedValue) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    e->setGeometry(kEditX, y + 2, 62, 21);
    e->setMaxLength(kEditLength);
    e->setValidator(TypedCharacters(e, signedValue));
    e->setText(text);
    return e;
}

QLabel* TSonsDlg::AddLabel(const QString& caption, const char* name, int y) {
    auto* l = new QLabel(caption, this);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(kLabelX, y + 4, 134, 17);
    return l;
}

// --- Rows --------------------------------------------------------------------------------------

void TSonsDlg::MaxLBtnClick() { ReadLimitRow(commands_, &ReadMaxWert, MaxMEdit, &FourDigits); }
void TSonsDlg::MaxSBtnClick() { SendWordRow(commands_, &WriteMaxWert, MaxMEdit); }
void TSonsDlg::MinLBtnClick() { ReadLimitRow(commands_, &ReadMinWert, MinMEdit, &FourDigits); }
void TSonsDlg::MinSBtnClick() { SendWordRow(commands_, &WriteMinWert, MinMEdit); }

void TSonsDlg::EVLBtnClick() {
    if (!ActivePanel()) return;
    commands_.Run(AreaReading<3>(&ReadEVar), [this](Answer<std::array<std::uint8_t, 3>> area) {
        if (!area.ok) {
            if (commands_.Shows()) EVMEdit->setText(QStringLiteral(" ????"));
            ShowTransferError();
            return;
        }
        // unsigned: 0x3F is a byte like any other
        if (commands_.Shows()) EVMEdit->setText(FourDigits((area.value[0] << 8) | area.value[1]));
    });
}

void TSonsDlg::EVSBtnClick() { SendWordRow(commands_, &WritePulses, EVMEdit); }

void TSonsDlg::CloseBtnClick() { reject(); }

void TSonsDlg::HelpBtnClick() { ShowHelpContext(kHelpContext); }
