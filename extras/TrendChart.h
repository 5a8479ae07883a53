#pragma once
// The drawing of the trend: one Qt Charts view with a time axis, a value axis and, per station,
// the lines of its values (min/max per pixel column, cut at gaps) and the marks of values over
// and under the range at the top and bottom edges.
// The lines are one painted path per station inside the chart, not line series: a line series
// cannot be cut (a NaN point is drawn across), and one series per piece took 6.6 s to show a
// day with a pause every 20 s (4330 pieces), against a goal of 1 s. The operator zooms and pans with the mouse
// (wheel, dragging) and the keyboard (arrows, + and -, Home, End); a cursor line follows the
// mouse.

#include <QChartView>
#include <QColor>
#include <QList>
#include <QString>
#include <cstdint>
#include <vector>

#include "records/Series.h"

class QCategoryAxis;
class QValueAxis;
class QScatterSeries;
class TraceLines;
class QGraphicsLineItem;

class TrendChart : public QChartView {
    Q_OBJECT
public:
    struct Trace {
        const std::vector<Sample>* samples = nullptr;
        QColor colour;
    };

    explicit TrendChart(QWidget* parent = nullptr);

    void SetTraces(const std::vector<Trace>& traces);
    void SetWindow(std::int64_t from, std::int64_t to);  // redraws
    std::int64_t From() const { return from_; }
    std::int64_t To() const { return to_; }
    void Redraw();

    // What is drawn, for tests and the benchmark: per trace its lines and marks.
    int LinePieces(int trace) const;
    QList<QPointF> LinePoints(int trace, int line) const;
    int OverMarks(int trace) const;
    int UnderMarks(int trace) const;
    double ValueAxisMax() const;
    double ValueAxisMin() const;
    int Columns() const;

signals:
    // The operator zoomed or panned: the new window.
    void windowMoved(std::int64_t from, std::int64_t to);
    // The operator asked to follow the newest values again (End).
    void followAsked();
    // The cursor stands at this time (ms on the local time line); -1 when it left the plot.
    void cursorAt(std::int64_t t);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Pool {
        TraceLines* lines = nullptr;
        QScatterSeries* over = nullptr;
        QScatterSeries* under = nullptr;
    };
    void Ensure(std::size_t traces);
    void MoveBy(double fraction);
    void ZoomAround(std::int64_t centre, double factor);
    void Operator(std::int64_t from, std::int64_t to);
    void UpdateTimeAxis();
    void PlaceCursor(const QPointF& at);
    std::int64_t TimeAt(const QPointF& viewPos) const;

    QCategoryAxis* timeAxis_ = nullptr;
    QValueAxis* valueAxis_ = nullptr;
    QGraphicsLineItem* cursor_ = nullptr;
    std::vector<Trace> traces_;
    std::vector<Pool> pools_;
    std::int64_t from_ = 0;
    std::int64_t to_ = 600'000;
    bool dragging_ = false;
    QPointF dragStart_;
    std::int64_t dragFrom_ = 0, dragTo_ = 0;
};
