#include "platform/ControllingTerminal.h"

#include <cctype>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The device number as /proc/<pid>/stat writes it (field 7, tty_nr): minor bits 0-7, major bits
// 8-19, the rest of the minor from bit 20.
unsigned long long StatTtyNumber(dev_t device) {
    const unsigned long long ma = major(device), mi = minor(device);
    return (mi & 0xFF) | (ma << 8) | ((mi & ~0xFFull) << 12);
}

// Field 7 of /proc/<pid>/stat; the command name in field 2 may hold blanks and parentheses, so
// the count starts behind its last ')'. -1 when the file cannot be read (the process has ended).
long long ControllingTtyOf(const char* pid) {
    const std::string path = std::string("/proc/") + pid + "/stat";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    char buffer[1024];
    const ssize_t n = ::read(fd, buffer, sizeof buffer - 1);
    ::close(fd);
    if (n <= 0) return -1;
    buffer[n] = '\0';
    const std::string stat(buffer, static_cast<std::size_t>(n));
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    // Behind ") ": state (3), ppid (4), pgrp (5), session (6), tty_nr (7).
    char state = 0;
    long long ppid = 0, pgrp = 0, session = 0, tty = -1;
    if (std::sscanf(stat.c_str() + close + 1, " %c %lld %lld %lld %lld", &state, &ppid, &pgrp, &session, &tty) != 5)
        return -1;
    return tty;
}

}  // namespace

bool IsSomeonesControllingTerminal(int fd) {
    if (!::isatty(fd)) return false;
    // Our own controlling terminal is the one the kernel does tell about.
    if (::tcgetsid(fd) >= 0) return true;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) return false;
    const long long wanted = static_cast<long long>(StatTtyNumber(info.st_rdev));
    DIR* proc = ::opendir("/proc");
    if (!proc) return false;
    bool found = false;
    while (const dirent* entry = ::readdir(proc)) {
        if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0]))) continue;
        if (ControllingTtyOf(entry->d_name) == wanted) {
            found = true;
            break;
        }
    }
    ::closedir(proc);
    return found;
}
