#include "records/Series.h"

#include <algorithm>
#include <future>
#include <new>

namespace {
constexpr std::int64_t kDefaultUsualMs = 1000;
constexpr std::int64_t kSecondOfSlack = 1000;


// Whether a point at nextT follows the end of a series after a pause, by the loader's rule over
// the spacings of the last points (gap marks are no points).
bool GapBetween(const std::vector<Sample>& before, std::int64_t nextT) {
    std::int64_t times[10];
    int n = 0;
    for (auto it = before.rbegin(); it != before.rend() && n < 10; ++it)
        if (it->kind != SampleKind::Gap) times[n++] = it->t;
    if (n == 0) return false;
    GapRule rule;
    for (int i = n - 1; i > 0; --i) rule.IsGap(times[i - 1] - times[i]);
    return rule.IsGap(nextT - times[0]);
}

Sample GapAt(std::int64_t t) { return Sample{t, 0.0f, SampleKind::Gap, 0}; }
}  // namespace

Sample SampleOf(std::int64_t t, const ValueText& v) {
    Sample s;
    s.t = t;
    switch (v.kind) {
    case ValueKind::Number:
        s.kind = SampleKind::Value;
        s.value = float(v.Value());
        s.decimals = v.decimals;
        break;
    case ValueKind::Over: s.kind = SampleKind::Over; break;
    case ValueKind::Under: s.kind = SampleKind::Under; break;
    }
    return s;
}

GapRule::GapRule(std::int64_t nominalMs) : nominal_(nominalMs > 0 ? nominalMs : kDefaultUsualMs) {}

std::int64_t GapRule::UsualMs() const {
    if (count_ == 0) return nominal_;
    auto v = recent_;  // called for every point of a week: no allocation
    std::nth_element(v.begin(), v.begin() + count_ / 2, v.begin() + count_);
    return v[std::size_t(count_ / 2)];
}

bool GapRule::IsGap(std::int64_t spacingMs) {
    if (spacingMs <= 0) return false;
    const bool gap = spacingMs > 2 * UsualMs() + kSecondOfSlack;
    recent_[std::size_t(next_)] = spacingMs;
    next_ = (next_ + 1) % int(recent_.size());
    count_ = std::min(count_ + 1, int(recent_.size()));
    return gap;
}

namespace {
struct FilePoints {
    std::vector<Sample> points;
    std::uint64_t malformed = 0;
    bool read = false;
    bool skipped = false;  // tried, and not read
};

FilePoints ReadFilePoints(const RecordingFile& file) {
    FilePoints out;
    std::string bytes;
    try {
        out.skipped = ReadRecordingFile(file.path, bytes) != PlainFile::Regular;
    } catch (const std::bad_alloc&) {  // short of memory even within the limit: this file is skipped
        out.skipped = true;
    }
    if (out.skipped) return out;
    out.read = true;
    const std::int64_t day = LocalMs(file.date);
    out.points.reserve(bytes.size() / 20);
    ReadCount count;
    ForEachRecord(bytes, [&](const RecordLine& r, std::string_view) {
        out.points.push_back(SampleOf(day + r.SecondOfDay() * kMsPerSecond, r.value));
        return true;
    }, count);
    out.malformed = count.malformed;
    return out;
}
}  // namespace

SeriesLoad LoadSeries(const std::vector<RecordingFile>& files, std::int64_t nominalMs, const std::atomic<bool>* cancel) {
    SeriesLoad load;
    // The files are read two at a time: parsing, not the disk, is what takes the time.
    std::vector<FilePoints> perFile(files.size());
    for (std::size_t i = 0; i < files.size(); i += 2) {
        if (cancel && cancel->load(std::memory_order_relaxed)) break;
        std::future<FilePoints> second;
        if (i + 1 < files.size()) second = std::async(std::launch::async, ReadFilePoints, std::cref(files[i + 1]));
        perFile[i] = ReadFilePoints(files[i]);
        if (second.valid()) perFile[i + 1] = second.get();
    }
    std::size_t total = 0;
    for (const FilePoints& f : perFile) total += f.points.size();
    std::vector<Sample> raw;
    raw.reserve(total);
    for (std::size_t i = 0; i < perFile.size(); ++i) {
        FilePoints& f = perFile[i];
        load.files += f.read;
        if (f.skipped) load.skipped.push_back(files[i].name);
        load.malformed += f.malformed;
        load.records += f.points.size();
        raw.insert(raw.end(), f.points.begin(), f.points.end());
        std::vector<Sample>().swap(f.points);
    }
    // A clock set back (the end of summer time) repeats an hour; the points keep file order
    // within each second.
    if (!std::is_sorted(raw.begin(), raw.end(), [](const Sample& a, const Sample& b) { return a.t < b.t; }))
        std::stable_sort(raw.begin(), raw.end(), [](const Sample& a, const Sample& b) { return a.t < b.t; });
    for (std::size_t i = 0; i < raw.size();) {
        std::size_t j = i + 1;
        while (j < raw.size() && raw[j].t == raw[i].t) ++j;
        const std::int64_t k = std::int64_t(j - i);
        for (std::size_t m = i + 1; m < j; ++m) raw[m].t += std::int64_t(m - i) * kMsPerSecond / k;
        i = j;
    }
    GapRule rule(nominalMs);
    load.samples.reserve(raw.size() + raw.size() / 64);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (i > 0 && rule.IsGap(raw[i].t - raw[i - 1].t)) load.samples.push_back(GapAt(raw[i - 1].t + 1));
        load.samples.push_back(raw[i]);
    }
    return load;
}

std::vector<Sample> MergeSeries(const std::vector<Sample>& history, const std::vector<Sample>& live) {
    if (history.empty()) return live;
    const std::int64_t first = history.front().t, last = history.back().t;
    std::vector<Sample> merged;
    merged.reserve(history.size() + live.size() + 2);
    for (const Sample& s : live) {
        if (s.t >= first) break;
        merged.push_back(s);
    }
    if (!merged.empty() && GapBetween(merged, first)) merged.push_back(GapAt(merged.back().t + 1));
    merged.insert(merged.end(), history.begin(), history.end());
    for (const Sample& s : live) {
        if (s.t <= last) continue;
        if (s.kind != SampleKind::Gap && merged.back().kind != SampleKind::Gap && GapBetween(merged, s.t))
            merged.push_back(GapAt(merged.back().t + 1));
        merged.push_back(s);
    }
    return merged;
}

void AppendLive(std::vector<Sample>& series, const Sample& s, GapRule& rule) {
    if (!series.empty() && s.t < series.back().t) return;  // the wall clock went back: keep order
    if (!series.empty() && rule.IsGap(s.t - series.back().t) && series.back().kind != SampleKind::Gap &&
        s.kind != SampleKind::Gap)
        series.push_back(GapAt(series.back().t + 1));
    series.push_back(s);
}
