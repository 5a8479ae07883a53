#include "sim/RequestParser.h"

#include "link/Telegram.h"

void RequestParser::feed(const std::uint8_t* bytes, std::size_t n, double nowMs) {
    for (std::size_t i = 0; i < n; ++i) feed(bytes[i], nowMs);
    flush();
}

void RequestParser::expire(double nowMs) {
    if (frame_.empty() || nowMs - lastByteMs_ <= kInterByteGapMs) return;
    const std::vector<std::uint8_t> dropped = frame_;
    frame_.clear();
    if (events_.skipped) events_.skipped(dropped, "incomplete request, silence between bytes");
}

void RequestParser::feed(std::uint8_t byte, double nowMs) {
    expire(nowMs);
    lastByteMs_ = nowMs;
    take(byte);
}

void RequestParser::take(std::uint8_t byte) {
    if (frame_.empty()) {
        if (byte != STX) {
            skip(byte);
            return;
        }
        flush();
    }
    frame_.push_back(byte);
    if (frame_.size() == 3 && (frame_[2] < kMinRequestLength || frame_[2] > kMaxRequestLength)) {
        resynchronise("bad length byte");
        return;
    }
    if (frame_.size() >= 3 && frame_.size() == static_cast<std::size_t>(frame_[2]) + 1) finishFrame();
}

void RequestParser::finishFrame() {
    const std::size_t L = frame_[2];
    if (TelegramChecksum(frame_.data(), L) != frame_[L]) {
        resynchronise("bad checksum");
        return;
    }
    Request r;
    r.address = frame_[1];
    r.code = frame_[3];
    r.dataCount = static_cast<std::uint8_t>(L - 4);
    for (std::size_t i = 0; i < r.dataCount; ++i) r.data[i] = frame_[4 + i];
    frame_.clear();
    if (events_.request) events_.request(r);
}

// Drops the STX that began the bad frame and looks for a new start in the bytes after it.
void RequestParser::resynchronise(const std::string& why) {
    std::vector<std::uint8_t> rest(frame_.begin() + 1, frame_.end());
    const std::vector<std::uint8_t> bad = frame_;
    frame_.clear();
    std::size_t start = 0;
    while (start < rest.size() && rest[start] != STX) ++start;
    if (events_.skipped) {
        events_.skipped(std::vector<std::uint8_t>(bad.begin(), bad.begin() + 1 + static_cast<long>(start)), why);
    }
    // The re-fed bytes are shorter than the bad frame, so this recursion ends.
    for (std::size_t i = start; i < rest.size(); ++i) take(rest[i]);
}

void RequestParser::skip(std::uint8_t byte) {
    stray_.push_back(byte);
}

void RequestParser::flush() {
    if (stray_.empty()) return;
    const std::vector<std::uint8_t> bytes = std::move(stray_);
    stray_.clear();
    if (events_.skipped) events_.skipped(bytes, "stray bytes");
}
