#include "extras/ValueScale.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kPixelsPerTick = 50;
constexpr int kFewestTicks = 4;
constexpr int kDensestPixelsPerTick = 24;
constexpr double kMantissas[] = {1, 2, 2.5, 5};

// The round steps from small to large: 1, 2, 2.5, 5, 10, 20, ... times 10^exponent.
double StepAt(int index) {
    const int decade = index >= 0 ? index / 4 : -((-index + 3) / 4);
    return kMantissas[index - decade * 4] * std::pow(10.0, decade);
}

int DecimalsOf(double step) {
    for (int d = 0; d < 12; ++d) {
        const double scaled = step * std::pow(10.0, d);
        if (std::abs(scaled - std::round(scaled)) < 1e-6 * scaled) return d;
    }
    return 12;
}
}  // namespace

int ValueScale::Ticks() const { return int(std::llround((high - low) / step)) + 1; }

ValueScale ChooseValueScale(double low, double high, int pixels) {
    const double lowest = low, highest = high;
    if (!(high > low)) {  // one value (or none): a band around it
        const double pad = low == 0 ? 1.0 : std::abs(low) * 0.05;
        low -= pad;
        high += pad;
    }
    // Room above and below the values, but not across zero when the values keep to one side.
    const double margin = (high - low) * 0.05;
    double wantLow = low - margin, wantHigh = high + margin;
    if (lowest >= 0 && wantLow < 0) wantLow = 0;
    if (highest <= 0 && lowest < 0 && wantHigh > 0) wantHigh = 0;
    const int intervals = std::max(1, std::min(std::max(kFewestTicks - 1, pixels / kPixelsPerTick), pixels / kDensestPixelsPerTick));
    // The smallest round step with which the intervals fit, then smaller while fewer than four ticks.
    int index = int(std::floor(std::log10((wantHigh - wantLow) / intervals))) * 4 - 4;
    ValueScale scale;
    for (int guard = 0; guard < 200; ++guard, ++index) {
        scale.step = StepAt(index);
        scale.low = std::floor(wantLow / scale.step + 1e-9) * scale.step;
        scale.high = std::ceil(wantHigh / scale.step - 1e-9) * scale.step;
        if (scale.Ticks() - 1 <= intervals) break;
    }
    // Smaller steps while fewer than four ticks, but never so dense that the labels would touch
    // (a low pane of stacked ones): the chart would cut them to "...".
    for (int guard = 0; scale.Ticks() < kFewestTicks && guard < 200; ++guard) {
        ValueScale finer;
        finer.step = StepAt(index - 1);
        finer.low = std::floor(wantLow / finer.step + 1e-9) * finer.step;
        finer.high = std::ceil(wantHigh / finer.step - 1e-9) * finer.step;
        if ((finer.Ticks() - 1) * kDensestPixelsPerTick > pixels) break;
        scale = finer;
        --index;
    }
    scale.decimals = DecimalsOf(scale.step);
    return scale;
}
