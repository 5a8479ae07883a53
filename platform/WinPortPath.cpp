#include "platform/PortPath.h"

#include "platform/ProcessHooks.h"

// Windows names its serial ports itself: COMn is \\.\COMn (the prefix also reaches COM10 and
// above). A ports folder of links is Linux's way to the simulator and the redirector; it is kept
// for whoever asks, but leads nowhere here.

namespace {
std::string g_portsFolder;
[[maybe_unused]] const bool kFolderHook = RegisterProcessHook(HookKind::StandIn, "ports folder", SnapshotOf(g_portsFolder));
}  // namespace

void SetPortsFolder(const std::string& folder) { g_portsFolder = folder; }

const std::string& PortsFolder() { return g_portsFolder; }

std::string PortDevicePath(unsigned portNumber) {
    if (portNumber == 0 || portNumber >= 100) return {};
    return "\\\\.\\COM" + std::to_string(portNumber);
}
