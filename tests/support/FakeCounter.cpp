#include "support/FakeCounter.h"

#include <chrono>

namespace {
std::uint64_t SteadyCounts() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(since).count();
    return static_cast<std::uint64_t>(ns) / 1000 * (FakeCounter::kFrequency / 1'000'000);
}
}  // namespace

FakeCounter::FakeCounter(Mode mode) : mode_(mode), previous_(Counter()) {
    SetCounter({[] { return kFrequency; }, [this] { return read(); }});
}

FakeCounter::~FakeCounter() { SetCounter(previous_); }

std::uint64_t FakeCounter::now() const { return mode_ == Steady ? SteadyCounts() + offset_ : offset_; }

std::uint64_t FakeCounter::read() {
    if (mode_ == Stepping) offset_ += step_;
    return now();
}
