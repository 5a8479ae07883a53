#pragma once
// The open procedure shared by the command-set port (InitSio) and the port object (SioPort).

#include <cstdint>
#include <memory>

#include "platform/SerialLine.h"

// The command-set port and the port object differ only in these.
inline constexpr SerialTimeouts kCommandSetTimeouts{50, 1, 100, 1, 50};
inline constexpr SerialTimeouts kPortObjectTimeouts{40, 1, 80, 1, 40};

// Port numbers from this on are refused before anything is opened.
inline constexpr unsigned kPortNumberLimit = 100;

// Refuses n >= 100 untouched; otherwise puts a new line into `line` (closing the one it held),
// opens COMn, applies the working settings and the time-outs. False when n is refused, the open
// fails (the line stays, not open) or the settings are refused (the line stays open).
bool OpenPort(std::unique_ptr<SerialLine>& line, std::uint8_t portNumber, const SerialTimeouts& timeouts);

// Restores the saved settings and closes; harmless on a line that is not open or absent.
void ClosePort(SerialLine* line);
