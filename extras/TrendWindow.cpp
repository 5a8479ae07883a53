#include "extras/TrendWindow.h"

#include <QBuffer>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

#include "extras/SaveFileDialog.h"
#include "extras/ShownDataCsv.h"
#include "extras/TrendChart.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/Help.h"
#include "records/RecordingFiles.h"

namespace {
constexpr int kHelpContext = 81;
constexpr std::int64_t kTickMs = 500;
const QColor kColours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28), QColor(0x2c, 0xa0, 0x2c),
                           QColor(0xff, 0x7f, 0x0e), QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                           QColor(0xe3, 0x77, 0xc2), QColor(0x17, 0xbe, 0xcf)};

QDate ToQDate(const Date& d) { return QDate(d.year, d.month, d.day); }
Date FromQDate(const QDate& d) { return Date{d.year(), d.month(), d.day()}; }

QString Name(const QString& title, int address) { return QStringLiteral("%1 (%2)").arg(title.trimmed()).arg(address); }

QString GermanValue(const Sample& s, const QString& unit) {
    switch (s.kind) {
    case SampleKind::Over: return QStringLiteral("Ueber");
    case SampleKind::Under: return QStringLiteral("Unter");
    case SampleKind::Gap: return QStringLiteral("keine Antwort");
    case SampleKind::Value: break;
    }
    return QLocale(QLocale::German).toString(double(s.value), 'f', s.decimals) + QLatin1Char(' ') + unit.trimmed();
}

// The name, or what refused it.
QString WhyNotSaved(const QString& path) {
    const PlainFile state = InspectPlainFile(path.toStdString());
    return MayReplace(state) ? path : QString::fromStdString(PlainFileRefusal(state, path.toStdString(), Speech::German));
}

TrendLoad LoadInBackground(const std::string& folder, std::map<int, std::int64_t> nominal, Date from, Date to,
                           std::shared_ptr<std::atomic<bool>> cancel) {
    RecordingFilter filter;
    filter.from = from;
    filter.to = to;
    for (const auto& [address, ms] : nominal) filter.stations.insert(address);
    TrendLoad load;
    // Whatever goes wrong here must still end the load: the window waits for it.
    try {
        const std::vector<RecordingFile> all = FindRecordingFiles(folder, filter);
        for (const auto& [address, ms] : nominal) {
            std::vector<RecordingFile> own;
            for (const RecordingFile& f : all)
                if (f.address == address) own.push_back(f);
            load.stations[address] = LoadSeries(own, ms, cancel.get());
        }
    } catch (const std::exception&) {
        load = TrendLoad{};
        load.failed = true;
    }
    return load;
}
}  // namespace

