#include "support/FakeCounter.h"

#include <chrono>

namespace {
std::uint64_t SteadyCounts() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(since).count();
    return static_cast<std::uint64_t>(ns) / 1000 * (FakeCounter::kFrequency / 1'000'000);
}
}  // namespace

FakeCounter::FakeCounter(Mode mode) : mode_(mode), previous_(Counter()), previousWasReal_(CounterIsRealClock()) {
    SetCounter({[] { return kFrequency; }, [this] { return read(); }});
}

// The steady clock is put back as such (an empty counter), so that the waits on it sleep again
// instead of taking it for a test's counter.
FakeCounter::~FakeCounter() { SetCounter(previousWasReal_ ? HiResCounter{} : previous_); }

std::uint64_t FakeCounter::now() const { return mode_ == Steady ? SteadyCounts() + offset_.load() : offset_.load(); }

void FakeCounter::advanceToMs(double ms) {
    const auto target = static_cast<std::uint64_t>(ms * double(kPerMs));
    std::uint64_t now = offset_.load();
    while (now < target && !offset_.compare_exchange_weak(now, target)) {
    }
}

std::uint64_t FakeCounter::read() {
    if (mode_ == Stepping) return offset_ += step_;
    return now();
}
