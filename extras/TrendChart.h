#pragma once
// The drawing of the trend: one Qt Charts view with a time axis, one value axis per unit (each
// titled with its unit, the first on the left, the second on the right, further ones beside
// them) and, per station, the lines of its values (min/max per pixel column, cut at gaps), its
// limit lines and the marks of values over and under the range at the top and bottom edges.
// The lines are one painted path per station inside the chart, not line series: a line series
// cannot be cut (a NaN point is drawn across), and one series per piece took 6.6 s to show a
// day with a pause every 20 s (4330 pieces), against a goal of 1 s. The operator zooms and pans with the mouse
// (wheel, dragging) and the keyboard (arrows, + and -, Home, End); the wheel zooms around the
// time under the mouse, the keys around the cursor line. The cursor line follows the mouse, stays
// where the mouse left the plot and moves with Shift+arrows; after every zoom, scroll or redraw
// the chart tells the time under it again, so a read-out never lags behind the view.

#include <QChartView>
#include <QColor>
#include <QList>
#include <QLocale>
#include <QString>
#include <cstdint>
#include <vector>

#include "extras/ExtrasContext.h"
#include "extras/ValueScale.h"
#include "records/Series.h"

class QCategoryAxis;
class QValueAxis;
class QScatterSeries;
class TraceLines;
class QGraphicsLineItem;

// Numbers as the trend writes them everywhere: decimal comma, no thousands separator.
QLocale TrendLocale();

class TrendChart : public QChartView {
    Q_OBJECT
public:
    struct Trace {
        const std::vector<Sample>* samples = nullptr;
        QColor colour;
        QString unit;
        std::vector<TrendLimit> limits;  // the ones to draw
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
    double ValueAxisMax(int trace = 0) const;
    double ValueAxisMin(int trace = 0) const;
    int ValueAxes() const { return int(axes_.size()); }
    int AxisOf(int trace) const;
    QString AxisTitle(int axis) const;
    Qt::Alignment AxisSide(int axis) const;
    ValueScale AxisScale(int axis) const;
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
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Pool {
        TraceLines* lines = nullptr;
        QScatterSeries* over = nullptr;
        QScatterSeries* under = nullptr;
        int axis = 0;
    };
    struct UnitAxis {
        QString unit;
        QValueAxis* axis = nullptr;
        ValueScale scale;
    };
    void Rebuild();
    void Clear();
    void TellCursor();
    void MoveBy(double fraction);
    void ZoomAround(std::int64_t centre, double factor);
    void Operator(std::int64_t from, std::int64_t to);
    void UpdateTimeAxis();
    void PlaceCursor(const QPointF& at);
    std::int64_t TimeAt(const QPointF& viewPos) const;

    QCategoryAxis* timeAxis_ = nullptr;
    std::vector<UnitAxis> axes_;
    double cursorShare_ = -1;
    QGraphicsLineItem* cursor_ = nullptr;
    std::vector<Trace> traces_;
    std::vector<Pool> pools_;
    std::int64_t from_ = 0;
    std::int64_t to_ = 600'000;
    bool dragging_ = false;
    QPointF dragStart_;
    std::int64_t dragFrom_ = 0, dragTo_ = 0;
};
