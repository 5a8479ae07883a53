#include "sim/MeasuredValue.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Noise changes ten times a second, from a hash of the time step (splitmix64).
double NoiseAt(double nowMs) {
    std::uint64_t z = static_cast<std::uint64_t>(std::max(0.0, nowMs) / 100.0) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z % 20001) / 10000.0 - 1.0;  // -1 .. 1
}

double CourseAt(const ValueSettings& s, double nowMs) {
    const double periodMs = s.periodS > 0 ? s.periodS * 1000.0 : 1.0;
    const double phase = std::fmod(std::max(0.0, nowMs), periodMs) / periodMs;
    switch (s.mode) {
    case ValueMode::Ramp: return s.level + s.amplitude * phase;
    case ValueMode::Sine: return s.level + s.amplitude * std::sin(2.0 * std::numbers::pi * phase);
    case ValueMode::Noise: return s.level + s.amplitude * NoiseAt(nowMs);
    case ValueMode::Constant: break;
    }
    return s.level;
}

}  // namespace

std::optional<ValueMode> ParseValueMode(std::string_view text) {
    if (text == "constant") return ValueMode::Constant;
    if (text == "ramp") return ValueMode::Ramp;
    if (text == "sine") return ValueMode::Sine;
    if (text == "noise") return ValueMode::Noise;
    return std::nullopt;
}

std::int16_t ValueAt(const ValueSettings& settings, double nowMs) {
    if (settings.outOfRange == OutOfRange::Over) return kOverRange;
    if (settings.outOfRange == OutOfRange::Under) return kUnderRange;
    const double v = std::round(CourseAt(settings, nowMs));
    return static_cast<std::int16_t>(std::clamp(v, -32766.0, 32766.0));
}
