#pragma once
// What each backend gives Process.cpp (PosixProcess.cpp, WinProcess.cpp). Inside platform/ only.

#include "platform/Process.h"

// Starts the program with its arguments, never through a shell, and waits for its exit code;
// -1 when it could not be started or did not end normally.
int SystemRun(const ProcessRequest& request);
