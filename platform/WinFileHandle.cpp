#include "platform/WinFileHandle.h"

#include <fcntl.h>
#include <io.h>

bool IsPlainFile(HANDLE handle) {
    if (::GetFileType(handle) != FILE_TYPE_DISK) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return false;
    return (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

int IntHandleFor(HANDLE handle) {
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
    if (fd < 0) ::CloseHandle(handle);
    return fd;
}

HANDLE WindowsHandleOf(int handle) {
    if (handle < 0) return INVALID_HANDLE_VALUE;
    return reinterpret_cast<HANDLE>(::_get_osfhandle(handle));
}

void CloseIntHandle(int handle) {
    if (handle >= 0) ::_close(handle);
}

bool WriteAll(HANDLE handle, const char* bytes, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
        DWORD put = 0;
        if (!::WriteFile(handle, bytes + done, chunk, &put, nullptr) || put == 0) return false;
        done += put;
    }
    return true;
}
