#include "platform/WinSerialLine.h"

#include "platform/PortPath.h"
#include "platform/SystemSerialLine.h"
#include "platform/WideText.h"

#include <utility>

namespace {

// No read or write waits longer than this where its time-outs set no limit (all zero would make
// the driver wait for ever).
constexpr DWORD kLongestUnlimitedWaitMs = 1000;

// Errors after which the device is not coming back: a USB adapter pulled out reports one of these
// on every further call, depending on its driver.
bool IsDeviceGoneError(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_INVALID_HANDLE:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
        return true;
    default:
        return false;
    }
}

// Drops whatever waits in either direction and clears the error state the driver keeps (after a
// framing error or an overrun it may refuse further reads until told).
void Reset(HANDLE handle) {
    (void)::PurgeComm(handle, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    DWORD errors = 0;
    (void)::ClearCommError(handle, &errors, nullptr);
}

std::string DeviceNameFor(const std::string& name) {
    // Only \\.\COMn reaches ports above COM9; a bare COMn is given the prefix.
    if (name.rfind("\\\\", 0) == 0) return name;
    return "\\\\.\\" + name;
}

}  // namespace

WinSerialLine::~WinSerialLine() { close(); }

bool WinSerialLine::open(unsigned portNumber) {
    const std::string name = PortDevicePath(portNumber);
    if (name.empty()) {
        close();
        return false;
    }
    return openPath(name);
}

