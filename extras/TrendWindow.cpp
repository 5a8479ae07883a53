#include "extras/TrendWindow.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QSettings>
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

#include "extras/ShownDataCsv.h"
#include "extras/TrendChart.h"
#include "platform/AtomicFile.h"
#include "extras/TrendReport.h"
#include "platform/Clock.h"
#include "platform/Help.h"
#include "records/RecordingFiles.h"
#include "records/RecordingSummary.h"

namespace {
constexpr int kHelpContext = 81;
constexpr std::int64_t kTickMs = 500;
// Up to this many days the records are read whole; longer ranges come from the summaries.
constexpr std::int64_t kWholeDays = 7;
// Finer than this per pixel column, the summary no longer looks like the records.
constexpr std::int64_t kSummaryColumnMs = 2 * kSummaryGrainMs;
// Polls further apart than this (or than three cycles) mean the polling stopped in between.
constexpr std::int64_t kLivePollBreakMs = 5000;
const QString kStateGroup = QStringLiteral("Verlauf");
constexpr int kFreeSpan = 4;
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
    return TrendLocale().toString(double(s.value), 'f', s.decimals) + QLatin1Char(' ') + unit.trimmed();
}

// "1 Datei", "3 Dateien".
QString Counted(std::uint64_t n, const char* one, const char* many) {
    return QStringLiteral("%1 ").arg(n) + QString::fromUtf8(n == 1 ? one : many);
}

QString DateTimeText(std::int64_t t) { return QString::fromStdString(GermanDate(DateOfLocalMs(t)) + " " + ClockTime(t)); }

// The summary's points outside [from, to), the whole read's inside.
std::vector<Sample> Splice(const std::vector<Sample>& coarse, const std::vector<Sample>& whole, std::int64_t from, std::int64_t to) {
    const auto before = [](const Sample& s, std::int64_t t) { return s.t < t; };
    std::vector<Sample> out(coarse.begin(), std::lower_bound(coarse.begin(), coarse.end(), from, before));
    out.insert(out.end(), whole.begin(), whole.end());
    auto rest = std::lower_bound(coarse.begin(), coarse.end(), to, before);
    if (!whole.empty()) rest = std::upper_bound(rest, coarse.end(), whole.back().t, [](std::int64_t t, const Sample& s) { return t < s.t; });
    out.insert(out.end(), rest, coarse.end());
    return out;
}

// The name, or what refused it.
QString WhyNotSaved(const QString& path) {
    const PlainFile state = InspectPlainFile(path.toStdString());
    return MayReplace(state) ? path : QString::fromStdString(PlainFileRefusal(state, path.toStdString(), Speech::German));
}

TrendLoad LoadInBackground(const std::string& folder, std::map<int, std::int64_t> nominal, Date from, Date to,
                           std::shared_ptr<std::atomic<bool>> cancel, bool summarised, std::string summaryFolder) {
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
            load.stations[address] = summarised ? LoadSummarisedSeries(own, ms, summaryFolder, cancel.get())
                                                : LoadSeries(own, ms, cancel.get());
        }
        load.polling = ReadPollingPeriods(folder, from, to);
    } catch (const std::exception&) {
        load = TrendLoad{};
        load.failed = true;
    }
    load.polling = ReadPollingPeriods(folder, from, to);
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
    RebuildLegend();
}

TrendWindow::~TrendWindow() {
    cancel_->store(true);
    if (context_.polls) context_.polls->Unsubscribe(subscription_);
}

