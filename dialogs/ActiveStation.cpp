#include "dialogs/ActiveStation.h"

#include <QString>
#include <utility>

#include "platform/ProcessHooks.h"
#include "ui/Messages.h"

namespace {
std::function<TQTV3590*()> g_activePanel;
std::function<SioPort*()> g_portObject;
std::function<bool()> g_broadcast;
[[maybe_unused]] const bool kPanelHook = RegisterProcessHook(HookKind::Source, "active panel", SnapshotOf(g_activePanel));
[[maybe_unused]] const bool kPortHook = RegisterProcessHook(HookKind::Source, "port object", SnapshotOf(g_portObject));
[[maybe_unused]] const bool kBroadcastHook = RegisterProcessHook(HookKind::Source, "broadcast mode", SnapshotOf(g_broadcast));
}  // namespace

void SetActivePanelSource(std::function<TQTV3590*()> source) { g_activePanel = std::move(source); }
TQTV3590* ActivePanel() { return g_activePanel ? g_activePanel() : nullptr; }

void SetPortObjectSource(std::function<SioPort*()> source) { g_portObject = std::move(source); }
SioPort* PortObject() { return g_portObject ? g_portObject() : nullptr; }

void SetBroadcastSource(std::function<bool()> source) { g_broadcast = std::move(source); }
bool BroadcastMode() { return g_broadcast && g_broadcast(); }

bool RefusedInBroadcastMode() {
    if (!BroadcastMode()) return false;
    ShowNote(QString::fromUtf8("Im Broadcast-Betrieb nicht möglich."));
    return true;
}
