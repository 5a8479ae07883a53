#pragma once
// What each backend gives the portable part of platform/Net.cpp: the system's name service
// (getaddrinfo with its own headers, and on Windows its sockets started first).

#include <optional>
#include <string>

#include "platform/Net.h"

// The first IPv4 address the system's resolver finds for the name, or none.
std::optional<Ipv4Address> SystemResolveIpv4(const std::string& hostName);
