#pragma once
// The time as the simulated bus sees it. The core never reads a clock itself: the program
// passes the real time, tests pass whatever moment they need.

#include <cstdint>

struct Moment {
    double ms = 0;                  // milliseconds since the bus started (steady)
    std::int64_t localSeconds = 0;  // host local time, seconds since 1970-01-01 00:00 local
};
