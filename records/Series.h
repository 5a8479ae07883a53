#pragma once
// A station's values over time, as the trend draws them: points in time order on the local time
// line, with the places where no line may be drawn marked. Out-of-range values are marks of
// their own, never numbers; a gap stands for time without an answer.

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "records/RecordingFiles.h"
#include "records/RecordingReader.h"
#include "records/ValueText.h"

enum class SampleKind : std::uint8_t { Value, Over, Under, Gap };

struct Sample {
    std::int64_t t = 0;          // ms on the local time line
    float value = 0;             // scaled by the station's decimal point, as the panel shows it
    SampleKind kind = SampleKind::Value;
    std::uint8_t decimals = 0;   // digits behind the point in the value text
};

Sample SampleOf(std::int64_t t, const ValueText& v);

// When the spacing of two neighbouring points says that answers were missing between them. A
// recording file holds only the answered polls, so its gaps can only be seen in the spacing: a
// gap is a spacing of more than twice the usual one plus a second (the files count whole
// seconds). The usual spacing is the median of the last eight, so that a changed cycle is
// learnt after a few points and a long outage does not count as usual.
class GapRule {
public:
    explicit GapRule(std::int64_t nominalMs = 0);  // what is usual before any spacing is seen
    bool IsGap(std::int64_t spacingMs);            // and learns the spacing
    std::int64_t UsualMs() const;

private:
    std::array<std::int64_t, 8> recent_{};
    int count_ = 0;
    int next_ = 0;
    std::int64_t nominal_;
};

struct SeriesLoad {
    std::vector<Sample> samples;
    std::uint64_t files = 0;
    std::uint64_t malformed = 0;
    std::vector<std::string> skipped;  // files not read (too large, a link, unreadable)
    std::uint64_t records = 0;    // values and out-of-range marks read (a summary holds fewer points)
    std::vector<Sample> overview;  // from summaries only: the samples again at a coarser grain
};

// The points of one station from its recording files (by day, as FindRecordingFiles gives them).
// Records that share a second are spread evenly over it, in file order. A set cancel flag ends
// the load early.
SeriesLoad LoadSeries(const std::vector<RecordingFile>& files, std::int64_t nominalMs,
                      const std::atomic<bool>* cancel = nullptr);

// Points recorded live (since the window opened) joined with points read from the files: the
// files' points stand for the time they span, live points outside it are kept. Where the two
// meet after a pause, a gap is put between them.
std::vector<Sample> MergeSeries(const std::vector<Sample>& history, const std::vector<Sample>& live);

// Appends a live point; a gap goes before it when the rule says the spacing was too long.
void AppendLive(std::vector<Sample>& series, const Sample& s, GapRule& rule);
