#include "platform/PortPath.h"

#include <sys/stat.h>

namespace {
std::string g_portsFolder;
}

void SetPortsFolder(const std::string& folder) { g_portsFolder = folder; }

const std::string& PortsFolder() { return g_portsFolder; }

std::string PortDevicePath(unsigned portNumber) {
    if (portNumber == 0 || portNumber >= 100) return {};
    const std::string name = "COM" + std::to_string(portNumber);
    if (!g_portsFolder.empty()) {
        const std::string candidate = g_portsFolder + "/" + name;
        // lstat, not stat: a link whose simulator has gone must fail to open, and not fall
        // through to a real serial port of the same number.
        struct stat info {};
        if (::lstat(candidate.c_str(), &info) == 0) return candidate;
    }
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}
