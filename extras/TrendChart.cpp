#include "extras/TrendChart.h"

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsLineItem>
#include <QKeyEvent>
#include <QGraphicsItem>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QScatterSeries>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "extras/TimeTicks.h"
#include "extras/ValueScale.h"
#include "records/Downsample.h"
#include "records/LocalTime.h"

namespace {
constexpr std::int64_t kShortestWindowMs = 10'000;
constexpr std::int64_t kLongestWindowMs = 400LL * 86'400'000;
constexpr double kWheelStep = 1.25;
constexpr double kKeyPan = 0.1;
constexpr int kPixelsPerLabel = 110;
constexpr int kPixelsPerDatedLabel = 150;
constexpr double kKeyCursor = 0.02;
constexpr qreal kTriangleSize = 9;

// A triangle pointing to the edge it stands for, as the brush of a scatter marker.
QImage Triangle(const QColor& colour, bool up) {
    const int side = static_cast<int>(kTriangleSize);
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    const qreal s = kTriangleSize;
    if (up) {
        path.moveTo(s / 2, 0);
        path.lineTo(s, s);
        path.lineTo(0, s);
    } else {
        path.moveTo(0, 0);
        path.lineTo(s, 0);
        path.lineTo(s / 2, s);
    }
    path.closeSubpath();
    painter.fillPath(path, colour);
    return image;
}

QScatterSeries* MarkSeries(QChart* chart, QAbstractAxis* x, QAbstractAxis* y, const QColor& colour, bool up) {
    auto* s = new QScatterSeries;
    s->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    s->setMarkerSize(kTriangleSize);
    s->setPen(QColor(Qt::transparent));
    s->setBrush(Triangle(colour, up));
    chart->addSeries(s);
    s->attachAxis(x);
    s->attachAxis(y);
    return s;
}
}  // namespace

QLocale TrendLocale() {
    QLocale german(QLocale::German);
    german.setNumberOptions(QLocale::OmitGroupSeparator);
    return german;
}

// One station's lines, painted as polylines in the plot area of the chart it belongs to.
class TraceLines : public QGraphicsItem {
public:
    explicit TraceLines(QChart* chart) : QGraphicsItem(chart), chart_(chart) { setZValue(5); }

    void Set(std::vector<std::vector<DrawPoint>> lines, double from, double to, double low, double high) {
        prepareGeometryChange();
        lines_ = std::move(lines);
        from_ = from;
        to_ = to;
        low_ = low;
        high_ = high;
        update();
    }
    void SetColour(const QColor& c) {
        colour_ = c;
        update();
    }
    void SetLimits(std::vector<TrendLimit> limits) {
        limits_ = std::move(limits);
        update();
    }
    const std::vector<std::vector<DrawPoint>>& Lines() const { return lines_; }

    QRectF boundingRect() const override { return chart_->plotArea(); }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        const QRectF area = chart_->plotArea();
        if (to_ <= from_ || high_ <= low_) return;
        const double sx = area.width() / (to_ - from_), sy = area.height() / (high_ - low_);
        painter->setClipRect(area);
        // A line that zigzags through every column is drawn one pixel wide: the raster engine
        // draws those directly, while a wider pen is stroked as an outline, which took 14 s for
        // a month of 31 stations.
        std::size_t points = 0;
        for (const auto& line : lines_) points += line.size();
        painter->setPen(QPen(colour_, points > std::size_t(2 * area.width()) ? 1.0 : 1.5));
        QPolygonF polyline;
        for (const auto& line : lines_) {
            polyline.clear();
            polyline.reserve(qsizetype(line.size()));
            for (const DrawPoint& p : line)
                polyline.append(QPointF(area.left() + (p.t - from_) * sx, area.bottom() - (p.value - low_) * sy));
            if (polyline.size() == 1) painter->drawPoint(polyline.front());  // a lone answer between gaps
            else painter->drawPolyline(polyline);
        }
        // Limits: dashed across the plot, named at its right end.
        painter->setPen(QPen(colour_, 1, Qt::DashLine));
        for (const TrendLimit& limit : limits_) {
            const double y = area.bottom() - (limit.value - low_) * sy;
            if (y < area.top() || y > area.bottom()) continue;
            painter->drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
            const QString text = limit.name;
            const QRectF box(area.right() - 120, y - 15, 116, 14);
            painter->drawText(box, Qt::AlignRight | Qt::AlignBottom, text);
        }
    }

