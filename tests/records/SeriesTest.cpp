// Days and file names, and a station's series from its recording files: records within a second
// spread over it, gaps where answers were missing, a day's end joined to the next day's start,
// live points joined with the files.

#include <gtest/gtest.h>

#include <cstdio>

#include "support/RecordingFolder.h"
#include "records/LocalTime.h"
#include "records/RecordingFiles.h"
#include "records/Series.h"

namespace {
const Date kDay{2026, 12, 6};

std::string Line(int secondOfDay, const std::string& text) {
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60);
    return time + text + "\r\n";
}

int Gaps(const std::vector<Sample>& s) {
    int n = 0;
    for (const Sample& x : s) n += x.kind == SampleKind::Gap;
    return n;
}

std::vector<Sample> Live(std::initializer_list<std::pair<std::int64_t, SampleKind>> points) {
    std::vector<Sample> s;
    for (auto [t, kind] : points) s.push_back(Sample{t, 1.0f, kind, 0});
    return s;
}
}  // namespace

TEST(LocalTime, DaysCountFromNineteenSeventyAndBack) {
    EXPECT_EQ(DayNumber(Date{1970, 1, 1}), 0);
    EXPECT_EQ(DayNumber(Date{2000, 3, 1}), 11017);
    for (std::int64_t n = 10000; n < 30000; n += 13) EXPECT_EQ(DayNumber(DateOfDayNumber(n)), n);
    EXPECT_EQ(NextDay(Date{2028, 2, 28}), (Date{2028, 2, 29}));
    EXPECT_EQ(NextDay(Date{2026, 12, 31}), (Date{2027, 1, 1}));
    EXPECT_EQ(ClockTime(LocalMs(kDay, 14, 3, 27, 500)), "14:03:27");
    EXPECT_EQ(DateOfLocalMs(LocalMs(kDay, 23, 59, 59, 999)), kDay);
}

TEST(LocalTime, GermanDatesAreReadStrictly) {
    EXPECT_EQ(ParseGermanDate("06.12.2026"), (Date{2026, 12, 6}));
    EXPECT_EQ(ParseGermanDate("6.2.2026"), (Date{2026, 2, 6}));
    for (const char* bad : {"31.02.2026", "06.13.2026", "06.12.26", "06-12-2026", "", "06.12.2026.", "x6.12.2026",
                            "006.12.2026", "00.12.2026"})
        EXPECT_FALSE(ParseGermanDate(bad).has_value()) << bad;
    EXPECT_EQ(GermanDate(Date{2026, 2, 6}), "06.02.2026");
}

TEST(RecordingFiles, NamesCarryAddressDayMonthAndYear) {
    EXPECT_EQ(RecordingFileName(5, kDay), "05061226.QTV");
    const auto parsed = ParseRecordingFileName("05061226.QTV");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->address, 5);
    EXPECT_EQ(parsed->date, kDay);
    EXPECT_TRUE(ParseRecordingFileName("05061226.qtv").has_value());
    for (const char* bad : {"05311126.QTV", "0506122.QTV", "05061226.TXT", "05061226QTV", "a5061226.QTV", "050612260.QTV"})
        EXPECT_FALSE(ParseRecordingFileName(bad).has_value()) << bad;
}

TEST(RecordingFiles, FoundByDayThenStationWithinTheFilter) {
    RecordingFolder folder;
    folder.write(7, Date{2026, 12, 6}, "");
    folder.write(5, Date{2026, 12, 7}, "");
    folder.write(5, Date{2026, 12, 6}, "");
    folder.write(5, Date{2026, 12, 9}, "");
    folder.write("notes.txt", "");
    folder.write("05311126.QTV", "");  // no such day
    std::filesystem::create_directory(folder.file("01061226.QTV"));
    std::vector<std::string> names;
    for (const auto& f : FindRecordingFiles(folder.path())) names.push_back(f.name);
    EXPECT_EQ(names, (std::vector<std::string>{"05061226.QTV", "07061226.QTV", "05071226.QTV", "05091226.QTV"}));

    RecordingFilter filter;
    filter.from = Date{2026, 12, 7};
    filter.to = Date{2026, 12, 9};
    filter.stations = {5};
    names.clear();
    for (const auto& f : FindRecordingFiles(folder.path(), filter)) names.push_back(f.name);
    EXPECT_EQ(names, (std::vector<std::string>{"05071226.QTV", "05091226.QTV"}));
    EXPECT_TRUE(FindRecordingFiles(folder.file("missing")).empty());
}

