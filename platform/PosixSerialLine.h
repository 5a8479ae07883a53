#pragma once
// The serial device on Linux: termios for the line settings, poll() for the time-outs,
// TIOCEXCL plus a non-blocking exclusive flock for exclusive use (flock also stops root).

#include "platform/SerialLine.h"

#include <chrono>
#include <string>
#include <termios.h>

class PosixSerialLine : public SerialLine {
public:
    PosixSerialLine() = default;
    ~PosixSerialLine() override;

    bool open(unsigned portNumber) override;  // through PortDevicePath()
    bool openPath(const std::string& devicePath);
    bool configure() override;
    void setTimeouts(const SerialTimeouts& timeouts) override;
    long read(std::uint8_t* buffer, std::size_t n) override;
    bool write(const std::uint8_t* buffer, std::size_t n) override;
    void setRts(bool on) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    bool deviceGone() const override { return gone_; }

private:
    bool waitSent(std::chrono::steady_clock::time_point deadline);

    int fd_ = -1;
    bool gone_ = false;
    bool saved_ = false;
    termios savedSettings_{};
    SerialTimeouts timeouts_{};
};
