#pragma once
// FakeCounter: the tests' stand-in for the high-resolution counter of platform/Clock.h, installed
// for its lifetime; the counter it replaced comes back when it goes, so one may stand inside
// another.
//
// Stepping (the default): the counter moves only when it is read, by a fixed step, and when a
// test moves it. Busy waits end at once, and time passes exactly as the test says.
// Steady: the steady clock plus the jumps a test makes, for tests against a real device whose
// short pauses must really pass but whose 5 s waits need not be waited for.
//
//   FakeCounter counter;                      // one unit of 1/95000 s per reading
//   counter.advanceMs(5000);                  // "5 s later"
//   counter.setStepMs(250);                   // each reading a quarter of a second on
//   FakeCounter real{FakeCounter::Steady};    // real time, with jumps

#include <atomic>
#include <cstdint>

#include "platform/Clock.h"

class FakeCounter {
public:
    static constexpr std::uint64_t kFrequency = 95'000'000;      // counts per second
    static constexpr std::uint64_t kPerUnit = kFrequency / 95000;  // one unit of the link's Timer
    static constexpr std::uint64_t kPerMs = kFrequency / 1000;

    enum Mode { Stepping, Steady };
    explicit FakeCounter(Mode mode = Stepping);
    ~FakeCounter();
    FakeCounter(const FakeCounter&) = delete;
    FakeCounter& operator=(const FakeCounter&) = delete;

    // How far each reading moves a stepping counter (in counts, or in milliseconds).
    void setStep(std::uint64_t countsPerReading) { step_ = countsPerReading; }
    void setStepMs(std::uint64_t msPerReading) { step_ = msPerReading * kPerMs; }
    void advanceMs(std::uint64_t ms) { offset_ += ms * kPerMs; }
    // Moves a stepping counter on to `ms` (in fractions too); a reading beyond it stays.
    void advanceToMs(double ms);

    // The reading a caller would get now, without moving the counter.
    std::uint64_t now() const;
    std::uint64_t ms() const { return now() / kPerMs; }

private:
    std::uint64_t read();

    Mode mode_;
    // Atomic: a window's bus thread reads the counter while the test's thread moves it.
    std::atomic<std::uint64_t> step_{kPerUnit};
    std::atomic<std::uint64_t> offset_{0};  // stepping: the reading itself; steady: the jumps made
    HiResCounter previous_;
    bool previousWasReal_;
};
