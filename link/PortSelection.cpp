#include "link/PortSelection.h"

#include <cassert>

#include "link/BusWorker.h"

#include "link/Sio.h"
#include "link/SioPort.h"

void ApplyPortChoice(const PortChoice& choice, PortSettings& s, const std::string& workingDirectory,
                     const LinkMessage& show) {
    assert(BusWorker::OnLinkThread());
    s.HostName = choice.hostName;
    s.SioNr = choice.sioNr;
    // The old port object goes first: on its own port it holds the exclusive device.
    s.SioObjekt.reset();
    s.Internet = choice.internet ? 1 : 0;
    s.LokalIP = choice.lokalIP;
    if (s.Internet) SetupNetLink(true, s.SioNr, s.HostName, s.LokalIP, workingDirectory, show);
    // The number chosen is the one the operator wants the bus on now, not at the next start: a
    // port that is not open is tried again at once (and through its link, never another device).
    ChooseCommandSetPort(s.SioNr);
    s.SioObjekt = std::make_unique<SioPort>(s.SioNr);
}
