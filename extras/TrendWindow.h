#pragma once
// The window "Verlauf": the values of one or more stations over time. Live, every answered poll
// adds its point as it arrives and the view follows the newest value unless the operator has
// moved it; for a chosen day or range of days the stations' recording files are read in the
// background. Time without an answer is a gap; values over or under the range are marks at the
// top or bottom edge.

#include <QFutureWatcher>
#include <QPointer>
#include <QWidget>
#include <atomic>
#include <map>
#include <memory>
#include <vector>

#include "extras/ExtrasContext.h"
#include "records/LocalTime.h"
#include "records/Series.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QListWidget;
class QToolButton;
class QTimer;
class TrendChart;

struct TrendLoad {
    std::map<int, SeriesLoad> stations;
    bool failed = false;  // the load broke off (short of memory): nothing of it is shown
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
    bool Loading() const;

    const std::vector<Sample>* SeriesOf(int address) const;
    TrendChart* Chart() const { return chart_; }
    QString LegendToolTip(int address) const;
    QString CursorText(std::int64_t t) const;  // the time and each station's value there
    QString StatusText() const;
    bool SavePng(const QString& path);
    bool SaveCsv(const QString& path);

signals:
    void loadFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Trace {
        int address = 0;
        QString title;
        QString unit;
        QColor colour;
        std::uint16_t zyklus = 0;
        std::vector<Sample> history;  // from the recording files
        std::vector<Sample> live;     // polled since the window opened
        std::vector<Sample> shown;    // both joined
        GapRule liveRule;
        GapRule shownRule;
    };

    void BuildControls();
    void OnPoll(const PollResult& result);
    void StartLoad(const Date& from, const Date& to);
    void LoadDone();
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
    int colourIndex_ = 0;
};
