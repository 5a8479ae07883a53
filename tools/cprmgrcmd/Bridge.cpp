#include "Bridge.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kFirstPause{100};
constexpr milliseconds kLongestPause{10000};
constexpr milliseconds kConnectTimeout{5000};
// A connection that lasted this long counts as good: the next pause starts short again.
constexpr milliseconds kStableConnection{1000};
// Bytes held for a side that cannot take them yet; more than that is dropped. A bus telegram is
// a few bytes, so this is only reached when one side has stopped reading altogether.
constexpr std::size_t kMaxPending = 64 * 1024;
// How often the bridge looks whether its link still leads to its terminal: a link removed or
// pointed elsewhere frees the device server within a quarter of a second, for one readlink.
constexpr milliseconds kMappingCheck{250};

volatile std::sig_atomic_t g_stop = 0;
void OnStopSignal(int) { g_stop = 1; }

sigset_t StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

// Short keepalive intervals: a device server that vanishes without a word (power cut, cable)
// is noticed within about 11 s of silence, or 10 s after unacknowledged data.
void SetSocketOptions(int fd) {
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    int idle = 5, interval = 2, count = 3;
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
    unsigned userTimeout = 10000;
    setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeout, sizeof userTimeout);
}

class Bridge {
public:
    Bridge(int master, BridgeTarget target, const std::function<bool()>& stillMapped)
        : master_(master), target_(std::move(target)), stillMapped_(stillMapped) {}
    ~Bridge() { closeSocket(); }
    void run();

private:
    enum State { Waiting, Connecting, Connected };
    void startConnect();
    void finishConnect();
    void drop();
    void closeSocket();
    void fromMaster();
    void fromServer();
    void flush(int fd, std::string& pending, bool& failed);
    int waitMs() const;

    int master_;
    BridgeTarget target_;
    const std::function<bool()>& stillMapped_;
    Clock::time_point nextMappingCheck_ = Clock::now() + kMappingCheck;
    int sock_ = -1;
    State state_ = Waiting;
    Clock::time_point due_ = Clock::now();  // next connect attempt, or end of the current one
    Clock::time_point connectedAt_{};
    Clock::time_point masterPausedUntil_{};
    milliseconds pause_ = kFirstPause;
    std::string toServer_;
    std::string toMaster_;
};

void Bridge::closeSocket() {
    if (sock_ >= 0) ::close(sock_);
    sock_ = -1;
    toServer_.clear();
}

// After a failed attempt or a dropped connection: wait, and wait longer each time in a row.
void Bridge::drop() {
    if (state_ == Connected && Clock::now() - connectedAt_ >= kStableConnection) pause_ = kFirstPause;
    closeSocket();
    state_ = Waiting;
    due_ = Clock::now() + pause_;
    pause_ = std::min(pause_ * 2, kLongestPause);
}

void Bridge::startConnect() {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(target_.tcpPort);
    if (getaddrinfo(target_.address.c_str(), service.c_str(), &hints, &found) != 0 || !found) {
        state_ = Connecting;  // counts as a failed attempt
        drop();
        return;
    }
    sock_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int rc = sock_ < 0 ? -1 : ::connect(sock_, found->ai_addr, found->ai_addrlen);
    const int error = errno;
    freeaddrinfo(found);
    state_ = Connecting;
    if (sock_ >= 0) SetSocketOptions(sock_);
    if (rc == 0) {
        state_ = Connected;
        connectedAt_ = Clock::now();
    } else if (sock_ >= 0 && error == EINPROGRESS) {
        due_ = Clock::now() + kConnectTimeout;
    } else {
        drop();
    }
}

void Bridge::finishConnect() {
    int error = 0;
    socklen_t len = sizeof error;
    if (getsockopt(sock_, SOL_SOCKET, SO_ERROR, &error, &len) != 0 || error != 0) {
        drop();
        return;
    }
    state_ = Connected;
    connectedAt_ = Clock::now();
}

void Bridge::fromMaster() {
    char buffer[4096];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n > 0) {
        if (state_ == Connected && toServer_.size() + static_cast<std::size_t>(n) <= kMaxPending)
            toServer_.append(buffer, static_cast<std::size_t>(n));
        return;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    // No slave side open (cannot happen while we hold it, but never spin on it).
    masterPausedUntil_ = Clock::now() + kFirstPause;
}

void Bridge::fromServer() {
    char buffer[4096];
    const ssize_t n = ::recv(sock_, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n > 0) {
        if (toMaster_.size() + static_cast<std::size_t>(n) <= kMaxPending)
            toMaster_.append(buffer, static_cast<std::size_t>(n));
        return;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    drop();
}

void Bridge::flush(int fd, std::string& pending, bool& failed) {
    failed = false;
    while (!pending.empty()) {
        const ssize_t n = fd == sock_ ? ::send(fd, pending.data(), pending.size(), MSG_NOSIGNAL | MSG_DONTWAIT)
                                      : ::write(fd, pending.data(), pending.size());
        if (n > 0) {
            pending.erase(0, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        failed = true;
        return;
    }
}

int Bridge::waitMs() const {
    Clock::time_point until = nextMappingCheck_;
    if (state_ != Connected) until = std::min(until, due_);
    if (masterPausedUntil_ > Clock::now()) until = std::min(until, masterPausedUntil_);
    const auto left = std::chrono::duration_cast<milliseconds>(until - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left + 1, 0, 60000));
}

void Bridge::run() {
    const sigset_t none = [] {
        sigset_t s;
        sigemptyset(&s);
        return s;
    }();
    while (!g_stop) {
        if (Clock::now() >= nextMappingCheck_) {
            if (!stillMapped_()) return;
            nextMappingCheck_ = Clock::now() + kMappingCheck;
        }
        if (state_ == Waiting && Clock::now() >= due_) startConnect();
        if (state_ == Connecting && Clock::now() >= due_) drop();

        pollfd fds[2]{};
        const bool masterReady = masterPausedUntil_ <= Clock::now();
        fds[0].fd = masterReady ? master_ : -1;
        fds[0].events = static_cast<short>(POLLIN | (toMaster_.empty() ? 0 : POLLOUT));
        fds[1].fd = state_ == Waiting ? -1 : sock_;
        fds[1].events = static_cast<short>(state_ == Connecting ? POLLOUT
                                                                : (POLLIN | (toServer_.empty() ? 0 : POLLOUT)));
        const int wait = waitMs();
        timespec ts{wait / 1000, (wait % 1000) * 1000000L};
        const int rc = ::ppoll(fds, 2, &ts, &none);
        if (rc <= 0) continue;

        if (fds[1].revents && state_ == Connecting) {
            finishConnect();
        } else if (fds[1].revents && state_ == Connected) {
            if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) fromServer();
            bool failed = false;
            if (state_ == Connected) flush(sock_, toServer_, failed);
            if (failed) drop();
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) fromMaster();
        bool failed = false;
        flush(master_, toMaster_, failed);
        if (failed) toMaster_.clear();
        if (state_ == Connected && !toServer_.empty()) {
            flush(sock_, toServer_, failed);
            if (failed) drop();
        }
    }
}

}  // namespace

void PrepareBridgeSignals() {
    const sigset_t stop = StopSignals();
    sigprocmask(SIG_BLOCK, &stop, nullptr);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

void RunBridge(int master, const BridgeTarget& target, const std::function<bool()>& stillMapped) {
    Bridge bridge(master, target, stillMapped);
    bridge.run();
}
