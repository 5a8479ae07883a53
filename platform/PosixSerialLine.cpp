#include "platform/PosixSerialLine.h"

#include "platform/ControllingTerminal.h"
#include "platform/PortPath.h"
#include "platform/SerialDeadlines.h"
#include "platform/SystemSerialLine.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

// No read or write waits longer than this where its time-outs set no limit: a line whose
// time-outs were never applied (a device that refused the line settings, such as a FIFO or a
// plain file behind ports/COMn) has none, and a wait without end would hold the program.
constexpr auto kLongestUnlimitedWait = std::chrono::seconds(1);

SerialClock::time_point Bounded(SerialClock::time_point deadline, SerialClock::time_point start) {
    return std::min(deadline, start + kLongestUnlimitedWait);
}

// Time left until `deadline` as a timespec for ppoll; null for "no limit". Nanosecond
// resolution, so a 101 ms read time-out is 101 ms and not up to a millisecond more.
const timespec* TimeLeft(SerialClock::time_point deadline, timespec& storage) {
    if (deadline == SerialClock::time_point::max()) return nullptr;
    const auto left = std::max(deadline - SerialClock::now(), SerialClock::duration::zero());
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    storage.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
    storage.tv_nsec = static_cast<long>(ns % 1'000'000'000);
    return &storage;
}

// Errors that mean the device is not coming back: the other end of a pseudo-terminal closed,
// a USB adapter pulled out, a hung-up line.
bool IsDeviceGoneError(int error) {
    return error == EIO || error == ENXIO || error == ENODEV || error == EPIPE || error == EBADF;
}

// Waits until fd is ready for `events` or the deadline passes. 1 ready, 0 time-out, -1 gone.
int WaitReady(int fd, short events, SerialClock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        timespec storage{};
        const int r = ppoll(&p, 1, TimeLeft(deadline, storage), nullptr);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return -1;
        if (r == 0) {
            if (SerialClock::now() >= deadline) return 0;
            continue;  // woken a little early: wait for the rest
        }
        if (p.revents & events) return 1;
        return -1;  // POLLHUP, POLLERR or POLLNVAL without data to hand out
    }
}

void SwitchModemLines(int fd, int lines, bool on) {
    (void)::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &lines);  // a pseudo-terminal has none: ignored
}

}  // namespace

PosixSerialLine::~PosixSerialLine() { close(); }

bool PosixSerialLine::open(unsigned portNumber) {
    const std::string path = PortDevicePath(portNumber);
    if (path.empty()) {
        close();
        return false;
    }
    return openPath(path);
}

bool PosixSerialLine::openPath(const std::string& devicePath) {
    close();
    device_ = devicePath;
    // Non-blocking: the time-outs are ours (poll), and an open never waits for carrier.
    // Close-on-exec: a program we start (the redirector tool) must not inherit the port and its lock.
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    // Someone's terminal (a shell's, a console's) is not a bus, even when a stale link of a
    // killed simulator or bridge leads to its number: refused before anything is set or written.
    if (IsSomeonesControllingTerminal(fd)) {
        ::close(fd);
        return false;
    }
    // The lock next: it belongs to the open file description, so it refuses a second open by
    // every program that locks the device too (this one, qtvctl), whatever path or link led to
    // it. TIOCEXCL is set only once the port is ours, so that a refused open never clears the
    // exclusive flag of the holder; it refuses any later open except one by root.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    (void)::ioctl(fd, TIOCEXCL);
    // Linux raises DTR and RTS on open; the bus wants both off until the exchange switches RTS.
    SwitchModemLines(fd, TIOCM_DTR | TIOCM_RTS, false);
    fd_ = fd;
    gone_ = false;
    saved_ = false;
    configured_ = false;
    return true;
}

bool PosixSerialLine::configure() {
    if (fd_ < 0) return false;
    if (::tcgetattr(fd_, &savedSettings_) != 0) return false;
    saved_ = true;

    // Built from nothing, not from the saved settings: 4800 baud, 8 data bits, no parity,
    // 1 stop bit, raw bytes, no flow control of any kind, modem status ignored. XON/XOFF
    // characters and limits need no values, as XON/XOFF is off.
    termios working{};
    ::cfmakeraw(&working);
    working.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | PARMRK | IGNPAR);
    working.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    working.c_cflag |= CS8 | CLOCAL | CREAD;
    // VMIN 1, VTIME 0: with O_NONBLOCK an empty line reads as EAGAIN, so a read of 0 bytes
    // can only mean the line has hung up.
    working.c_cc[VMIN] = 1;
    working.c_cc[VTIME] = 0;
    ::cfsetispeed(&working, B4800);
    ::cfsetospeed(&working, B4800);
    if (::tcsetattr(fd_, TCSANOW, &working) != 0) return false;

    // tcsetattr succeeds when any part was taken; check the parts the bus depends on, and that
    // no flow control is left that could hold the output (waitSent relies on it).
    termios applied{};
    if (::tcgetattr(fd_, &applied) != 0) return false;
    configured_ = ::cfgetospeed(&applied) == B4800 && (applied.c_cflag & CSIZE) == CS8 &&
                  (applied.c_cflag & (PARENB | CRTSCTS)) == 0 && (applied.c_iflag & IXON) == 0;
    return configured_;
}

