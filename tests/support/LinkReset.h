#pragma once
// What one case leaves in the process is put back before the next: the link's module-level state
// (ResetLinkState) when a fixture comes and again when it goes, and every process-wide hook (the
// clocks, the serial-line factory, the message and help observers, the main window's sources, ...)
// as it stood before the fixture came. Make it the first member (or base) of a fixture, so that it
// comes before and goes after anything the fixture installs.

#include "link/Sio.h"
#include "platform/ProcessHooks.h"

struct LinkReset {
    LinkReset() { ResetLinkState(); }
    ~LinkReset() { ResetLinkState(); }
    LinkReset(const LinkReset&) = delete;
    LinkReset& operator=(const LinkReset&) = delete;

private:
    ProcessHooksGuard hooks_;  // made first, restored last
};
