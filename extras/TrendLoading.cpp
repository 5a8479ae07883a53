// The trend window's reading of recording files in the background: the days asked for (whole,
// or from the files' summaries for more than a week), the days in view read whole again when the
// view is finer than a summary, and how the reads are joined with the live points.

#include <QDateEdit>
#include <QLabel>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

#include "extras/TrendChart.h"
#include "extras/TrendParts.h"
#include "extras/TrendWindow.h"
#include "records/RecordingFiles.h"
#include "records/RecordingSummary.h"

using namespace trend;

namespace {
// Up to this many days the records are read whole; longer ranges come from the summaries.
constexpr std::int64_t kWholeDays = 7;
// Finer than this per pixel column, the summary no longer looks like the records.
constexpr std::int64_t kSummaryColumnMs = 2 * kSummaryGrainMs;

// "1 Datei", "3 Dateien".
QString Counted(std::uint64_t n, const char* one, const char* many) {
    return QStringLiteral("%1 ").arg(n) + QString::fromUtf8(n == 1 ? one : many);
}

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
    } catch (const std::exception&) {
        load = TrendLoad{};
        load.failed = true;
    }
    try {  // told apart even when the records failed
        load.polling = ReadPollingPeriods(folder, from, to);
    } catch (const std::exception&) {
        load.polling.clear();
    }
    return load;
}
}  // namespace

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
    TrendLoad load = detailWatcher_->future().takeResult();
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
    trace.shownOverview = trace.overview.empty() ? std::vector<Sample>() : MergeSeries(trace.overview, trace.live);
    trace.shownRule = trace.overviewRule = trace.liveRule;
}

void TrendWindow::LoadDone() {
    TrendLoad load = watcher_->future().takeResult();  // a month of many stations: moved, not copied
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
        trace->overview = std::move(series.overview);
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
    // Drawn once, in the window it ends in.
    SetChartTraces(false);
    if (showLoadedDays_) chart_->SetWindow(LocalMs(loadedFrom_), LocalMs(NextDay(loadedTo_)), false);
    Redraw();
    StartDetail();
    emit loadFinished();
}