TEST(Series, RecordsWithinOneSecondAreSpreadOverIt) {
    RecordingFolder folder;
    folder.write(5, kDay, Line(100, " 0001 bar") + Line(100, " 0002 bar") + Line(101, " 0003 bar"));
    const SeriesLoad load = LoadSeries(FindRecordingFiles(folder.path()), 500);
    ASSERT_EQ(load.samples.size(), 3u);
    const std::int64_t t0 = LocalMs(kDay, 0, 1, 40);
    EXPECT_EQ(load.samples[0].t, t0);
    EXPECT_EQ(load.samples[1].t, t0 + 500);
    EXPECT_EQ(load.samples[2].t, t0 + 1000);
    EXPECT_EQ(Gaps(load.samples), 0);
}

TEST(Series, MissingAnswersBecomeAGapAndOutOfRangeValuesAreMarks) {
    RecordingFolder folder;
    std::string day;
    for (int s = 0; s < 60; ++s) day += Line(3600 + s, " 0010 bar");
    for (int s = 120; s < 180; ++s) day += Line(3600 + s, s == 150 ? " Ueber bar" : " 0010 bar");  // a minute without answers
    day += "10:00:0";  // a record cut off at the end
    folder.write(5, kDay, day);
    const SeriesLoad load = LoadSeries(FindRecordingFiles(folder.path()), 1000);
    EXPECT_EQ(load.malformed, 1u);
    EXPECT_EQ(Gaps(load.samples), 1);
    const auto gap = std::find_if(load.samples.begin(), load.samples.end(), [](const Sample& s) { return s.kind == SampleKind::Gap; });
    EXPECT_EQ((gap - 1)->t, LocalMs(kDay, 1, 0, 59));
    EXPECT_EQ((gap + 1)->t, LocalMs(kDay, 1, 2, 0));
    EXPECT_EQ(std::count_if(load.samples.begin(), load.samples.end(), [](const Sample& s) { return s.kind == SampleKind::Over; }), 1);
}

TEST(Series, ADayEndsIntoTheNextWithoutAGap) {
    RecordingFolder folder;
    folder.write(5, kDay, Line(86398, " 0001 bar") + Line(86399, " 0002 bar"));
    folder.write(5, NextDay(kDay), Line(0, " 0003 bar") + Line(1, " 0004 bar"));
    const SeriesLoad load = LoadSeries(FindRecordingFiles(folder.path()), 1000);
    EXPECT_EQ(load.files, 2u);
    EXPECT_EQ(load.samples.size(), 4u);
    EXPECT_EQ(Gaps(load.samples), 0);
}

TEST(Series, AChangedCycleIsLearntAfterAFewPoints) {
    GapRule rule(1000);
    EXPECT_FALSE(rule.IsGap(1000));
    int gaps = 0;
    for (int i = 0; i < 20; ++i) gaps += rule.IsGap(50'000);  // the cycle went to 100 ticks
    EXPECT_GE(gaps, 1);
    EXPECT_LE(gaps, 5);
    EXPECT_FALSE(rule.IsGap(50'000));
    EXPECT_TRUE(rule.IsGap(300'000));  // an outage after that is still one
}

TEST(Series, LivePointsOutsideTheFilesAreKeptAndJoinedAfterAPauseByAGap) {
    const auto history = Live({{10'000, SampleKind::Value}, {11'000, SampleKind::Value}, {12'000, SampleKind::Value}});
    const auto live = Live({{5'000, SampleKind::Value}, {11'500, SampleKind::Value}, {13'000, SampleKind::Value},
                            {500'000, SampleKind::Value}});
    const std::vector<Sample> merged = MergeSeries(history, live);
    std::vector<std::int64_t> times;
    for (const Sample& s : merged)
        if (s.kind != SampleKind::Gap) times.push_back(s.t);
    EXPECT_EQ(times, (std::vector<std::int64_t>{5'000, 10'000, 11'000, 12'000, 13'000, 500'000}));
    EXPECT_EQ(merged[1].kind, SampleKind::Gap);  // 5 s before a 1 s series
    EXPECT_EQ(Gaps(merged), 2);                  // and before the point minutes later
    EXPECT_TRUE(std::is_sorted(merged.begin(), merged.end(), [](const Sample& a, const Sample& b) { return a.t < b.t; }));
}

TEST(Series, ALivePointAfterAPauseGetsAGapBeforeIt) {
    std::vector<Sample> s;
    GapRule rule(500);
    for (std::int64_t t : {0, 500, 1000, 1500, 60'000, 60'500}) AppendLive(s, Sample{t, 1.0f, SampleKind::Value, 0}, rule);
    EXPECT_EQ(Gaps(s), 1);
    EXPECT_EQ(s[4].kind, SampleKind::Gap);
    AppendLive(s, Sample{59'000, 1.0f, SampleKind::Value, 0}, rule);  // the wall clock went back
    EXPECT_EQ(s.back().t, 60'500);
}
