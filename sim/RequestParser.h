#pragma once
// Cuts the byte stream from the PC into request telegrams. Anything that is not a whole,
// well-formed request (stray bytes, a wrong length byte, a wrong checksum) is reported and
// skipped, and the parser looks for the next STX, also inside the skipped bytes. A request
// whose bytes are more than kInterByteGapMs apart is dropped, so that a stray byte never merges
// with the next request (the PC leaves at least 100 ms before each request).
// Takes any bytes without limit or failure: it is a fuzz target.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

inline constexpr double kInterByteGapMs = 20.0;
inline constexpr std::uint8_t kMinRequestLength = 4;  // L of a request without data
inline constexpr std::uint8_t kMaxRequestLength = 7;  // L of a request with three data bytes

struct Request {
    std::uint8_t address = 0;
    std::uint8_t code = 0;
    std::uint8_t dataCount = 0;
    std::array<std::uint8_t, 3> data{};
};

class RequestParser {
public:
    struct Events {
        std::function<void(const Request&)> request;
        // Bytes that were skipped and why ("stray bytes", "bad checksum", ...).
        std::function<void(const std::vector<std::uint8_t>&, const std::string& why)> skipped;
    };
    explicit RequestParser(Events events) : events_(std::move(events)) {}

    // One byte; stray bytes are collected and reported by flush() or at the next STX.
    void feed(std::uint8_t byte, double nowMs);
    // A chunk, then flush().
    void feed(const std::uint8_t* bytes, std::size_t n, double nowMs);
    // Reports the stray bytes collected so far.
    void flush();
    // Drops a partly received request whose last byte came more than kInterByteGapMs before nowMs.
    void expire(double nowMs);
    // True when no request is partly received.
    bool idle() const { return frame_.empty(); }

private:
    void take(std::uint8_t byte);
    void finishFrame();
    void resynchronise(const std::string& why);
    void skip(std::uint8_t byte);

    Events events_;
    std::vector<std::uint8_t> frame_;  // STX and what followed it; at most kMaxRequestLength + 1 bytes
    std::vector<std::uint8_t> stray_;  // stray bytes seen while idle, reported in one piece
    double lastByteMs_ = 0;
};
