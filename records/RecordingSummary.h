#pragma once
// A small summary of each recording file, so that a month of many stations or a year of one is
// shown without reading every record again: the file's points as LoadSeries gives them, reduced
// to the first, lowest, highest and last value of every minute between two breaks of the line
// (gaps and out-of-range marks are kept as they are). Drawn at pixel columns of a minute or more,
// it looks as the full read does.
// The summaries live in a cache folder, never beside the recordings, one per recording file,
// rebuilt whenever the file's size or modification time (or the station's cycle) differs from
// what the summary was made of. Nothing depends on them: a summary that is missing, damaged or
// cannot be written costs only the time of reading the file.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "records/RecordingFiles.h"
#include "records/Series.h"

inline constexpr std::int64_t kSummaryGrainMs = 60'000;
// The summary's points reduced once more, for views of a month or a year: ten times fewer points
// to read into memory and to draw, alike to the full read at pixel columns of 20 minutes or more.
inline constexpr std::int64_t kOverviewGrainMs = 600'000;

// Every point of a series kept, except values inside one grain between two breaks, of which
// only the first, lowest, highest and last stay (in time order); of out-of-range marks in a row
// within one grain only the first.
std::vector<Sample> ReduceSeries(const std::vector<Sample>& series, std::int64_t grainMs = kSummaryGrainMs);

struct FileSummary {
    std::vector<Sample> points;      // reduced
    std::vector<Sample> overview;    // reduced to kOverviewGrainMs
    std::vector<std::int64_t> tail;  // the times of the file's last (up to ten) points, oldest first
    std::uint64_t records = 0;
    std::uint64_t malformed = 0;
    bool read = false;               // the file could be read
};

// The summary of one file made from the file itself.
FileSummary SummariseFile(const RecordingFile& file, std::int64_t nominalMs);

// The cache folder: $XDG_CACHE_HOME/tarvo/summaries, else ~/.cache/tarvo/summaries.
std::string DefaultSummaryFolder();

struct SummaryUse {
    std::uint64_t fromCache = 0;
    std::uint64_t rebuilt = 0;
};

// The summary of a file from the cache folder when it still matches the file, else made from
// the file and stored there (when it can be). An empty folder: no cache, always made.
FileSummary CachedSummary(const RecordingFile& file, std::int64_t nominalMs, const std::string& cacheFolder,
                          SummaryUse* use = nullptr);

// What LoadSeries gives, from the files' summaries: the same gaps (within a file by the file's
// own reading, between files by the spacing of the earlier file's last points), values reduced;
// and the same at the overview's grain.
SeriesLoad LoadSummarisedSeries(const std::vector<RecordingFile>& files, std::int64_t nominalMs,
                                const std::string& cacheFolder, const std::atomic<bool>* cancel = nullptr,
                                SummaryUse* use = nullptr);
