#include "extras/AlarmWindows.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "platform/Help.h"
#include "records/LocalTime.h"

namespace {
constexpr int kListHelp = 90;
constexpr int kLimitsHelp = 91;
constexpr int kLongestSeconds = 86400;  // a day: longer delays and silences are typing slips

QString U(const char* text) { return QString::fromUtf8(text); }

QString Text(const std::optional<double>& v) { return v ? QString::fromStdString(LimitText(*v)) : QString(); }

// Whole seconds 0..a day, or none for an empty field; false when the text is neither.
bool ReadSeconds(const QString& text, std::optional<int>& seconds) {
    seconds.reset();
    if (text.trimmed().isEmpty()) return true;
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < 0 || v > kLongestSeconds) return false;
    seconds = v;
    return true;
}

QString When(const std::optional<std::int64_t>& ms) {
    if (!ms) return {};
    return QString::fromStdString(GermanDate(DateOfLocalMs(*ms)) + ' ' + ClockTime(*ms));
}
}  // namespace

AlarmLimitsDlg::AlarmLimitsDlg(const QString& station, const QString& unit, const AlarmLimits& limits, QWidget* owner)
    : QDialog(owner) {
    setObjectName(QStringLiteral("Alarmgrenzen"));
    setWindowTitle(QStringLiteral("Alarmgrenzen"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(station, this));
    auto* form = new QFormLayout;
    const auto field = [&](const QString& text, const QString& suffix) {
        auto* edit = new QLineEdit(text, this);
        auto* row = new QHBoxLayout;
        row->addWidget(edit);
        row->addWidget(new QLabel(suffix, this));
        return std::pair{edit, row};
    };
    const QString u = unit.trimmed();
    auto [oben, obenRow] = field(Text(limits.oben), u);
    auto [unten, untenRow] = field(Text(limits.unten), u);
    auto [verz, verzRow] = field(QString::number(limits.verzoegerung), QStringLiteral("s"));
    auto [hyst, hystRow] = field(QString::fromStdString(LimitText(limits.hysterese)), u);
    auto [stille, stilleRow] = field(limits.stille ? QString::number(*limits.stille) : QString(), QStringLiteral("s"));
    Oben = oben, Unten = unten, Verzoegerung = verz, Hysterese = hyst, Stille = stille;
    form->addRow(QStringLiteral("&Obere Grenze:"), obenRow);
    form->addRow(QStringLiteral("&Untere Grenze:"), untenRow);
    form->addRow(U("&Verzögerung:"), verzRow);
    form->addRow(QStringLiteral("&Hysterese:"), hystRow);
    form->addRow(QStringLiteral("&Stille-Alarm nach:"), stilleRow);
    for (QLineEdit* e : {Oben, Unten, Verzoegerung, Hysterese, Stille}) e->setMinimumWidth(90);
    layout->addLayout(form);
    layout->addWidget(new QLabel(U("Leeres Feld: keine Grenze, kein Stille-Alarm."), this));
    note_ = new QLabel(this);
    note_->setStyleSheet(QStringLiteral("color: #B00000;"));
    layout->addWidget(note_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &AlarmLimitsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AlarmLimitsDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] { ShowHelpContext(kLimitsHelp); });
    layout->addWidget(buttons);
}

std::optional<AlarmLimits> AlarmLimitsDlg::Limits() const {
    AlarmLimits l;
    const auto limit = [](const QLineEdit* e, std::optional<double>& v) {
        v = ParseLimit(e->text().toStdString());
        return v || e->text().trimmed().isEmpty();
    };
    if (!limit(Oben, l.oben) || !limit(Unten, l.unten)) return std::nullopt;
    std::optional<int> delay;
    if (!ReadSeconds(Verzoegerung->text(), delay) || !ReadSeconds(Stille->text(), l.stille)) return std::nullopt;
    l.verzoegerung = delay.value_or(0);
    std::optional<double> h;
    if (!limit(Hysterese, h)) return std::nullopt;
    l.hysterese = h ? std::abs(*h) : 0.0;
    return l;
}

void AlarmLimitsDlg::accept() {
    if (!Limits()) {
        note_->setText(U("Bitte Zahlen eingeben (Sekunden ganzzahlig, höchstens 86400)."));
        return;
    }
    QDialog::accept();
}

AlarmList::AlarmList(AlarmListContext context, QWidget* owner) : QWidget(owner, Qt::Window), context_(std::move(context)) {
    setObjectName(QStringLiteral("Alarme"));
    setWindowTitle(QStringLiteral("Alarme"));
    resize(760, 320);
    auto* layout = new QVBoxLayout(this);
    table_ = new QTableWidget(0, 8, this);
    table_->setHorizontalHeaderLabels({QStringLiteral("gekommen"), QStringLiteral("gegangen"), QStringLiteral("quittiert"),
                                       QStringLiteral("Station"), QStringLiteral("Titel"), QStringLiteral("Art"),
                                       QStringLiteral("Wert"), QStringLiteral("Grenze")});
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 1);
    auto* row = new QHBoxLayout;
    beep_ = new QCheckBox(U("&Signalton, solange ein Alarm nicht quittiert ist"), this);
    beep_->setChecked(context_.beep && context_.beep());
    connect(beep_, &QCheckBox::toggled, this, [this](bool on) {
        if (context_.setBeep) context_.setBeep(on);
    });
    row->addWidget(beep_);
    row->addStretch();
    auto* one = new QPushButton(QStringLiteral("&Quittieren"), this);
    auto* all = new QPushButton(QStringLiteral("&Alle quittieren"), this);
    row->addWidget(one);
    row->addWidget(all);
    layout->addLayout(row);
    connect(one, &QPushButton::clicked, this, &AlarmList::AcknowledgeSelected);
    connect(all, &QPushButton::clicked, this, [this] {
        context_.watch->AcknowledgeAll();
        if (context_.acknowledged) context_.acknowledged();
    });
    Refresh();
}

// Newest first; an active alarm in red, one waiting for its acknowledgement in bold.
void AlarmList::Refresh() {
    const auto& alarms = context_.watch->Alarms();
    table_->setRowCount(int(alarms.size()));
    int row = 0;
    for (auto it = alarms.rbegin(); it != alarms.rend(); ++it, ++row) {
        const AlarmRecord& a = *it;
        const QStringList cells{When(a.came), When(a.went), When(a.acknowledged), QString::number(a.station),
                                QString::fromStdString(a.title), QString::fromStdString(AlarmWatch::KindText(a.kind)),
                                QString::fromStdString(a.value), QString::fromStdString(a.limit)};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setData(Qt::UserRole, a.id);
            if (a.Active()) item->setForeground(QColor(0xB0, 0, 0));
            if (!a.acknowledged) {
                QFont f = item->font();
                f.setBold(true);
                item->setFont(f);
            }
            table_->setItem(row, c, item);
        }
    }
    table_->resizeColumnsToContents();
}

void AlarmList::AcknowledgeSelected() {
    for (const QModelIndex& i : table_->selectionModel()->selectedRows())
        context_.watch->Acknowledge(i.data(Qt::UserRole).toInt());
    if (context_.acknowledged) context_.acknowledged();
}

void AlarmList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        ShowHelpContext(kListHelp);
        return;
    }
    QWidget::keyPressEvent(event);
}
