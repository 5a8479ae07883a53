#include "extras/TrendPane.h"

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsItem>
#include <QGraphicsLineItem>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScatterSeries>
#include <QValueAxis>
#include <QWheelEvent>

#include "extras/TimeTicks.h"
#include "extras/TrendChart.h"

namespace {
constexpr qreal kTriangleSize = 9;
constexpr int kMargin = 4;

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

// One station's lines, painted as polylines in the plot area of the chart it belongs to.
class TraceLines : public QGraphicsItem {
public:
    TraceLines(QChart* chart, const QColor& colour, std::vector<TrendLimit> limits)
        : QGraphicsItem(chart), chart_(chart), colour_(colour), limits_(std::move(limits)) {
        setZValue(5);
    }

    void Set(std::vector<std::vector<DrawPoint>> lines, double from, double to, double low, double high) {
        prepareGeometryChange();
        lines_ = std::move(lines);
        from_ = from;
        to_ = to;
        low_ = low;
        high_ = high;
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
            const QRectF box(area.right() - 120, y - 15, 116, 14);
            painter->drawText(box, Qt::AlignRight | Qt::AlignBottom, limit.name);
        }
    }

private:
    QChart* chart_;
    QColor colour_;
    std::vector<TrendLimit> limits_;
    std::vector<std::vector<DrawPoint>> lines_;
    double from_ = 0, to_ = 1, low_ = 0, high_ = 1;
};

TrendPane::TrendPane(TrendChart* owner, bool timeLabels) : QChartView(new QChart, owner), owner_(owner) {
    setFocusPolicy(Qt::NoFocus);  // the keys go to the chart that holds the panes
    setMouseTracking(true);
    setRenderHint(QPainter::Antialiasing, false);  // thousands of short segments: crisp and fast
    setFrameShape(QFrame::NoFrame);
    QChart* c = chart();
    c->legend()->hide();
    c->setMargins(QMargins(kMargin, kMargin, kMargin, kMargin));
    c->setBackgroundRoundness(0);
    c->setLocalizeNumbers(true);
    c->setLocale(TrendLocale());
    timeAxis_ = new QCategoryAxis;
    timeAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    timeAxis_->setLabelsVisible(timeLabels);
    c->addAxis(timeAxis_, Qt::AlignBottom);
    cursor_ = new QGraphicsLineItem;
    cursor_->setPen(QPen(QColor(0x60, 0x60, 0x60), 1, Qt::DashLine));
    cursor_->setZValue(100);
    cursor_->hide();
    c->scene()->addItem(cursor_);
    connect(c, &QChart::plotAreaChanged, this, [this] {
        for (Drawn& t : traces_) t.lines->update();
        SetCursorShare(cursorShare_);
    });
}

int TrendPane::AddAxis(const QString& unit, bool right) {
    UnitAxis a;
    a.axis = new QValueAxis;
    a.axis->setTitleText(unit);
    a.axis->setTickType(QValueAxis::TicksDynamic);
    chart()->addAxis(a.axis, right ? Qt::AlignRight : Qt::AlignLeft);
    axes_.push_back(a);
    return int(axes_.size()) - 1;
}

int TrendPane::AddTrace(int axis, const QColor& colour, const std::vector<TrendLimit>& limits) {
    Drawn t;
    t.axis = axis;
    t.lines = new TraceLines(chart(), colour, limits);
    t.over = MarkSeries(chart(), timeAxis_, axes_.at(std::size_t(axis)).axis, colour, true);
    t.under = MarkSeries(chart(), timeAxis_, axes_.at(std::size_t(axis)).axis, colour, false);
    traces_.push_back(t);
    return int(traces_.size()) - 1;
}

