#include "extras/TrendChart.h"

#include <QChart>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QKeyEvent>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "extras/TimeTicks.h"
#include "extras/TrendPane.h"
#include "records/Downsample.h"
#include "records/LocalTime.h"
#include "records/RecordingSummary.h"

namespace {
constexpr std::int64_t kShortestWindowMs = 10'000;
constexpr std::int64_t kLongestWindowMs = 400LL * 86'400'000;
constexpr double kWheelStep = 1.25;
constexpr double kKeyPan = 0.1;
constexpr int kPixelsPerLabel = 110;
constexpr int kPixelsPerDatedLabel = 150;
constexpr double kKeyCursor = 0.02;
}  // namespace

QLocale TrendLocale() {
    QLocale german(QLocale::German);
    german.setNumberOptions(QLocale::OmitGroupSeparator);
    return german;
}

TrendChart::TrendChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TrendChart"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    Rebuild();
}

bool TrendChart::SameLayout(const std::vector<Trace>& traces) const {
    return !panes_.empty() &&
           std::equal(traces.begin(), traces.end(), traces_.begin(), traces_.end(), [](const Trace& a, const Trace& b) {
               return a.unit.trimmed() == b.unit.trimmed() && a.colour == b.colour &&
                      std::equal(a.limits.begin(), a.limits.end(), b.limits.begin(), b.limits.end(),
                                 [](const TrendLimit& x, const TrendLimit& y) { return x.name == y.name && x.value == y.value; });
           });
}

// New data for the same stations (a load done) keeps the panes and axes: making a pane's series
// again costs more than drawing a month.
void TrendChart::SetTraces(const std::vector<Trace>& traces, bool redraw) {
    const bool same = SameLayout(traces);
    traces_ = traces;
    if (!same) Rebuild();
    if (redraw) Redraw();
}

void TrendChart::Rebuild() {
    for (TrendPane* pane : panes_) delete pane;
    panes_.clear();
    std::vector<QString> units;
    for (const Trace& t : traces_) units.push_back(t.unit);
    plan_ = PlanAxes(units);
    for (int p = 0; p < plan_.panes; ++p) {
        auto* pane = new TrendPane(this, p == plan_.panes - 1);
        pane->show();
        panes_.push_back(pane);
    }
    axisPlaces_.clear();
    for (const AxisPlan::Axis& a : plan_.axes) {
        TrendPane* pane = panes_.at(std::size_t(a.pane));
        axisPlaces_.emplace_back(a.pane, pane->AddAxis(a.unit, a.right));
    }
    places_.clear();
    for (std::size_t i = 0; i < traces_.size(); ++i) {
        const auto [pane, axis] = axisPlaces_.at(std::size_t(plan_.axisOfTrace[i]));
        places_.push_back({pane, panes_.at(std::size_t(pane))->AddTrace(axis, traces_[i].colour, traces_[i].limits)});
    }
    scales_.assign(plan_.axes.size(), ValueScale{});
    drawnFromOverview_.assign(traces_.size(), false);
    LayOutPanes();
}

void TrendChart::LayOutPanes() {
    const int band = fontMetrics().height() * 2 + 10;  // the time labels under the lowest pane
    const std::vector<int> heights = PaneHeights(height(), Panes(), band);
    int y = 0;
    for (int p = 0; p < Panes(); ++p) {
        panes_[std::size_t(p)]->setGeometry(0, y, width(), heights[std::size_t(p)]);
        y += heights[std::size_t(p)];
    }
}

// Stacked panes' plots start and end at the same x, whatever width their axes' labels take:
// each pane laid out on its own first, then given the room that the widest one needed.
void TrendChart::AlignPanes() {
    if (Panes() < 2) return;
    std::vector<QRectF> areas;
    for (TrendPane* pane : panes_) {
        pane->SetExtraRoom(0, 0);
        pane->chart()->layout()->invalidate();
        pane->chart()->layout()->activate();
        areas.push_back(pane->PlotArea());
    }
    double left = 0, right = width();
    for (const QRectF& a : areas) {
        left = std::max(left, a.left());
        right = std::min(right, a.right());
    }
    for (std::size_t p = 0; p < panes_.size(); ++p) {
        panes_[p]->SetExtraRoom(int(std::lround(left - areas[p].left())), int(std::lround(areas[p].right() - right)));
        panes_[p]->chart()->layout()->activate();
    }
}

int TrendChart::Columns() const { return std::max(1, int(panes_.front()->PlotArea().width())); }

void TrendChart::SetWindow(std::int64_t from, std::int64_t to, bool redraw) {
    from_ = from;
    to_ = std::max(to, from + 1);
    if (redraw) Redraw();
}

