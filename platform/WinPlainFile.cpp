#include "platform/PlainFile.h"

#include "platform/WideText.h"
#include "platform/WinFileHandle.h"

#include <cctype>

// The rule for the operator's files on Windows. A symbolic link or junction is a reparse point:
// FILE_FLAG_OPEN_REPARSE_POINT opens the point itself, which is then told apart by its attributes
// and refused, instead of being followed. A device or pipe is not even opened (opening a COM port
// takes it from its program, a pipe's server sees a client): the names of the device namespace
// and the reserved DOS device names are told apart by their spelling, and whatever else opens as
// no disk file is refused after the open. Files are read as bytes, so CR LF stays as it is.

namespace {

// \\.\COM1, \\.\pipe\x, //./... and the DOS device names (NUL, CON, COM1, LPT1, with any
// extension, in any folder), which Windows opens as devices whatever folder is named.
bool NamesADevice(const std::string& path) {
    if (path.size() >= 4 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/') &&
        path[2] == '.' && (path[3] == '\\' || path[3] == '/'))
        return true;
    const auto slash = path.find_last_of("\\/:");
    std::string base = path.substr(slash == std::string::npos ? 0 : slash + 1);
    base = base.substr(0, base.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" || base == "CONOUT$")
        return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) && base[3] >= '1' &&
           base[3] <= '9';
}

PlainFile OpenFailure(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
        return PlainFile::Missing;
    case ERROR_CANT_RESOLVE_FILENAME: return PlainFile::Link;  // a loop of links
    default: return PlainFile::Unreadable;
    }
}

PlainFile KindOf(HANDLE handle) {
    if (::GetFileType(handle) != FILE_TYPE_DISK) return PlainFile::Special;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return PlainFile::Unreadable;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return PlainFile::Link;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return PlainFile::Folder;
    return PlainFile::Regular;
}

// FILE_FLAG_BACKUP_SEMANTICS: a folder opens too, and is then told apart.
HANDLE OpenName(const std::string& path, DWORD access, Links links) {
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN |
                        (links == Links::Refuse ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    return ::CreateFileW(Widened(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, flags, nullptr);
}

}  // namespace

PlainFile InspectPlainFile(const std::string& path, Links links) {
    if (path.empty()) return PlainFile::Missing;
    if (NamesADevice(path)) return PlainFile::Special;
    const HANDLE handle = OpenName(path, FILE_READ_ATTRIBUTES, links);
    if (handle == INVALID_HANDLE_VALUE) return OpenFailure(::GetLastError());
    const PlainFile state = KindOf(handle);
    ::CloseHandle(handle);
    return state;
}

PlainFile ReadPlainFile(const std::string& path, std::string& bytes, std::uint64_t maxBytes, Links links) {
    bytes.clear();
    const PlainFile before = InspectPlainFile(path, links);
    if (before != PlainFile::Regular) return before;
    const HANDLE handle = OpenName(path, GENERIC_READ, links);
    if (handle == INVALID_HANDLE_VALUE) return OpenFailure(::GetLastError());
    PlainFile state = KindOf(handle);  // again: the name may have changed since
    LARGE_INTEGER size{};
    if (state == PlainFile::Regular && !::GetFileSizeEx(handle, &size)) state = PlainFile::Unreadable;
    if (state == PlainFile::Regular && static_cast<std::uint64_t>(size.QuadPart) > maxBytes) state = PlainFile::TooLarge;
    if (state == PlainFile::Regular) {
        bytes.reserve(static_cast<std::size_t>(size.QuadPart));
        char chunk[65536];
        for (;;) {
            DWORD got = 0;
            if (!::ReadFile(handle, chunk, sizeof chunk, &got, nullptr)) {
                state = PlainFile::Unreadable;
                break;
            }
            if (got == 0) break;
            if (bytes.size() + got > maxBytes) {
                state = PlainFile::TooLarge;  // it grew while being read
                break;
            }
            bytes.append(chunk, got);
        }
    }
    ::CloseHandle(handle);
    if (state != PlainFile::Regular) std::string().swap(bytes);
    return state;
}

// The final path of what the link reaches; a link to nowhere gives none here (Windows keeps the
// target in the reparse data, which only the link's owner needs).
std::string LinkDestination(const std::string& path) {
    if (InspectPlainFile(path, Links::Refuse) != PlainFile::Link) return {};
    const HANDLE handle = OpenName(path, FILE_READ_ATTRIBUTES, Links::Follow);
    if (handle == INVALID_HANDLE_VALUE) return {};
    wchar_t buffer[32768];
    const DWORD n = ::GetFinalPathNameByHandleW(handle, buffer, sizeof buffer / sizeof buffer[0], FILE_NAME_NORMALIZED);
    ::CloseHandle(handle);
    if (n == 0 || n >= sizeof buffer / sizeof buffer[0]) return {};
    std::wstring final(buffer, n);
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0) final = L"\\\\" + final.substr(8);
    else if (final.rfind(L"\\\\?\\", 0) == 0) final = final.substr(4);
    return Narrowed(final);
}
