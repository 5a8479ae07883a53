#include "dialogs/Rtcdlg.h"

#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "platform/Clock.h"
#include "platform/Help.h"
#include "dialogs/ActiveStation.h"
#include "ui/Messages.h"
#include "ui/UpDown.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

TRtcDlg* RtcDlg = nullptr;

namespace {
// Optional digit, required digit, separator: the operator may leave a tens digit blank.
const QString kDateMask = QStringLiteral("09.09.09;_");
const QString kTimeMask = QStringLiteral("09:99:99;_");
constexpr QChar kMaskBlank = QChar('_');
constexpr int kClockLength = 8;

const char* const kWeekdays[7] = {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"};

// A BCD byte as two characters: '0' plus each half, so 0x26 gives "26" and 0xFF gives "??".
void PutBcd(QString& text, int position, std::uint8_t byte) {
    text[position] = QChar(0x30 + (byte >> 4));
    text[position + 1] = QChar(0x30 + (byte & 0x0F));
}

QString TwoDigits(int n) { return QStringLiteral("%1").arg(n % 100, 2, 10, QChar('0')); }

// The edit keeps its mask while the text fits it. A text the mask would mangle (the "??" of a
// failed read) is shown as it is, without the mask, until a fitting text comes again.
void SetClockText(QLineEdit* edit, const QString& mask, const QString& text) {
    edit->setInputMask(mask);
    edit->setText(text);
    if (edit->displayText() == text) return;
    edit->setInputMask(QString());
    edit->setMaxLength(kClockLength);
    edit->setText(text);
}
}  // namespace

TRtcDlg::TRtcDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RtcDlg"));
    setWindowTitle(QStringLiteral("Real Time Clock"));
    setFixedSize(292, 269);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    setFont(font);

    BuildDateRows();
    BuildTimeRows();
    BuildButtons();
    commands_.SetHelpButton(HelpBtn);

    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &TRtcDlg::HelpBtnClick);
    DatumMEdit->installEventFilter(this);
    ZeitMEdit->installEventFilter(this);
}

// An edit that shows a failed read without its mask takes the mask back with the operator's
// first key, so that what is typed is digits in their places, never the letters of a "??".
bool TRtcDlg::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (event->type() == QEvent::KeyPress && edit && (edit == DatumMEdit || edit == ZeitMEdit) &&
        edit->inputMask().isEmpty()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool typing = (!key->text().isEmpty() && key->text()[0].isPrint()) ||
                            key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete;
        if (typing) {
            const int cursor = edit->cursorPosition();
            const QString text = edit->text();
            edit->setInputMask(edit == DatumMEdit ? kDateMask : kTimeMask);
            edit->setText(text);
            edit->setCursorPosition(cursor);
        }
    }
    return QDialog::eventFilter(watched, event);
}

QPushButton* TRtcDlg::AddButton(const QString& caption, const char* name, int x, int y, int w) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(x, y, w, 25);
    return b;
}

QLabel* TRtcDlg::AddLabel(const QString& caption, const char* name, int y) {
    auto* l = new QLabel(caption, this);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(12, y + 2, 56, 17);
    return l;
}

void TRtcDlg::BuildDateRows() {
    Label1 = AddLabel(QStringLiteral("Datum"), "Label1", 18);
    DatumMEdit = new QLineEdit(this);
    DatumMEdit->setObjectName(QStringLiteral("DatumMEdit"));
    DatumMEdit->setGeometry(72, 18, 84, 21);
    SetClockText(DatumMEdit, kDateMask, QStringLiteral("00.00.00"));
    DaRdBtn = AddButton(QStringLiteral("&Lesen"), "DaRdBtn", 192, 16, 88);
    connect(DaRdBtn, &QPushButton::clicked, this, &TRtcDlg::DaRdBtnClick);

    Label3 = AddLabel(QStringLiteral("Tag"), "Label3", 50);
    WoTaCoBox = new QComboBox(this);
    WoTaCoBox->setObjectName(QStringLiteral("WoTaCoBox"));
    WoTaCoBox->setEditable(true);
    WoTaCoBox->setInsertPolicy(QComboBox::NoInsert);  // a typed name is not a new weekday
    for (const char* day : kWeekdays) WoTaCoBox->addItem(QString::fromLatin1(day));
    WoTaCoBox->setGeometry(72, 50, 110, 21);
    SelectWeekday(0);
    DaWrBtn = AddButton(QStringLiteral("&Senden"), "DaWrBtn", 192, 48, 88);
    connect(DaWrBtn, &QPushButton::clicked, this, &TRtcDlg::DaWrBtnClick);
}

