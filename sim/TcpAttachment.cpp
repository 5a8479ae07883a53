#include "sim/TcpAttachment.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

TcpAttachment::~TcpAttachment() { close(); }

std::string TcpAttachment::open(const std::string& host, std::uint16_t port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &found); rc != 0) {
        return "cannot resolve " + host + ": " + gai_strerror(rc);
    }
    std::string error = "no address for " + host;
    for (addrinfo* a = found; a && listener_ < 0; a = a->ai_next) {
        const int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        const int one = 1;
        if (fd >= 0) setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (fd >= 0 && bind(fd, a->ai_addr, a->ai_addrlen) == 0 && listen(fd, 4) == 0) {
            listener_ = fd;
        } else {
            error = "cannot listen on " + host + ":" + service + ": " + std::strerror(errno);
            if (fd >= 0) ::close(fd);
        }
    }
    freeaddrinfo(found);
    if (listener_ < 0) return error;
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &length);
    const std::uint16_t actual = bound.ss_family == AF_INET6
                                     ? ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port)
                                     : ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    address_ = host + ":" + std::to_string(actual);
    return {};
}

void TcpAttachment::close() {
    dropConnection();
    if (listener_ >= 0) ::close(listener_);
    listener_ = -1;
}

void TcpAttachment::dropConnection() {
    if (connection_ >= 0) ::close(connection_);
    connection_ = -1;
}

void TcpAttachment::addPollFds(std::vector<pollfd>& fds) {
    // While a connection is served, the next ones wait in the listen queue.
    if (connection_ >= 0) fds.push_back({connection_, POLLIN, 0});
    else if (listener_ >= 0 && !acceptPause_.resting()) fds.push_back({listener_, POLLIN, 0});
}

std::vector<std::uint8_t> TcpAttachment::service(const std::vector<pollfd>& fds) {
    std::vector<std::uint8_t> bytes;
    for (const pollfd& p : fds) {
        if (!p.revents) continue;
        if (p.fd == listener_ && connection_ < 0) {
            connection_ = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (connection_ < 0) {
                acceptPause_.failed(errno);
                continue;
            }
            acceptPause_.succeeded();
            const int one = 1;
            setsockopt(connection_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        } else if (p.fd == connection_) {
            std::uint8_t buffer[256];
            const ssize_t n = ::read(connection_, buffer, sizeof buffer);
            if (n > 0) bytes.assign(buffer, buffer + n);
            else if (n == 0 || (errno != EAGAIN && errno != EINTR)) dropConnection();
        }
    }
    return bytes;
}

void TcpAttachment::send(const std::vector<std::uint8_t>& bytes) {
    if (connection_ < 0 || bytes.empty()) return;
    if (::send(connection_, bytes.data(), bytes.size(), MSG_NOSIGNAL) < 0 && errno != EAGAIN) dropConnection();
}
