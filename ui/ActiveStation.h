#pragma once
// The dialogs act on the active station and, for the humidity dialog, on the port object; both
// belong to the main window, which tells the dialogs where to find them. Tests set their own.

#include <functional>

class TQTV3590;
class SioPort;

void SetActivePanelSource(std::function<TQTV3590*()> source);
TQTV3590* ActivePanel();  // the main window's AktivPanel, or null

void SetPortObjectSource(std::function<SioPort*()> source);
SioPort* PortObject();    // the main window's SioObjekt, or null
