// cprmgrcmd as a program: its command lines, and the bridge it leaves behind between a
// pseudo-terminal and a TCP listener on 127.0.0.1. Every wait is bounded.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct Outcome {
    int exitCode = -1;
    std::string err;
};

Outcome RunTool(const std::vector<std::string>& args, const fs::path& cwd) {
    const fs::path errFile = cwd / ".stderr";
    std::vector<char*> argv{const_cast<char*>(CPRMGRCMD_PATH)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    Outcome out;
    if (posix_spawn(&pid, CPRMGRCMD_PATH, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        out.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    std::ifstream in(errFile);
    std::stringstream text;
    text << in.rdbuf();
    out.err = text.str();
    fs::remove(errFile);
    return out;
}

bool WaitReadable(int fd, std::chrono::milliseconds limit) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, static_cast<int>(limit.count())) > 0;
}

// Reads until `count` bytes have come or the limit has passed.
std::string ReadSome(int fd, std::size_t count, std::chrono::milliseconds limit = 3000ms) {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + limit;
    while (got.size() < count && std::chrono::steady_clock::now() < end) {
        if (!WaitReadable(fd, 100ms)) continue;
        char buffer[256];
        const ssize_t n = read(fd, buffer, std::min(sizeof buffer, count - got.size()));
        if (n > 0) got.append(buffer, static_cast<std::size_t>(n));
        if (n == 0) break;
    }
    return got;
}

// True when the peer closes the connection within the limit (data before that is skipped).
bool HungUp(int fd, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (!WaitReadable(fd, 100ms)) continue;
        char buffer[256];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return true;
    }
    return false;
}

bool GoneWithin(const fs::path& link, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (fs::exists(fs::symlink_status(link))) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

void WriteAll(int fd, const std::string& bytes) { ASSERT_EQ(write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size())); }

int OpenPort(const fs::path& link) {
    const int fd = open(link.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    termios raw{};
    tcgetattr(fd, &raw);
    cfmakeraw(&raw);
    tcsetattr(fd, TCSANOW, &raw);
    return fd;
}

class CprMgrCmd : public ::testing::Test {
protected:
    void SetUp() override {
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);  // bridges are ended by fatal signals below
        char pattern[] = "/tmp/cprmgrcmd_test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        ports = dir / "ports";
    }
    void TearDown() override {
        for (int n : used) RunTool({"remservice", std::to_string(n), "1", "--ports", ports.string()}, dir);
        for (int fd : {port, accepted, listener})
            if (fd >= 0) close(fd);
        fs::remove_all(dir);
    }

    void Listen() {
        listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        ASSERT_EQ(listen(listener, 4), 0);
        socklen_t len = sizeof a;
        getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
        tcpPort = ntohs(a.sin_port);
    }
    bool Accept() {
        if (!WaitReadable(listener, 5000ms)) return false;
        accepted = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        return accepted >= 0;
    }
    Outcome Add(int n) {
        used.push_back(n);
        return RunTool({"addservice", std::to_string(n), "127.0.0.1", std::to_string(tcpPort), "--ports", ports.string()},
                   dir);
    }
    pid_t BridgePid(int n) const {
        std::ifstream pidFile(ports / (".COM" + std::to_string(n) + ".pid"));
        pid_t pid = 0;
        pidFile >> pid;
        return pid;
    }
    Outcome Remove(int n) { return RunTool({"remservice", std::to_string(n), "1", "--ports", ports.string()}, dir); }
    void ExpectBytesFlowBothWays() {
        WriteAll(port, "\x02\x05\x04\x10\x1B");
        EXPECT_EQ(ReadSome(accepted, 5), "\x02\x05\x04\x10\x1B");
        WriteAll(accepted, "\x02\x05\x05\x0A\x0B\x21");
        EXPECT_EQ(ReadSome(port, 6), "\x02\x05\x05\x0A\x0B\x21");
    }

    fs::path dir, ports;
    std::vector<int> used;
    int listener = -1, accepted = -1, port = -1;
    int tcpPort = 0;
};

// --- Command lines ---------------------------------------------------------------------------