void PosixSerialLine::setTimeouts(const SerialTimeouts& timeouts) { timeouts_ = timeouts; }

long PosixSerialLine::read(std::uint8_t* buffer, std::size_t n) {
    if (fd_ < 0 || gone_) return -1;
    const auto start = SerialClock::now();
    std::optional<SerialClock::time_point> lastByte;
    std::size_t received = 0;
    while (received < n) {
        const int ready = WaitReady(fd_, POLLIN, Bounded(ReadDeadline(timeouts_, n, start, lastByte), start));
        if (ready == 0) break;
        if (ready < 0) {
            gone_ = true;
            return -1;
        }
        const ssize_t got = ::read(fd_, buffer + received, n - received);
        if (got > 0) {
            received += static_cast<std::size_t>(got);
            lastByte = SerialClock::now();
        } else if (got == 0 || IsDeviceGoneError(errno)) {
            gone_ = true;  // readable but end of file: the line hung up
            return -1;
        } else if (errno != EAGAIN && errno != EINTR) {
            return -1;
        }
    }
    return static_cast<long>(received);
}

// Returns when the driver has sent everything, so that the exchange may turn the RS-485
// converter round (RTS) right after the write without cutting off the last byte.
bool PosixSerialLine::waitSent(SerialClock::time_point deadline) {
    for (;;) {
        int queued = 0;
        if (::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0) break;
        if (SerialClock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    // The queue is empty; tcdrain waits for the last bytes in the hardware's FIFO, bounded by
    // the FIFO's size at 4800 baud only while no flow control can hold them: on a line whose
    // settings were not confirmed it could wait for ever, and it is left out.
    if (!configured_) return true;
    if (::tcdrain(fd_) != 0 && IsDeviceGoneError(errno)) {
        gone_ = true;
        return false;
    }
    return true;
}

bool PosixSerialLine::write(const std::uint8_t* buffer, std::size_t n) {
    if (fd_ < 0 || gone_) return false;
    const auto start = SerialClock::now();
    const auto deadline = Bounded(WriteDeadline(timeouts_, n, start), start);
    std::size_t sent = 0;
    while (sent < n) {
        const ssize_t put = ::write(fd_, buffer + sent, n - sent);
        if (put > 0) {
            sent += static_cast<std::size_t>(put);
            continue;
        }
        if (put < 0 && IsDeviceGoneError(errno)) {
            gone_ = true;
            return false;
        }
        if (put < 0 && errno != EAGAIN && errno != EINTR) return false;
        const int ready = WaitReady(fd_, POLLOUT, deadline);
        if (ready < 0) gone_ = true;
        if (ready <= 0) {
            (void)::tcflush(fd_, TCOFLUSH);  // what did not go out in time is dropped
            return false;
        }
    }
    if (waitSent(deadline)) return true;
    if (!gone_) (void)::tcflush(fd_, TCOFLUSH);
    return false;
}

void PosixSerialLine::setRts(bool on) {
    if (fd_ >= 0) SwitchModemLines(fd_, TIOCM_RTS, on);
}

void PosixSerialLine::close() {
    if (fd_ < 0) return;
    if (saved_) (void)::tcsetattr(fd_, TCSANOW, &savedSettings_);
    (void)::ioctl(fd_, TIOCNXCL);  // the flag outlives us on a pseudo-terminal whose master stays
    ::close(fd_);                  // releases the lock
    fd_ = -1;
    saved_ = false;
    configured_ = false;
    gone_ = false;
}

namespace {

// Opens one device path, whatever port number it is asked for.
class DevicePathLine : public PosixSerialLine {
public:
    explicit DevicePathLine(std::string path) : path_(std::move(path)) {}
    bool open(unsigned) override { return openPath(path_); }

private:
    std::string path_;
};

}  // namespace

std::unique_ptr<SerialLine> NewSystemSerialLine() { return std::make_unique<PosixSerialLine>(); }

std::unique_ptr<SerialLine> NewSerialLineOnDevice(const std::string& devicePath) {
    return std::make_unique<DevicePathLine>(devicePath);
}
