#pragma once
// The serial device on Windows: \\.\COMn opened without sharing (a port another program holds
// does not open), the line settings through SetCommState, the time-outs handed to the driver as
// they are (COMMTIMEOUTS is what SerialTimeouts describes), RTS through EscapeCommFunction.

#include "platform/SerialLine.h"

#include <string>
#include <windows.h>

class WinSerialLine : public SerialLine {
public:
    WinSerialLine() = default;
    ~WinSerialLine() override;
    WinSerialLine(const WinSerialLine&) = delete;
    WinSerialLine& operator=(const WinSerialLine&) = delete;

    bool open(unsigned portNumber) override;  // \\.\COMn
    bool openPath(const std::string& deviceName);  // COMn, \\.\COMn or another device name
    bool configure() override;
    void setTimeouts(const SerialTimeouts& timeouts) override;
    long read(std::uint8_t* buffer, std::size_t n) override;
    bool write(const std::uint8_t* buffer, std::size_t n) override;
    void setRts(bool on) override;
    void close() override;
    bool isOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }
    bool deviceGone() const override { return gone_; }

    // What the driver was given for `timeouts`: the same values, except that a wait the
    // time-outs leave without a limit gets one (one second), as on every line.
    static COMMTIMEOUTS DriverTimeouts(const SerialTimeouts& timeouts);

private:
    void noteFailure(DWORD error);

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    bool gone_ = false;
    bool saved_ = false;
    bool configured_ = false;
    DCB savedState_{};
    COMMTIMEOUTS savedTimeouts_{};
};
