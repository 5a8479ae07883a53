#pragma once
// The device line: what the bus link needs of a serial port, and nothing more.
// The platform's serial device (PosixSerialLine on Linux, WinSerialLine on Windows) and the tests'
// scripted lines implement it.
// Failures are return values; a line never raises a dialog or throws.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Time-outs in milliseconds, with the semantics of a Windows COM port:
// a read returns when all requested bytes have come, when more than `readInterval` passes
// between two received bytes, or when readTotalConstant + readTotalMultiplier * n has passed
// since it began; a read that receives nothing returns 0 bytes without error.
// A write gives up after writeTotalConstant + writeTotalMultiplier * n.
// Whatever the time-outs and whatever open() and configure() reported, no read or write waits
// without end: where the time-outs set no limit (or none have been set, as after a refused
// configure()), a line bounds the wait itself (one second).
struct SerialTimeouts {
    unsigned readInterval = 0;
    unsigned readTotalMultiplier = 0;
    unsigned readTotalConstant = 0;
    unsigned writeTotalMultiplier = 0;
    unsigned writeTotalConstant = 0;
};

class SerialLine {
public:
    virtual ~SerialLine() = default;

    // Opens the device of port number n (COMn) for exclusive use. False when it cannot be opened,
    // when another program holds it, or when it is a terminal in someone's session (a shell's).
    virtual bool open(unsigned portNumber) = 0;
    // Saves the settings found on the device, then applies the working settings
    // (4800 baud, 8N1, raw, no flow control, DTR and RTS off). False when the device refuses them;
    // the line stays open.
    virtual bool configure() = 0;
    virtual void setTimeouts(const SerialTimeouts& timeouts) = 0;
    // Reads up to n bytes under the time-outs. Returns the number of bytes read (0 on time-out),
    // or -1 when the device failed (hung up, unplugged, not open).
    virtual long read(std::uint8_t* buffer, std::size_t n) = 0;
    // Writes n bytes; true when all of them were written within the write time-out.
    virtual bool write(const std::uint8_t* buffer, std::size_t n) = 0;
    virtual void setRts(bool on) = 0;
    // Restores the settings saved by configure() and closes the device. Harmless when not open.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // True once the device has reported that it is gone (hang-up, unplugged adapter).
    virtual bool deviceGone() const { return false; }
    // The device the last open() tried, as the operator would look for it (a path here); empty
    // where a line has nothing to name.
    virtual std::string device() const { return {}; }
};

// Where new lines come from. The program uses the platform's serial device; tests install a
// factory that hands out fake lines. Passing an empty factory restores the platform default.
using SerialLineFactory = std::function<std::unique_ptr<SerialLine>()>;
void SetSerialLineFactory(SerialLineFactory factory);
std::unique_ptr<SerialLine> NewSerialLine();

// A line of the platform's serial device that opens the device at `devicePath`, whatever port
// number it is asked for (qtvctl --device): a device file on Linux, a port name such as COM3 or
// \\.\COM3 on Windows.
std::unique_ptr<SerialLine> NewSerialLineOnDevice(const std::string& devicePath);
