#include "platform/AppendFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool FileExists(const std::string& name) {
    struct stat info {};
    return ::stat(name.c_str(), &info) == 0;
}

bool CreateEmptyFile(const std::string& name) {
    // No O_TRUNC: should the file have appeared meanwhile, its records stay.
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

int OpenForAppend(const std::string& name) {
    // O_APPEND as well as the seek in AppendRecord: a record lands at the end even when another
    // program writes to the same file.
    const int fd = ::open(name.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    return fd < 0 ? -1 : fd;
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
            // A record that did not fit (a full disk) would leave a fragment for the next record
            // to run into; the file keeps whole records only.
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
