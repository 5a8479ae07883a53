#pragma once
// The serial line of the system the program was built for (PosixSerialLine.cpp,
// WinSerialLine.cpp), for SerialLine.cpp's default factory. Inside platform/ only.

#include "platform/SerialLine.h"

std::unique_ptr<SerialLine> NewSystemSerialLine();
