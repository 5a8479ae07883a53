#include "platform/PortPath.h"

// Windows names its serial ports itself: COMn is \\.\COMn (the prefix also reaches COM10 and
// above). A ports folder of links is Linux's way to the simulator and the redirector: here it
// leads nowhere.

void SetPortsFolder(const std::string&) {}

std::string PortDevicePath(unsigned portNumber) {
    if (portNumber == 0 || portNumber >= 100) return {};
    return "\\\\.\\COM" + std::to_string(portNumber);
}
