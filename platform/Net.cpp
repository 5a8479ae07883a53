#include "platform/Net.h"

#include "platform/ProcessHooks.h"

#include <arpa/inet.h>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <utility>

namespace {

std::optional<Ipv4Address> SystemResolve(const std::string& hostName) {
    if (hostName.empty() || hostName.find('\0') != std::string::npos) return std::nullopt;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(hostName.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return std::nullopt;
    std::optional<Ipv4Address> result;
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        if (a->ai_family != AF_INET || a->ai_addr == nullptr) continue;
        sockaddr_in address{};
        std::memcpy(&address, a->ai_addr, sizeof address);
        Ipv4Address bytes{};
        std::memcpy(bytes.data(), &address.sin_addr.s_addr, 4);  // network order: a.b.c.d
        result = bytes;
        break;
    }
    ::freeaddrinfo(found);
    return result;
}

std::function<std::optional<Ipv4Address>(const std::string&)>& Resolver() {
    static std::function<std::optional<Ipv4Address>(const std::string&)> resolver;
    return resolver;
}
[[maybe_unused]] const bool kResolverHook = RegisterProcessHook(HookKind::StandIn, "host resolver", SnapshotOf(Resolver()));

}  // namespace

std::optional<Ipv4Address> ResolveHostIpv4(const std::string& hostName) {
    const auto& resolver = Resolver();
    return resolver ? resolver(hostName) : SystemResolve(hostName);
}

void SetHostResolver(std::function<std::optional<Ipv4Address>(const std::string&)> resolver) {
    Resolver() = std::move(resolver);
}
