#pragma once
// The ways a simulated station can misbehave, each switchable on its own while the bus runs.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct Faults {
    bool silent = false;          // hears nothing, answers nothing
    bool nak = false;             // refuses everything with NAK, executes nothing
    bool badChecksum = false;     // answer telegrams carry a wrong checksum
    std::optional<std::uint8_t> foreignAddress;  // answers carry this address instead of its own
    bool stxThenSilence = false;  // sends STX and nothing more
    std::optional<std::uint8_t> longLength;      // answer telegrams announce this length (> 14)
    std::optional<std::uint8_t> garbageFirst;    // the first byte of every reply is this byte
    bool questionMark = false;    // 0x3F as first data byte of maximum, minimum and range reads
    unsigned dropEvery = 0;       // every k-th reply is not sent (0: none)
    std::optional<unsigned> trickleMs;           // sends its reply one byte per this many ms

    bool any() const;
};

inline constexpr unsigned kTrickleMs = 40;
inline constexpr std::uint8_t kLongLength = 20;
inline constexpr std::uint8_t kGarbageByte = 0xA5;

// Switches one fault on from its name and optional argument ("silent", "drop 3", "foreign 7").
// Returns an error text, empty on success.
std::string SetFault(Faults& faults, std::string_view name, std::optional<long> argument);
// Switches one fault off; "all" switches every fault off. Returns an error text, empty on success.
std::string ClearFault(Faults& faults, std::string_view name);
// The faults that are on, in the words SetFault takes ("nak drop 3"), or "none".
std::string DescribeFaults(const Faults& faults);
