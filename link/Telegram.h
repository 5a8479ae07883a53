#pragma once
// Frame constants and checksum of the QTV bus protocol, shared by the PC side (link/) and the
// station side (sim/).

#include <cstddef>
#include <cstdint>

inline constexpr std::uint8_t STX = 0x02;
inline constexpr std::uint8_t ACK = 0x06;
inline constexpr std::uint8_t NAK = 0x15;
inline constexpr std::uint8_t kBroadcastAddress = 0x20;
inline constexpr std::uint8_t kNothingReceived = 0x30;

// Sum of the bytes modulo 256, as both request and answer telegrams carry it at offset L.
inline std::uint8_t TelegramChecksum(const std::uint8_t* bytes, std::size_t count) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum += bytes[i];
    return static_cast<std::uint8_t>(sum);
}
