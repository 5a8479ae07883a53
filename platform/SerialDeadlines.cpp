#include "platform/SerialDeadlines.h"

#include <algorithm>

namespace {
using Ms = std::chrono::milliseconds;

// constant + multiplier * n without overflow: n is counted up to 2^24 and the sum capped at 2^40 ms
// (decades), far beyond any real wait, so that adding it to a steady-clock reading cannot wrap.
std::optional<Ms> TotalTime(unsigned multiplier, unsigned constant, std::size_t n) {
    if (multiplier == 0 && constant == 0) return std::nullopt;
    const unsigned long long cap = 1ull << 40;
    const unsigned long long count = std::min<unsigned long long>(n, 1ull << 24);
    const unsigned long long total = std::min(cap, constant + multiplier * count);
    return Ms(static_cast<Ms::rep>(total));
}
}  // namespace

SerialClock::time_point ReadDeadline(const SerialTimeouts& timeouts, std::size_t requested,
                                     SerialClock::time_point start,
                                     std::optional<SerialClock::time_point> lastByte) {
    const auto total = TotalTime(timeouts.readTotalMultiplier, timeouts.readTotalConstant, requested);
    if (timeouts.readInterval == kReadReturnsAtOnce && !total) return start;

    auto deadline = SerialClock::time_point::max();
    if (total) deadline = start + *total;
    if (timeouts.readInterval != 0 && timeouts.readInterval != kReadReturnsAtOnce && lastByte)
        deadline = std::min(deadline, *lastByte + Ms(timeouts.readInterval));
    return deadline;
}

SerialClock::time_point WriteDeadline(const SerialTimeouts& timeouts, std::size_t n,
                                      SerialClock::time_point start) {
    const auto total = TotalTime(timeouts.writeTotalMultiplier, timeouts.writeTotalConstant, n);
    return total ? start + *total : SerialClock::time_point::max();
}
