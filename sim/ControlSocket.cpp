#include "sim/ControlSocket.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
constexpr std::size_t kMaxLine = 4096;  // a client that sends more without a newline is cut off
// Answers a client has not taken; more means it does not read, and it is dropped. Far above
// what a client that reads ever has waiting (an answer is one line).
constexpr std::size_t kMaxUnreadAnswers = 64 * 1024;
}

ControlSocket::~ControlSocket() { close(); }

std::string ControlSocket::open(const std::string& path, Handler handler) {
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) return "control socket path too long: " + path;
    std::error_code ec;
    if (std::filesystem::is_socket(path, ec)) std::filesystem::remove(path, ec);  // left by an earlier run
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 8) != 0) {
        const std::string error = "cannot listen on " + path + ": " + std::strerror(errno);
        close();
        return error;
    }
    path_ = path;
    handler_ = std::move(handler);
    return {};
}

void ControlSocket::close() {
    for (Client& c : clients_) ::close(c.fd);
    clients_.clear();
    if (listener_ >= 0) ::close(listener_);
    listener_ = -1;
    if (!path_.empty()) {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
        path_.clear();
    }
}

void ControlSocket::addPollFds(std::vector<pollfd>& fds) const {
    if (listener_ >= 0 && !acceptPause_.resting()) fds.push_back({listener_, POLLIN, 0});
    for (const Client& c : clients_)
        fds.push_back({c.fd, static_cast<short>(POLLIN | (c.answers.empty() ? 0 : POLLOUT)), 0});
}

void ControlSocket::service(const std::vector<pollfd>& fds) {
    for (const pollfd& p : fds) {
        if (!p.revents) continue;
        if (p.fd == listener_) {
            accept();
            continue;
        }
        auto it = std::find_if(clients_.begin(), clients_.end(), [&](const Client& c) { return c.fd == p.fd; });
        if (it == clients_.end()) continue;
        if (p.revents & POLLOUT) sendAnswers(*it);
        if (it->fd >= 0 && (p.revents & (POLLIN | POLLHUP | POLLERR))) readClient(*it);
    }
    clients_.erase(std::remove_if(clients_.begin(), clients_.end(), [](const Client& c) { return c.fd < 0; }),
                   clients_.end());
}

void ControlSocket::accept() {
    const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
        acceptPause_.failed(errno);
        return;
    }
    acceptPause_.succeeded();
    clients_.push_back({fd, {}, {}});
}

void ControlSocket::drop(Client& c) {
    ::close(c.fd);
    c.fd = -1;
}

void ControlSocket::readClient(Client& c) {
    char buffer[512];
    const ssize_t n = ::read(c.fd, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (n <= 0) {
        drop(c);
        return;
    }
    c.pending.append(buffer, static_cast<std::size_t>(n));
    std::size_t nl;
    while ((nl = c.pending.find('\n')) != std::string::npos) {
        c.answers += handler_(c.pending.substr(0, nl)) + "\n";
        c.pending.erase(0, nl + 1);
    }
    if (c.pending.size() > kMaxLine) {
        drop(c);
        return;
    }
    sendAnswers(c);
}

void ControlSocket::sendAnswers(Client& c) {
    while (!c.answers.empty()) {
        const ssize_t n = ::send(c.fd, c.answers.data(), c.answers.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            c.answers.erase(0, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        drop(c);  // gone
        return;
    }
    if (c.answers.size() > kMaxUnreadAnswers) drop(c);
}

std::string TellControlSocket(const std::string& path, const std::string& line, std::string& error) {
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) {
        error = "control socket path too long: " + path;
        return {};
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const std::string text = line + "\n";
    std::string answer;
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::send(fd, text.data(), text.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(text.size())) {
        error = "cannot reach " + path + ": " + std::strerror(errno);
    } else {
        timeval limit{5, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        char c = 0;
        while (::read(fd, &c, 1) == 1 && c != '\n') answer += c;
        if (c != '\n') error = "no answer from " + path;
    }
    if (fd >= 0) ::close(fd);
    return answer;
}