TEST_F(CprMgrCmd, BadArgumentsGetOneLineErrorAndNonZeroExitAndTouchNothing) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"delservice", "5", "1"},
        {"remservice", "5"},
        {"remservice", "5", "2"},
        {"remservice", "0", "1"},
        {"addservice", "100", "10.0.0.1", "10001"},
        {"addservice", "-5", "10.0.0.1", "10001"},
        {"addservice", "5", "10.0.0.1"},
        {"addservice", "5", "10.0.0.1", "0"},
        {"addservice", "5", "10.0.0.1", "65536"},
        {"addservice", "5", "10.0.0.1", "+80"},
        {"addservice", "5", "-oProxyCommand=x", "10001"},
        {"addservice", "5", "a b", "10001"},
        {"addservice", "5", "host$(id)", "10001"},
        {"addservice", "5", "", "10001"},
        {"addservice", "5", std::string(254, 'a'), "10001"},
        {"addservice", "5", "10.0.0.1", "10001", "--ports"},
    };
    for (const auto& args : bad) {
        const Outcome out = RunTool(args, dir);
        SCOPED_TRACE(args.empty() ? std::string("(none)") : args[0] + " " + (args.size() > 1 ? args[1] : ""));
        EXPECT_NE(out.exitCode, 0);
        ASSERT_FALSE(out.err.empty());
        EXPECT_EQ(out.err.find('\n'), out.err.size() - 1);  // exactly one line
    }
    EXPECT_FALSE(fs::exists(dir / "ports"));
}

TEST_F(CprMgrCmd, HighestNumbersAndAHostNameAreAccepted) {
    used.push_back(99);
    const Outcome out = RunTool({"addservice", "99", "localhost", "65535", "--ports", ports.string()}, dir);
    EXPECT_EQ(out.exitCode, 0) << out.err;  // the link stands even while nothing answers there
    EXPECT_TRUE(fs::is_symlink(ports / "COM99"));
}

TEST_F(CprMgrCmd, AddressWithShellMetacharactersIsRefusedAndNothingRuns) {
    const fs::path victim = dir / "owned";
    const Outcome out = RunTool({"addservice", "5", "x; touch " + victim.string(), "10001"}, dir);
    EXPECT_NE(out.exitCode, 0);
    EXPECT_FALSE(fs::exists(victim));
    EXPECT_FALSE(fs::exists(dir / "ports"));
}

TEST_F(CprMgrCmd, RemovingAPortNeverMappedSucceeds) {
    EXPECT_EQ(Remove(42).exitCode, 0);
    EXPECT_EQ(RunTool({"remservice", "42", "1"}, dir).exitCode, 0);
}

// --- The bridge --------------------------------------------------------------------------------

TEST_F(CprMgrCmd, AddedLinkCarriesBytesBothWaysAndRemovalTakesItAway) {
    Listen();
    const Outcome added = Add(7);
    ASSERT_EQ(added.exitCode, 0) << added.err;
    ASSERT_TRUE(fs::is_symlink(ports / "COM7"));
    EXPECT_TRUE(fs::exists(ports / ".COM7.pid"));
    ASSERT_TRUE(Accept());
    port = OpenPort(ports / "COM7");
    ASSERT_GE(port, 0);
    ExpectBytesFlowBothWays();

    close(port);
    port = -1;
    const Outcome removed = Remove(7);
    EXPECT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_FALSE(fs::exists(fs::symlink_status(ports / "COM7")));
    EXPECT_FALSE(fs::exists(ports / ".COM7.pid"));
    EXPECT_EQ(ReadSome(accepted, 1, 3000ms), "");  // the bridge has hung up
}

TEST_F(CprMgrCmd, PortClosedAndReopenedByTheProgramKeepsWorking) {
    Listen();
    ASSERT_EQ(Add(8).exitCode, 0);
    ASSERT_TRUE(Accept());
    port = OpenPort(ports / "COM8");
    ASSERT_GE(port, 0);
    close(port);
    port = OpenPort(ports / "COM8");
    ASSERT_GE(port, 0);
    ExpectBytesFlowBothWays();
}

TEST_F(CprMgrCmd, DroppedConnectionIsMadeAgainWhileTheLinkStays) {
    Listen();
    ASSERT_EQ(Add(9).exitCode, 0);
    ASSERT_TRUE(Accept());
    port = OpenPort(ports / "COM9");
    ASSERT_GE(port, 0);
    ExpectBytesFlowBothWays();

    close(accepted);
    accepted = -1;
    ASSERT_TRUE(Accept());  // within the first pause of 0.1 s and the 5 s bound
    EXPECT_TRUE(fs::is_symlink(ports / "COM9"));
    ExpectBytesFlowBothWays();
}

TEST_F(CprMgrCmd, SecondMappingOfAPortIsRefused) {
    Listen();
    ASSERT_EQ(Add(10).exitCode, 0);
    const Outcome again = Add(10);
    EXPECT_NE(again.exitCode, 0);
    EXPECT_NE(again.err.find("already mapped"), std::string::npos) << again.err;
    EXPECT_TRUE(fs::is_symlink(ports / "COM10"));
}

