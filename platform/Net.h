#pragma once
// Host-name lookup for the network link.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

using Ipv4Address = std::array<std::uint8_t, 4>;

// The first IPv4 address of a host name (or a dotted address), or nothing.
std::optional<Ipv4Address> ResolveHostIpv4(const std::string& hostName);

// Tests replace the resolver; empty restores the real one.
void SetHostResolver(std::function<std::optional<Ipv4Address>(const std::string&)> resolver);