bool WinSerialLine::openPath(const std::string& deviceName) {
    close();
    // No sharing: a port another program has open (a terminal program, a second Tarvo) is refused
    // here with ERROR_ACCESS_DENIED. Not inherited by programs we start (the redirector tool).
    const HANDLE handle = ::CreateFileW(Widened(DeviceNameFor(deviceName)).c_str(), GENERIC_READ | GENERIC_WRITE,
                                       0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    handle_ = handle;
    gone_ = false;
    saved_ = false;
    configured_ = false;
    (void)::GetCommTimeouts(handle_, &savedTimeouts_);
    // Until the link sets its own, every wait is bounded.
    setTimeouts(SerialTimeouts{});
    Reset(handle_);
    return true;
}

bool WinSerialLine::configure() {
    if (!isOpen()) return false;
    DCB state{};
    state.DCBlength = sizeof state;
    if (!::GetCommState(handle_, &state)) return false;
    savedState_ = state;
    saved_ = true;

    // 4800 baud, 8 data bits, no parity, 1 stop bit, binary, no flow control of any kind, DTR and
    // RTS off until the exchange switches RTS; errors do not stop the driver.
    DCB working{};
    working.DCBlength = sizeof working;
    working.BaudRate = CBR_4800;
    working.ByteSize = 8;
    working.Parity = NOPARITY;
    working.StopBits = ONESTOPBIT;
    working.fBinary = TRUE;
    working.fParity = FALSE;
    working.fOutxCtsFlow = FALSE;
    working.fOutxDsrFlow = FALSE;
    working.fDtrControl = DTR_CONTROL_DISABLE;
    working.fDsrSensitivity = FALSE;
    working.fTXContinueOnXoff = TRUE;
    working.fOutX = FALSE;
    working.fInX = FALSE;
    working.fErrorChar = FALSE;
    working.fNull = FALSE;
    working.fRtsControl = RTS_CONTROL_DISABLE;
    working.fAbortOnError = FALSE;
    working.XonLim = state.XonLim;
    working.XoffLim = state.XoffLim;
    working.XonChar = state.XonChar;
    working.XoffChar = state.XoffChar;
    if (!::SetCommState(handle_, &working)) return false;

    DCB applied{};
    applied.DCBlength = sizeof applied;
    configured_ = ::GetCommState(handle_, &applied) && applied.BaudRate == CBR_4800 && applied.ByteSize == 8 &&
                  applied.Parity == NOPARITY && !applied.fOutxCtsFlow && !applied.fOutX;
    return configured_;
}

COMMTIMEOUTS WinSerialLine::DriverTimeouts(const SerialTimeouts& timeouts) {
    COMMTIMEOUTS driver{};
    driver.ReadIntervalTimeout = timeouts.readInterval;
    driver.ReadTotalTimeoutMultiplier = timeouts.readTotalMultiplier;
    driver.ReadTotalTimeoutConstant = timeouts.readTotalConstant;
    driver.WriteTotalTimeoutMultiplier = timeouts.writeTotalMultiplier;
    driver.WriteTotalTimeoutConstant = timeouts.writeTotalConstant;
    const bool readReturnsAtOnce = driver.ReadIntervalTimeout == MAXDWORD &&
                                   driver.ReadTotalTimeoutMultiplier == 0 && driver.ReadTotalTimeoutConstant == 0;
    if (!readReturnsAtOnce && driver.ReadTotalTimeoutMultiplier == 0 && driver.ReadTotalTimeoutConstant == 0)
        driver.ReadTotalTimeoutConstant = kLongestUnlimitedWaitMs;
    if (driver.WriteTotalTimeoutMultiplier == 0 && driver.WriteTotalTimeoutConstant == 0)
        driver.WriteTotalTimeoutConstant = kLongestUnlimitedWaitMs;
    return driver;
}

void WinSerialLine::setTimeouts(const SerialTimeouts& timeouts) {
    if (!isOpen()) return;
    COMMTIMEOUTS driver = DriverTimeouts(timeouts);
    (void)::SetCommTimeouts(handle_, &driver);
}

void WinSerialLine::noteFailure(DWORD error) {
    if (IsDeviceGoneError(error)) {
        gone_ = true;
        return;
    }
    DWORD errors = 0;
    (void)::ClearCommError(handle_, &errors, nullptr);
}

long WinSerialLine::read(std::uint8_t* buffer, std::size_t n) {
    if (!isOpen() || gone_) return -1;
    DWORD got = 0;
    // The driver applies the time-outs: all n bytes, the interval after a byte, or the total.
    if (!::ReadFile(handle_, buffer, static_cast<DWORD>(n), &got, nullptr)) {
        noteFailure(::GetLastError());
        return -1;
    }
    return static_cast<long>(got);
}

bool WinSerialLine::write(const std::uint8_t* buffer, std::size_t n) {
    if (!isOpen() || gone_) return false;
    DWORD put = 0;
    if (!::WriteFile(handle_, buffer, static_cast<DWORD>(n), &put, nullptr)) {
        noteFailure(::GetLastError());
        if (!gone_) (void)::PurgeComm(handle_, PURGE_TXABORT | PURGE_TXCLEAR);
        return false;
    }
    if (put != n) {  // the write time-out ran out: what did not go is dropped
        (void)::PurgeComm(handle_, PURGE_TXABORT | PURGE_TXCLEAR);
        return false;
    }
    // Back only once the driver has sent everything, so that the exchange may turn the RS-485
    // converter round (RTS) right after the write. Without confirmed settings some flow control
    // could hold the bytes for ever: then the write is taken as it is.
    if (configured_ && !::FlushFileBuffers(handle_)) {
        noteFailure(::GetLastError());
        return false;
    }
    return true;
}

void WinSerialLine::setRts(bool on) {
    // A pseudo-terminal behind Wine's COM port, and some adapters, have no RTS: error 50 (not
    // supported) is expected there and changes nothing for the exchange.
    if (isOpen()) (void)::EscapeCommFunction(handle_, on ? SETRTS : CLRRTS);
}

void WinSerialLine::close() {
    if (!isOpen()) return;
    if (!gone_) {
        Reset(handle_);
        if (saved_) (void)::SetCommState(handle_, &savedState_);
        (void)::SetCommTimeouts(handle_, &savedTimeouts_);
    }
    ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    saved_ = false;
    configured_ = false;
    gone_ = false;
}

namespace {

class DevicePathLine : public WinSerialLine {
public:
    explicit DevicePathLine(std::string name) : name_(std::move(name)) {}
    bool open(unsigned) override { return openPath(name_); }

private:
    std::string name_;
};

}  // namespace

std::unique_ptr<SerialLine> NewSystemSerialLine() { return std::make_unique<WinSerialLine>(); }

std::unique_ptr<SerialLine> NewSerialLineOnDevice(const std::string& devicePath) {
    return std::make_unique<DevicePathLine>(devicePath);
}
