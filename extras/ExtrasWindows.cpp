#include "extras/ExtrasWindows.h"

#include "extras/ExportDialog.h"
#include "extras/TrendWindow.h"

ExtrasWindows::ExtrasWindows(ExtrasContext context, QWidget* owner) : context_(std::move(context)), owner_(owner) {}

ExtrasWindows::~ExtrasWindows() {
    // Before the main window's poll events go, which the trend windows listen to.
    // The last one's place and stations are kept.
    for (const auto& w : trends_)
        if (w) w->SaveState();
    for (const auto& w : trends_) delete w.data();
    delete export_.data();
}

TrendWindow* ExtrasWindows::ShowTrend(int address) {
    trends_.removeAll(nullptr);
    for (const auto& w : trends_) {
        if (address >= 0 && w->Shows(address)) {
            w->show();
            w->raise();
            w->activateWindow();
            return w;
        }
    }
    auto* window = new TrendWindow(context_, owner_);
    window->RestorePlace();
    trends_.append(window);
    if (address >= 0) window->AddStation(address);
    window->show();
    return window;
}

ExportDialog* ExtrasWindows::ShowExport() {
    if (!export_) export_ = new ExportDialog(context_, owner_);
    else export_->Rescan();
    export_->show();
    export_->raise();
    export_->activateWindow();
    return export_;
}

QList<TrendWindow*> ExtrasWindows::TrendWindows() const {
    QList<TrendWindow*> windows;
    for (const auto& w : trends_)
        if (w) windows.append(w);
    return windows;
}
