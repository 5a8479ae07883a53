#include "link/PortOpen.h"

bool OpenPort(std::unique_ptr<SerialLine>& line, std::uint8_t portNumber, const SerialTimeouts& timeouts) {
    if (portNumber >= kPortNumberLimit) return false;
    // A port is opened for exclusive use: the old handle must go before the same port can open.
    ClosePort(line.get());
    line = NewSerialLine();
    if (!line->open(portNumber)) return false;
    if (!line->configure()) return false;
    line->setTimeouts(timeouts);
    return true;
}

void ClosePort(SerialLine* line) {
    if (line && line->isOpen()) line->close();
}
