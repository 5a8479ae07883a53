#include "records/RecordingSummary.h"

#include "platform/AtomicFile.h"
#include "records/Downsample.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <system_error>

namespace fs = std::filesystem;

namespace {
constexpr char kMagic[8] = {'T', 'R', 'V', 'S', 'U', 'M', '0', '2'};
constexpr std::size_t kTail = 10;
constexpr std::size_t kPointBytes = 14;  // t (8), value (4), kind, decimals

bool IsBreak(const Sample& s) { return s.kind != SampleKind::Value; }

// A grain's values between two breaks: the first, lowest, highest and last, in time order.
struct Run : Extremes {
    std::int64_t grain = -1;
    void EmitTo(std::vector<Sample>& out) {
        if (count == 0) return;
        const std::array<Sample, 4> picks = InTimeOrder();
        for (std::size_t i = 0; i < picks.size(); ++i)
            if (i == 0 || picks[i].t != picks[i - 1].t) out.push_back(picks[i]);
        count = 0;
    }
};

template <typename T>
void Put(std::string& out, T v) {
    char bytes[sizeof v];
    std::memcpy(bytes, &v, sizeof v);
    out.append(bytes, sizeof v);
}

template <typename T>
bool Take(const std::string& in, std::size_t& at, T& v) {
    if (in.size() - at < sizeof v) return false;
    std::memcpy(&v, in.data() + at, sizeof v);
    at += sizeof v;
    return true;
}

struct Stamp {
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // ns since the file clock's epoch
    bool ok = false;
};

Stamp StampOf(const std::string& path) {
    Stamp s;
    std::error_code e1, e2;
    s.size = fs::file_size(path, e1);
    s.modified = std::int64_t(fs::last_write_time(path, e2).time_since_epoch().count());
    s.ok = !e1 && !e2;
    return s;
}

std::string CachePath(const std::string& folder, const std::string& source) {
    std::error_code error;
    const std::string absolute = fs::absolute(source, error).lexically_normal().string();
    std::uint64_t h = 1469598103934665603ULL;  // FNV-1a of the recording file's full path
    for (unsigned char c : absolute) h = (h ^ c) * 1099511628211ULL;
    char name[40];
    std::snprintf(name, sizeof name, "%016llx.sum", static_cast<unsigned long long>(h));
    return (fs::path(folder) / name).string();
}

std::string Encode(const FileSummary& s, const std::string& source, const Stamp& stamp, std::int64_t nominalMs) {
    std::string out(kMagic, sizeof kMagic);
    Put(out, std::uint32_t(source.size()));
    out += source;
    Put(out, stamp.size);
    Put(out, stamp.modified);
    Put(out, nominalMs);
    Put(out, s.records);
    Put(out, s.malformed);
    Put(out, std::uint32_t(s.tail.size()));
    for (std::int64_t t : s.tail) Put(out, t);
    Put(out, std::uint64_t(s.points.size()));
    Put(out, std::uint64_t(s.overview.size()));
    out.reserve(out.size() + (s.points.size() + s.overview.size()) * kPointBytes);
    for (const auto* list : {&s.points, &s.overview})
        for (const Sample& p : *list) {
            Put(out, p.t);
            Put(out, p.value);
            Put(out, std::uint8_t(p.kind));
            Put(out, p.decimals);
        }
    return out;
}

// The points, checked once for their room: a month of many stations decodes millions of them.
bool TakePoints(const std::string& in, std::size_t& at, std::vector<Sample>& points) {
    for (Sample& p : points) {
        const char* b = in.data() + at;
        std::memcpy(&p.t, b, sizeof p.t);
        std::memcpy(&p.value, b + 8, sizeof p.value);
        const auto kind = std::uint8_t(b[12]);
        p.decimals = std::uint8_t(b[13]);
        if (kind > std::uint8_t(SampleKind::Gap)) return false;
        p.kind = SampleKind(kind);
        at += kPointBytes;
    }
    return true;
}

// False for anything but a whole summary of this very file in its present state.
bool Decode(const std::string& in, const std::string& source, const Stamp& stamp, std::int64_t nominalMs, FileSummary& s) {
    if (in.size() < sizeof kMagic || std::memcmp(in.data(), kMagic, sizeof kMagic) != 0) return false;
    std::size_t at = sizeof kMagic;
    std::uint32_t nameLength = 0, tailCount = 0;
    if (!Take(in, at, nameLength) || in.size() - at < nameLength || in.compare(at, nameLength, source) != 0 ||
        nameLength != source.size())
        return false;
    at += nameLength;
    std::uint64_t size = 0, points = 0;
    std::int64_t modified = 0, nominal = 0;
    if (!Take(in, at, size) || !Take(in, at, modified) || !Take(in, at, nominal) || !Take(in, at, s.records) ||
        !Take(in, at, s.malformed) || !Take(in, at, tailCount))
        return false;
    if (size != stamp.size || modified != stamp.modified || nominal != nominalMs || tailCount > kTail) return false;
    s.tail.resize(tailCount);
    for (std::int64_t& t : s.tail)
        if (!Take(in, at, t)) return false;
    std::uint64_t overview = 0;
    if (!Take(in, at, points) || !Take(in, at, overview) || points > in.size() || overview > in.size() ||
        (in.size() - at) != (points + overview) * kPointBytes)
        return false;
    s.points.resize(points);
    s.overview.resize(overview);
    if (!TakePoints(in, at, s.points) || !TakePoints(in, at, s.overview)) return false;
    s.read = true;
    return true;
}

// Replaced whole by the rule for the operator's files: a reader never sees half a summary, and
// nothing planted in the cache folder (a link, a pipe) is written through. A summary that cannot
// be stored is only made again next time.
void Store(const std::string& path, const std::string& bytes) {
    std::error_code error;
    fs::create_directories(fs::path(path).parent_path(), error);
    ReplaceFileAtomically(path, bytes);
}

// Whether a point at nextT follows the earlier points' times after a pause, by the loader's
// rule over their spacings.
bool GapAfter(const std::vector<std::int64_t>& tail, std::int64_t nextT) {
    if (tail.empty()) return false;
    GapRule rule;
    for (std::size_t i = 1; i < tail.size(); ++i) rule.IsGap(tail[i] - tail[i - 1]);
    return rule.IsGap(nextT - tail.back());
}
}  // namespace