void TrendWindow::BuildControls() {
    spanBox_ = new QComboBox(this);
    spanBox_->addItems({QStringLiteral("10 Minuten"), QStringLiteral("1 Stunde"), QStringLiteral("8 Stunden"),
                        QStringLiteral("1 Tag"), QStringLiteral("frei")});
    spanBox_->setToolTip(QString::fromUtf8("Gezeigte Zeitspanne (frei: gezoomt oder geladene Tage)"));
    connect(spanBox_, &QComboBox::activated, this, [this](int choice) {
        if (choice != kFreeSpan) ChooseSpan(choice);
        else UpdateSpanBox();
        chart_->setFocus();
    });
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
    connect(load, &QPushButton::clicked, this, [this] {
        LoadDays(FromQDate(fromEdit_->date()), FromQDate(toEdit_->date()));
        chart_->setFocus();
    });

    auto* png = new QPushButton(QStringLiteral("&Bild..."), this);
    png->setToolTip(QString::fromUtf8("Die Ansicht als PNG-Bild speichern"));
    connect(png, &QPushButton::clicked, this, &TrendWindow::AskPng);
    auto* csv = new QPushButton(QStringLiteral("&CSV..."), this);
    csv->setToolTip(QString::fromUtf8("Die gezeigten Werte als CSV-Datei speichern"));
    connect(csv, &QPushButton::clicked, this, &TrendWindow::AskCsv);
    auto* print = new QPushButton(QStringLiteral("&Drucken..."), this);
    print->setToolTip(QString::fromUtf8("Die Ansicht mit Kopfzeilen drucken"));
    connect(print, &QPushButton::clicked, this, qOverload<>(&TrendWindow::Print));
    // Clicking a button leaves the keyboard with the chart.
    for (QPushButton* b : {newest, load, png, csv, print}) b->setFocusPolicy(Qt::TabFocus);

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
    top->addWidget(print);

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
        // Only a view that still ends now goes on following; one zoomed past now stays put.
        following_ = following_ && !history_ && std::abs(to - Now()) <= 1000;
        showLoadedDays_ = false;
        UpdateSpanBox();
        StartDetail();
    });
    connect(chart_, &TrendChart::followAsked, this, [this] {
        FollowNewest();
        chart_->setFocus();
    });
    connect(chart_, &TrendChart::cursorAt, this, [this](std::int64_t t) { cursorLabel_->setText(t < 0 ? QString() : CursorText(t)); });
    connect(legend_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const QString limit = item->data(Qt::UserRole + 1).toString();
        if (!limit.isEmpty()) ShowLimit(item->data(Qt::UserRole).toInt(), limit, item->checkState() == Qt::Checked);
    });
    chart_->setFocus();  // the keys work as soon as the window has the focus
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [] { ShowHelpContext(kHelpContext); });
}

std::int64_t TrendWindow::Now() const { return LocalMilliseconds(LocalNow()); }

