// The recording files' summaries: drawn at pixel columns they look as the full read does, they
// are made again whenever a file changes, and losing or damaging one costs only time. And the
// event log's polling periods, which tell "keine Antwort" from "keine Aufzeichnung".

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>

#include "records/Downsample.h"
#include "records/PollingPeriods.h"
#include "records/RecordingSummary.h"
#include "support/RecordingFolder.h"

namespace {
const Date kDay{2026, 3, 2};
constexpr int kDays = 3;

// 0.5 s values of a noisy wave with spikes, pauses of 40 s now and then, over-range values.
void WriteDays(const RecordingFolder& folder) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> noise(-40, 40);
    Date d = kDay;
    for (int day = 0; day < kDays; ++day, d = NextDay(d)) {
        std::string bytes;
        for (int s = 0; s < 86'400; ++s) {
            if (s % 7200 < 40) continue;
            for (int half = 0; half < 2; ++half) {
                int v = 3000 + int(2000 * std::sin(s / 5000.0)) + noise(random);
                if (s % 9973 == 0) v = 9990;  // a spike of one record
                char line[48];
                if (s % 12'347 == 0) std::snprintf(line, sizeof line, "%02d:%02d:%02d Ueber bar\r\n", s / 3600, s / 60 % 60, s % 60);
                else std::snprintf(line, sizeof line, "%02d:%02d:%02d %02d.%02d bar\r\n", s / 3600, s / 60 % 60, s % 60, v / 100, v % 100);
                bytes += line;
            }
        }
        folder.write(7, d, bytes);
    }
}

struct Columns {
    std::vector<double> low, high;
};
Columns PerColumn(const DrawnSeries& d, std::int64_t from, std::int64_t to, int columns) {
    Columns c{std::vector<double>(columns, 1e9), std::vector<double>(columns, -1e9)};
    for (const auto& line : d.lines)
        for (const DrawPoint& p : line) {
            const int i = std::clamp(int((p.t - double(from)) * columns / double(to - from)), 0, columns - 1);
            c.low[i] = std::min(c.low[i], p.value);
            c.high[i] = std::max(c.high[i], p.value);
        }
    return c;
}

// Every column's drawn range of one lies within the other's, a column either side allowed.
void ExpectWithinNeighbours(const Columns& a, const Columns& b) {
    const int n = int(a.low.size());
    for (int i = 0; i < n; ++i) {
        if (a.low[i] > a.high[i]) continue;
        double low = 1e9, high = -1e9;
        for (int j = std::max(0, i - 1); j <= std::min(n - 1, i + 1); ++j) low = std::min(low, b.low[j]), high = std::max(high, b.high[j]);
        EXPECT_GE(a.low[i], low) << "column " << i;
        EXPECT_LE(a.high[i], high) << "column " << i;
    }
}
}  // namespace

TEST(RecordingSummary, DrawnAtPixelColumnsItAgreesWithTheFullRead) {
    RecordingFolder folder;
    WriteDays(folder);
    const auto files = FindRecordingFiles(folder.path());
    const SeriesLoad full = LoadSeries(files, 500);
    const SeriesLoad summary = LoadSummarisedSeries(files, 500, folder.path() + "-cache");
    EXPECT_LT(summary.samples.size(), full.samples.size() / 5);
    EXPECT_EQ(summary.records, full.records);
    const std::int64_t from = LocalMs(kDay), to = LocalMs(DateOfDayNumber(DayNumber(kDay) + kDays));
    for (int columns : {1200, 700}) {
        const DrawnSeries a = Downsample(full.samples, from, to, columns), b = Downsample(summary.samples, from, to, columns);
        EXPECT_EQ(a.lines.size(), b.lines.size());  // every gap and mark cuts both alike
        EXPECT_EQ(a.over, b.over);
        EXPECT_EQ(a.low, b.low);
        EXPECT_EQ(a.high, b.high);
        const Columns ca = PerColumn(a, from, to, columns), cb = PerColumn(b, from, to, columns);
        ExpectWithinNeighbours(ca, cb);
        ExpectWithinNeighbours(cb, ca);
    }
    // The overview, at columns of two of its grains or more (about 21 minutes here).
    EXPECT_LT(summary.overview.size(), summary.samples.size() / 5);
    const DrawnSeries a = Downsample(full.samples, from, to, 200), b = Downsample(summary.overview, from, to, 200);
    EXPECT_EQ(a.lines.size(), b.lines.size());
    EXPECT_EQ(a.over, b.over);
    EXPECT_EQ(a.low, b.low);
    EXPECT_EQ(a.high, b.high);
    ExpectWithinNeighbours(PerColumn(a, from, to, 200), PerColumn(b, from, to, 200));
    ExpectWithinNeighbours(PerColumn(b, from, to, 200), PerColumn(a, from, to, 200));
    // Read again from the cache: the same.
    EXPECT_EQ(LoadSummarisedSeries(files, 500, folder.path() + "-cache").overview.size(), summary.overview.size());
    std::filesystem::remove_all(folder.path() + "-cache");
}

