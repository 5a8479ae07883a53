#include "extras/StationOverview.h"

#include <QBrush>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <limits>

#include "platform/Clock.h"
#include "platform/Help.h"
#include "records/LocalTime.h"

namespace {
constexpr int kHelpContext = 89;
constexpr int kGatherMs = 150;    // polls within this time make one refresh
constexpr int kAgeTickMs = 1000;  // the ages move on once a second
constexpr std::int64_t kTickMs = 500;

QString U(const char* text) { return QString::fromUtf8(text); }
QString Clock(std::int64_t ms) { return QString::fromStdString(ClockTime(ms)); }

QString Seconds(std::int64_t ms) {
    return QLocale(QLocale::German).toString(double(ms) / 1000.0, 'f', 1) + QStringLiteral(" s");
}

QString AgeText(std::int64_t ms) {
    const std::int64_t s = std::max<std::int64_t>(0, ms / 1000);
    if (s < 60) return QStringLiteral("%1 s").arg(s);
    if (s < 3600) return QStringLiteral("%1 min %2 s").arg(s / 60).arg(s % 60);
    if (s < 86400) return QStringLiteral("%1 h %2 min").arg(s / 3600).arg(s / 60 % 60);
    return QStringLiteral("%1 d %2 h").arg(s / 86400).arg(s / 3600 % 24);
}

QString WithCause(const QString& text, const QString& cause) {
    return cause.isEmpty() ? text : text + QStringLiteral(" (") + cause + QLatin1Char(')');
}
}  // namespace

// --- The model ------------------------------------------------------------------------------------

OverviewState OverviewModel::StateOf(const OverviewRow& r, std::int64_t nowMs) {
    if (r.alarm) return OverviewState::Alarm;
    if (r.zyklus == 0) return OverviewState::NotPolled;
    if (r.restUntil && *r.restUntil > nowMs && r.stats.FailedSince() > 0) return OverviewState::Resting;
    if (r.stats.FailedSince() > 0) return OverviewState::Silent;
    if (!r.stats.LastValid()) return OverviewState::NotPolled;
    if (r.value.trimmed() == QLatin1String("Ueber")) return OverviewState::Over;
    if (r.value.trimmed() == QLatin1String("Unter")) return OverviewState::Under;
    return OverviewState::Answering;
}

QString OverviewModel::StateText(const OverviewRow& r, std::int64_t nowMs) {
    QString text;
    switch (StateOf(r, nowMs)) {
    case OverviewState::Alarm: text = QStringLiteral("Alarm"); break;
    case OverviewState::NotPolled:
        text = r.zyklus == 0 ? QStringLiteral("nicht abgefragt") : QStringLiteral("noch nicht abgefragt");
        break;
    case OverviewState::Resting: text = WithCause(QStringLiteral("ruht bis ") + Clock(*r.restUntil), r.cause); break;
    case OverviewState::Silent: {
        const auto since = r.firstFailure ? r.firstFailure : r.stats.LastValid();
        text = WithCause(since ? QStringLiteral("keine Antwort seit ") + Clock(*since) : QStringLiteral("keine Antwort"),
                         r.cause);
        break;
    }
    case OverviewState::Over: text = U("Über"); break;
    case OverviewState::Under: text = QStringLiteral("Unter"); break;
    case OverviewState::Answering: text = QStringLiteral("antwortet"); break;
    }
    if (r.unacknowledged) text += U(" – Alarm nicht quittiert");
    return text;
}

QString OverviewModel::StateName(OverviewState s) {
    switch (s) {
    case OverviewState::Answering: return QStringLiteral("antwortet");
    case OverviewState::Silent: return QStringLiteral("keine Antwort");
    case OverviewState::Resting: return QStringLiteral("ruht");
    case OverviewState::NotPolled: return QStringLiteral("nicht abgefragt");
    case OverviewState::Over: return U("Über");
    case OverviewState::Under: return QStringLiteral("Unter");
    case OverviewState::Alarm: return QStringLiteral("Alarm");
    }
    return {};
}