std::int64_t TrendWindow::SpanMs(int choice) {
    static constexpr std::int64_t kSpans[] = {600'000, 3'600'000, 8 * 3'600'000LL, 24 * 3'600'000LL};
    return kSpans[std::clamp(choice, 0, 3)];
}

void TrendWindow::ChooseSpan(int choice) {
    span_ = SpanMs(choice);
    showLoadedDays_ = false;
    if (following_) {
        Redraw();
        return;
    }
    const std::int64_t to = chart_->To();
    chart_->SetWindow(to - span_, to);
    UpdateSpanBox();
    StartDetail();
}

void TrendWindow::UpdateSpanBox() {
    int choice = kFreeSpan;
    for (int i = 0; i < kFreeSpan; ++i)
        if (chart_->To() - chart_->From() == SpanMs(i)) choice = i;
    spanBox_->setCurrentIndex(choice);
}

QString TrendWindow::SpanText() const { return spanBox_->currentText(); }

void TrendWindow::FollowNewest() {
    following_ = true;
    span_ = SpanMs(std::min(spanBox_->currentIndex(), kFreeSpan - 1));
    showLoadedDays_ = false;
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
    if (!colours_.count(address)) {  // the first colour no other station of this window has had
        std::size_t i = 0;
        while (i < std::size(kColours) &&
               std::any_of(colours_.begin(), colours_.end(), [&](const auto& c) { return c.second == kColours[i]; }))
            ++i;
        colours_[address] = kColours[(i < std::size(kColours) ? i : colours_.size()) % std::size(kColours)];
    }
    trace->colour = colours_[address];
    if (const auto info = InfoOf(address)) {
        trace->title = info->title;
        trace->unit = info->unit;
        trace->zyklus = info->zyklus;
        trace->limits = info->limits;
    }
    trace->liveRule = GapRule(trace->zyklus * kTickMs);
    trace->shownRule = trace->liveRule;
    traces_.push_back(std::move(trace));
    SetChartTraces();
    RebuildLegend();
    UpdateCaption();
    StartLoad(loadedFrom_, loadedTo_);
    Redraw();
}

void TrendWindow::RemoveStation(int address) {
    const auto it = std::find_if(traces_.begin(), traces_.end(), [&](const auto& t) { return t->address == address; });
    if (it == traces_.end()) return;
    traces_.erase(it);
    SetChartTraces();
    RebuildLegend();
    UpdateCaption();
    Redraw();
}

void TrendWindow::SetChartTraces() {
    std::vector<TrendChart::Trace> views;
    for (const auto& t : traces_) {
        TrendChart::Trace view{&t->shown, t->colour, t->unit, {}};
        for (const TrendLimit& limit : t->limits)
            if (std::find(t->hiddenLimits.begin(), t->hiddenLimits.end(), limit.name) == t->hiddenLimits.end())
                view.limits.push_back(limit);
        views.push_back(view);
    }
    chart_->SetTraces(views);
}

void TrendWindow::ShowLimit(int address, const QString& name, bool shown) {
    Trace* t = Find(address);
    if (!t) return;
    auto& hidden = t->hiddenLimits;
    hidden.erase(std::remove(hidden.begin(), hidden.end(), name), hidden.end());
    if (!shown) hidden.push_back(name);
    SetChartTraces();
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
    const std::int64_t cycle = std::max<std::int64_t>(kTickMs, trace->zyklus * kTickMs);
    if (livePolling_.empty() || result.time - livePolling_.back().to > std::max(kLivePollBreakMs, 3 * cycle))
        livePolling_.push_back({result.time, result.time});
    livePolling_.back().to = std::max(livePolling_.back().to, result.time + cycle);
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
    showLoadedDays_ = true;
    StartLoad(first, last);
    span_ = LocalMs(NextDay(last)) - LocalMs(first);
    chart_->SetWindow(LocalMs(first), LocalMs(NextDay(last)));
    UpdateSpanBox();
}

bool TrendWindow::Loading() const { return watcher_ && watcher_->isRunning(); }

void TrendWindow::StartLoad(const Date& from, const Date& to) {
    loadedFrom_ = from;
    loadedTo_ = to;
    cancel_->store(true);  // a load still running is of no use any more
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    if (detailCancel_) detailCancel_->store(true);
    if (watcher_) watcher_->deleteLater();
    if (detailWatcher_) detailWatcher_->deleteLater();
    hasDetail_ = false;
    coarse_ = DayNumber(to) - DayNumber(from) + 1 > kWholeDays;
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
    watcher->setFuture(QtConcurrent::run(LoadInBackground, folder, nominal, from, to, cancel_, coarse_,
                                         context_.summaryFolder.toStdString()));
}

// While the history is summarised and the view is finer than a summary: the days in view (with
// half a view on either side) read whole, in the background.
void TrendWindow::StartDetail() {
    if (!coarse_ || traces_.empty() || Loading()) return;
    const std::int64_t from = chart_->From(), to = chart_->To(), span = to - from;
    if (span / chart_->Columns() >= kSummaryColumnMs) return;
    const Date first = std::max(loadedFrom_, DateOfLocalMs(from - span / 2));
    const Date last = std::min(loadedTo_, DateOfLocalMs(to + span / 2));
    if (last < first) return;
    if (hasDetail_ && !(first < detailFrom_) && !(detailTo_ < last)) return;
    if (detailWatcher_ && detailWatcher_->isRunning() && !(first < detailFrom_) && !(detailTo_ < last)) return;
    if (detailCancel_) detailCancel_->store(true);
    detailCancel_ = std::make_shared<std::atomic<bool>>(false);
    if (detailWatcher_) detailWatcher_->deleteLater();
    detailFrom_ = first;
    detailTo_ = last;
    std::map<int, std::int64_t> nominal;
    for (const auto& t : traces_) nominal[t->address] = t->zyklus * kTickMs;
    const std::string folder = (context_.recordingFolder ? context_.recordingFolder() : QStringLiteral(".")).toStdString();
    auto* watcher = new QFutureWatcher<TrendLoad>(this);
    detailWatcher_ = watcher;
    connect(watcher, &QFutureWatcher<TrendLoad>::finished, this, [this, watcher] {
        if (watcher == detailWatcher_) DetailDone();
    });
    watcher->setFuture(QtConcurrent::run(LoadInBackground, folder, nominal, first, last, detailCancel_, false, std::string()));
}

void TrendWindow::DetailDone() {
    TrendLoad load = detailWatcher_->result();
    if (detailCancel_->load()) return;
    for (auto& [address, series] : load.stations)
        if (Trace* trace = Find(address)) trace->detail = std::move(series.samples);
    hasDetail_ = true;
    for (const auto& t : traces_) Compose(*t);
    Redraw();
}

void TrendWindow::Compose(Trace& trace) {
    if (hasDetail_) trace.shown = MergeSeries(Splice(trace.history, trace.detail, LocalMs(detailFrom_), LocalMs(NextDay(detailTo_))), trace.live);
    else trace.shown = MergeSeries(trace.history, trace.live);
    trace.shownRule = trace.liveRule;
}

void TrendWindow::LoadDone() {
    TrendLoad load = watcher_->result();
    std::uint64_t files = 0, malformed = 0, points = 0;
    std::vector<std::string> skipped;
    for (auto& [address, series] : load.stations) {
        Trace* trace = Find(address);
        if (!trace) continue;
        files += series.files;
        malformed += series.malformed;
        skipped.insert(skipped.end(), series.skipped.begin(), series.skipped.end());
        points += series.records;
        trace->history = std::move(series.samples);
        Compose(*trace);
    }
    polling_ = std::move(load.polling);
    loadStatus_ = Counted(points, "Punkt", "Punkte") + QStringLiteral(" aus ") + Counted(files, "Datei", "Dateien");
    if (malformed > 0)
        loadStatus_ += QStringLiteral(", ") + Counted(malformed, "fehlerhafte Zeile", "fehlerhafte Zeilen") +
                       QString::fromUtf8(" übersprungen");
    if (!skipped.empty())
        loadStatus_ += QStringLiteral(", ") + Counted(skipped.size(), "Datei", "Dateien") +
                       QString::fromUtf8(" nicht lesbar oder zu groß (erste: %1)").arg(QString::fromStdString(skipped.front()));
    if (load.failed) loadStatus_ = QStringLiteral("Die Aufzeichnungen konnten nicht geladen werden.");
    status_->setText(loadStatus_);
    SetChartTraces();
    if (showLoadedDays_) chart_->SetWindow(LocalMs(loadedFrom_), LocalMs(NextDay(loadedTo_)));
    Redraw();
    StartDetail();
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
    UpdateSpanBox();
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
    for (const StationInfo& s : context_.stations()) {  // switching points read since
        Trace* t = Find(s.address);
        if (!t || std::equal(t->limits.begin(), t->limits.end(), s.limits.begin(), s.limits.end(),
                             [](const TrendLimit& a, const TrendLimit& b) { return a.name == b.name && a.value == b.value; }))
            continue;
        t->limits = s.limits;
        changed = true;
    }
    if (!changed) return;
    SetChartTraces();
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
    const QSignalBlocker quiet(legend_);
    legend_->clear();
    for (const auto& t : traces_) {
        QPixmap swatch(14, 14);
        swatch.fill(t->colour);
        auto* item = new QListWidgetItem(QIcon(swatch), Name(t->title, t->address) + QString::fromUtf8(" – ") + t->unit.trimmed(), legend_);
        item->setData(Qt::UserRole, t->address);
        if (t->address == current) legend_->setCurrentItem(item);
        for (const TrendLimit& limit : t->limits) {  // a limit line, shown while ticked
            auto* row = new QListWidgetItem(QStringLiteral("    %1: %2 %3").arg(limit.name, TrendLocale().toString(limit.value), t->unit.trimmed()), legend_);
            row->setData(Qt::UserRole, t->address);
            row->setData(Qt::UserRole + 1, limit.name);
            row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
            const bool hidden = std::find(t->hiddenLimits.begin(), t->hiddenLimits.end(), limit.name) != t->hiddenLimits.end();
            row->setCheckState(hidden ? Qt::Unchecked : Qt::Checked);
            row->setToolTip(QString::fromUtf8("Grenzlinie ein- oder ausblenden"));
        }
    }
    // What the marks at the edges mean.
    const auto mark = [this](const QString& text, bool up) {
        QPixmap triangle(14, 14);
        triangle.fill(Qt::transparent);
        QPainter painter(&triangle);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPolygonF shape = up ? QPolygonF({QPointF(7, 2), QPointF(12, 12), QPointF(2, 12)})
                                   : QPolygonF({QPointF(2, 2), QPointF(12, 2), QPointF(7, 12)});
        painter.setBrush(Qt::darkGray);
        painter.setPen(Qt::NoPen);
        painter.drawPolygon(shape);
        painter.end();
        auto* item = new QListWidgetItem(QIcon(triangle), text, legend_);
        item->setData(Qt::UserRole, -1);
        item->setFlags(Qt::ItemIsEnabled);
    };
    mark(QString::fromUtf8("Ueber: über dem Messbereich"), true);
    mark(QString::fromUtf8("Unter: unter dem Messbereich"), false);
}

QString TrendWindow::LegendToolTip(int address) const {
    const auto info = InfoOf(address);
    const Trace* t = Find(address);
    if (!t) return {};  // a row of limits or marks explains itself
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
    std::vector<int> remembered;
    for (int address : RememberedStations())
        if (!Shows(address) && InfoOf(address)) remembered.push_back(address);
    if (!remembered.empty()) {
        QStringList names;
        for (int address : remembered) names << Name(InfoOf(address)->title, address);
        menu->addSeparator();
        menu->addAction(QString::fromUtf8("Wie zuletzt: ") + names.join(QStringLiteral(", ")), this, [this, remembered] {
            for (int address : remembered) AddStation(address);
        });
    }
}

QString TrendWindow::CursorText(std::int64_t t) const {
    QString text = DateTimeText(t);
    const std::int64_t column = std::max<std::int64_t>(1, (chart_->To() - chart_->From()) / chart_->Columns());
    for (const auto& trace : traces_) {
        const auto& s = trace->shown;
        auto it = std::upper_bound(s.begin(), s.end(), t, [](std::int64_t x, const Sample& a) { return x < a.t; });
        QString value;
        if (it != s.begin()) {
            const Sample& at = *(it - 1);
            const bool goesOn = it != s.end() && it->kind != SampleKind::Gap && at.kind != SampleKind::Gap;
            if (at.kind != SampleKind::Gap && (goesOn || t - at.t <= column)) value = GermanValue(at, trace->unit);
        }
        if (value.isEmpty())  // no value: was the station asked then?
            value = Polled(t) ? QStringLiteral("keine Antwort") : QStringLiteral("keine Aufzeichnung");
        text += QStringLiteral("   ") + Name(trace->title, trace->address) + QStringLiteral(": ") + value;
    }
    return text;
}

bool TrendWindow::Polled(std::int64_t t) const {
    if (Covers(polling_, t) || Covers(livePolling_, t)) return true;
    // Polls still coming in: the time since the last one is polled time too.
    return !livePolling_.empty() && t >= livePolling_.back().from && Now() - livePolling_.back().to <= kLivePollBreakMs &&
           t <= Now();
}

QStringList TrendWindow::ReportHeader() const {
    QStringList lines;
    lines << (context_.plantTitle ? context_.plantTitle() : QStringLiteral("Verlauf"));
    QStringList stations;
    for (const auto& t : traces_) stations << Name(t->title, t->address) + QStringLiteral(" in ") + t->unit.trimmed();
    lines << QStringLiteral("Stationen: ") + (stations.isEmpty() ? QStringLiteral("keine") : stations.join(QStringLiteral(", ")));
    lines << QStringLiteral("Zeitraum: ") + DateTimeText(chart_->From()) + QStringLiteral(" bis ") + DateTimeText(chart_->To());
    lines << QStringLiteral("Erstellt: ") + DateTimeText(Now());
    return lines;
}

bool TrendWindow::Print(QPrinter& printer) { return PrintTrendReport(printer, ReportHeader(), plotArea_); }

void TrendWindow::Print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(windowTitle());
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Verlauf drucken"));
    if (dialog.exec() != QDialog::Accepted) return;
    status_->setText(Print(printer) ? QStringLiteral("Gedruckt") : QStringLiteral("Nicht gedruckt"));
}

