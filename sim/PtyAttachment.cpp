#include "sim/PtyAttachment.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace fs = std::filesystem;

PtyAttachment::~PtyAttachment() { close(); }

std::string PtyAttachment::open(const std::string& linkPath) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        return std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
    }
    slaveName_ = ptsname(master_);
    // Holding the slave open keeps the master readable while the program closes and reopens
    // the port. No flock and no TIOCEXCL here: the program takes both when it opens.
    heldSlave_ = ::open(slaveName_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (heldSlave_ < 0) return "cannot open " + slaveName_ + ": " + std::strerror(errno);
    termios t{};
    if (tcgetattr(heldSlave_, &t) == 0) {
        // Raw from the start, so that nothing is echoed or translated before the program sets its line.
        cfmakeraw(&t);
        cfsetspeed(&t, B4800);
        tcsetattr(heldSlave_, TCSANOW, &t);
    }
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    return makeLink(linkPath);
}

std::string PtyAttachment::makeLink(const std::string& linkPath) {
    std::error_code ec;
    const fs::path link(linkPath);
    if (link.has_parent_path()) fs::create_directories(link.parent_path(), ec);
    if (fs::is_symlink(fs::symlink_status(link, ec))) {
        // A link into /dev/pts is one a simulator left behind; anything else is not ours to replace.
        if (fs::read_symlink(link, ec).string().rfind("/dev/pts/", 0) != 0) {
            return linkPath + " is a link to another device; not replaced";
        }
        fs::remove(link, ec);
    } else if (fs::exists(fs::symlink_status(link, ec))) {
        return linkPath + " exists and is no link; not replaced";
    }
    if (!link_.make(slaveName_, linkPath))
        return "cannot create the link " + linkPath + ": " + std::strerror(errno);
    linkPath_ = linkPath;
    return {};
}

void PtyAttachment::close() {
    link_.remove();  // only if it is still the link made here
    linkPath_.clear();
    if (heldSlave_ >= 0) ::close(heldSlave_);
    if (master_ >= 0) ::close(master_);
    heldSlave_ = master_ = -1;
}

void PtyAttachment::addPollFds(std::vector<pollfd>& fds) {
    if (master_ >= 0) fds.push_back({master_, POLLIN, 0});
}

std::vector<std::uint8_t> PtyAttachment::service(const std::vector<pollfd>& fds) {
    std::vector<std::uint8_t> bytes;
    for (const pollfd& p : fds) {
        if (p.fd != master_ || !(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
        std::uint8_t buffer[256];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) bytes.assign(buffer, buffer + n);
    }
    return bytes;
}

void PtyAttachment::send(const std::vector<std::uint8_t>& bytes) {
    if (master_ < 0 || bytes.empty()) return;
    // Non-blocking: when the program does not read, its input queue fills and the rest is lost,
    // as on a bus nobody listens to.
    const ssize_t n = ::write(master_, bytes.data(), bytes.size());
    (void)n;
}

void PtyAttachment::housekeeping() {
    // The program's TIOCEXCL stays on the terminal after it closes its side, which would refuse
    // its next open unless it runs as root. Its flock keeps the port exclusive meanwhile.
    if (heldSlave_ >= 0) ioctl(heldSlave_, TIOCNXCL);
}
