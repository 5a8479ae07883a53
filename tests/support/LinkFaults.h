#pragma once
// What the link's fault rows share, on the simulated line and against qtvsim: the bounds of one
// failed exchange, the two stations, and one value asked for with the time it took on the counter.

#include <cstdint>

#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "platform/Clock.h"

// Generous bounds of one failed exchange: local mode waits 5 read time-outs after the drain
// (about 0.6 s), network mode its bounded reply wait (about 1.3 s).
inline constexpr std::uint64_t kLocalBoundMs = 1000;
inline constexpr std::uint64_t kNetworkBoundMs = 1750;
inline constexpr std::uint8_t kFaulty = 2;
inline constexpr std::uint8_t kHealthy = 1;

struct Outcome {
    int result;
    std::uint64_t tookMs;  // on the counter in use
};

inline Outcome AskValue(std::uint8_t address) {
    BusAdresse = address;
    SioErgebnis = -1;
    const std::uint64_t start = CounterMilliseconds();
    ReadMWert();
    return {SioErgebnis, CounterMilliseconds() - start};
}
