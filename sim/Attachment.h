#pragma once
// Where the PC's bytes come from and the replies go: a pseudo-terminal or a TCP connection.

#include <cstdint>
#include <string>
#include <vector>

#include <poll.h>

class Attachment {
public:
    virtual ~Attachment() = default;
    // What the ready line names: the link path, or the address listened on.
    virtual std::string describe() const = 0;
    // The descriptors to wait on.
    virtual void addPollFds(std::vector<pollfd>& fds) = 0;
    // After poll(): takes what the PC sent (empty when nothing came).
    virtual std::vector<std::uint8_t> service(const std::vector<pollfd>& fds) = 0;
    // Hands reply bytes to the PC; bytes nobody can take are dropped and counted.
    virtual void send(const std::vector<std::uint8_t>& bytes) = 0;
    // Called at least every 100 ms.
    virtual void housekeeping() {}
};
