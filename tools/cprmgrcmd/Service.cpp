#include "Service.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Bridge.h"
#include "platform/AtomicFile.h"
#include "platform/OwnedLink.h"
#include "platform/PlainFile.h"

namespace {

struct Paths {
    std::string folder;
    std::string link;     // folder/COMn
    std::string pidFile;  // folder/.COMn.pid
};

// Absolute, so that the bridge can leave the working directory (and not keep it busy).
Paths PathsOf(const ToolCommand& cmd) {
    std::string folder = cmd.portsFolder;
    if (folder.front() != '/') {
        std::vector<char> cwd(4096);
        if (::getcwd(cwd.data(), cwd.size())) folder = std::string(cwd.data()) + "/" + folder;
    }
    const std::string name = "COM" + std::to_string(cmd.portNumber);
    return {folder, folder + "/" + name, folder + "/." + name + ".pid"};
}

void Complain(const std::string& text) { std::fprintf(stderr, "cprmgrcmd: %s\n", text.c_str()); }

// The pid file: the bridge's pid, then the link it made (target; device, inode and time made), so
// that only that very link is ever removed for it. A file of an older bridge holds the pid alone.
struct BridgeRecord {
    pid_t pid = 0;
    std::optional<LinkIdentity> link;
};

// Read by the rule for the operator's files: a pipe planted under its name never blocks us, a
// link is never followed.
std::optional<BridgeRecord> ReadRecord(const std::string& pidFile) {
    constexpr std::uint64_t kMaxRecordBytes = 4096;
    std::string bytes;
    if (ReadPlainFile(pidFile, bytes, kMaxRecordBytes) != PlainFile::Regular) return std::nullopt;
    std::istringstream in(bytes);
    long pid = 0;
    if (!(in >> pid) || pid <= 1) return std::nullopt;
    BridgeRecord record{static_cast<pid_t>(pid), std::nullopt};
    LinkIdentity link;
    if (in >> link.target >> link.device >> link.inode >> link.madeNs) record.link = link;
    return record;
}

std::optional<pid_t> ReadPid(const std::string& pidFile) {
    const auto record = ReadRecord(pidFile);
    return record ? std::optional<pid_t>(record->pid) : std::nullopt;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// A live bridge of this port number (not a zombie, not another program that got the pid since).
bool IsBridgeOf(pid_t pid, int portNumber) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    std::vector<std::string> argv;
    for (std::string arg; std::getline(in, arg, '\0');) argv.push_back(arg);
    if (argv.size() < 3) return false;
    const std::string program = argv[0].substr(argv[0].find_last_of('/') + 1);
    return program.rfind("cprmgrcmd", 0) == 0 && argv[1] == "addservice" &&
           DecimalInRange(argv[2], 1, 99) == portNumber;
}

bool WaitUntilGone(pid_t pid, int portNumber, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (IsBridgeOf(pid, portNumber)) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool StopBridge(pid_t pid, int portNumber) {
    ::kill(pid, SIGTERM);
    if (WaitUntilGone(pid, portNumber, std::chrono::milliseconds(3000))) return true;
    ::kill(pid, SIGKILL);
    return WaitUntilGone(pid, portNumber, std::chrono::milliseconds(1000));
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0 || errno == ENOENT; }

bool ResolvableIpv4(const std::string& address) {
    in_addr numeric{};
    if (::inet_pton(AF_INET, address.c_str(), &numeric) == 1) return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const bool ok = ::getaddrinfo(address.c_str(), nullptr, &hints, &found) == 0 && found;
    if (found) ::freeaddrinfo(found);
    return ok;
}

// --- The background process -------------------------------------------------------------------

void Report(int fd, const std::string& text) {
    const ssize_t ignored = ::write(fd, text.data(), text.size());
    (void)ignored;
}

// Replaced as a whole through a temporary file of an unpredictable name beside it (mkstemp), never
// through a link; a pid file that is a link, a pipe or a folder is left as it is.
bool WritePidFile(const std::string& pidFile, const LinkIdentity& link) {
    std::ostringstream out;
    out << ::getpid() << "\n"
        << link.target << "\n"
        << link.device << " " << link.inode << " " << link.madeNs << "\n";
    return ReplaceFileAtomically(pidFile, out.str());
}

// The held slave keeps the master from reading EIO whenever the program has its port closed.
// It is raw so that nothing the server sends is echoed back to it before the program opens the
// port; it is neither locked nor made exclusive, or the program could not open it.
struct Pty {
    int master = -1;
    int slave = -1;
    std::string slaveName;
};

std::optional<Pty> OpenPty(std::string& error) {
    Pty pty;
    pty.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (pty.master < 0 || ::grantpt(pty.master) != 0 || ::unlockpt(pty.master) != 0 ||
        ::ptsname_r(pty.master, name, sizeof name) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return std::nullopt;
    }
    pty.slaveName = name;
    pty.slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (pty.slave < 0 || ::tcgetattr(pty.slave, &raw) != 0) {
        error = std::string("cannot open the pseudo-terminal: ") + std::strerror(errno);
        return std::nullopt;
    }
    ::cfmakeraw(&raw);
    ::tcsetattr(pty.slave, TCSANOW, &raw);
    ::fcntl(pty.master, F_SETFL, ::fcntl(pty.master, F_GETFL) | O_NONBLOCK);
    return pty;
}

void DetachStandardStreams() {
    const int null = ::open("/dev/null", O_RDWR);
    if (null < 0) return;
    for (int fd = 0; fd <= 2; ++fd) ::dup2(null, fd);
    if (null > 2) ::close(null);
}

[[noreturn]] void RunInBackground(const ToolCommand& cmd, const Paths& paths, int readyFd) {
    if (::chdir("/") != 0) {
        // The folder paths are absolute; staying in the old folder is harmless.
    }
    PrepareBridgeSignals();
    std::string error;
    auto pty = OpenPty(error);
    if (!pty) {
        Report(readyFd, error);
        ::_exit(kExitFailed);
    }
    OwnedLink link;  // a fatal signal removes it too
    if (!link.make(pty->slaveName, paths.link)) {
        Report(readyFd, "cannot create " + paths.link + ": " + std::strerror(errno));
        ::_exit(kExitFailed);
    }
    if (!WritePidFile(paths.pidFile, link.identity())) {
        link.remove();
        Report(readyFd, "cannot write " + paths.pidFile);
        ::_exit(kExitFailed);
    }
    Report(readyFd, "ok");
    ::close(readyFd);
    DetachStandardStreams();

    int status = kExitOk;
    try {
        RunBridge(pty->master, BridgeTarget{cmd.address, cmd.tcpPort}, [&link] { return link.stillThere(); });
    } catch (...) {
        status = kExitFailed;
    }

    // Leave nothing behind that is ours; what another run has put there in the meantime stays.
    link.remove();
    if (ReadPid(paths.pidFile) == ::getpid()) ::unlink(paths.pidFile.c_str());
    ::_exit(status);
}

// What the background process reported: "ok", a reason, or "" when it ended without a word.
std::string AwaitReport(int readFd) {
    std::string text;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return text.empty() ? "the bridge did not report in time" : text;
        pollfd p{readFd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[512];
        const ssize_t n = ::read(readFd, buffer, sizeof buffer);
        if (n <= 0) return text;
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

int StartBridge(const ToolCommand& cmd, const Paths& paths) {
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) {
        Complain(std::string("cannot create a pipe: ") + std::strerror(errno));
        return kExitFailed;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        Complain(std::string("cannot start the bridge: ") + std::strerror(errno));
        return kExitFailed;
    }
    if (child == 0) {
        // Double fork and a session of its own: the bridge outlives the caller and has no terminal.
        ::close(ready[0]);
        ::setsid();
        const pid_t bridge = ::fork();
        if (bridge != 0) ::_exit(bridge < 0 ? kExitFailed : kExitOk);
        RunInBackground(cmd, paths, ready[1]);
    }
    ::close(ready[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::string report = AwaitReport(ready[0]);
    ::close(ready[0]);
    if (report == "ok") return kExitOk;
    Complain(report.empty() ? "the bridge could not be started" : report);
    return kExitFailed;
}

// A pid file whose bridge is gone: clear what it left, and only that. A link at the port's name
// that the bridge did not make stays (a simulator's, another mapping's made since), even when the
// system gave it the same pseudo-terminal number or the same inode again.
bool ClearStale(const Paths& paths) {
    const PlainFile state = InspectPlainFile(paths.pidFile);
    if (state == PlainFile::Missing) return true;
    if (state != PlainFile::Regular) {  // not ours: neither read nor removed
        Complain(PlainFileRefusal(state, paths.pidFile, Speech::English) + "; left alone");
        return false;
    }
    const auto record = ReadRecord(paths.pidFile);
    if (record && record->link && !RemoveLinkIfStill(paths.link, *record->link)) return false;
    return RemoveFile(paths.pidFile);
}

}  // namespace

int AddService(const ToolCommand& cmd) {
    const Paths paths = PathsOf(cmd);
    if (::mkdir(paths.folder.c_str(), 0777) != 0 && errno != EEXIST) {
        Complain("cannot create " + paths.folder + ": " + std::strerror(errno));
        return kExitFailed;
    }
    const auto pid = ReadPid(paths.pidFile);
    if (pid && IsBridgeOf(*pid, cmd.portNumber)) {
        Complain("COM" + std::to_string(cmd.portNumber) + " is already mapped; remove it first (remservice " +
                 std::to_string(cmd.portNumber) + " 1)");
        return kExitFailed;
    }
    if (!ClearStale(paths)) {
        Complain("cannot clear the remains of an earlier mapping in " + paths.folder);
        return kExitFailed;
    }
    if (Exists(paths.link)) {
        Complain(paths.link + " exists and was not made by cprmgrcmd; left alone");
        return kExitFailed;
    }
    if (!ResolvableIpv4(cmd.address)) {
        Complain("cannot resolve " + cmd.address + " to an IPv4 address");
        return kExitFailed;
    }
    return StartBridge(cmd, paths);
}

int RemoveService(const ToolCommand& cmd) {
    const Paths paths = PathsOf(cmd);
    const auto pid = ReadPid(paths.pidFile);
    if (pid && IsBridgeOf(*pid, cmd.portNumber) && !StopBridge(*pid, cmd.portNumber)) {
        Complain("cannot stop the bridge of COM" + std::to_string(cmd.portNumber) + " (pid " +
                 std::to_string(*pid) + ")");
        return kExitFailed;
    }
    if (!ClearStale(paths)) {
        Complain("cannot remove " + paths.link + ": " + std::strerror(errno));
        return kExitFailed;
    }
    return kExitOk;
}
