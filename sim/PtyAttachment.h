#pragma once
// The bus on a pseudo-terminal: the program opens the slave side through a link (for example
// ports/COM1 beside its configuration file); the simulator reads and writes the master side.

#include <string>

#include "platform/OwnedLink.h"
#include "sim/Attachment.h"

class PtyAttachment : public Attachment {
public:
    ~PtyAttachment() override;
    // Creates the pair and the link; returns an error text, empty on success.
    std::string open(const std::string& linkPath);
    void close();

    std::string describe() const override { return linkPath_; }
    void addPollFds(std::vector<pollfd>& fds) override;
    std::vector<std::uint8_t> service(const std::vector<pollfd>& fds) override;
    void send(const std::vector<std::uint8_t>& bytes) override;
    void housekeeping() override;
    const std::string& slaveName() const { return slaveName_; }

private:
    std::string makeLink(const std::string& linkPath);

    int master_ = -1;
    int heldSlave_ = -1;
    std::string slaveName_;
    std::string linkPath_;
    OwnedLink link_;  // removed on every ending: close(), and the fatal signals
};