TrendWindow::TrendWindow(ExtrasContext context, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(std::move(context)), cancel_(std::make_shared<std::atomic<bool>>(false)) {
    setObjectName(QStringLiteral("Verlauf"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(820, 480);
    BuildControls();
    if (context_.polls) subscription_ = context_.polls->Subscribe([this](const PollResult& r) { OnPoll(r); });
    clock_ = new QTimer(this);
    clock_->setInterval(1000);
    connect(clock_, &QTimer::timeout, this, [this] {
        UpdateNames();
        if (following_) ScheduleRedraw();
    });
    clock_->start();
    const Date today = DateOfLocalMs(Now());
    loadedFrom_ = DateOfDayNumber(DayNumber(today) - 1);
    loadedTo_ = today;
    UpdateCaption();
}

TrendWindow::~TrendWindow() {
    cancel_->store(true);
    if (context_.polls) context_.polls->Unsubscribe(subscription_);
}

void TrendWindow::BuildControls() {
    spanBox_ = new QComboBox(this);
    spanBox_->addItems({QStringLiteral("10 Minuten"), QStringLiteral("1 Stunde"), QStringLiteral("8 Stunden"),
                        QStringLiteral("1 Tag")});
    spanBox_->setToolTip(QString::fromUtf8("Gezeigte Zeitspanne"));
    connect(spanBox_, &QComboBox::activated, this, &TrendWindow::ChooseSpan);
    auto* newest = new QPushButton(QStringLiteral("&Aktuell"), this);
    newest->setToolTip(QString::fromUtf8("Den neuesten Werten folgen (Ende)"));
    connect(newest, &QPushButton::clicked, this, &TrendWindow::FollowNewest);

    const QDate today = ToQDate(DateOfLocalMs(Now()));
    fromEdit_ = new QDateEdit(today, this);
    toEdit_ = new QDateEdit(today, this);
    for (QDateEdit* e : {fromEdit_, toEdit_}) {
        e->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        e->setCalendarPopup(true);
    }
    auto* load = new QPushButton(QStringLiteral("&Laden"), this);
    load->setToolTip(QString::fromUtf8("Die Aufzeichnungen dieser Tage zeigen"));
    connect(load, &QPushButton::clicked, this, [this] { LoadDays(FromQDate(fromEdit_->date()), FromQDate(toEdit_->date())); });

    auto* png = new QPushButton(QStringLiteral("&Bild..."), this);
    png->setToolTip(QString::fromUtf8("Die Ansicht als PNG-Bild speichern"));
    connect(png, &QPushButton::clicked, this, &TrendWindow::AskPng);
    auto* csv = new QPushButton(QStringLiteral("&CSV..."), this);
    csv->setToolTip(QString::fromUtf8("Die gezeigten Werte als CSV-Datei speichern"));
    connect(csv, &QPushButton::clicked, this, &TrendWindow::AskCsv);

    auto* top = new QHBoxLayout;
    top->addWidget(spanBox_);
    top->addWidget(newest);
    top->addSpacing(12);
    top->addWidget(new QLabel(QStringLiteral("Aufzeichnung vom"), this));
    top->addWidget(fromEdit_);
    top->addWidget(new QLabel(QStringLiteral("bis"), this));
    top->addWidget(toEdit_);
    top->addWidget(load);
    top->addStretch();
    top->addWidget(png);
    top->addWidget(csv);

    plotArea_ = new QWidget(this);
    chart_ = new TrendChart(plotArea_);
    legend_ = new QListWidget(plotArea_);
    legend_->setObjectName(QStringLiteral("Legende"));
    legend_->setFixedWidth(190);
    legend_->viewport()->installEventFilter(this);
    auto* plot = new QHBoxLayout(plotArea_);
    plot->setContentsMargins(0, 0, 0, 0);
    plot->addWidget(chart_, 1);
    plot->addWidget(legend_);

    addButton_ = new QToolButton(this);
    addButton_->setText(QString::fromUtf8("&Hinzufügen"));
    addButton_->setPopupMode(QToolButton::InstantPopup);
    auto* addMenu = new QMenu(addButton_);
    addButton_->setMenu(addMenu);
    connect(addMenu, &QMenu::aboutToShow, this, &TrendWindow::FillAddMenu);
    auto* remove = new QPushButton(QStringLiteral("&Entfernen"), this);
    connect(remove, &QPushButton::clicked, this, [this] {
        if (QListWidgetItem* item = legend_->currentItem()) RemoveStation(item->data(Qt::UserRole).toInt());
    });
    cursorLabel_ = new QLabel(this);
    status_ = new QLabel(this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cursorLabel_, 1);
    bottom->addWidget(status_);
    bottom->addWidget(addButton_);
    bottom->addWidget(remove);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(plotArea_, 1);
    layout->addLayout(bottom);

    connect(chart_, &TrendChart::windowMoved, this, [this](std::int64_t from, std::int64_t to) {
        span_ = to - from;
        following_ = !history_ && to >= Now() - 1000;
        if (following_) ScheduleRedraw();
    });
    connect(chart_, &TrendChart::followAsked, this, &TrendWindow::FollowNewest);
    connect(chart_, &TrendChart::cursorAt, this, [this](std::int64_t t) { cursorLabel_->setText(t < 0 ? QString() : CursorText(t)); });
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [] { ShowHelpContext(kHelpContext); });
}

std::int64_t TrendWindow::Now() const { return LocalMilliseconds(LocalNow()); }

std::int64_t TrendWindow::SpanMs(int choice) {
    static constexpr std::int64_t kSpans[] = {600'000, 3'600'000, 8 * 3'600'000LL, 24 * 3'600'000LL};
    return kSpans[std::clamp(choice, 0, 3)];
}

void TrendWindow::ChooseSpan(int choice) {
    spanBox_->setCurrentIndex(std::clamp(choice, 0, 3));
    span_ = SpanMs(choice);
    if (following_) {
        Redraw();
        return;
    }
    const std::int64_t to = chart_->To();
    chart_->SetWindow(to - span_, to);
}

void TrendWindow::FollowNewest() {
    following_ = true;
    span_ = SpanMs(spanBox_->currentIndex());
    if (history_) {
        // Back from the days chosen to yesterday's and today's files and the live values.
        const Date today = DateOfLocalMs(Now());
        StartLoad(DateOfDayNumber(DayNumber(today) - 1), today);
        history_ = false;
    }
    Redraw();
}

void TrendWindow::AddStation(int address) {
    if (Shows(address)) return;
    auto trace = std::make_unique<Trace>();
    trace->address = address;
    trace->colour = kColours[colourIndex_++ % int(std::size(kColours))];
    if (const auto info = InfoOf(address)) {
        trace->title = info->title;
        trace->unit = info->unit;
        trace->zyklus = info->zyklus;
    }
    trace->liveRule = GapRule(trace->zyklus * kTickMs);
    trace->shownRule = trace->liveRule;
    traces_.push_back(std::move(trace));
    std::vector<TrendChart::Trace> views;
    for (const auto& t : traces_) views.push_back({&t->shown, t->colour});
    chart_->SetTraces(views);
    RebuildLegend();
    UpdateCaption();
    StartLoad(loadedFrom_, loadedTo_);
    Redraw();
}

void TrendWindow::RemoveStation(int address) {
    const auto it = std::find_if(traces_.begin(), traces_.end(), [&](const auto& t) { return t->address == address; });
    if (it == traces_.end()) return;
    std::vector<TrendChart::Trace> views;
    for (const auto& t : traces_)
        if (t->address != address) views.push_back({&t->shown, t->colour});
    chart_->SetTraces(views);  // before the trace and its points go
    traces_.erase(it);
    RebuildLegend();
    UpdateCaption();
    Redraw();
}

std::vector<int> TrendWindow::Stations() const {
    std::vector<int> addresses;
    for (const auto& t : traces_) addresses.push_back(t->address);
    return addresses;
}

bool TrendWindow::Shows(int address) const { return Find(address) != nullptr; }

TrendWindow::Trace* TrendWindow::Find(int address) {
    for (const auto& t : traces_)
        if (t->address == address) return t.get();
    return nullptr;
}
const TrendWindow::Trace* TrendWindow::Find(int address) const {
    for (const auto& t : traces_)
        if (t->address == address) return t.get();
    return nullptr;
}

std::optional<StationInfo> TrendWindow::InfoOf(int address) const {
    if (!context_.stations) return std::nullopt;
    for (const StationInfo& s : context_.stations())
        if (s.address == address) return s;
    return std::nullopt;
}

const std::vector<Sample>* TrendWindow::SeriesOf(int address) const {
    const Trace* t = Find(address);
    return t ? &t->shown : nullptr;
}

void TrendWindow::OnPoll(const PollResult& result) {
    Trace* trace = Find(result.address);
    if (!trace) return;
    Sample sample{result.time, 0.0f, SampleKind::Gap, 0};
    if (result.answered) {
        const std::string text = result.text.toStdString();
        if (const auto v = ParseValueText(text)) sample = SampleOf(result.time, *v);
    }
    const std::size_t before = trace->live.size();
    AppendLive(trace->live, sample, trace->liveRule);
    for (std::size_t i = before; i < trace->live.size(); ++i) AppendLive(trace->shown, trace->live[i], trace->shownRule);
    ScheduleRedraw();
}

void TrendWindow::LoadDays(const Date& from, const Date& to) {
    const Date first = std::min(from, to), last = std::max(from, to);
    fromEdit_->setDate(ToQDate(first));
    toEdit_->setDate(ToQDate(last));
    history_ = true;
    following_ = false;
    StartLoad(first, last);
    span_ = LocalMs(NextDay(last)) - LocalMs(first);
    chart_->SetWindow(LocalMs(first), LocalMs(NextDay(last)));
}

bool TrendWindow::Loading() const { return watcher_ && watcher_->isRunning(); }

void TrendWindow::StartLoad(const Date& from, const Date& to) {
    loadedFrom_ = from;
    loadedTo_ = to;
    cancel_->store(true);  // a load still running is of no use any more
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    if (watcher_) watcher_->deleteLater();
    if (traces_.empty()) return;
    std::map<int, std::int64_t> nominal;
    for (const auto& t : traces_) nominal[t->address] = t->zyklus * kTickMs;
    const std::string folder = (context_.recordingFolder ? context_.recordingFolder() : QStringLiteral(".")).toStdString();
    auto* watcher = new QFutureWatcher<TrendLoad>(this);
    watcher_ = watcher;
    connect(watcher, &QFutureWatcher<TrendLoad>::finished, this, [this, watcher] {
        if (watcher != watcher_) return;  // overtaken by a later load
        LoadDone();
    });
    loadStatus_ = QString::fromUtf8("Lade Aufzeichnungen …");
    status_->setText(loadStatus_);
    watcher->setFuture(QtConcurrent::run(LoadInBackground, folder, nominal, from, to, cancel_));
}

void TrendWindow::LoadDone() {
    TrendLoad load = watcher_->result();
    std::uint64_t files = 0, malformed = 0;
    std::vector<std::string> skipped;
    std::size_t points = 0;
    for (auto& [address, series] : load.stations) {
        Trace* trace = Find(address);
        if (!trace) continue;
        files += series.files;
        malformed += series.malformed;
        skipped.insert(skipped.end(), series.skipped.begin(), series.skipped.end());
        trace->history = std::move(series.samples);
        trace->shown = MergeSeries(trace->history, trace->live);
        trace->shownRule = trace->liveRule;
        points += std::size_t(std::count_if(trace->history.begin(), trace->history.end(),
                                            [](const Sample& x) { return x.kind != SampleKind::Gap; }));
    }
    loadStatus_ = QStringLiteral("%1 Punkte aus %2 Dateien").arg(points).arg(files);
    if (malformed > 0) loadStatus_ += QString::fromUtf8(", %1 fehlerhafte Zeilen übersprungen").arg(malformed);
    if (!skipped.empty())
        loadStatus_ += QString::fromUtf8(", %1 Dateien nicht lesbar oder zu groß (erste: %2)")
                           .arg(skipped.size())
                           .arg(QString::fromStdString(skipped.front()));
    if (load.failed) loadStatus_ = QStringLiteral("Die Aufzeichnungen konnten nicht geladen werden.");
    status_->setText(loadStatus_);
    std::vector<TrendChart::Trace> views;
    for (const auto& t : traces_) views.push_back({&t->shown, t->colour});
    chart_->SetTraces(views);
    Redraw();
    emit loadFinished();
}

QString TrendWindow::StatusText() const { return status_->text(); }

void TrendWindow::ScheduleRedraw() {
    if (redrawPending_) return;
    redrawPending_ = true;
    // Polls of one tick come in a burst: one redraw after them.
    QTimer::singleShot(0, this, [this] {
        redrawPending_ = false;
        Redraw();
    });
}

void TrendWindow::Redraw() {
    if (following_) {
        const std::int64_t now = Now();
        chart_->SetWindow(now - span_, now);
    } else {
        chart_->Redraw();
    }
}

void TrendWindow::UpdateNames() {
    if (!context_.stations) return;
    bool changed = false;
    for (const StationInfo& s : context_.stations()) {
        Trace* t = Find(s.address);
        if (!t || (t->title == s.title && t->unit == s.unit)) continue;
        t->title = s.title;
        t->unit = s.unit;
        changed = true;
    }
    if (!changed) return;
    RebuildLegend();
    UpdateCaption();
}

void TrendWindow::UpdateCaption() {
    QStringList names;
    for (const auto& t : traces_) names << Name(t->title, t->address);
    setWindowTitle(names.isEmpty() ? QStringLiteral("Verlauf") : QString::fromUtf8("Verlauf – ") + names.join(QStringLiteral(", ")));
}

void TrendWindow::RebuildLegend() {
    const int current = legend_->currentItem() ? legend_->currentItem()->data(Qt::UserRole).toInt() : -1;
    legend_->clear();
    for (const auto& t : traces_) {
        QPixmap swatch(14, 14);
        swatch.fill(t->colour);
        auto* item = new QListWidgetItem(QIcon(swatch), Name(t->title, t->address) + QString::fromUtf8(" – ") + t->unit.trimmed(), legend_);
        item->setData(Qt::UserRole, t->address);
        if (t->address == current) legend_->setCurrentItem(item);
    }
}

QString TrendWindow::LegendToolTip(int address) const {
    const auto info = InfoOf(address);
    const Trace* t = Find(address);
    if (!t) return {};
    QString text = Name(t->title, t->address) + QStringLiteral(", ") + t->unit.trimmed();
    if (info) text += QLatin1Char('\n') + PollStatisticsText(info->stats, info->zyklus, Now());
    return text;
}

bool TrendWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == legend_->viewport() && event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (QListWidgetItem* item = legend_->itemAt(help->pos()))
            QToolTip::showText(help->globalPos(), LegendToolTip(item->data(Qt::UserRole).toInt()), legend_);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TrendWindow::FillAddMenu() {
    QMenu* menu = addButton_->menu();
    menu->clear();
    if (context_.stations)
        for (const StationInfo& s : context_.stations()) {
            if (Shows(s.address)) continue;
            const int address = s.address;
            menu->addAction(Name(s.title, s.address), this, [this, address] { AddStation(address); });
        }
    if (menu->isEmpty()) menu->addAction(QString::fromUtf8("(keine weiteren Geräte)"))->setEnabled(false);
}

QString TrendWindow::CursorText(std::int64_t t) const {
    QString text = QString::fromStdString(GermanDate(DateOfLocalMs(t)) + " " + ClockTime(t));
    const std::int64_t column = std::max<std::int64_t>(1, (chart_->To() - chart_->From()) / chart_->Columns());
    for (const auto& trace : traces_) {
        const auto& s = trace->shown;
        auto it = std::upper_bound(s.begin(), s.end(), t, [](std::int64_t x, const Sample& a) { return x < a.t; });
        QString value = QString::fromUtf8("–");
        if (it != s.begin()) {
            const Sample& at = *(it - 1);
            const bool lineGoesOn = it != s.end() && it->kind == SampleKind::Value && at.kind == SampleKind::Value;
            if (at.kind != SampleKind::Value || lineGoesOn || t - at.t <= column) value = GermanValue(at, trace->unit);
        }
        text += QStringLiteral("   ") + Name(trace->title, trace->address) + QStringLiteral(": ") + value;
    }
    return text;
}

// Into memory first: the picture's file is replaced by the rule for the operator's files, never
// written through a link or into a pipe.
bool TrendWindow::SavePng(const QString& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return plotArea_->grab().save(&buffer, "PNG") && ReplaceFileAtomically(path.toStdString(), bytes.toStdString());
}

bool TrendWindow::SaveCsv(const QString& path) {
    std::vector<ShownTrace> shown;
    for (const auto& t : traces_) shown.push_back({t->address, t->title.trimmed(), t->unit.trimmed(), &t->shown});
    return WriteShownDataCsv(path, shown, chart_->From(), chart_->To());
}

void TrendWindow::AskPng() {
    const QString path = AskSaveFile(this, QStringLiteral("Bild speichern"), QStringLiteral("Verlauf.png"),
                                     QStringLiteral("PNG-Bilder (*.png)"));
    if (path.isEmpty()) return;
    status_->setText(SavePng(path) ? QStringLiteral("Bild gespeichert: ") + path
                                   : QStringLiteral("Bild nicht gespeichert: ") + WhyNotSaved(path));
}

void TrendWindow::AskCsv() {
    const QString path = AskSaveFile(this, QStringLiteral("CSV speichern"), QStringLiteral("Verlauf.csv"),
                                     QStringLiteral("CSV-Dateien (*.csv)"));
    if (path.isEmpty()) return;
    status_->setText(SaveCsv(path) ? QStringLiteral("CSV gespeichert: ") + path
                                   : QStringLiteral("CSV nicht gespeichert: ") + WhyNotSaved(path));
}
