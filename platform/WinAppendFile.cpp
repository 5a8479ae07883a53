#include "platform/AppendFile.h"

#include "platform/WideText.h"
#include "platform/WinFileHandle.h"

// The recording file on Windows: never through a link or junction (FILE_FLAG_OPEN_REPARSE_POINT
// opens the link itself, which is then refused as no plain file), never a pipe or device, and
// while it is open no other program can delete or rename it.

bool FileExists(const std::string& name) {
    return ::GetFileAttributesW(Widened(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CreateEmptyFile(const std::string& name) {
    // CREATE_NEW: only a free name is taken, and a file that appeared meanwhile keeps its records.
    const HANDLE handle = ::CreateFileW(Widened(name).c_str(), GENERIC_WRITE, kShareButDelete, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle);
        return true;
    }
    if (::GetLastError() != ERROR_FILE_EXISTS) return false;
    const HANDLE existing = ::CreateFileW(Widened(name).c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (existing == INVALID_HANDLE_VALUE) return false;
    const bool plain = IsPlainFile(existing);
    ::CloseHandle(existing);
    return plain;
}

int OpenForAppend(const std::string& name) {
    const HANDLE handle = ::CreateFileW(Widened(name).c_str(), GENERIC_WRITE, kShareButDelete, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return -1;
    if (!IsPlainFile(handle)) {
        ::CloseHandle(handle);
        return -1;
    }
    return IntHandleFor(handle);
}

bool AppendRecord(int handle, const std::string& bytes) {
    const HANDLE file = WindowsHandleOf(handle);
    if (file == INVALID_HANDLE_VALUE) return false;
    // To the end as it is now, even when another program wrote to the file meanwhile.
    LARGE_INTEGER end{};
    if (!::SetFilePointerEx(file, LARGE_INTEGER{}, &end, FILE_END)) return false;
    if (WriteAll(file, bytes.data(), bytes.size())) return true;
    // A record that did not fit (a full disk) would leave a fragment for the next record to run
    // into; the file keeps whole records only.
    if (::SetFilePointerEx(file, end, nullptr, FILE_BEGIN)) (void)::SetEndOfFile(file);
    return false;
}

void CloseHandle(int handle) { CloseIntHandle(handle); }

// The handle is open without FILE_SHARE_DELETE, so while it is open Windows itself refuses to
// delete or rename the file, and the name keeps leading to it. The identity is compared all the
// same (volume and file index), as a file system without sharing rules (some network shares)
// would let the name go: a file made anew under the name is then not this one.
bool HandleStillNamed(int handle, const std::string& name) {
    const HANDLE open = WindowsHandleOf(handle);
    if (open == INVALID_HANDLE_VALUE) return false;
    const HANDLE named = ::CreateFileW(Widened(name).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (named == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    const bool same = ::GetFileInformationByHandle(open, &a) && ::GetFileInformationByHandle(named, &b) &&
                      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
                      a.nFileIndexLow == b.nFileIndexLow;
    ::CloseHandle(named);
    return same;
}
