#pragma once
// The drawing of the trend: one value axis per unit, titled with its unit, as AxisPlan places
// them (two units in one pane, left and right; more in stacked panes, one each, over one time
// axis), and per station the lines of its values (min/max per pixel column, cut at gaps), its
// limit lines and the marks of values over and under the range. The operator zooms and pans with
// the mouse in any pane (wheel, dragging) and the keyboard (arrows, + and -, Home, End); the
// wheel zooms around the time under the mouse, the keys around the cursor line. The cursor line
// runs through every pane, follows the mouse, stays where the mouse left the plot and moves with
// Shift+arrows; after every zoom, scroll or redraw the chart tells the time under it again, so
// that a read-out never lags behind the view.

#include <QColor>
#include <QList>
#include <QLocale>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "extras/AxisPlan.h"
#include "extras/ExtrasContext.h"
#include "extras/ValueScale.h"
#include "records/Series.h"

class TrendPane;

// Numbers as the trend writes them everywhere: decimal comma, no thousands separator.
QLocale TrendLocale();

class TrendChart : public QWidget {
    Q_OBJECT
public:
    struct Trace {
        const std::vector<Sample>* samples = nullptr;
        // The same at kOverviewGrainMs (long ranges from summaries), drawn while a pixel column
        // spans two of its grains or more; else none.
        const std::vector<Sample>* overview = nullptr;
        QColor colour;
        QString unit;
        std::vector<TrendLimit> limits;  // the ones to draw
    };

    explicit TrendChart(QWidget* parent = nullptr);

    // Both redraw unless told not to (when the other follows at once).
    void SetTraces(const std::vector<Trace>& traces, bool redraw = true);
    void SetWindow(std::int64_t from, std::int64_t to, bool redraw = true);
    std::int64_t From() const { return from_; }
    std::int64_t To() const { return to_; }
    void Redraw();

    // What is drawn, for tests and the benchmark: per trace its lines and marks.
    int LinePieces(int trace) const;
    QList<QPointF> LinePoints(int trace, int line) const;
    int OverMarks(int trace) const;
    int UnderMarks(int trace) const;
    bool DrawsOverview(int trace) const { return drawnFromOverview_.at(std::size_t(trace)); }
    double ValueAxisMax(int trace = 0) const;
    double ValueAxisMin(int trace = 0) const;
    int ValueAxes() const { return int(plan_.axes.size()); }
    int AxisOf(int trace) const;
    QString AxisTitle(int axis) const;
    Qt::Alignment AxisSide(int axis) const;
    ValueScale AxisScale(int axis) const;
    int Panes() const { return int(panes_.size()); }
    int PaneOf(int axis) const { return plan_.axes.at(std::size_t(axis)).pane; }
    QRect PlotRect(int pane) const;  // in this widget's coordinates
    QStringList TimeLabels() const;
    QColor TraceColour(int trace) const { return traces_.at(std::size_t(trace)).colour; }
    int Columns() const;
    // The cursor line at this share of the plot's width (0..1); negative: none.
    void SetCursorShare(double share);
    double CursorShare() const { return cursorShare_; }

signals:
    // The operator zoomed or panned: the new window.
    void windowMoved(std::int64_t from, std::int64_t to);
    // The operator asked to follow the newest values again (End).
    void followAsked();
    // The cursor stands at this time (ms on the local time line); told after every move of the
    // view too.
    void cursorAt(std::int64_t t);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TrendPane;  // hands on the mouse, as shares of the plot's width
    void WheelAt(double share, int steps);
    void DragFrom(double share);
    void MouseAt(double share, bool inPlot);
    void DragEnd() { dragging_ = false; }

    struct Place {
        int pane = 0;
        int slot = 0;  // the trace's number within its pane
    };
    void Rebuild();
    bool SameLayout(const std::vector<Trace>& traces) const;
    void LayOutPanes();
    void AlignPanes();
    void TellCursor();
    void MoveBy(double fraction);
    void ZoomAround(std::int64_t centre, double factor);
    void Operator(std::int64_t from, std::int64_t to);
    void UpdateTimeAxis();

    std::vector<TrendPane*> panes_;
    AxisPlan plan_;
    std::vector<Place> places_;
    std::vector<std::pair<int, int>> axisPlaces_;  // pane and number within it, per axis
    std::vector<bool> drawnFromOverview_;
    std::vector<ValueScale> scales_;
    double cursorShare_ = -1;
    std::vector<Trace> traces_;
    std::int64_t from_ = 0;
    std::int64_t to_ = 600'000;
    bool dragging_ = false;
    double dragShare_ = 0;
    std::int64_t dragFrom_ = 0, dragTo_ = 0;
};