void TRtcDlg::BuildTimeRows() {
    Label2 = AddLabel(QStringLiteral("Uhrzeit"), "Label2", 98);
    ZeitMEdit = new QLineEdit(this);
    ZeitMEdit->setObjectName(QStringLiteral("ZeitMEdit"));
    ZeitMEdit->setGeometry(72, 98, 84, 21);
    SetClockText(ZeitMEdit, kTimeMask, QStringLiteral("12:00:00"));
    UhRdBtn = AddButton(QStringLiteral("L&esen"), "UhRdBtn", 192, 96, 88);
    connect(UhRdBtn, &QPushButton::clicked, this, &TRtcDlg::UhRdBtnClick);

    Label4 = AddLabel(QStringLiteral("Zyklus"), "Label4", 130);
    ZyklMEdit = new QLineEdit(this);
    ZyklMEdit->setObjectName(QStringLiteral("ZyklMEdit"));
    ZyklMEdit->setGeometry(72, 130, 40, 21);
    ZyklMEdit->setInputMask(QStringLiteral("000"));  // three optional digits
    ZyklMEdit->setText(QStringLiteral("0  "));
    ZyUpDn = new TUpDown(this);
    ZyUpDn->setObjectName(QStringLiteral("ZyUpDn"));
    ZyUpDn->setRange(0, 255);
    ZyUpDn->setWrap(true);
    ZyUpDn->setPosition(0);
    ZyUpDn->setAssociate(ZyklMEdit);
    connect(ZyklMEdit, &QLineEdit::textChanged, this, &TRtcDlg::ZyklMEditChange);
    UhWrBtn = AddButton(QStringLiteral("Se&nden"), "UhWrBtn", 192, 128, 88);
    connect(UhWrBtn, &QPushButton::clicked, this, &TRtcDlg::UhWrBtnClick);
}

void TRtcDlg::BuildButtons() {
    PcUhrBtn = AddButton(QString::fromUtf8("&PC Zeit und Datum übernehmen"), "PcUhrBtn", 12, 176, 268);
    connect(PcUhrBtn, &QPushButton::clicked, this, &TRtcDlg::PcUhrBtnClick);
    OkBtn = AddButton(QStringLiteral("&OK"), "OkBtn", 12, 232, 84);
    OkBtn->setDefault(true);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    CancelBtn = AddButton(QStringLiteral("Abbruch"), "CancelBtn", 104, 232, 84);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    HelpBtn = AddButton(QStringLiteral("&Hilfe"), "HelpBtn", 196, 232, 84);
    connect(HelpBtn, &QPushButton::clicked, this, &TRtcDlg::HelpBtnClick);
}

QString TRtcDlg::EightPositions(const QLineEdit* edit) {
    QString text = edit->text();
    if (!edit->inputMask().isEmpty()) text = edit->displayText().replace(kMaskBlank, QChar(' '));
    return text.leftJustified(kClockLength, QChar(' '), true);
}

int TRtcDlg::Digit(int position) const { return WorkText[position].unicode() & 0x0F; }

void TRtcDlg::SelectWeekday(int index) {
    WoTaCoBox->setCurrentIndex(index);
    WoTaCoBox->setEditText(WoTaCoBox->itemText(index));  // also over a name the operator typed
}

std::uint8_t TRtcDlg::WeekdayIndex() const {
    const QString name = WoTaCoBox->currentText();
    for (int i = 0; i < 7; ++i)
        if (name.compare(QString::fromLatin1(kWeekdays[i]), Qt::CaseInsensitive) == 0)
            return static_cast<std::uint8_t>(i);
    return kUnknownWeekday;
}

// --- Date and weekday --------------------------------------------------------------------------

// A part that could not be read (null) shows as "??".
void TRtcDlg::ShowDate(const std::uint8_t* day, const std::uint8_t* monthYear) {
    QString text = QStringLiteral("??.??.??");
    if (day) {
        PutBcd(text, 0, day[0]);
        const int weekday = day[1] & 0x07;
        SelectWeekday(weekday == 7 ? 0 : weekday);
    }
    if (monthYear) {
        PutBcd(text, 3, monthYear[0]);
        PutBcd(text, 6, monthYear[1]);
    }
    WorkText = text;
    SetClockText(DatumMEdit, kDateMask, WorkText);
}

void TRtcDlg::ShowTime(const std::uint8_t* time, const std::uint8_t* secondsCycle) {
    QString text = QStringLiteral("??:??:??");
    if (time) {
        PutBcd(text, 0, time[0]);
        PutBcd(text, 3, time[1]);
    }
    if (secondsCycle) {
        PutBcd(text, 6, secondsCycle[0]);
        ZyUpDn->setPosition(secondsCycle[1]);
    }
    WorkText = text;
    SetClockText(ZeitMEdit, kTimeMask, WorkText);
}

