#pragma once
// The classes of Qt Charts that Tarvo's trend uses, with the members it calls (see CMakeLists.txt).

#include <QBrush>
#include <QGraphicsView>
#include <QGraphicsWidget>
#include <QList>
#include <QLocale>
#include <QMargins>
#include <QPen>
#include <QPointF>
#include <QStringList>

#if defined(QT_CHARTS_STANDIN_BUILD)
#define CHARTS_STANDIN_EXPORT Q_DECL_EXPORT
#else
#define CHARTS_STANDIN_EXPORT Q_DECL_IMPORT
#endif

class QChart;

class CHARTS_STANDIN_EXPORT QAbstractAxis : public QObject {
    Q_OBJECT
public:
    Qt::Alignment alignment() const { return alignment_; }
    void setTitleText(const QString& text) { title_ = text; }
    QString titleText() const { return title_; }
    void setRange(double min, double max) { min_ = min; max_ = max; }
    double min() const { return min_; }
    double max() const { return max_; }
    virtual QStringList Labels(QList<double>& at) const = 0;

private:
    friend class QChart;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    QString title_;
    double min_ = 0, max_ = 1;
};

class CHARTS_STANDIN_EXPORT QValueAxis : public QAbstractAxis {
    Q_OBJECT
public:
    enum TickType { TicksDynamic, TicksFixed };
    void setTickType(TickType) {}
    void setTickAnchor(double anchor) { anchor_ = anchor; }
    void setTickInterval(double step) { step_ = step; }
    void setLabelFormat(const QString& format) { format_ = format; }
    QStringList Labels(QList<double>& at) const override;

private:
    double anchor_ = 0, step_ = 0;
    QString format_ = QStringLiteral("%.1f");
};

class CHARTS_STANDIN_EXPORT QCategoryAxis : public QValueAxis {
    Q_OBJECT
public:
    enum AxisLabelsPosition { AxisLabelsPositionCenter, AxisLabelsPositionOnValue };
    void setLabelsPosition(AxisLabelsPosition) {}
    void setStartValue(double) {}
    void append(const QString& label, double at) { labels_.append(label); at_.append(at); }
    void remove(const QString& label);
    QStringList categoriesLabels() const { return labels_; }
    QStringList Labels(QList<double>& at) const override { at = at_; return labels_; }

private:
    QStringList labels_;
    QList<double> at_;
};

class CHARTS_STANDIN_EXPORT QAbstractSeries : public QObject {
    Q_OBJECT
public:
    bool attachAxis(QAbstractAxis*) { return true; }
};

class CHARTS_STANDIN_EXPORT QScatterSeries : public QAbstractSeries {
    Q_OBJECT
public:
    enum MarkerShape { MarkerShapeCircle, MarkerShapeRectangle };
    void setMarkerShape(MarkerShape) {}
    void setMarkerSize(double) {}
    void setPen(const QPen&) {}
    void setBrush(const QBrush&) {}
    void replace(const QList<QPointF>& points) { points_ = points; }
    qsizetype count() const { return points_.size(); }

private:
    QList<QPointF> points_;
};

class CHARTS_STANDIN_EXPORT QLegend {
public:
    void hide() {}
};

class CHARTS_STANDIN_EXPORT QChart : public QGraphicsWidget {
    Q_OBJECT
public:
    QChart();
    QLegend* legend() { return &legend_; }
    void setMargins(const QMargins& margins);
    void setLocalizeNumbers(bool) {}
    void setLocale(const QLocale& locale) { locale_ = locale; }
    void addAxis(QAbstractAxis* axis, Qt::Alignment alignment);
    void removeAxis(QAbstractAxis* axis) { axes_.removeAll(axis); Layout(); }
    void addSeries(QAbstractSeries*) {}
    void removeSeries(QAbstractSeries*) {}
    QRectF plotArea() const { return plotArea_; }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override;

signals:
    void plotAreaChanged(const QRectF& plotArea);

protected:
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;

private:
    void Layout();
    QLegend legend_;
    QMargins margins_;
    QLocale locale_;
    QList<QAbstractAxis*> axes_;
    QRectF plotArea_;
};

class CHARTS_STANDIN_EXPORT QChartView : public QGraphicsView {
    Q_OBJECT
public:
    explicit QChartView(QChart* chart, QWidget* parent = nullptr);
    QChart* chart() const { return chart_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QChart* chart_;
};
