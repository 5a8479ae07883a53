#include "platform/AppendFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// O_NOFOLLOW makes a link fail instead of leading elsewhere; O_NONBLOCK keeps a pipe without a
// reader from holding the open (it fails at once) and does nothing to a regular file.
constexpr int kSafeOpen = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

bool IsRegularFile(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

bool FileExists(const std::string& name) {
    struct stat info {};
    return ::lstat(name.c_str(), &info) == 0;
}

bool CreateEmptyFile(const std::string& name) {
    // O_EXCL: only a name that is free is taken, so a link (even one to nowhere) is never followed
    // and a file that appeared meanwhile keeps its records.
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | kSafeOpen, 0666);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    struct stat info {};
    return errno == EEXIST && ::lstat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

int OpenForAppend(const std::string& name) {
    // O_APPEND as well as the seek in AppendRecord: a record lands at the end even when another
    // program writes to the same file.
    const int fd = ::open(name.c_str(), O_WRONLY | O_APPEND | kSafeOpen);
    if (fd < 0) return -1;
    if (!IsRegularFile(fd)) {  // a pipe that has a reader, a terminal, a device
        ::close(fd);
        return -1;
    }
    return fd;
}

bool AppendRecord(int handle, const std::string& bytes) {
    if (handle < 0) return false;
    const off_t end = ::lseek(handle, 0, SEEK_END);
    if (end < 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {  // one call, unless the system takes only part of it
        const ssize_t put = ::write(handle, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            // A record that did not fit (a full disk, a file-size limit) would leave a fragment
            // for the next record to run into; the file keeps whole records only.
            if (done > 0) (void)::ftruncate(handle, end);
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

void CloseHandle(int handle) {
    if (handle >= 0) ::close(handle);
}

bool HandleStillNamed(int handle, const std::string& name) {
    struct stat open {}, named {};
    if (handle < 0 || ::fstat(handle, &open) != 0 || ::lstat(name.c_str(), &named) != 0) return false;
    return open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}
