#include "platform/Net.h"

#include <utility>

#include "platform/ProcessHooks.h"
#include "platform/SystemNet.h"

namespace {

std::function<std::optional<Ipv4Address>(const std::string&)>& Resolver() {
    static std::function<std::optional<Ipv4Address>(const std::string&)> resolver;
    return resolver;
}
[[maybe_unused]] const bool kResolverHook = RegisterProcessHook(HookKind::StandIn, "host resolver", SnapshotOf(Resolver()));

}  // namespace

std::optional<Ipv4Address> ResolveHostIpv4(const std::string& hostName) {
    if (const auto& resolver = Resolver()) return resolver(hostName);
    if (hostName.empty() || hostName.find('\0') != std::string::npos) return std::nullopt;
    return SystemResolveIpv4(hostName);
}

void SetHostResolver(std::function<std::optional<Ipv4Address>(const std::string&)> resolver) {
    Resolver() = std::move(resolver);
}
