#include "records/Downsample.h"

#include <algorithm>

// An insertion sort, stable: std::stable_sort asks the heap for a buffer on every call, and this
// runs for every pixel column and every minute of a summary.
std::array<Sample, 4> Extremes::InTimeOrder() const {
    std::array<Sample, 4> picks{first, low, high, last};
    for (std::size_t i = 1; i < picks.size(); ++i)
        for (std::size_t j = i; j > 0 && picks[j].t < picks[j - 1].t; --j) std::swap(picks[j], picks[j - 1]);
    return picks;
}

namespace {
struct Column : Extremes {
    long index = 0;
    // first, lowest, highest and last, in time order, each once.
    void EmitTo(std::vector<DrawPoint>& line) const {
        for (const Sample& s : InTimeOrder()) {
            const DrawPoint p{double(s.t), double(s.value)};
            if (line.empty() || !(line.back() == p)) line.push_back(p);
        }
    }
};
}  // namespace

DrawnSeries Downsample(const std::vector<Sample>& series, std::int64_t from, std::int64_t to, int columns) {
    DrawnSeries out;
    if (to <= from || columns <= 0 || series.empty()) return out;
    const auto before = [](const Sample& s, std::int64_t t) { return s.t < t; };
    auto begin = std::lower_bound(series.begin(), series.end(), from, before);
    if (begin != series.begin()) --begin;
    auto end = std::upper_bound(series.begin(), series.end(), to, [](std::int64_t t, const Sample& s) { return t < s.t; });
    if (end != series.end()) ++end;

    const double span = double(to - from);
    const auto columnOf = [&](std::int64_t t) -> long {
        if (t < from) return -1;
        if (t > to) return columns;
        return std::min<long>(columns - 1, long(double(t - from) * columns / span));
    };
    const auto centreOf = [&](long c) { return double(from) + (double(c) + 0.5) * span / columns; };

    std::vector<DrawPoint> line;
    Column column;
    long lastOver = -2, lastUnder = -2;
    auto flushColumn = [&] {
        if (column.count > 0) column.EmitTo(line);
        column.count = 0;
    };
    auto breakLine = [&] {
        flushColumn();
        if (!line.empty()) out.lines.push_back(std::move(line));
        line.clear();
    };
    for (auto it = begin; it != end; ++it) {
        const Sample& s = *it;
        const bool inside = s.t >= from && s.t <= to;
        if (inside) ++out.pointsInWindow;
        const long c = columnOf(s.t);
        switch (s.kind) {
        case SampleKind::Value:
            if (column.count > 0 && column.index != c) flushColumn();
            column.index = c;
            column.Add(s);
            if (inside) {
                if (!out.hasValues) out.low = out.high = s.value;
                out.low = std::min(out.low, double(s.value));
                out.high = std::max(out.high, double(s.value));
                out.hasValues = true;
            }
            break;
        case SampleKind::Over:
            breakLine();
            if (inside && c != lastOver) out.over.push_back(centreOf(lastOver = c));
            break;
        case SampleKind::Under:
            breakLine();
            if (inside && c != lastUnder) out.under.push_back(centreOf(lastUnder = c));
            break;
        case SampleKind::Gap: breakLine(); break;
        }
    }
    breakLine();
    if (!out.hasValues) {  // zoomed in between two points: scale to the line that crosses
        for (const auto& l : out.lines)
            for (const DrawPoint& p : l) {
                if (!out.hasValues) out.low = out.high = p.value;
                out.low = std::min(out.low, p.value);
                out.high = std::max(out.high, p.value);
                out.hasValues = true;
            }
    }
    return out;
}