QColor OverviewModel::StateColour(OverviewState s) {
    switch (s) {
    case OverviewState::Answering: return QColor(0xD8, 0xF0, 0xD8);
    case OverviewState::Silent: return QColor(0xFF, 0xEE, 0x99);
    case OverviewState::Resting: return QColor(0xFF, 0xC8, 0x90);
    case OverviewState::NotPolled: return QColor(0xE0, 0xE0, 0xE0);
    case OverviewState::Over:
    case OverviewState::Under: return QColor(0xC8, 0xDC, 0xFF);
    case OverviewState::Alarm: return QColor(0xFF, 0x80, 0x80);
    }
    return {};
}

void OverviewModel::SetRows(std::vector<OverviewRow> rows, std::int64_t nowMs) {
    bool same = rows.size() == rows_.size();
    for (std::size_t i = 0; same && i < rows.size(); ++i) same = rows[i].address == rows_[i].address;
    if (!same) {
        beginResetModel();
        rows_ = std::move(rows);
        now_ = nowMs;
        endResetModel();
        return;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] == rows_[i]) continue;
        rows_[i] = std::move(rows[i]);
        emit dataChanged(index(int(i), 0), index(int(i), kColumns - 1));
    }
    SetNow(nowMs);
}

void OverviewModel::SetNow(std::int64_t nowMs) {
    // Only the age and the state depend on the time; a second later both may read otherwise.
    if (nowMs / 1000 == now_ / 1000 || rows_.empty()) {
        now_ = nowMs;
        return;
    }
    now_ = nowMs;
    emit dataChanged(index(0, Zustand), index(rowCount() - 1, Alter));
}

int OverviewModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }
int OverviewModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant OverviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kNames[] = {"Adresse", "Titel", "Wert", "Einheit", "Zustand",
                                         "Alter", "Fehlversuche", "Zyklus", "erreicht", "Aufzeichnung"};
    return section >= 0 && section < kColumns ? U(kNames[section]) : QVariant();
}

QVariant OverviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const OverviewRow& r = rows_[std::size_t(index.row())];
    const auto last = r.stats.LastValid();
    const auto reached = r.stats.ReachedIntervalMs();
    if (role == Qt::FontRole && r.active) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role == Qt::BackgroundRole && index.column() == Zustand) return QBrush(StateColour(StateOf(r, now_)));
    if (role == Qt::ForegroundRole && index.column() == Zustand && r.unacknowledged) return QBrush(Qt::darkRed);
    if (role == Qt::TextAlignmentRole && (index.column() == Adresse || index.column() == Wert ||
                                          index.column() == Fehlversuche || index.column() == Alter))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == kSortRole) {
        switch (index.column()) {
        case Adresse: return r.address;
        case Wert: return r.value.trimmed().toDouble();
        case Zustand: return int(StateOf(r, now_)) * 1000 + r.address;
        case Alter: return last ? qlonglong(now_ - *last) : std::numeric_limits<qlonglong>::max();
        case Fehlversuche: return r.stats.FailedSince();
        case Zyklus: return r.zyklus;
        case Erreicht: return reached ? qlonglong(*reached) : std::numeric_limits<qlonglong>::max();
        default: return data(index, Qt::DisplayRole);
        }
    }
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
    case Adresse: return r.active ? QStringLiteral("► %1").arg(r.address) : QString::number(r.address);
    case Titel: return r.title;
    case Wert: return r.value;
    case Einheit: return r.unit;
    case Zustand: return StateText(r, now_);
    case Alter: return last ? AgeText(now_ - *last) : U("–");
    case Fehlversuche: return r.stats.FailedSince();
    case Zyklus: return r.zyklus == 0 ? QStringLiteral("0") : QStringLiteral("%1 (%2)").arg(r.zyklus).arg(Seconds(r.zyklus * kTickMs));
    case Erreicht: return reached ? Seconds(*reached) : U("–");
    case Aufzeichnung: return r.recording ? QStringLiteral("ein") : QStringLiteral("aus");
    default: return {};
    }
}

// --- The window ---------------------------------------------------------------------------------

