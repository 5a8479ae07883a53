#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "platform/AddressInfo.h"
#include "platform/SystemNet.h"

std::optional<Ipv4Address> SystemResolveIpv4(const std::string& hostName) {
    return FirstIpv4ByGetaddrinfo(hostName);
}
