#pragma once
// The main window in a scratch folder (ScratchWindow) against standing stations on a scripted
// line (ScriptedBus, which also resets the link state and the process-wide hooks and holds the
// fake counter), its bus inline.

#include <memory>

#include "link/Sio.h"
#include "support/ScratchWindow.h"
#include "support/ScriptedBus.h"

class WindowFixture : public WithBus<ScriptedBus>, public ScratchWindow {
public:
    void ticks(int n) {
        for (int i = 0; i < n; ++i) form().Timer1Timer();
    }
};
