#include "ui/ActiveStation.h"

#include <utility>

namespace {
std::function<TQTV3590*()> g_activePanel;
std::function<SioPort*()> g_portObject;
}  // namespace

void SetActivePanelSource(std::function<TQTV3590*()> source) { g_activePanel = std::move(source); }
TQTV3590* ActivePanel() { return g_activePanel ? g_activePanel() : nullptr; }

void SetPortObjectSource(std::function<SioPort*()> source) { g_portObject = std::move(source); }
SioPort* PortObject() { return g_portObject ? g_portObject() : nullptr; }
