#pragma once
// One pane of the trend: a Qt Charts view with a time axis (labelled only under the lowest pane),
// one or two value axes titled with their units and, per station drawn in it, its lines and limit
// lines painted as one path inside the chart and the marks of values over and under the range at
// the top and bottom edges. The lines are painted, not line series: a line series cannot be cut
// (a NaN point is drawn across), and one series per piece took 6.6 s to show a day with a pause
// every 20 s (4330 pieces), against a goal of 1 s. A pane only draws; the window in time, the
// zoom and the cursor belong to the TrendChart that holds it, to which it hands the mouse.

#include <QChartView>
#include <QColor>
#include <QList>
#include <vector>

#include "extras/ExtrasContext.h"
#include "extras/ValueScale.h"
#include "records/Downsample.h"

class QCategoryAxis;
class QGraphicsLineItem;
class QScatterSeries;
class QValueAxis;
class TraceLines;
class TrendChart;
struct TimeTick;

class TrendPane : public QChartView {
    Q_OBJECT
public:
    TrendPane(TrendChart* owner, bool timeLabels);

    int AddAxis(const QString& unit, bool right);  // its number within the pane
    int AddTrace(int axis, const QColor& colour, const std::vector<TrendLimit>& limits);
    void SetScale(int axis, const ValueScale& scale);
    void SetTrace(int trace, const DrawnSeries& drawn, double from, double to);
    void SetTimeTicks(double from, double to, const std::vector<TimeTick>& ticks);
    void SetCursorShare(double share);  // negative: none
    // Room added left and right of the plot, so that stacked panes' plots line up.
    void SetExtraRoom(int left, int right);

    QRectF PlotArea() const;
    QValueAxis* Axis(int axis) const { return axes_.at(std::size_t(axis)).axis; }
    const ValueScale& Scale(int axis) const { return axes_.at(std::size_t(axis)).scale; }
    const std::vector<std::vector<DrawPoint>>& Lines(int trace) const;
    int OverMarks(int trace) const;
    int UnderMarks(int trace) const;
    QStringList TimeLabels() const;

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct UnitAxis {
        QValueAxis* axis = nullptr;
        ValueScale scale;
    };
    struct Drawn {
        TraceLines* lines = nullptr;
        QScatterSeries* over = nullptr;
        QScatterSeries* under = nullptr;
        int axis = 0;
    };
    double ShareAt(const QPointF& viewPos) const;  // of the plot's width, from its left edge

    TrendChart* owner_;
    QCategoryAxis* timeAxis_ = nullptr;
    QGraphicsLineItem* cursor_ = nullptr;
    std::vector<UnitAxis> axes_;
    std::vector<Drawn> traces_;
    double cursorShare_ = -1;
};
