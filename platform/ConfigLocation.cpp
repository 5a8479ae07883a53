#include "platform/ConfigLocation.h"

#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
// A directory's ACL is what keeps users out of C:\Program Files, and no attribute tells it: the
// only sure test is a file made and removed again at once.
bool FolderTakesNewFile(const fs::path& folder) {
    const fs::path probe = folder / (L"~tarvo-" + std::to_wstring(GetCurrentProcessId()) + L".tmp");
    const HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

}  // namespace

fs::path PerUserConfigFolder() {
    const wchar_t* appData = _wgetenv(L"APPDATA");
    if (!appData || !*appData) return {};
    return fs::path(appData) / L"Tarvo";
}
#else
// /usr is the distribution's and read-only by the file-system hierarchy, even where root could
// write: `sudo tarvo` must not leave a file in /usr/bin that no package owns.
bool FolderTakesNewFile(const fs::path& folder) {
    std::error_code error;
    const fs::path absolute = fs::absolute(folder, error).lexically_normal();
    for (const char* system : {"/usr", "/bin", "/sbin"}) {
        const auto rest = absolute.lexically_relative(system);
        if (!rest.empty() && *rest.begin() != "..") return false;
    }
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

// XDG base directories: a relative XDG_CONFIG_HOME is to be ignored.
fs::path PerUserConfigFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/') return fs::path(xdg) / "tarvo";
    const char* home = std::getenv("HOME");
    if (!home || !*home) return {};
    return fs::path(home) / ".config" / "tarvo";
}
#endif

fs::path ConfigFileBesideProgram(const fs::path& programFile) {
    fs::path file = programFile;
    return file.replace_extension(".INI");
}

fs::path ConfigFileForProgram(const fs::path& programFile) {
    const fs::path beside = ConfigFileBesideProgram(programFile);
    std::error_code error;
    if (fs::exists(beside, error)) return beside;
    const fs::path folder = beside.has_parent_path() ? beside.parent_path() : fs::path(".");
    if (FolderTakesNewFile(folder)) return beside;
    const fs::path perUser = PerUserConfigFolder();
    if (perUser.empty()) return beside;
    // Private to its user, as the base directories want; an existing folder keeps its modes.
    if (fs::create_directories(perUser, error)) {
        fs::permissions(perUser, fs::perms::owner_all, fs::perm_options::replace, error);
    }
    return perUser / beside.filename();
}
