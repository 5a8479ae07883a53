#pragma once
// A trend on paper or in an image file: a header (the plant's title, the stations with their
// titles and units, the time range shown, when it was made) above the drawing as it is shown.

#include <QImage>
#include <QStringList>

class QPrinter;
class QWidget;

QImage TrendReportImage(const QStringList& header, QWidget* drawing);
bool PrintTrendReport(QPrinter& printer, const QStringList& header, QWidget* drawing);
