#include "platform/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/PlainFile.h"

namespace {

// The file a name stands for: the target of a link, else the name itself.
std::string ResolvedTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// The file to replace, checked before and after resolving: empty when the name is a link the
// caller does not follow, or either the name or what it reaches is anything but a regular file
// or nothing at all. A link to nowhere that is followed is replaced itself, as it always was.
std::string ReplaceTarget(const std::string& path, Links links) {
    const PlainFile here = InspectPlainFile(path, Links::Refuse);
    if (here != PlainFile::Link) return MayReplace(here) ? path : std::string();
    if (links == Links::Refuse) return {};
    const std::string target = ResolvedTarget(path);
    if (target == path) return path;
    return MayReplace(InspectPlainFile(target, Links::Refuse)) ? target : std::string();
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t put = ::write(fd, content.data() + done, content.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

// The new file gets the old one's permissions and owner (mkstemp would give 0600).
void TakeOverAttributes(int fd, const std::string& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0) {
        (void)::fchmod(fd, 0644);
        return;
    }
    if (::geteuid() == 0) (void)::fchown(fd, info.st_uid, info.st_gid);
    (void)::fchmod(fd, info.st_mode & 07777);
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);  // the rename is done; a folder that cannot be synced changes nothing
    ::close(fd);
}

// A save killed between creating its temporary file and the rename leaves that file behind.
// Such leftovers carry our name pattern ("." + name + "." + six characters of mkstemp); they
// are removed after the next successful save, once they are old enough that no other save can
// still be writing them.
void RemoveStaleTemporaries(const std::string& folder, const std::string& base) {
    constexpr time_t kStaleSeconds = 60;
    const std::string prefix = "." + base + ".";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string path = folder + "/" + name;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        if (now - info.st_mtime >= kStaleSeconds) (void)::unlink(path.c_str());
    }
    ::closedir(dir);
}

bool PWriteAll(int fd, std::string_view content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t put =
            ::pwrite(fd, content.data() + done, content.size() - done, static_cast<off_t>(done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool ReadAll(int fd, std::string& into) {
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::pread(fd, chunk, sizeof chunk, static_cast<off_t>(into.size()));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        into.append(chunk, static_cast<std::size_t>(got));
    }
}

// The content written over the old one in the same file. The old content is read first, so that
// a write that fails part-way (a full disk, a file-size limit) can put it back: rewriting bytes the
// file already has needs no new room on the disk.
bool RewriteInPlace(const std::string& target, const std::string& content) {
    const int fd = ::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    std::string old;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !ReadAll(fd, old)) {
        ::close(fd);
        return false;
    }
    // Room for a longer content before anything is overwritten, where the file system can say.
    if (content.size() > old.size() &&
        ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(content.size())) != 0 &&
        (errno == ENOSPC || errno == EFBIG)) {
        ::close(fd);
        return false;
    }
    bool ok = PWriteAll(fd, content) && ::ftruncate(fd, static_cast<off_t>(content.size())) == 0 &&
              ::fsync(fd) == 0;
    if (!ok) {
        (void)PWriteAll(fd, old);
        (void)::ftruncate(fd, static_cast<off_t>(old.size()));
        (void)::fsync(fd);
    }
    ok = (::close(fd) == 0) && ok;
    return ok;
}

// The folder refuses a new entry to this process, but the file may still be writable.
bool FolderRefused(int error) { return error == EACCES || error == EPERM; }

}  // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& content, Links links) {
    const std::string target = ReplaceTarget(path, links);
    if (target.empty()) return false;
    const auto slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    const std::string folder = FolderOf(target);
    std::string temporary = folder + "/." + base + ".XXXXXX";
    std::vector<char> name(temporary.begin(), temporary.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return FolderRefused(errno) && RewriteInPlace(target, content);
    temporary = name.data();

    TakeOverAttributes(fd, target);
    bool ok = WriteAll(fd, content) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        // A folder with the sticky bit lets us create files but not replace another user's.
        const int error = errno;
        ::unlink(temporary.c_str());
        return FolderRefused(error) && RewriteInPlace(target, content);
    }
    SyncFolder(folder);
    RemoveStaleTemporaries(folder, base);
    return true;
}

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

bool AtomicFileWriter::Open(const std::string& path, Links links) {
    Abandon();
    target_ = ReplaceTarget(path, links);
    if (target_.empty()) return false;
    const auto slash = target_.rfind('/');
    const std::string base = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    std::string temporary = FolderOf(target_) + "/." + base + ".XXXXXX";
    std::vector<char> name(temporary.begin(), temporary.end());
    name.push_back('\0');
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) return false;
    temporary_ = name.data();
    failed_ = false;
    TakeOverAttributes(fd_, target_);
    return true;
}

bool AtomicFileWriter::Write(const std::string& bytes) {
    if (fd_ < 0 || failed_) return false;
    failed_ = !WriteAll(fd_, bytes);
    return !failed_;
}

bool AtomicFileWriter::Commit() {
    if (fd_ < 0) return false;
    bool ok = !failed_ && ::fsync(fd_) == 0;
    ok = (::close(fd_) == 0) && ok;
    fd_ = -1;
    ok = ok && ::rename(temporary_.c_str(), target_.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
        return false;
    }
    temporary_.clear();
    const auto slash = target_.rfind('/');
    SyncFolder(FolderOf(target_));
    RemoveStaleTemporaries(FolderOf(target_), slash == std::string::npos ? target_ : target_.substr(slash + 1));
    return true;
}

void AtomicFileWriter::Abandon() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}