void TrendWindow::SaveState() const {
    if (!context_.stateFile) return;
    const QString path = context_.stateFile();
    if (path.isEmpty()) return;
    QSettings state(path, QSettings::IniFormat);
    state.beginGroup(kStateGroup);
    state.setValue(QStringLiteral("Geometrie"), saveGeometry());
    QStringList addresses;
    for (const auto& t : traces_) addresses << QString::number(t->address);
    state.setValue(QStringLiteral("Stationen"), addresses.join(QLatin1Char(',')));
}

void TrendWindow::RestorePlace() {
    if (!context_.stateFile || context_.stateFile().isEmpty()) return;
    QSettings state(context_.stateFile(), QSettings::IniFormat);
    restoreGeometry(state.value(kStateGroup + QStringLiteral("/Geometrie")).toByteArray());
}

std::vector<int> TrendWindow::RememberedStations() const {
    std::vector<int> addresses;
    if (!context_.stateFile || context_.stateFile().isEmpty()) return addresses;
    QSettings state(context_.stateFile(), QSettings::IniFormat);
    for (const QString& a : state.value(kStateGroup + QStringLiteral("/Stationen")).toString().split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (bool ok = false; a.toInt(&ok), ok) addresses.push_back(a.toInt());
    return addresses;
}

void TrendWindow::closeEvent(QCloseEvent* event) {
    SaveState();
    QWidget::closeEvent(event);
}

// Into memory first: the picture's file is replaced by the rule for the operator's files, never
// written through a link or into a pipe.
bool TrendWindow::SavePng(const QString& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return TrendReportImage(ReportHeader(), plotArea_).save(&buffer, "PNG") &&
           ReplaceFileAtomically(path.toStdString(), bytes.toStdString());
}

bool TrendWindow::SaveCsv(const QString& path) {
    std::vector<ShownTrace> shown;
    for (const auto& t : traces_) shown.push_back({t->address, t->title.trimmed(), t->unit.trimmed(), &t->shown});
    return WriteShownDataCsv(path, shown, chart_->From(), chart_->To());
}

void TrendWindow::AskPng() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Bild speichern"), QStringLiteral("Verlauf.png"),
                                                      QStringLiteral("PNG-Bilder (*.png)"));
    if (path.isEmpty()) return;
    status_->setText(SavePng(path) ? QStringLiteral("Bild gespeichert: ") + path
                                   : QStringLiteral("Bild nicht gespeichert: ") + WhyNotSaved(path));
}

void TrendWindow::AskCsv() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("CSV speichern"), QStringLiteral("Verlauf.csv"),
                                                      QStringLiteral("CSV-Dateien (*.csv)"));
    if (path.isEmpty()) return;
    status_->setText(SaveCsv(path) ? QStringLiteral("CSV gespeichert: ") + path
                                   : QStringLiteral("CSV nicht gespeichert: ") + WhyNotSaved(path));
}
