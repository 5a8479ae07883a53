#pragma once
// The dialogs act on the active station and, for the humidity dialog, on the port object; both
// belong to the main window, which tells the dialogs where to find them, and whether broadcast
// mode is on as the window shows it. Tests set their own.

#include <functional>

class TQTV3590;  // panel/Qtv3590.h
class SioPort;   // link/SioPort.h

void SetActivePanelSource(std::function<TQTV3590*()> source);
TQTV3590* ActivePanel();  // the main window's AktivPanel, or null

void SetPortObjectSource(std::function<SioPort*()> source);
SioPort* PortObject();    // the main window's SioObjekt, or null

void SetBroadcastSource(std::function<bool()> source);
bool BroadcastMode();     // the main window's broadcast mode, or false
// A read asked for in broadcast mode would go to every station and no answer would come: it is
// refused with a note at the pointer (true then).
bool RefusedInBroadcastMode();
