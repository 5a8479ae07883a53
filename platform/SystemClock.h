#pragma once
// What each backend gives the clocks in Clock.cpp (PosixClock.cpp, WinClock.cpp): the system's
// high-resolution counter and its local wall clock. Inside platform/ only.

#include "platform/Clock.h"

// The system's counter: steady, never set back, counting `frequency()` times a second.
HiResCounter SystemCounter();
LocalDateTime SystemLocalNow();
