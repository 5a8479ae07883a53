#pragma once
// The measured value of a simulated station: a level with a constant, ramp, sine or noise
// course, or the out-of-range marks. Computed from the time alone, so that a test can ask
// for the value at any moment without sleeping, and noise is the same on every run.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class ValueMode { Constant, Ramp, Sine, Noise };
enum class OutOfRange { None, Over, Under };

inline constexpr std::int16_t kOverRange = 32767;
inline constexpr std::int16_t kUnderRange = -32767;

struct ValueSettings {
    ValueMode mode = ValueMode::Constant;
    int level = 0;
    int amplitude = 0;      // ramp: rise over one period; sine and noise: deviation each way
    double periodS = 60.0;  // ramp and sine
    OutOfRange outOfRange = OutOfRange::None;
};

std::optional<ValueMode> ParseValueMode(std::string_view text);

// The value at nowMs (milliseconds since the bus started). Values of the course stay within
// -32766..32766 so that only a request produces the out-of-range marks.
std::int16_t ValueAt(const ValueSettings& settings, double nowMs);
