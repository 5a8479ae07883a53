#pragma once
// The link's module-level state put back to the start when a fixture comes and again when it
// goes (ResetLinkState), so that no case sees what the one before it left. Make it the first
// member (or base) of a fixture, so that it comes before and goes after anything the fixture
// installs in the link.

#include "link/Sio.h"

struct LinkReset {
    LinkReset() { ResetLinkState(); }
    ~LinkReset() { ResetLinkState(); }
    LinkReset(const LinkReset&) = delete;
    LinkReset& operator=(const LinkReset&) = delete;
};
