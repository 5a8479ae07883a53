#include "platform/PortPath.h"

#include <bitset>
#include <mutex>
#include <sys/stat.h>

#include "platform/ProcessHooks.h"

namespace {
std::mutex g_mutex;
std::string g_portsFolder;
std::bitset<100> g_foundInFolder;  // numbers whose link was seen in the ports folder
}  // namespace

void SetPortsFolder(const std::string& folder) {
    const std::lock_guard lock(g_mutex);
    g_portsFolder = folder;
    g_foundInFolder.reset();
}

namespace {
[[maybe_unused]] const bool kFolderHook = RegisterProcessHook(HookKind::StandIn, "ports folder", [] {
    const std::lock_guard lock(g_mutex);
    return std::function<void()>([saved = g_portsFolder] { SetPortsFolder(saved); });
});
}  // namespace

std::string PortDevicePath(unsigned portNumber) {
    if (portNumber == 0 || portNumber >= 100) return {};
    const std::string name = "COM" + std::to_string(portNumber);
    const std::lock_guard lock(g_mutex);
    if (!g_portsFolder.empty()) {
        const std::string candidate = g_portsFolder + "/" + name;
        // lstat, not stat: a link whose simulator has gone must fail to open, and not fall
        // through to a real serial port of the same number. Nor may a link that is away for a
        // moment: every telegram would go to an unrelated device until the program ends.
        struct stat info {};
        if (::lstat(candidate.c_str(), &info) == 0) g_foundInFolder.set(portNumber);
        if (g_foundInFolder.test(portNumber)) return candidate;
    }
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}
