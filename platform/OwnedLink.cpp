#include "platform/OwnedLink.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What the fatal-signal handler needs, in storage it may touch: no allocation, no locks.
struct FatalCleanup {
    char path[PATH_MAX] = {};
    char target[PATH_MAX] = {};
    dev_t device = 0;
    ino_t inode = 0;
    std::int64_t madeNs = 0;
};

std::int64_t ChangeTimeNs(const struct stat& info) {
    return static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1'000'000'000 + info.st_ctim.tv_nsec;
}
FatalCleanup g_cleanup;
volatile std::sig_atomic_t g_armed = 0;

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// Only async-signal-safe calls: readlink, lstat, unlink, signal, raise.
void OnFatalSignal(int signal) {
    if (g_armed) {
        g_armed = 0;
        char target[PATH_MAX];
        const ssize_t n = ::readlink(g_cleanup.path, target, sizeof target - 1);
        struct stat info {};
        if (n >= 0 && ::lstat(g_cleanup.path, &info) == 0 && info.st_dev == g_cleanup.device &&
            info.st_ino == g_cleanup.inode && ChangeTimeNs(info) == g_cleanup.madeNs) {
            target[n] = '\0';
            if (std::strcmp(target, g_cleanup.target) == 0) ::unlink(g_cleanup.path);
        }
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void Arm(const std::string& path, const LinkIdentity& identity) {
    if (path.size() >= PATH_MAX || identity.target.size() >= PATH_MAX) return;
    g_armed = 0;
    std::memcpy(g_cleanup.path, path.c_str(), path.size() + 1);
    std::memcpy(g_cleanup.target, identity.target.c_str(), identity.target.size() + 1);
    g_cleanup.device = static_cast<dev_t>(identity.device);
    g_cleanup.inode = static_cast<ino_t>(identity.inode);
    g_cleanup.madeNs = identity.madeNs;
    for (const int signal : kFatalSignals) {
        struct sigaction action {};
        action.sa_handler = OnFatalSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
    g_armed = 1;
}

}  // namespace

std::optional<LinkIdentity> IdentifyLink(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return std::nullopt;
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
    if (n < 0 || n == static_cast<ssize_t>(sizeof target)) return std::nullopt;
    return LinkIdentity{std::string(target, static_cast<std::size_t>(n)),
                        static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                        ChangeTimeNs(info)};
}

bool RemoveLinkIfStill(const std::string& path, const LinkIdentity& made) {
    const auto now = IdentifyLink(path);
    if (!now || *now != made) return true;
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool OwnedLink::make(const std::string& target, const std::string& path) {
    remove();
    if (::symlink(target.c_str(), path.c_str()) != 0) return false;
    identity_ = IdentifyLink(path);
    if (!identity_) {
        errno = ENOENT;  // gone again at once: someone else's doing
        return false;
    }
    path_ = path;
    Arm(path_, *identity_);
    return true;
}

bool OwnedLink::stillThere() const {
    return identity_ && IdentifyLink(path_) == identity_;
}

void OwnedLink::remove() {
    if (!identity_) return;
    g_armed = 0;
    RemoveLinkIfStill(path_, *identity_);
    identity_.reset();
    path_.clear();
}
