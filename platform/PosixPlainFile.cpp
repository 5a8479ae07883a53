#include "platform/PlainFile.h"

// The rule for the operator's files on Linux: lstat and O_NOFOLLOW keep links out, O_NONBLOCK
// keeps a pipe or device from blocking the open.

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

PlainFile KindOf(mode_t mode) {
    if (S_ISREG(mode)) return PlainFile::Regular;
    if (S_ISLNK(mode)) return PlainFile::Link;
    if (S_ISDIR(mode)) return PlainFile::Folder;
    return PlainFile::Special;
}

PlainFile OpenFailure(int error) {
    if (error == ENOENT || error == ENOTDIR) return PlainFile::Missing;
    if (error == ELOOP) return PlainFile::Link;  // O_NOFOLLOW met a link
    if (error == EISDIR) return PlainFile::Folder;
    if (error == ENXIO) return PlainFile::Special;  // a socket, or a pipe without a writer
    return PlainFile::Unreadable;
}

}  // namespace

PlainFile InspectPlainFile(const std::string& path, Links links) {
    struct stat info {};
    const int got = links == Links::Follow ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info);
    if (got != 0) return OpenFailure(errno);
    return KindOf(info.st_mode);
}

PlainFile ReadPlainFile(const std::string& path, std::string& bytes, std::uint64_t maxBytes, Links links) {
    bytes.clear();
    // A device is not even opened (opening some has effects); the open below checks again.
    const PlainFile before = InspectPlainFile(path, links);
    if (before != PlainFile::Regular) return before;
    // O_NONBLOCK: opening a pipe without a writer or a device would otherwise wait for good.
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (links == Links::Refuse ? O_NOFOLLOW : 0);
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) return OpenFailure(errno);
    struct stat info {};
    PlainFile state = ::fstat(fd, &info) != 0 ? PlainFile::Unreadable : KindOf(info.st_mode);
    if (state == PlainFile::Regular && static_cast<std::uint64_t>(info.st_size) > maxBytes) state = PlainFile::TooLarge;
    if (state == PlainFile::Regular) {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
        char chunk[65536];
        for (;;) {
            const ssize_t got = ::read(fd, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                state = PlainFile::Unreadable;
                break;
            }
            if (got == 0) break;
            if (bytes.size() + static_cast<std::uint64_t>(got) > maxBytes) {
                state = PlainFile::TooLarge;  // it grew while being read
                break;
            }
            bytes.append(chunk, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    if (state != PlainFile::Regular) std::string().swap(bytes);
    return state;
}

std::string LinkDestination(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return {};
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) return resolved;
    // A link to nowhere (yet): where it points, taken from the link's own folder.
    char target[PATH_MAX];
    const ssize_t size = ::readlink(path.c_str(), target, sizeof target - 1);
    if (size <= 0) return {};
    const std::string destination(target, static_cast<std::size_t>(size));
    const auto slash = path.rfind('/');
    if (destination.front() == '/' || slash == std::string::npos) return destination;
    return path.substr(0, slash + 1) + destination;
}
