#pragma once
// The station overview ("Stationsübersicht"): one row per configured station with its value,
// its state (answering, silent since, resting, not polled, out of range, alarm) and the cause of
// its failures, the age of its value, its failed polls, its cycle and the interval reached, and
// its recording; the active station in bold. The rows come from the main window through
// OverviewContext; the window follows every poll and never asks the bus itself.

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "panel/PollEvents.h"
#include "panel/PollStatistics.h"

class QLabel;
class QSortFilterProxyModel;
class QTableView;
class QTimer;

struct OverviewRow {
    int address = 0;
    QString title;
    QString value;  // as the panel shows it, without the unit
    QString unit;
    std::uint16_t zyklus = 0;
    PollStatistics stats;
    std::optional<std::int64_t> firstFailure;  // of the failures in a row
    std::optional<std::int64_t> restUntil;     // resting after its eleventh failure
    QString cause;                             // why its last poll failed
    bool recording = false;
    bool active = false;
    bool alarm = false;           // an alarm is active
    bool unacknowledged = false;  // an alarm waits for its acknowledgement
    bool operator==(const OverviewRow&) const = default;
};

enum class OverviewState { Answering, Silent, Resting, NotPolled, Over, Under, Alarm };

struct OverviewContext {
    PollEvents* polls = nullptr;
    std::function<std::vector<OverviewRow>()> rows;
    std::function<QString()> linkState;  // what is not normal on the link ("" when all is well)
    std::function<void(int address)> activate;
    std::function<void(int address)> showTrend;
    std::function<void(int address)> editAlarms;
};

class OverviewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Adresse, Titel, Wert, Einheit, Zustand, Alter, Fehlversuche, Zyklus, Erreicht, Aufzeichnung, kColumns };
    static constexpr int kSortRole = Qt::UserRole;

    // The rows as they stand now; rows of the same stations in the same order change in place.
    void SetRows(std::vector<OverviewRow> rows, std::int64_t nowMs);
    void SetNow(std::int64_t nowMs);  // the ages and times move on
    const OverviewRow& Row(int row) const { return rows_[std::size_t(row)]; }

    static OverviewState StateOf(const OverviewRow& r, std::int64_t nowMs);
    static QString StateText(const OverviewRow& r, std::int64_t nowMs);
    static QColor StateColour(OverviewState s);
    static QString StateName(OverviewState s);  // for the legend

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<OverviewRow> rows_;
    std::int64_t now_ = 0;
};

class StationOverview : public QWidget {
    Q_OBJECT
public:
    StationOverview(OverviewContext context, QWidget* owner);
    ~StationOverview() override;

    void Refresh();  // the rows and the link's state again
    QTableView* Table() const { return table_; }
    OverviewModel* Model() const { return model_; }
    QLabel* LinkState() const { return linkState_; }
    int AddressAt(const QModelIndex& viewIndex) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    OverviewContext context_;
    OverviewModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* linkState_ = nullptr;
    QTimer* refresh_ = nullptr;  // polls gathered: one refresh per batch, not one per poll
    int subscription_ = 0;
};
