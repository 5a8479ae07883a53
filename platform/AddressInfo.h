#pragma once
// The system's resolver asked for a name's first IPv4 address, for both backends: they name the
// same functions and structures, each in its own system headers, which the backend includes
// before this file.

#include <cstring>
#include <optional>
#include <string>

#include "platform/Net.h"

inline std::optional<Ipv4Address> FirstIpv4ByGetaddrinfo(const std::string& hostName) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(hostName.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return std::nullopt;
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