private:
    QChart* chart_;
    std::vector<std::vector<DrawPoint>> lines_;
    std::vector<TrendLimit> limits_;
    QColor colour_ = Qt::black;
    double from_ = 0, to_ = 1, low_ = 0, high_ = 1;
};

TrendChart::TrendChart(QWidget* parent) : QChartView(new QChart, parent) {
    setObjectName(QStringLiteral("TrendChart"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setRenderHint(QPainter::Antialiasing, false);  // thousands of short segments: crisp and fast
    QChart* c = chart();
    c->legend()->hide();
    c->setMargins(QMargins(4, 4, 4, 4));
    c->setLocalizeNumbers(true);
    c->setLocale(TrendLocale());
    timeAxis_ = new QCategoryAxis;
    timeAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    c->addAxis(timeAxis_, Qt::AlignBottom);
    cursor_ = new QGraphicsLineItem;
    cursor_->setPen(QPen(QColor(0x60, 0x60, 0x60), 1, Qt::DashLine));
    cursor_->setZValue(100);
    cursor_->hide();
    c->scene()->addItem(cursor_);
    connect(c, &QChart::plotAreaChanged, this, [this] {
        for (Pool& pool : pools_) pool.lines->update();
    });
}

void TrendChart::SetTraces(const std::vector<Trace>& traces) {
    traces_ = traces;
    Rebuild();
    Redraw();
}

void TrendChart::Clear() {
    for (Pool& pool : pools_) {
        delete pool.lines;
        for (QScatterSeries* s : {pool.over, pool.under}) {
            chart()->removeSeries(s);
            delete s;
        }
    }
    pools_.clear();
    for (UnitAxis& a : axes_) {
        chart()->removeAxis(a.axis);
        delete a.axis;
    }
    axes_.clear();
}

// One axis per unit in the order the stations came; the stations' marks attached to theirs.
void TrendChart::Rebuild() {
    Clear();
    for (const Trace& t : traces_) {
        const QString unit = t.unit.trimmed();
        auto it = std::find_if(axes_.begin(), axes_.end(), [&](const UnitAxis& a) { return a.unit == unit; });
        if (it == axes_.end()) {
            UnitAxis a;
            a.unit = unit;
            a.axis = new QValueAxis;
            a.axis->setTitleText(unit);
            a.axis->setTickType(QValueAxis::TicksDynamic);
            chart()->addAxis(a.axis, axes_.size() % 2 == 0 ? Qt::AlignLeft : Qt::AlignRight);
            axes_.push_back(a);
            it = axes_.end() - 1;
        }
        Pool pool;
        pool.axis = int(it - axes_.begin());
        pool.lines = new TraceLines(chart());
        pool.lines->SetColour(t.colour);
        pool.lines->SetLimits(t.limits);
        pool.over = MarkSeries(chart(), timeAxis_, it->axis, t.colour, true);
        pool.under = MarkSeries(chart(), timeAxis_, it->axis, t.colour, false);
        pools_.push_back(pool);
    }
    if (axes_.empty()) {  // an empty chart still shows a scale
        UnitAxis a;
        a.axis = new QValueAxis;
        a.axis->setTickType(QValueAxis::TicksDynamic);
        chart()->addAxis(a.axis, Qt::AlignLeft);
        axes_.push_back(a);
    }
}

int TrendChart::Columns() const { return std::max(1, int(chart()->plotArea().width())); }

void TrendChart::SetWindow(std::int64_t from, std::int64_t to) {
    from_ = from;
    to_ = std::max(to, from + 1);
    Redraw();
}

void TrendChart::Redraw() {
    const int columns = Columns();
    std::vector<DrawnSeries> drawn;
    drawn.reserve(traces_.size());
    struct Range {
        bool any = false;
        double low = 0, high = 0;
        void Take(double lo, double hi) {
            low = any ? std::min(low, lo) : lo;
            high = any ? std::max(high, hi) : hi;
            any = true;
        }
    };
    std::vector<Range> ranges(axes_.size());
    for (std::size_t i = 0; i < traces_.size(); ++i) {
        const Trace& t = traces_[i];
        drawn.push_back(t.samples ? Downsample(*t.samples, from_, to_, columns) : DrawnSeries{});
        const DrawnSeries& d = drawn.back();
        Range& r = ranges[std::size_t(pools_[i].axis)];
        if (d.hasValues) r.Take(d.low, d.high);
        for (const TrendLimit& limit : t.limits) r.Take(limit.value, limit.value);  // a limit is always in sight
    }
    const int pixels = std::max(1, int(chart()->plotArea().height()));
    for (std::size_t a = 0; a < axes_.size(); ++a) {
        UnitAxis& axis = axes_[a];
        const Range& r = ranges[a];
        axis.scale = ChooseValueScale(r.any ? r.low : 0, r.any ? r.high : 1, pixels);
        // The chart lays its ticks out at each of these calls: the old step over the new range
        // (or the new step over the old range) would make one tick item per step, hundreds of
        // thousands when an axis goes from bar to mbar, for seconds. What makes fewer ticks first.
        if (axis.scale.step >= axis.axis->tickInterval()) {
            axis.axis->setTickInterval(axis.scale.step);
            axis.axis->setTickAnchor(axis.scale.low);
            axis.axis->setRange(axis.scale.low, axis.scale.high);
        } else {
            axis.axis->setRange(axis.scale.low, axis.scale.high);
            axis.axis->setTickAnchor(axis.scale.low);
            axis.axis->setTickInterval(axis.scale.step);
        }
        axis.axis->setLabelFormat(QStringLiteral("%.%1f").arg(axis.scale.decimals));
    }
    for (std::size_t i = 0; i < traces_.size(); ++i) {
        Pool& pool = pools_[i];
        const DrawnSeries& d = drawn[i];
        const ValueScale& scale = axes_[std::size_t(pool.axis)].scale;
        const double overAt = scale.high - (scale.high - scale.low) * 0.03;
        const double underAt = scale.low + (scale.high - scale.low) * 0.03;
        pool.lines->Set(d.lines, double(from_), double(to_), scale.low, scale.high);
        QList<QPointF> over, under;
        for (double t : d.over) over.append(QPointF(t, overAt));
        for (double t : d.under) under.append(QPointF(t, underAt));
        pool.over->replace(over);
        pool.under->replace(under);
    }
    UpdateTimeAxis();
    TellCursor();
}

void TrendChart::UpdateTimeAxis() {
    for (const QString& label : timeAxis_->categoriesLabels()) timeAxis_->remove(label);
    timeAxis_->setRange(double(from_), double(to_));
    timeAxis_->setStartValue(double(from_));
    const bool dated = DateOfLocalMs(from_) != DateOfLocalMs(to_ - 1);
    for (const TimeTick& tick : TimeTicks(from_, to_, Columns() / (dated ? kPixelsPerDatedLabel : kPixelsPerLabel)))
        if (tick.t > from_ && tick.t < to_ - (to_ - from_) / 25)  // a label at the very edge would be cut
            timeAxis_->append(tick.label, double(tick.t));
}

int TrendChart::LinePieces(int trace) const { return int(pools_.at(std::size_t(trace)).lines->Lines().size()); }
QList<QPointF> TrendChart::LinePoints(int trace, int line) const {
    QList<QPointF> points;
    for (const DrawPoint& p : pools_.at(std::size_t(trace)).lines->Lines().at(std::size_t(line))) points.append(QPointF(p.t, p.value));
    return points;
}
int TrendChart::OverMarks(int trace) const { return int(pools_.at(std::size_t(trace)).over->count()); }
int TrendChart::UnderMarks(int trace) const { return int(pools_.at(std::size_t(trace)).under->count()); }
int TrendChart::AxisOf(int trace) const { return pools_.empty() ? 0 : pools_.at(std::size_t(trace)).axis; }
double TrendChart::ValueAxisMax(int trace) const { return axes_.at(std::size_t(AxisOf(trace))).axis->max(); }
double TrendChart::ValueAxisMin(int trace) const { return axes_.at(std::size_t(AxisOf(trace))).axis->min(); }
QString TrendChart::AxisTitle(int axis) const { return axes_.at(std::size_t(axis)).axis->titleText(); }
Qt::Alignment TrendChart::AxisSide(int axis) const { return axes_.at(std::size_t(axis)).axis->alignment(); }
ValueScale TrendChart::AxisScale(int axis) const { return axes_.at(std::size_t(axis)).scale; }
QStringList TrendChart::TimeLabels() const { return timeAxis_->categoriesLabels(); }

std::int64_t TrendChart::TimeAt(const QPointF& viewPos) const {
    const QRectF area = chart()->plotArea();
    const QPointF scenePos = mapToScene(viewPos.toPoint());
    const double f = area.width() > 0 ? (scenePos.x() - area.left()) / area.width() : 0.0;
    return from_ + std::int64_t(std::llround(f * double(to_ - from_)));
}

void TrendChart::Operator(std::int64_t from, std::int64_t to) {
    const std::int64_t span = std::clamp(to - from, kShortestWindowMs, kLongestWindowMs);
    const std::int64_t centre = from + (to - from) / 2;
    SetWindow(centre - span / 2, centre - span / 2 + span);
    emit windowMoved(from_, to_);
}

void TrendChart::MoveBy(double fraction) {
    const auto shift = std::int64_t(std::llround(fraction * double(to_ - from_)));
    Operator(from_ + shift, to_ + shift);
}

void TrendChart::ZoomAround(std::int64_t centre, double factor) {
    const double from = double(centre) - double(centre - from_) * factor;
    const double to = double(centre) + double(to_ - centre) * factor;
    Operator(std::int64_t(std::llround(from)), std::int64_t(std::llround(to)));
}

void TrendChart::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0) return;
    ZoomAround(TimeAt(event->position()), std::pow(kWheelStep, -steps));
    event->accept();
}

