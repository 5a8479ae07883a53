#include <winsock2.h>
#include <ws2tcpip.h>

#include "platform/AddressInfo.h"
#include "platform/SystemNet.h"

namespace {

// Windows Sockets want their start-up once per process before the first call; it stays until the
// process ends.
bool SocketsStarted() {
    static const bool started = [] {
        WSADATA data{};
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

}  // namespace

std::optional<Ipv4Address> SystemResolveIpv4(const std::string& hostName) {
    if (!SocketsStarted()) return std::nullopt;
    return FirstIpv4ByGetaddrinfo(hostName);
}
