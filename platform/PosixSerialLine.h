#pragma once
// The serial device on Linux: termios for the line settings, poll() for the time-outs (on any
// kind of device, a terminal or not), a non-blocking exclusive flock plus TIOCEXCL for exclusive
// use. The flock refuses every program that locks the device too, root's included; TIOCEXCL
// refuses a plain open by anyone but root. A terminal that is some process's controlling
// terminal is never opened.

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
    std::string device() const override { return device_; }

private:
    bool waitSent(std::chrono::steady_clock::time_point deadline);

    int fd_ = -1;
    bool gone_ = false;
    bool saved_ = false;
    bool configured_ = false;  // the working settings were applied and confirmed
    termios savedSettings_{};
    SerialTimeouts timeouts_{};
    std::string device_;
};
