#pragma once
// Helpers of the simulator tests: request frames as the PC builds them, and a bus that is
// driven with explicit moments.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "link/Telegram.h"
#include "sim/Bus.h"

inline std::vector<std::uint8_t> Frame(std::uint8_t address, std::uint8_t code, std::initializer_list<std::uint8_t> data = {}) {
    std::vector<std::uint8_t> f;
    f.reserve(4 + data.size() + 1);
    for (std::uint8_t b : {STX, address, static_cast<std::uint8_t>(4 + data.size()), code}) f.push_back(b);
    for (std::uint8_t b : data) f.push_back(b);
    f.push_back(TelegramChecksum(f.data(), f.size()));
    return f;
}

inline std::vector<std::uint8_t> Hex(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < text.size() + 1; i += 3) bytes.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    return bytes;
}

// Sends bytes at `ms` and returns what the bus hands out by then (no reply delay, no pacing).
inline std::vector<std::uint8_t> Exchange(Bus& bus, const std::vector<std::uint8_t>& bytes, double ms,
                                          std::int64_t localSeconds = 0) {
    bus.receive(bytes.data(), bytes.size(), Moment{ms, localSeconds});
    return bus.takeDue(ms);
}
