#include "platform/Net.h"

#include <utility>

#include "platform/SystemNet.h"

namespace {

std::function<std::optional<Ipv4Address>(const std::string&)>& Resolver() {
    static std::function<std::optional<Ipv4Address>(const std::string&)> resolver;
    return resolver;
}

}  // namespace

std::optional<Ipv4Address> ResolveHostIpv4(const std::string& hostName) {
    if (const auto& resolver = Resolver()) return resolver(hostName);
    if (hostName.empty() || hostName.find('\0') != std::string::npos) return std::nullopt;
    return SystemResolveIpv4(hostName);
}

void SetHostResolver(std::function<std::optional<Ipv4Address>(const std::string&)> resolver) {
    Resolver() = std::move(resolver);
}
