#pragma once
// What the trend draws of a series in a time window that is `columns` pixels wide: for every
// pixel column the first, lowest, highest and last point in it (so that no peak is lost and no
// more than four points per column are drawn, however many the column holds), cut into lines
// wherever a gap or an out-of-range value lies between two points, and the columns in which
// the value was over or under the range.

#include <array>
#include <cstdint>
#include <vector>

#include "records/Series.h"

// The first, lowest, highest and last of the samples added, the four points that keep a stretch's
// shape and every peak: the pixel columns here and the trend's summaries of long ranges take them.
struct Extremes {
    int count = 0;
    Sample first, low, high, last;
    void Add(const Sample& s) {
        if (count == 0) first = low = high = s;
        if (s.value < low.value) low = s;
        if (s.value > high.value) high = s;
        last = s;
        ++count;
    }
    // The four in time order (the same sample may stand more than once).
    std::array<Sample, 4> InTimeOrder() const;
};

struct DrawPoint {
    double t;
    double value;
    friend bool operator==(const DrawPoint&, const DrawPoint&) = default;
};

struct DrawnSeries {
    std::vector<std::vector<DrawPoint>> lines;  // each drawn without a break
    std::vector<double> over;                   // column centres with an over-range value
    std::vector<double> under;
    bool hasValues = false;                     // something to scale the value axis to
    double low = 0, high = 0;                   // of the values in the window (else of the lines)
    std::size_t pointsInWindow = 0;
};

// The points just outside the window are taken in too, so that lines run to its edges.
DrawnSeries Downsample(const std::vector<Sample>& series, std::int64_t from, std::int64_t to, int columns);
