#include "platform/AtomicFile.h"

#include "platform/WideText.h"
#include "platform/WinFileHandle.h"

#include <atomic>
#include <cstdio>

// The same replacement as on Linux: a temporary file beside the target ("." + name + "." + six
// characters), flushed to disk, then MoveFileExW over the target. Only what the rule for the
// operator's files allows is replaced (platform/PlainFile): a link or junction is refused, unless
// links is Follow (the configuration file), which replaces the regular file it reaches.

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    return path.substr(0, slash == 0 ? 1 : slash);
}

std::string BaseOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates a new temporary file beside `target`; its name in `temporary`. The suffix comes from the
// process, the moment and a count, and CREATE_NEW never takes a name that is there.
HANDLE CreateTemporary(const std::string& target, std::string& temporary, DWORD& error) {
    static std::atomic<unsigned> count{0};
    const std::string stem = FolderOf(target) + "\\." + BaseOf(target) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const unsigned long mix = (::GetCurrentProcessId() * 2654435761u) ^ ::GetTickCount() ^ (count++ * 40503u);
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, "%06lX", mix & 0xFFFFFFu);
        temporary = stem + suffix;
        const HANDLE handle = ::CreateFileW(Widened(temporary).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) return handle;
        error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS) break;
    }
    temporary.clear();
    return INVALID_HANDLE_VALUE;
}

bool PutInPlace(const std::string& temporary, const std::string& target, DWORD& error) {
    if (::MoveFileExW(Widened(temporary).c_str(), Widened(target).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    error = ::GetLastError();
    return false;
}

// Leftovers of a save killed between creating its temporary file and the move, old enough that no
// other save can still be writing them.
void RemoveStaleTemporaries(const std::string& target) {
    constexpr unsigned long long kStale100ns = 60ull * 10'000'000;
    const std::string folder = FolderOf(target);
    const std::string prefix = "." + BaseOf(target) + ".";
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(Widened(folder + "\\" + prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const auto value = [](const FILETIME& t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    do {
        const std::string name = Narrowed(found.cFileName);
        if (name.size() != prefix.size() + 6 || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (value(now) - value(found.ftLastWriteTime) >= kStale100ns) (void)::DeleteFileW(Widened(folder + "\\" + name).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

bool ReadAll(HANDLE handle, std::string& into) {
    char chunk[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(handle, chunk, sizeof chunk, &got, nullptr)) return false;
        if (got == 0) return true;
        into.append(chunk, got);
    }
}

bool Rewind(HANDLE handle) { return ::SetFilePointerEx(handle, LARGE_INTEGER{}, nullptr, FILE_BEGIN) != 0; }

// The content written over the old one in the same file, for a folder that takes no new file. The
// old content is read first, so that a write that fails part-way (a full disk) can put it back.
bool RewriteInPlace(const std::string& target, const std::string& content) {
    const HANDLE handle = ::CreateFileW(Widened(target).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    std::string old;
    if (!IsPlainFile(handle) || !ReadAll(handle, old)) {
        ::CloseHandle(handle);
        return false;
    }
    bool ok = Rewind(handle) && WriteAll(handle, content.data(), content.size()) && ::SetEndOfFile(handle) &&
              ::FlushFileBuffers(handle);
    if (!ok && Rewind(handle)) {
        (void)WriteAll(handle, old.data(), old.size());
        (void)::SetEndOfFile(handle);
        (void)::FlushFileBuffers(handle);
    }
    ok = ::CloseHandle(handle) && ok;
    return ok;
}

// The file to replace: empty when the name is a link the caller does not follow, or either the
// name or what it reaches is anything but a regular file or nothing at all. A link to nowhere that
// is followed is replaced itself, as on Linux.
std::string ReplaceTarget(const std::string& path, Links links) {
    const PlainFile here = InspectPlainFile(path, Links::Refuse);
    if (here != PlainFile::Link) return MayReplace(here) ? path : std::string();
    if (links == Links::Refuse) return {};
    const std::string target = LinkDestination(path);
    if (target.empty()) return path;
    return MayReplace(InspectPlainFile(target, Links::Refuse)) ? target : std::string();
}

// The folder refuses a new entry, or the target refuses to be replaced, but the file itself may
// still be writable.
bool Refused(DWORD error) { return error == ERROR_ACCESS_DENIED; }

}  // namespace

bool ReplaceFileAtomically(const std::string& linkOrPath, const std::string& content, Links links) {
    const std::string path = ReplaceTarget(linkOrPath, links);
    if (path.empty()) return false;
    std::string temporary;
    DWORD error = 0;
    const HANDLE handle = CreateTemporary(path, temporary, error);
    if (handle == INVALID_HANDLE_VALUE) return Refused(error) && RewriteInPlace(path, content);
    bool ok = WriteAll(handle, content.data(), content.size()) && ::FlushFileBuffers(handle);
    ok = ::CloseHandle(handle) && ok;
    if (!ok) {
        (void)::DeleteFileW(Widened(temporary).c_str());
        return false;
    }
    if (!PutInPlace(temporary, path, error)) {
        (void)::DeleteFileW(Widened(temporary).c_str());
        return Refused(error) && RewriteInPlace(path, content);
    }
    RemoveStaleTemporaries(path);
    return true;
}

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

bool AtomicFileWriter::Open(const std::string& path, Links links) {
    Abandon();
    target_ = ReplaceTarget(path, links);
    if (target_.empty()) return false;
    DWORD error = 0;
    const HANDLE handle = CreateTemporary(target_, temporary_, error);
    if (handle == INVALID_HANDLE_VALUE) return false;
    fd_ = IntHandleFor(handle);
    if (fd_ < 0) {
        (void)::DeleteFileW(Widened(temporary_).c_str());
        temporary_.clear();
        return false;
    }
    failed_ = false;
    return true;
}

bool AtomicFileWriter::Write(const std::string& bytes) {
    if (fd_ < 0 || failed_) return false;
    failed_ = !WriteAll(WindowsHandleOf(fd_), bytes.data(), bytes.size());
    return !failed_;
}

bool AtomicFileWriter::Commit() {
    if (fd_ < 0) return false;
    const bool flushed = !failed_ && ::FlushFileBuffers(WindowsHandleOf(fd_));
    CloseIntHandle(fd_);
    fd_ = -1;
    DWORD error = 0;
    if (!flushed || !PutInPlace(temporary_, target_, error)) {
        (void)::DeleteFileW(Widened(temporary_).c_str());
        temporary_.clear();
        return false;
    }
    temporary_.clear();
    RemoveStaleTemporaries(target_);
    return true;
}

void AtomicFileWriter::Abandon() {
    CloseIntHandle(fd_);
    fd_ = -1;
    if (!temporary_.empty()) (void)::DeleteFileW(Widened(temporary_).c_str());
    temporary_.clear();
}
