// The view's min/max per pixel column: no peak is lost, at most four points per column, lines
// cut at gaps and out-of-range values, marks for those at the edges.

#include <gtest/gtest.h>

#include <random>

#include "records/Downsample.h"

namespace {
std::vector<Sample> Values(std::int64_t from, std::int64_t step, const std::vector<float>& values) {
    std::vector<Sample> s;
    for (std::size_t i = 0; i < values.size(); ++i) s.push_back(Sample{from + std::int64_t(i) * step, values[i], SampleKind::Value, 0});
    return s;
}

std::size_t Points(const DrawnSeries& d) {
    std::size_t n = 0;
    for (const auto& l : d.lines) n += l.size();
    return n;
}
}  // namespace

TEST(Downsample, EveryColumnKeepsItsLowestAndHighestValue) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-5, 5);
    std::vector<float> values(100'000);
    for (float& v : values) v = noise(random);
    values[31'337] = 99;   // a spike of one point
    values[77'001] = -99;
    const auto series = Values(0, 500, values);
    const int columns = 800;
    const std::int64_t to = std::int64_t(values.size() - 1) * 500;
    const DrawnSeries d = Downsample(series, 0, to, columns);
    ASSERT_EQ(d.lines.size(), 1u);
    EXPECT_LE(Points(d), std::size_t(4 * columns));
    EXPECT_EQ(d.high, 99);
    EXPECT_EQ(d.low, -99);
    // Per column, the drawn extremes equal the true ones.
    std::vector<float> trueLow(columns, 1e9f), trueHigh(columns, -1e9f), drawnLow(columns, 1e9f), drawnHigh(columns, -1e9f);
    auto column = [&](double t) { return std::min(columns - 1, int(t * columns / double(to))); };
    for (const Sample& s : series) {
        trueLow[column(double(s.t))] = std::min(trueLow[column(double(s.t))], s.value);
        trueHigh[column(double(s.t))] = std::max(trueHigh[column(double(s.t))], s.value);
    }
    for (const DrawPoint& p : d.lines.front()) {
        drawnLow[column(p.t)] = std::min(drawnLow[column(p.t)], float(p.value));
        drawnHigh[column(p.t)] = std::max(drawnHigh[column(p.t)], float(p.value));
    }
    EXPECT_EQ(drawnLow, trueLow);
    EXPECT_EQ(drawnHigh, trueHigh);
}

TEST(Downsample, FewPointsAreDrawnAsTheyAreAndReachPastTheEdges) {
    const auto series = Values(0, 1000, {1, 2, 3, 4, 5});
    const DrawnSeries d = Downsample(series, 1500, 2500, 1000);
    ASSERT_EQ(d.lines.size(), 1u);
    EXPECT_EQ(d.lines[0], (std::vector<DrawPoint>{{1000, 2}, {2000, 3}, {3000, 4}}));
    EXPECT_EQ(d.pointsInWindow, 1u);
    EXPECT_EQ(d.low, 3);
    EXPECT_EQ(d.high, 3);
    const DrawnSeries between = Downsample(series, 1200, 1800, 100);  // no point inside
    ASSERT_EQ(between.lines.size(), 1u);
    EXPECT_TRUE(between.hasValues);
    EXPECT_EQ(between.low, 2);
}

TEST(Downsample, NoLineCrossesAGapOrAnOutOfRangeValue) {
    auto series = Values(0, 1000, {1, 2, 3, 4, 5, 6, 7, 8});
    series[2].kind = SampleKind::Gap;
    series[5].kind = SampleKind::Over;
    series[6].kind = SampleKind::Under;
    const DrawnSeries d = Downsample(series, 0, 7000, 700);
    ASSERT_EQ(d.lines.size(), 3u);
    EXPECT_EQ(d.lines[0], (std::vector<DrawPoint>{{0, 1}, {1000, 2}}));
    EXPECT_EQ(d.lines[1], (std::vector<DrawPoint>{{3000, 4}, {4000, 5}}));
    EXPECT_EQ(d.lines[2], (std::vector<DrawPoint>{{7000, 8}}));
    ASSERT_EQ(d.over.size(), 1u);
    ASSERT_EQ(d.under.size(), 1u);
    EXPECT_NEAR(d.over[0], 5000, 10);
    EXPECT_NEAR(d.under[0], 6000, 10);
    EXPECT_EQ(d.high, 8);  // out-of-range values are no numbers: 6 and 7 are not counted
}

TEST(Downsample, AWeekOfHalfSecondsStaysWithinFourPointsPerColumn) {
    std::vector<Sample> week;
    week.reserve(1'209'600);
    for (std::int64_t i = 0; i < 1'209'600; ++i) week.push_back(Sample{i * 500, float(i % 1000), SampleKind::Value, 0});
    const DrawnSeries d = Downsample(week, 0, week.back().t, 1200);
    EXPECT_LE(Points(d), 4u * 1200u);
    EXPECT_EQ(d.pointsInWindow, week.size());
    EXPECT_EQ(d.low, 0);
    EXPECT_EQ(d.high, 999);
}

TEST(Downsample, NothingToDrawOutsideTheSeriesOrForAnEmptyWindow) {
    const auto series = Values(10'000, 1000, {1, 2});
    EXPECT_TRUE(Downsample(series, 0, 1000, 100).lines.size() == 1);  // the first point lies beyond the right edge
    EXPECT_TRUE(Downsample(series, 5000, 5000, 100).lines.empty());
    EXPECT_TRUE(Downsample({}, 0, 1000, 100).lines.empty());
}
