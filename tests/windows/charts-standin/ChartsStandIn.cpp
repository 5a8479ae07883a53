#include "ChartsStandIn.h"

#include <QGraphicsScene>
#include <QPainter>
#include <QResizeEvent>
#include <cmath>

namespace {
constexpr int kAxisWidth = 56, kAxisHeight = 24;
}

QStringList QValueAxis::Labels(QList<double>& at) const {
    QStringList labels;
    at.clear();
    if (step_ <= 0 || max() <= min()) return labels;
    const int decimals = format_.mid(2, format_.size() - 3).toInt();  // "%.2f"
    for (double v = anchor_; v <= max() + step_ * 1e-9 && at.size() < 100; v += step_) {
        at.append(v);
        labels.append(QLocale(QLocale::German).toString(v, 'f', decimals));
    }
    return labels;
}

void QCategoryAxis::remove(const QString& label) {
    const qsizetype i = categoriesLabels().indexOf(label);
    if (i < 0) return;
    labels_.removeAt(i);
    at_.removeAt(i);
}

QChart::QChart() { setFlag(ItemUsesExtendedStyleOption, false); }

void QChart::setMargins(const QMargins& margins) {
    margins_ = margins;
    Layout();
}

void QChart::addAxis(QAbstractAxis* axis, Qt::Alignment alignment) {
    axis->alignment_ = alignment;
    axes_.append(axis);
    Layout();
}

void QChart::resizeEvent(QGraphicsSceneResizeEvent* event) {
    QGraphicsWidget::resizeEvent(event);
    Layout();
}

void QChart::Layout() {
    int left = 0, right = 0, bottom = 0;
    for (const QAbstractAxis* a : axes_) {
        if (a->alignment() == Qt::AlignLeft) left += kAxisWidth;
        else if (a->alignment() == Qt::AlignRight) right += kAxisWidth;
        else bottom = kAxisHeight;
    }
    const QRectF area = QRectF(QPointF(0, 0), size()).adjusted(margins_.left() + left, margins_.top() + 8,
                                                               -margins_.right() - right, -margins_.bottom() - bottom);
    if (area == plotArea_) return;
    plotArea_ = area;
    update();
    emit plotAreaChanged(plotArea_);
}

void QChart::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    painter->fillRect(QRectF(QPointF(0, 0), size()), Qt::white);
    painter->setPen(QColor(0xc0, 0xc0, 0xc0));
    painter->drawRect(plotArea_);
    painter->setPen(Qt::black);
    int leftAt = int(plotArea_.left()), rightAt = int(plotArea_.right());
    for (const QAbstractAxis* a : axes_) {
        QList<double> at;
        const QStringList labels = a->Labels(at);
        const double span = a->max() - a->min();
        if (span <= 0) continue;
        for (qsizetype i = 0; i < labels.size(); ++i) {
            const double f = (at[i] - a->min()) / span;
            if (a->alignment() == Qt::AlignBottom) {
                const double x = plotArea_.left() + f * plotArea_.width();
                painter->drawText(QRectF(x - 60, plotArea_.bottom() + 2, 120, kAxisHeight - 4), Qt::AlignCenter, labels[i]);
            } else {
                const double y = plotArea_.bottom() - f * plotArea_.height();
                const bool left = a->alignment() == Qt::AlignLeft;
                const QRectF box = left ? QRectF(leftAt - kAxisWidth, y - 8, kAxisWidth - 4, 16)
                                        : QRectF(rightAt + 4, y - 8, kAxisWidth - 4, 16);
                painter->drawText(box, (left ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, labels[i]);
            }
        }
        if (a->alignment() == Qt::AlignLeft) {
            painter->drawText(QRectF(leftAt - kAxisWidth, 0, kAxisWidth - 4, 10), Qt::AlignRight, a->titleText());
            leftAt -= kAxisWidth;
        } else if (a->alignment() == Qt::AlignRight) {
            painter->drawText(QRectF(rightAt + 4, 0, kAxisWidth - 4, 10), Qt::AlignLeft, a->titleText());
            rightAt += kAxisWidth;
        }
    }
}

QChartView::QChartView(QChart* chart, QWidget* parent) : QGraphicsView(parent), chart_(chart) {
    setScene(new QGraphicsScene(this));
    scene()->addItem(chart_);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
}

void QChartView::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    scene()->setSceneRect(QRectF(QPointF(0, 0), event->size()));
    chart_->resize(event->size());
}
