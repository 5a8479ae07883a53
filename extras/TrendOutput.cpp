// The trend window's output: printed and saved as an image under a header, the values shown as
// CSV, and its place and stations kept between runs in a state file of its own.

#include <QBuffer>
#include <QFileDialog>
#include <QCloseEvent>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QSettings>

#include "extras/ShownDataCsv.h"
#include "extras/TrendChart.h"
#include "extras/TrendParts.h"
#include "extras/TrendReport.h"
#include "extras/TrendWindow.h"
#include "platform/AtomicFile.h"

using namespace trend;

namespace {
const QString kStateGroup = QStringLiteral("Verlauf");

// The name, or what refused it.
QString WhyNotSaved(const QString& path) {
    const PlainFile state = InspectPlainFile(path.toStdString());
    return MayReplace(state) ? path : QString::fromStdString(PlainFileRefusal(state, path.toStdString(), Speech::German));
}
}  // namespace


QStringList TrendWindow::ReportHeader() const {
    QStringList lines;
    lines << (context_.plantTitle ? context_.plantTitle() : QStringLiteral("Verlauf"));
    QStringList stations;
    for (const auto& t : traces_) stations << Name(t->title, t->address) + QStringLiteral(" in ") + t->unit.trimmed();
    lines << QStringLiteral("Stationen: ") + (stations.isEmpty() ? QStringLiteral("keine") : stations.join(QStringLiteral(", ")));
    lines << QStringLiteral("Zeitraum: ") + DateTimeText(chart_->From()) + QStringLiteral(" bis ") + DateTimeText(chart_->To());
    lines << QStringLiteral("Erstellt: ") + DateTimeText(Now());
    return lines;
}

bool TrendWindow::Print(QPrinter& printer) { return PrintTrendReport(printer, ReportHeader(), plotArea_); }

void TrendWindow::Print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(windowTitle());
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Verlauf drucken"));
    if (dialog.exec() != QDialog::Accepted) return;
    status_->setText(Print(printer) ? QStringLiteral("Gedruckt") : QStringLiteral("Nicht gedruckt"));
}

void TrendWindow::SaveState() const {
    if (!context_.stateFile) return;
    const QString path = context_.stateFile();
    if (path.isEmpty()) return;
    QSettings state(path, QSettings::IniFormat);
    state.beginGroup(kStateGroup);
    state.setValue(QStringLiteral("Geometrie"), saveGeometry());
    QStringList addresses;
    for (const auto& t : traces_) addresses << QString::number(t->address);
    state.setValue(QStringLiteral("Stationen"), addresses.join(QLatin1Char(',')));
}

void TrendWindow::RestorePlace() {
    if (!context_.stateFile || context_.stateFile().isEmpty()) return;
    QSettings state(context_.stateFile(), QSettings::IniFormat);
    restoreGeometry(state.value(kStateGroup + QStringLiteral("/Geometrie")).toByteArray());
}

std::vector<int> TrendWindow::RememberedStations() const {
    std::vector<int> addresses;
    if (!context_.stateFile || context_.stateFile().isEmpty()) return addresses;
    QSettings state(context_.stateFile(), QSettings::IniFormat);
    for (const QString& a : state.value(kStateGroup + QStringLiteral("/Stationen")).toString().split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (bool ok = false; a.toInt(&ok), ok) addresses.push_back(a.toInt());
    return addresses;
}

void TrendWindow::closeEvent(QCloseEvent* event) {
    SaveState();
    QWidget::closeEvent(event);
}

// Into memory first: the picture's file is replaced by the rule for the operator's files, never
// written through a link or into a pipe.
bool TrendWindow::SavePng(const QString& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return TrendReportImage(ReportHeader(), plotArea_).save(&buffer, "PNG") &&
           ReplaceFileAtomically(path.toStdString(), bytes.toStdString());
}

bool TrendWindow::SaveCsv(const QString& path) {
    std::vector<ShownTrace> shown;
    for (const auto& t : traces_) shown.push_back({t->address, t->title.trimmed(), t->unit.trimmed(), &t->shown});
    return WriteShownDataCsv(path, shown, chart_->From(), chart_->To());
}

void TrendWindow::AskPng() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Bild speichern"), QStringLiteral("Verlauf.png"),
                                                      QStringLiteral("PNG-Bilder (*.png)"));
    if (path.isEmpty()) return;
    status_->setText(SavePng(path) ? QStringLiteral("Bild gespeichert: ") + path
                                   : QStringLiteral("Bild nicht gespeichert: ") + WhyNotSaved(path));
}

void TrendWindow::AskCsv() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("CSV speichern"), QStringLiteral("Verlauf.csv"),
                                                      QStringLiteral("CSV-Dateien (*.csv)"));
    if (path.isEmpty()) return;
    status_->setText(SaveCsv(path) ? QStringLiteral("CSV gespeichert: ") + path
                                   : QStringLiteral("CSV nicht gespeichert: ") + WhyNotSaved(path));
}