TEST(RecordingSummary, IsMadeAgainWhenTheFileChangesAndNeverNeeded) {
    RecordingFolder folder;
    const std::string cache = folder.path() + "-cache";
    folder.write(7, kDay, "10:00:00 0001 bar\r\n10:00:01 0002 bar\r\n");
    folder.write(7, NextDay(kDay), "10:00:00 0003 bar\r\n");
    const auto files = FindRecordingFiles(folder.path());
    const auto load = [&](SummaryUse& use) { return LoadSummarisedSeries(FindRecordingFiles(folder.path()), 1000, cache, nullptr, &use); };
    SummaryUse first, second, grown, rewritten, damaged, cycle;
    const SeriesLoad a = load(first);
    EXPECT_EQ(first.rebuilt, 2u);
    EXPECT_EQ(load(second).samples.size(), a.samples.size());
    EXPECT_EQ(second.fromCache, 2u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);  // nothing beside the recordings

    folder.write(7, kDay, "10:00:00 0001 bar\r\n10:00:01 0002 bar\r\n10:00:02 0009 bar\r\n");  // grew
    EXPECT_EQ(load(grown).records, 4u);
    EXPECT_EQ(grown.rebuilt, 1u);
    // The same size, another value, a later time: made again.
    folder.write(7, kDay, "10:00:00 0001 bar\r\n10:00:01 0002 bar\r\n10:00:02 0008 bar\r\n");
    std::filesystem::last_write_time(files[0].path, std::filesystem::last_write_time(files[0].path) + std::chrono::seconds(2));
    const SeriesLoad b = load(rewritten);
    EXPECT_EQ(rewritten.rebuilt, 1u);
    EXPECT_EQ(b.samples[1].value, 8.0f);  // the minute's first and highest
    // A damaged summary is made again; a station with another cycle gets its own.
    for (const auto& entry : std::filesystem::directory_iterator(cache)) std::filesystem::resize_file(entry.path(), 20);
    EXPECT_EQ(load(damaged).samples.size(), b.samples.size());
    EXPECT_EQ(damaged.rebuilt, 2u);
    LoadSummarisedSeries(files, 5000, cache, nullptr, &cycle);
    EXPECT_EQ(cycle.rebuilt, 2u);
    std::filesystem::remove_all(cache);
}

TEST(PollingPeriods, RunFromStartToStopAndAKilledProgramEndsAtItsLastEntry) {
    const std::string log =
        "02.03.2026 08:00:00\t\tProgramm gestartet\r\n"
        "02.03.2026 09:00:00\t\tAbfrage angehalten\r\n"
        "02.03.2026 09:30:00\t\tAbfrage wieder gestartet\r\n"
        "02.03.2026 10:00:00\tStation 5\tkeine Antwort mehr\r\n"  // then killed
        "02.03.2026 12:00:00\t\tProgramm gestartet\r\n"
        "02.03.2026 13:00:00\t\tProgramm beendet\r\n"
        "02.03.2026 14:00:00\t\tProgramm gestartet\r\n";
    const auto at = [](int h, int m = 0) { return LocalMs(kDay, h, m); };
    const std::vector<Period> p = PollingPeriodsOf(log, at(18));
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0].from, at(8));
    EXPECT_EQ(p[0].to, at(9));
    EXPECT_EQ(p[1].from, at(9, 30));
    EXPECT_EQ(p[1].to, at(10));
    EXPECT_EQ(p[3].to, at(18));
    EXPECT_FALSE(Covers(p, at(9, 15)));
    EXPECT_FALSE(Covers(p, at(11)));
    EXPECT_TRUE(Covers(p, at(12, 30)));
}
