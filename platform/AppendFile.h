#pragma once
// The few file operations a recording file needs: test for a name, create empty, open for writing
// without truncation, append one record with one write call, close.
//
// The recording folder is the operator's working folder, where anyone may have put something of
// the file's name. Only a regular file is ever written: a link is never followed (a link planted
// there would make the operator's process append to any file it can write), and a pipe or device
// never blocks the program; either counts as a file that cannot be opened.

#include <string>

bool FileExists(const std::string& name);           // a file, a folder or a link of that name
// Creates the file and closes it at once, never through a link; true when a regular file of that
// name exists afterwards (one that was there keeps its records).
bool CreateEmptyFile(const std::string& name);
int OpenForAppend(const std::string& name);         // handle, or -1 when it cannot be opened
// To the end of the file, whole or not at all: false (and nothing kept of the record) when it
// did not fit, on a full disk or beyond a file-size limit.
bool AppendRecord(int handle, const std::string& bytes);
void CloseHandle(int handle);
// True while the name still leads to the open file itself: false once the file was deleted or
// renamed, or something else (another file, a link) took its name.
bool HandleStillNamed(int handle, const std::string& name);