void TRtcDlg::DaRdBtnClick() {
    if (!ActivePanel()) return;
    // The month and year are not asked for when the day could not be read.
    struct DateReading {
        std::uint8_t day[3] = {0, 0, 0};
        std::uint8_t monthYear[3] = {0, 0, 0};
        bool dayOk = false;
        bool dateOk = false;
    };
    const auto read = [] {
        DateReading r;
        ReadRTCTag(r.day);
        r.dayOk = SioErgebnis != 0;
        if (r.dayOk) {
            ReadRTCDatum(r.monthYear);
            r.dateOk = SioErgebnis != 0;
        }
        return r;
    };
    commands_.Run(read, [this](const DateReading& r) {
        if (commands_.Shows()) ShowDate(r.dayOk ? r.day : nullptr, r.dateOk ? r.monthYear : nullptr);
        if (!r.dateOk) ShowTransferError();
    });
}

// Two writes, the second only when the first was taken; the message when the last one failed.
namespace {
auto TwoWrites(std::int32_t (*first)(std::uint16_t), int firstValue, std::int32_t (*second)(std::uint16_t),
               int secondValue) {
    return [=] {
        std::int32_t result = first(static_cast<std::uint16_t>(firstValue));
        if (result != 0) result = second(static_cast<std::uint16_t>(secondValue));
        return Answer<std::int32_t>{result, result != 0};
    };
}
}  // namespace

void TRtcDlg::DaWrBtnClick() {
    if (!ActivePanel()) return;
    WorkText = EightPositions(DatumMEdit);
    const int dayAndWeekday = Digit(0) * 4096 + Digit(1) * 256 + WeekdayIndex();
    const int monthAndYear = Digit(3) * 4096 + Digit(4) * 256 + Digit(6) * 16 + Digit(7);
    commands_.Send(TwoWrites(&WriteRTCTag, dayAndWeekday, &WriteRTCDatum, monthAndYear),
                  [](Answer<std::int32_t> sent) {
                      if (!sent.ok) ShowTransferError();
                  });
}

// --- Time and cycle value ----------------------------------------------------------------------

void TRtcDlg::UhRdBtnClick() {
    if (!ActivePanel()) return;
    // The seconds and the cycle value are asked for even when the time failed: the cycle value
    // stands alone.
    struct TimeReading {
        std::uint8_t time[3] = {0, 0, 0};
        std::uint8_t secondsCycle[3] = {0, 0, 0};
        bool timeOk = false;
        bool secondsOk = false;
    };
    const auto read = [] {
        TimeReading r;
        ReadRTCZeit(r.time);
        r.timeOk = SioErgebnis != 0;
        ReadRTCSecZyk(r.secondsCycle);
        r.secondsOk = SioErgebnis != 0;
        return r;
    };
    commands_.Run(read, [this](const TimeReading& r) {
        if (commands_.Shows()) ShowTime(r.timeOk ? r.time : nullptr, r.secondsOk ? r.secondsCycle : nullptr);
        if (!r.timeOk || !r.secondsOk) ShowTransferError();
    });
}

void TRtcDlg::UhWrBtnClick() {
    if (!ActivePanel()) return;
    WorkText = EightPositions(ZeitMEdit);
    // The edit shows what is sent, also when the operator left it empty.
    ZyUpDn->setPosition(ZyUpDn->position());
    const int hoursAndMinutes = Digit(0) * 4096 + Digit(1) * 256 + Digit(3) * 16 + Digit(4);
    const int secondsAndCycle = Digit(6) * 4096 + Digit(7) * 256 + (ZyUpDn->position() & 0xFF);
    commands_.Send(TwoWrites(&WriteRTCZeit, hoursAndMinutes, &WriteRTCSecZyk, secondsAndCycle),
                  [](Answer<std::int32_t> sent) {
                      if (!sent.ok) ShowTransferError();
                  });
}

void TRtcDlg::ZyklMEditChange() {
    bool ok = false;
    const int typed = ZyklMEdit->text().trimmed().toInt(&ok);
    if (!ok) return;  // empty while the operator retypes: the position stays
    ZyUpDn->setPosition(typed);  // beyond 255 the position stops at 255 and the edit follows
}

// --- PC clock ----------------------------------------------------------------------------------

void TRtcDlg::PcUhrBtnClick() {
    // Always dd.mm.yy and hh:mm:ss, whatever the desktop's date format: these are the forms the
    // send buttons take apart position by position.
    const LocalDateTime now = LocalNow();
    SetClockText(DatumMEdit, kDateMask,
                 TwoDigits(now.day) + QChar('.') + TwoDigits(now.month) + QChar('.') + TwoDigits(now.year));
    if (now.weekday >= 0 && now.weekday < 7) SelectWeekday(now.weekday);
    SetClockText(ZeitMEdit, kTimeMask,
                 TwoDigits(now.hour) + QChar(':') + TwoDigits(now.minute) + QChar(':') + TwoDigits(now.second));
}

void TRtcDlg::HelpBtnClick() { ShowHelpContext(kHelpContext); }
