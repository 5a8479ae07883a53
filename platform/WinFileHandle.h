#pragma once
// What the Windows file operations share (WinAppendFile.cpp, WinAtomicFile.cpp, a safe open).
// The interfaces above hand out files as int handles; here those are C runtime descriptors over
// Windows handles, so that closing one closes the other.

#include <string>
#include <windows.h>

// Sharing for a file of ours that is open: others may read and write it, but not delete or rename
// it under us (FILE_SHARE_DELETE left out).
inline constexpr DWORD kShareButDelete = FILE_SHARE_READ | FILE_SHARE_WRITE;

// A regular file on a disk: no folder, no link or other reparse point, no pipe or device.
bool IsPlainFile(HANDLE handle);

// The handle as an int handle of the interfaces, or -1 (and the handle closed) when that fails.
int IntHandleFor(HANDLE handle);
HANDLE WindowsHandleOf(int handle);  // INVALID_HANDLE_VALUE for -1 or a closed one
void CloseIntHandle(int handle);

bool WriteAll(HANDLE handle, const char* bytes, std::size_t n);