void TrendPane::SetScale(int axis, const ValueScale& scale) {
    UnitAxis& a = axes_.at(std::size_t(axis));
    a.scale = scale;
    // Each change lays the axis out again at once: a wide range with the old fine step would
    // first make thousands of labels (a quarter of a second for a week), so the step changes
    // on the side where range and step never meet at that.
    const bool finer = scale.step < a.axis->tickInterval();
    if (!finer) {
        a.axis->setTickInterval(scale.step);
        a.axis->setTickAnchor(scale.low);
    }
    a.axis->setRange(scale.low, scale.high);
    if (finer) {
        a.axis->setTickAnchor(scale.low);
        a.axis->setTickInterval(scale.step);
    }
    a.axis->setLabelFormat(QStringLiteral("%.%1f").arg(scale.decimals));
}

void TrendPane::SetTrace(int trace, const DrawnSeries& d, double from, double to) {
    Drawn& t = traces_.at(std::size_t(trace));
    const ValueScale& scale = axes_.at(std::size_t(t.axis)).scale;
    const double overAt = scale.high - (scale.high - scale.low) * 0.03;
    const double underAt = scale.low + (scale.high - scale.low) * 0.03;
    t.lines->Set(d.lines, from, to, scale.low, scale.high);
    QList<QPointF> over, under;
    for (double x : d.over) over.append(QPointF(x, overAt));
    for (double x : d.under) under.append(QPointF(x, underAt));
    t.over->replace(over);
    t.under->replace(under);
}

void TrendPane::SetTimeTicks(double from, double to, const std::vector<TimeTick>& ticks) {
    for (const QString& label : timeAxis_->categoriesLabels()) timeAxis_->remove(label);
    timeAxis_->setRange(from, to);
    timeAxis_->setStartValue(from);
    for (const TimeTick& tick : ticks) timeAxis_->append(tick.label, double(tick.t));
}

void TrendPane::SetCursorShare(double share) {
    cursorShare_ = share;
    if (share < 0) {
        cursor_->hide();
        return;
    }
    const QRectF area = chart()->plotArea();
    const double x = area.left() + share * area.width();
    cursor_->setLine(x, area.top(), x, area.bottom());
    cursor_->show();
}

void TrendPane::SetExtraRoom(int left, int right) {
    const QMargins wanted(kMargin + left, kMargin, kMargin + right, kMargin);
    if (chart()->margins() != wanted) chart()->setMargins(wanted);
}

QRectF TrendPane::PlotArea() const { return chart()->plotArea(); }
const std::vector<std::vector<DrawPoint>>& TrendPane::Lines(int trace) const { return traces_.at(std::size_t(trace)).lines->Lines(); }
int TrendPane::OverMarks(int trace) const { return int(traces_.at(std::size_t(trace)).over->count()); }
int TrendPane::UnderMarks(int trace) const { return int(traces_.at(std::size_t(trace)).under->count()); }
QStringList TrendPane::TimeLabels() const { return timeAxis_->categoriesLabels(); }

double TrendPane::ShareAt(const QPointF& viewPos) const {
    const QRectF area = chart()->plotArea();
    const QPointF scenePos = mapToScene(viewPos.toPoint());
    return area.width() > 0 ? (scenePos.x() - area.left()) / area.width() : 0.0;
}

void TrendPane::wheelEvent(QWheelEvent* event) {
    owner_->WheelAt(ShareAt(event->position()), event->angleDelta().y() / 120);
    event->accept();
}

void TrendPane::mousePressEvent(QMouseEvent* event) {
    owner_->setFocus();
    if (event->button() != Qt::LeftButton) return QChartView::mousePressEvent(event);
    owner_->DragFrom(ShareAt(event->position()));
    event->accept();
}

void TrendPane::mouseMoveEvent(QMouseEvent* event) {
    const QPointF scenePos = mapToScene(event->position().toPoint());
    const QRectF area = chart()->plotArea();
    const double share = ShareAt(event->position());
    owner_->MouseAt(share, area.top() <= scenePos.y() && scenePos.y() <= area.bottom() && share >= 0 && share <= 1);
    event->accept();
}

void TrendPane::mouseReleaseEvent(QMouseEvent* event) {
    owner_->DragEnd();
    event->accept();
}
