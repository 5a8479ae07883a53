#pragma once
// The few file operations a recording file needs: test for a name, create empty, open for writing
// without truncation, append one record with one write call, close.

#include <string>

bool FileExists(const std::string& name);           // a file or a directory of that name
bool CreateEmptyFile(const std::string& name);      // creates and closes it at once
int OpenForAppend(const std::string& name);         // handle, or -1 when it cannot be opened
bool AppendRecord(int handle, const std::string& bytes);  // to the end of the file
void CloseHandle(int handle);