void TrendChart::Redraw() {
    const int columns = Columns();
    const bool coarse = (to_ - from_) / columns >= 2 * kOverviewGrainMs;
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
    std::vector<Range> ranges(plan_.axes.size());
    for (std::size_t i = 0; i < traces_.size(); ++i) {
        const Trace& t = traces_[i];
        const std::vector<Sample>* series = coarse && t.overview ? t.overview : t.samples;
        drawnFromOverview_[i] = series && series == t.overview;
        drawn.push_back(series ? Downsample(*series, from_, to_, columns) : DrawnSeries{});
        const DrawnSeries& d = drawn.back();
        Range& r = ranges[std::size_t(plan_.axisOfTrace[i])];
        if (d.hasValues) r.Take(d.low, d.high);
        for (const TrendLimit& limit : t.limits) r.Take(limit.value, limit.value);  // a limit is always in sight
    }
    for (std::size_t a = 0; a < plan_.axes.size(); ++a) {
        const auto [pane, axis] = axisPlaces_[a];
        const int pixels = std::max(1, int(panes_[std::size_t(pane)]->PlotArea().height()));
        const Range& r = ranges[a];
        scales_[a] = ChooseValueScale(r.any ? r.low : 0, r.any ? r.high : 1, pixels);
        panes_[std::size_t(pane)]->SetScale(axis, scales_[a]);
    }
    for (std::size_t i = 0; i < traces_.size(); ++i)
        panes_[std::size_t(places_[i].pane)]->SetTrace(places_[i].slot, drawn[i], double(from_), double(to_));
    UpdateTimeAxis();
    AlignPanes();
    TellCursor();
}

void TrendChart::UpdateTimeAxis() {
    const bool dated = DateOfLocalMs(from_) != DateOfLocalMs(to_ - 1);
    std::vector<TimeTick> ticks;
    for (TimeTick& tick : TimeTicks(from_, to_, Columns() / (dated ? kPixelsPerDatedLabel : kPixelsPerLabel)))
        if (tick.t > from_ && tick.t < to_ - (to_ - from_) / 25)  // a label at the very edge would be cut
            ticks.push_back(std::move(tick));
    for (TrendPane* pane : panes_) pane->SetTimeTicks(double(from_), double(to_), ticks);
}

int TrendChart::LinePieces(int trace) const {
    const Place& p = places_.at(std::size_t(trace));
    return int(panes_.at(std::size_t(p.pane))->Lines(p.slot).size());
}
QList<QPointF> TrendChart::LinePoints(int trace, int line) const {
    const Place& p = places_.at(std::size_t(trace));
    QList<QPointF> points;
    for (const DrawPoint& d : panes_.at(std::size_t(p.pane))->Lines(p.slot).at(std::size_t(line))) points.append(QPointF(d.t, d.value));
    return points;
}
int TrendChart::OverMarks(int trace) const {
    const Place& p = places_.at(std::size_t(trace));
    return panes_.at(std::size_t(p.pane))->OverMarks(p.slot);
}
int TrendChart::UnderMarks(int trace) const {
    const Place& p = places_.at(std::size_t(trace));
    return panes_.at(std::size_t(p.pane))->UnderMarks(p.slot);
}
int TrendChart::AxisOf(int trace) const { return traces_.empty() ? 0 : plan_.axisOfTrace.at(std::size_t(trace)); }
double TrendChart::ValueAxisMax(int trace) const { return scales_.at(std::size_t(AxisOf(trace))).high; }
double TrendChart::ValueAxisMin(int trace) const { return scales_.at(std::size_t(AxisOf(trace))).low; }
QString TrendChart::AxisTitle(int axis) const {
    const auto [pane, number] = axisPlaces_.at(std::size_t(axis));
    return panes_.at(std::size_t(pane))->Axis(number)->titleText();
}
Qt::Alignment TrendChart::AxisSide(int axis) const {
    const auto [pane, number] = axisPlaces_.at(std::size_t(axis));
    return panes_.at(std::size_t(pane))->Axis(number)->alignment();
}
ValueScale TrendChart::AxisScale(int axis) const { return scales_.at(std::size_t(axis)); }
QStringList TrendChart::TimeLabels() const { return panes_.back()->TimeLabels(); }

QRect TrendChart::PlotRect(int pane) const {
    const TrendPane* p = panes_.at(std::size_t(pane));
    return p->mapFromScene(p->PlotArea()).boundingRect().translated(p->pos());
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

void TrendChart::WheelAt(double share, int steps) {
    if (steps == 0) return;
    ZoomAround(from_ + std::int64_t(std::llround(share * double(to_ - from_))), std::pow(kWheelStep, -steps));
}

void TrendChart::DragFrom(double share) {
    dragging_ = true;
    dragShare_ = share;
    dragFrom_ = from_;
    dragTo_ = to_;
}

void TrendChart::MouseAt(double share, bool inPlot) {
    if (inPlot) SetCursorShare(share);  // else it stays where it was
    if (!dragging_) return;
    const auto shift = std::int64_t(std::llround((dragShare_ - share) * double(dragTo_ - dragFrom_)));
    Operator(dragFrom_ + shift, dragTo_ + shift);
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
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void TrendChart::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOutPanes();
    for (TrendPane* pane : panes_) pane->chart()->layout()->activate();
    Redraw();  // the number of pixel columns changed
}

void TrendChart::SetCursorShare(double share) {
    cursorShare_ = share;
    TellCursor();
}

void TrendChart::TellCursor() {
    for (TrendPane* pane : panes_) pane->SetCursorShare(cursorShare_);
    if (cursorShare_ >= 0) emit cursorAt(from_ + std::int64_t(std::llround(cursorShare_ * double(to_ - from_))));
}
