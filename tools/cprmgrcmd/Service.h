#pragma once
// The mappings: one background bridge per port number, its link DIR/COMn to a pseudo-terminal,
// and its pid file DIR/.COMn.pid by which remservice finds it again.

#include "Arguments.h"

// Exit codes of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Starts the bridge (detached, outliving the caller); kExitOk once the link exists.
int AddService(const ToolCommand& cmd);
// Stops the bridge and removes its link; kExitOk when no mapping of the number remains.
int RemoveService(const ToolCommand& cmd);
