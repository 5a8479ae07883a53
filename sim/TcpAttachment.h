#pragma once
// The bus behind a network device server: a TCP listener whose one connection at a time
// carries the bus's bytes; when it drops, the next connection is taken. A failing accept rests
// the listener (sim/AcceptPause.h).

#include <cstdint>
#include <string>

#include "sim/AcceptPause.h"
#include "sim/Attachment.h"

class TcpAttachment : public Attachment {
public:
    ~TcpAttachment() override;
    // Listens on host:port (port 0: any free port); returns an error text, empty on success.
    std::string open(const std::string& host, std::uint16_t port);
    void close();

    std::string describe() const override { return address_; }
    void addPollFds(std::vector<pollfd>& fds) override;
    std::vector<std::uint8_t> service(const std::vector<pollfd>& fds) override;
    void send(const std::vector<std::uint8_t>& bytes) override;

private:
    void dropConnection();

    int listener_ = -1;
    int connection_ = -1;
    std::string address_;
    AcceptPause acceptPause_;
};