std::vector<Sample> ReduceSeries(const std::vector<Sample>& series, std::int64_t grainMs) {
    std::vector<Sample> out;
    out.reserve(series.size() / 4 + 16);
    Run run;
    bool lastWasMark = false;
    SampleKind lastMark = SampleKind::Gap;
    std::int64_t lastMarkGrain = -1;
    for (const Sample& s : series) {
        const std::int64_t grain = s.t / grainMs;
        if (!IsBreak(s)) {
            if (run.count > 0 && run.grain != grain) run.EmitTo(out);
            run.grain = grain;
            run.Add(s);
            lastWasMark = false;
            continue;
        }
        run.EmitTo(out);
        const bool repeatedMark = s.kind != SampleKind::Gap && lastWasMark && lastMark == s.kind && lastMarkGrain == grain;
        if (!repeatedMark) out.push_back(s);
        lastWasMark = s.kind != SampleKind::Gap;
        lastMark = s.kind;
        lastMarkGrain = grain;
    }
    run.EmitTo(out);
    return out;
}

FileSummary SummariseFile(const RecordingFile& file, std::int64_t nominalMs) {
    FileSummary s;
    const SeriesLoad load = LoadSeries({file}, nominalMs);
    s.read = load.files == 1;
    s.malformed = load.malformed;
    for (auto it = load.samples.rbegin(); it != load.samples.rend() && s.tail.size() < kTail; ++it)
        if (it->kind != SampleKind::Gap) s.tail.push_back(it->t);
    std::reverse(s.tail.begin(), s.tail.end());
    s.records = load.records;
    s.points = ReduceSeries(load.samples);
    s.overview = ReduceSeries(s.points, kOverviewGrainMs);
    return s;
}

std::string DefaultSummaryFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    fs::path base;
    if (cache && *cache) base = cache;
    else if (const char* home = std::getenv("HOME"); home && *home) base = fs::path(home) / ".cache";
    else return {};
    return (base / "tarvo" / "summaries").string();
}

FileSummary CachedSummary(const RecordingFile& file, std::int64_t nominalMs, const std::string& cacheFolder, SummaryUse* use) {
    const Stamp stamp = StampOf(file.path);
    if (cacheFolder.empty() || !stamp.ok) {
        if (use) ++use->rebuilt;
        return SummariseFile(file, nominalMs);
    }
    const std::string path = CachePath(cacheFolder, file.path);
    std::string bytes;
    FileSummary cached;
    if (ReadRecordingFile(path, bytes) == PlainFile::Regular && Decode(bytes, file.path, stamp, nominalMs, cached)) {
        if (use) ++use->fromCache;
        return cached;
    }
    FileSummary made = SummariseFile(file, nominalMs);
    if (use) ++use->rebuilt;
    // Only when the file did not change while it was read: else the next load makes it again.
    const Stamp after = StampOf(file.path);
    if (made.read && after.ok && after.size == stamp.size && after.modified == stamp.modified)
        Store(path, Encode(made, file.path, stamp, nominalMs));
    return made;
}

SeriesLoad LoadSummarisedSeries(const std::vector<RecordingFile>& files, std::int64_t nominalMs,
                                const std::string& cacheFolder, const std::atomic<bool>* cancel, SummaryUse* use) {
    SeriesLoad load;
    std::vector<FileSummary> perFile(files.size());
    SummaryUse uses[2];
    for (std::size_t i = 0; i < files.size(); i += 2) {
        if (cancel && cancel->load(std::memory_order_relaxed)) break;
        std::future<FileSummary> second;
        if (i + 1 < files.size())
            second = std::async(std::launch::async, [&, i] { return CachedSummary(files[i + 1], nominalMs, cacheFolder, &uses[1]); });
        perFile[i] = CachedSummary(files[i], nominalMs, cacheFolder, &uses[0]);
        if (second.valid()) perFile[i + 1] = second.get();
    }
    if (use) {
        use->fromCache += uses[0].fromCache + uses[1].fromCache;
        use->rebuilt += uses[0].rebuilt + uses[1].rebuilt;
    }
    std::size_t total = 0, overview = 0;
    for (const FileSummary& f : perFile) {
        total += f.points.size() + 1;
        overview += f.overview.size() + 1;
    }
    load.samples.reserve(total);
    load.overview.reserve(overview);
    const std::vector<std::int64_t>* tail = nullptr;
    for (FileSummary& f : perFile) {
        load.files += f.read;
        load.malformed += f.malformed;
        load.records += f.records;
        if (f.points.empty()) continue;
        if (tail && f.points.front().kind != SampleKind::Gap && GapAfter(*tail, f.points.front().t)) {
            const Sample gap{load.samples.back().t + 1, 0.0f, SampleKind::Gap, 0};
            load.samples.push_back(gap);
            load.overview.push_back(gap);
        }
        load.samples.insert(load.samples.end(), f.points.begin(), f.points.end());
        load.overview.insert(load.overview.end(), f.overview.begin(), f.overview.end());
        if (!f.tail.empty()) tail = &f.tail;
        f.points = {};  // back to the heap at once: a month of many stations is large
    }
    return load;
}
