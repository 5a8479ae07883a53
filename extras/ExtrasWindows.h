#pragma once
// The open windows of "E&xtras", kept by the main window: trend windows (one per call, unless
// one already shows the station asked for, which is raised) and the one export window. A new
// trend window opens where the last one was; the stations it showed are offered in its menu
// "Hinzufügen".

#include <QList>
#include <QPointer>

#include "extras/ExtrasContext.h"

class QWidget;
class TrendWindow;
class ExportDialog;

class ExtrasWindows {
public:
    ExtrasWindows(ExtrasContext context, QWidget* owner);
    ~ExtrasWindows();  // closes every window it opened

    // address < 0: a trend window without a station, to which the operator adds stations.
    TrendWindow* ShowTrend(int address);
    ExportDialog* ShowExport();
    QList<TrendWindow*> TrendWindows() const;

private:
    ExtrasContext context_;
    QWidget* owner_;
    QList<QPointer<TrendWindow>> trends_;
    QPointer<ExportDialog> export_;
};
