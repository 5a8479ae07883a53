#pragma once
// The window "Verlauf": the values of one or more stations over time. Live, every answered poll
// adds its point as it arrives and the view follows the newest value unless the operator has
// moved it; for a chosen day or range of days the stations' recording files are read in the
// background: up to a week whole, longer ranges from the files' summaries (records/
// RecordingSummary), and the days in view read whole again as soon as the view is finer than a
// summary. Time without an answer is a gap; values over or under the range are marks at the top
// or bottom edge. The window keeps its place and stations in the context's state file.

#include <QFutureWatcher>
#include <QPointer>
#include <QWidget>
#include <atomic>
#include <map>
#include <memory>
#include <vector>

#include "extras/ExtrasContext.h"
#include "records/LocalTime.h"
#include "records/PollingPeriods.h"
#include "records/Series.h"

class QComboBox;
class QPrinter;
class QDateEdit;
class QLabel;
class QListWidget;
class QToolButton;
class QTimer;
class TrendChart;

struct TrendLoad {
    std::map<int, SeriesLoad> stations;
    bool failed = false;  // the load broke off (short of memory): nothing of it is shown
    std::vector<Period> polling;  // when the program polled, by its event log
};

class TrendWindow : public QWidget {
    Q_OBJECT
public:
    explicit TrendWindow(ExtrasContext context, QWidget* parent = nullptr);
    ~TrendWindow() override;

    void AddStation(int address);
    void RemoveStation(int address);
    std::vector<int> Stations() const;
    bool Shows(int address) const;

    // The choices of the range box: 10 minutes, an hour, 8 hours, a day.
    static std::int64_t SpanMs(int choice);
    void ChooseSpan(int choice);
    void FollowNewest();
    bool Following() const { return following_; }
    // Reads the recording files of these days in the background; the view shows the whole range.
    void LoadDays(const Date& from, const Date& to);
    // Whether the days loaded come from the files' summaries, and whether the days in view have
    // been read whole besides.
    bool Summarised() const { return coarse_; }
    bool DetailShown() const { return hasDetail_; }

    const std::vector<Sample>* SeriesOf(int address) const;
    TrendChart* Chart() const { return chart_; }
    QString LegendToolTip(int address) const;
    QString CursorText(std::int64_t t) const;  // the time and each station's value there
    QString StatusText() const;
    QString SpanText() const;  // what the range box says
    void ShowLimit(int address, const QString& name, bool shown);
    QStringList ReportHeader() const;  // above a printed trend or a saved image
    bool SavePng(const QString& path);
    bool SaveCsv(const QString& path);
    bool Print(QPrinter& printer);
    // Place and stations into the state file, and back.
    void SaveState() const;
    void RestorePlace();
    std::vector<int> RememberedStations() const;

signals:
    void loadFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool Loading() const;
    struct Trace {
        int address = 0;
        QString title;
        QString unit;
        QColor colour;
        std::uint16_t zyklus = 0;
        std::vector<TrendLimit> limits;
        std::vector<QString> hiddenLimits;
        std::vector<Sample> history;   // from the recording files (or their summaries)
        std::vector<Sample> overview;  // from the summaries' coarser grain (long ranges only)
        std::vector<Sample> detail;    // the days in view read whole, while history is summarised
        std::vector<Sample> live;      // polled since the window opened
        std::vector<Sample> shown;     // all joined
        std::vector<Sample> shownOverview;  // the overview joined with the live points
        GapRule liveRule;
        GapRule shownRule;
        GapRule overviewRule;
    };

    void BuildControls();
    void OnPoll(const PollResult& result);
    void StartLoad(const Date& from, const Date& to);
    void LoadDone();
    void StartDetail();
    void DetailDone();
    void Compose(Trace& trace);
    void SetChartTraces(bool redraw = true);
    void UpdateSpanBox();
    void Print();
    bool Polled(std::int64_t t) const;
    void ScheduleRedraw();
    void Redraw();
    void UpdateNames();
    void UpdateCaption();
    void RebuildLegend();
    void FillAddMenu();
    void AskPng();
    void AskCsv();
    Trace* Find(int address);
    const Trace* Find(int address) const;
    std::optional<StationInfo> InfoOf(int address) const;
    std::int64_t Now() const;

    ExtrasContext context_;
    int subscription_ = 0;
    std::vector<std::unique_ptr<Trace>> traces_;
    TrendChart* chart_ = nullptr;
    QWidget* plotArea_ = nullptr;
    QListWidget* legend_ = nullptr;
    QComboBox* spanBox_ = nullptr;
    QDateEdit* fromEdit_ = nullptr;
    QDateEdit* toEdit_ = nullptr;
    QToolButton* addButton_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* cursorLabel_ = nullptr;
    QTimer* clock_ = nullptr;
    bool following_ = true;
    bool redrawPending_ = false;
    std::int64_t span_ = 600'000;
    // The days whose files are loaded (live: yesterday and today).
    Date loadedFrom_, loadedTo_;
    bool history_ = false;
    QString loadStatus_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    QPointer<QFutureWatcher<TrendLoad>> watcher_;
    bool showLoadedDays_ = false;
    // Long ranges: summaries, and the days in view read whole.
    bool coarse_ = false;
    bool hasDetail_ = false;
    Date detailFrom_, detailTo_;
    std::shared_ptr<std::atomic<bool>> detailCancel_;
    QPointer<QFutureWatcher<TrendLoad>> detailWatcher_;
    // When the program polled: by the event log of the days loaded, and as the polls came.
    std::vector<Period> polling_;
    std::vector<Period> livePolling_;
    std::map<int, QColor> colours_;  // a station keeps its colour in this window
};