StationOverview::StationOverview(OverviewContext context, QWidget* owner)
    : QWidget(owner, Qt::Window), context_(std::move(context)) {
    setObjectName(QStringLiteral("Stationsuebersicht"));
    setWindowTitle(U("Stationsübersicht"));
    resize(880, 420);  // every column visible at the default font
    auto* layout = new QVBoxLayout(this);
    linkState_ = new QLabel(this);
    linkState_->setObjectName(QStringLiteral("LinkState"));
    linkState_->setStyleSheet(QStringLiteral("color: #B00000; font-weight: bold;"));
    linkState_->hide();
    layout->addWidget(linkState_);

    model_ = new OverviewModel;
    model_->setParent(this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(OverviewModel::kSortRole);
    sorted_->setDynamicSortFilter(true);
    table_ = new QTableView(this);
    table_->setModel(sorted_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(OverviewModel::Adresse, Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setWordWrap(false);
    layout->addWidget(table_, 1);

    auto* legend = new QHBoxLayout;
    legend->addWidget(new QLabel(QStringLiteral("Zustand:"), this));
    for (OverviewState s : {OverviewState::Answering, OverviewState::Silent, OverviewState::Resting,
                            OverviewState::NotPolled, OverviewState::Over, OverviewState::Alarm}) {
        QString name = OverviewModel::StateName(s);
        if (s == OverviewState::Over) name += QStringLiteral(" / Unter");
        auto* item = new QLabel(name, this);
        item->setStyleSheet(QStringLiteral("background: %1; padding: 1px 6px;").arg(OverviewModel::StateColour(s).name()));
        legend->addWidget(item);
    }
    legend->addStretch();
    auto* alarms = new QPushButton(U("Alarm&grenzen..."), this);
    alarms->setObjectName(QStringLiteral("AlarmgrenzenKnopf"));
    auto* trend = new QPushButton(QStringLiteral("&Verlauf..."), this);
    legend->addWidget(alarms);
    legend->addWidget(trend);
    layout->addLayout(legend);

    const auto selected = [this] { return AddressAt(table_->currentIndex()); };
    connect(alarms, &QPushButton::clicked, this, [this, selected] {
        if (selected() >= 0 && context_.editAlarms) context_.editAlarms(selected());
    });
    connect(trend, &QPushButton::clicked, this, [this, selected] {
        if (selected() >= 0 && context_.showTrend) context_.showTrend(selected());
    });
    connect(table_, &QTableView::clicked, this, [this](const QModelIndex& i) {
        if (AddressAt(i) >= 0 && context_.activate) context_.activate(AddressAt(i));
        Refresh();
    });
    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& i) {
        if (AddressAt(i) >= 0 && context_.showTrend) context_.showTrend(AddressAt(i));
    });

    refresh_ = new QTimer(this);
    refresh_->setSingleShot(true);
    refresh_->setInterval(kGatherMs);
    connect(refresh_, &QTimer::timeout, this, &StationOverview::Refresh);
    auto* ages = new QTimer(this);
    ages->setInterval(kAgeTickMs);
    connect(ages, &QTimer::timeout, this, &StationOverview::Refresh);
    ages->start();
    if (context_.polls)
        subscription_ = context_.polls->Subscribe([this](const PollResult&) {
            if (!refresh_->isActive()) refresh_->start();
        });
    model_->SetRows(context_.rows ? context_.rows() : std::vector<OverviewRow>{}, LocalMilliseconds(LocalNow()));
    table_->resizeColumnsToContents();
}

StationOverview::~StationOverview() {
    if (context_.polls) context_.polls->Unsubscribe(subscription_);
}

void StationOverview::Refresh() {
    if (!isVisible()) return;  // shown again: refreshed by showEvent
    const std::int64_t now = LocalMilliseconds(LocalNow());
    if (context_.rows) model_->SetRows(context_.rows(), now);
    const QString state = context_.linkState ? context_.linkState() : QString();
    if (state != linkState_->text()) linkState_->setText(state);
    linkState_->setVisible(!state.isEmpty());
}

int StationOverview::AddressAt(const QModelIndex& viewIndex) const {
    if (!viewIndex.isValid()) return -1;
    const QModelIndex source = sorted_->mapToSource(viewIndex);
    return source.isValid() ? model_->Row(source.row()).address : -1;
}

void StationOverview::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Refresh();
}

void StationOverview::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        ShowHelpContext(kHelpContext);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
