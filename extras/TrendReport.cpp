#include "extras/TrendReport.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QWidget>

namespace {
// The header's lines from top, the first in bold; returns the height they took.
int PaintHeader(QPainter& painter, const QStringList& header, int width) {
    QFont font = painter.font();
    int y = 0;
    for (int i = 0; i < header.size(); ++i) {
        QFont line = font;
        line.setBold(i == 0);
        if (i == 0) line.setPointSizeF(font.pointSizeF() * 1.3);
        painter.setFont(line);
        const QFontMetrics metrics(line, painter.device());
        const QRect box(0, y, width, metrics.height());
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, metrics.elidedText(header[i], Qt::ElideRight, width));
        y += metrics.height() + metrics.height() / 4;
    }
    painter.setFont(font);
    return y + 6;
}
}  // namespace

QImage TrendReportImage(const QStringList& header, QWidget* drawing) {
    const QSize size = drawing->size();
    const QFontMetrics metrics(drawing->font());
    const int headerHeight = int(header.size()) * (metrics.height() * 3 / 2) + 12;
    QImage image(size.width(), size.height() + headerHeight, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(drawing->font());
    painter.translate(6, 4);
    const int used = PaintHeader(painter, header, size.width() - 12);
    painter.resetTransform();
    drawing->render(&painter, QPoint(0, std::min(used + 4, headerHeight)));
    return image;
}

bool PrintTrendReport(QPrinter& printer, const QStringList& header, QWidget* drawing) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const int used = PaintHeader(painter, header, page.width());
    const QSize size = drawing->size();
    const double scale = std::min(double(page.width()) / size.width(), double(page.height() - used) / size.height());
    painter.translate(0, used);
    painter.scale(scale, scale);
    drawing->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    return painter.end();
}