void TrendChart::mousePressEvent(QMouseEvent* event) {
    setFocus();
    if (event->button() != Qt::LeftButton) return QChartView::mousePressEvent(event);
    dragging_ = true;
    dragStart_ = event->position();
    dragFrom_ = from_;
    dragTo_ = to_;
    event->accept();
}

void TrendChart::mouseMoveEvent(QMouseEvent* event) {
    PlaceCursor(event->position());
    if (!dragging_) return;
    const double width = std::max(1.0, chart()->plotArea().width());
    const auto shift = std::int64_t(std::llround((dragStart_.x() - event->position().x()) / width * double(dragTo_ - dragFrom_)));
    Operator(dragFrom_ + shift, dragTo_ + shift);
    event->accept();
}

void TrendChart::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    event->accept();
}

void TrendChart::keyPressEvent(QKeyEvent* event) {
    const double share = cursorShare_ >= 0 ? cursorShare_ : 0.5;
    const std::int64_t centre = from_ + std::int64_t(std::llround(share * double(to_ - from_)));
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Left:
        if (shift) SetCursorShare(std::max(0.0, share - kKeyCursor));
        else MoveBy(-kKeyPan);
        break;
    case Qt::Key_Right:
        if (shift) SetCursorShare(std::min(1.0, share + kKeyCursor));
        else MoveBy(kKeyPan);
        break;
    case Qt::Key_PageUp: MoveBy(-1.0); break;
    case Qt::Key_PageDown: MoveBy(1.0); break;
    case Qt::Key_Plus:
    case Qt::Key_Up: ZoomAround(centre, 1.0 / kWheelStep); break;
    case Qt::Key_Minus:
    case Qt::Key_Down: ZoomAround(centre, kWheelStep); break;
    case Qt::Key_End: emit followAsked(); break;
    case Qt::Key_Home: {
        std::int64_t first = from_;
        for (const Trace& t : traces_)
            if (t.samples && !t.samples->empty()) first = std::min(first, t.samples->front().t);
        Operator(first, first + (to_ - from_));
        break;
    }
    default: QChartView::keyPressEvent(event); return;
    }
    event->accept();
}

void TrendChart::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    Redraw();  // the number of pixel columns changed
}

void TrendChart::PlaceCursor(const QPointF& at) {
    const QRectF area = chart()->plotArea();
    const QPointF scenePos = mapToScene(at.toPoint());
    if (!area.contains(scenePos) || area.width() <= 0) return;  // it stays where it was
    SetCursorShare((scenePos.x() - area.left()) / area.width());
}

void TrendChart::SetCursorShare(double share) {
    cursorShare_ = share;
    TellCursor();
}

void TrendChart::TellCursor() {
    if (cursorShare_ < 0) {
        cursor_->hide();
        return;
    }
    const QRectF area = chart()->plotArea();
    const double x = area.left() + cursorShare_ * area.width();
    cursor_->setLine(x, area.top(), x, area.bottom());
    cursor_->show();
    emit cursorAt(from_ + std::int64_t(std::llround(cursorShare_ * double(to_ - from_))));
}