TEST_F(CprMgrCmd, ForeignPortLinkIsLeftAlone) {
    Listen();
    fs::create_directories(ports);
    fs::create_symlink("/dev/null", ports / "COM11");
    EXPECT_NE(Add(11).exitCode, 0);
    EXPECT_EQ(Remove(11).exitCode, 0);
    EXPECT_EQ(fs::read_symlink(ports / "COM11"), fs::path("/dev/null"));
}

TEST_F(CprMgrCmd, PipeOrLinkAtThePidFileBlocksNeitherCommandAndIsLeftAlone) {
    Listen();
    fs::create_directories(ports);
    ASSERT_EQ(mkfifo((ports / ".COM5.pid").c_str(), 0666), 0);
    fs::create_symlink("/tmp/nowhere", ports / ".COM6.pid");
    for (int n : {5, 6}) {
        const Outcome added = Add(n);
        EXPECT_NE(added.exitCode, 0);
        EXPECT_NE(added.err.find("left alone"), std::string::npos) << added.err;
        EXPECT_NE(Remove(n).exitCode, 0);
    }
    EXPECT_TRUE(fs::is_fifo(ports / ".COM5.pid"));
    EXPECT_TRUE(fs::is_symlink(ports / ".COM6.pid"));
    used.clear();
}

TEST_F(CprMgrCmd, RemainsOfAKilledBridgeAreCleared) {
    Listen();
    ASSERT_EQ(Add(12).exitCode, 0);
    std::ifstream pidFile(ports / ".COM12.pid");
    pid_t pid = 0;
    ASSERT_TRUE(pidFile >> pid);
    // The bridge connects after addservice has returned: take its connection before the kill,
    // or a bridge killed before connecting leaves nothing to accept.
    ASSERT_TRUE(Accept());
    ASSERT_EQ(kill(pid, SIGKILL), 0);
    EXPECT_EQ(ReadSome(accepted, 1, 3000ms), "");  // its connection ends with it
    EXPECT_EQ(Add(12).exitCode, 0);  // a new bridge replaces the dead one's link
    EXPECT_EQ(Remove(12).exitCode, 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(ports / "COM12")));
}

TEST_F(CprMgrCmd, BridgeWhoseLinkIsRemovedOrPointedElsewhereEndsAndHangsUp) {
    Listen();
    for (const bool elsewhere : {false, true}) {
        ASSERT_EQ(Add(13).exitCode, 0);
        ASSERT_TRUE(Accept());
        fs::remove(ports / "COM13");
        if (elsewhere) fs::create_symlink("/dev/null", ports / "COM13");
        EXPECT_TRUE(HungUp(accepted, 5000ms)) << "the device server is free for another connection";
        EXPECT_TRUE(GoneWithin(ports / ".COM13.pid", 3000ms)) << "its pid file goes with it";
        close(accepted);
        accepted = -1;
    }
    EXPECT_EQ(fs::read_symlink(ports / "COM13"), fs::path("/dev/null")) << "the other link stays";
}

TEST_F(CprMgrCmd, StalePidFileRemovesOnlyTheLinkItsBridgeMade) {
    Listen();
    ASSERT_EQ(Add(15).exitCode, 0);
    ASSERT_TRUE(Accept());
    ASSERT_EQ(kill(BridgePid(15), SIGKILL), 0);
    ASSERT_TRUE(HungUp(accepted, 3000ms));
    // Meanwhile a simulator has linked the port to a pseudo-terminal of its own (which may even
    // have the number the dead bridge's had).
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string slave = ptsname(master);
    fs::remove(ports / "COM15");
    fs::create_symlink(slave, ports / "COM15");

    EXPECT_EQ(Remove(15).exitCode, 0);
    EXPECT_EQ(fs::read_symlink(ports / "COM15"), fs::path(slave));
    EXPECT_FALSE(fs::exists(ports / ".COM15.pid"));
    EXPECT_NE(Add(15).exitCode, 0) << "the simulator's link is not replaced either";
    EXPECT_EQ(fs::read_symlink(ports / "COM15"), fs::path(slave));
    close(master);
}

TEST_F(CprMgrCmd, BridgeRemovesItsLinkOnEveryEndingItCanCatch) {
    Listen();
    for (const int signal : {SIGHUP, SIGINT, SIGSEGV, SIGABRT}) {
        SCOPED_TRACE(strsignal(signal));
        const Outcome added = Add(16);  // also clears the pid file a fatal ending leaves
        ASSERT_EQ(added.exitCode, 0) << added.err;
        ASSERT_TRUE(fs::is_symlink(ports / "COM16"));
        ASSERT_EQ(kill(BridgePid(16), signal), 0);
        EXPECT_TRUE(GoneWithin(ports / "COM16", 3000ms));
    }
}

}  // namespace
