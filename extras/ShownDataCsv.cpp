#include "extras/ShownDataCsv.h"

#include <algorithm>
#include <cmath>

#include "platform/AtomicFile.h"
#include "records/Csv.h"
#include "records/LocalTime.h"

namespace {
ValueText TextOf(const Sample& s) {
    ValueText v;
    switch (s.kind) {
    case SampleKind::Over: v.kind = ValueKind::Over; break;
    case SampleKind::Under: v.kind = ValueKind::Under; break;
    default:
        v.kind = ValueKind::Number;
        v.negative = s.value < 0;
        v.decimals = s.decimals;
        v.scaled = std::int32_t(std::llround(std::abs(double(s.value)) * std::pow(10.0, s.decimals)));
        break;
    }
    return v;
}
}  // namespace

std::string ShownDataCsv(const std::vector<ShownTrace>& traces, std::int64_t from, std::int64_t to) {
    std::string out(kUtf8Bom);
    out += CsvHeader();
    for (const ShownTrace& trace : traces) {
        if (!trace.samples) continue;
        const std::string title = trace.title.toStdString(), unit = trace.unit.toStdString();
        auto it = std::lower_bound(trace.samples->begin(), trace.samples->end(), from,
                                   [](const Sample& s, std::int64_t t) { return s.t < t; });
        for (; it != trace.samples->end() && it->t <= to; ++it) {
            if (it->kind == SampleKind::Gap) continue;
            AppendCsvRow(out, GermanDate(DateOfLocalMs(it->t)), ClockTime(it->t), trace.address, title, TextOf(*it), unit);
        }
    }
    return out;
}

bool WriteShownDataCsv(const QString& path, const std::vector<ShownTrace>& traces, std::int64_t from, std::int64_t to) {
    return ReplaceFileAtomically(path.toStdString(), ShownDataCsv(traces, from, to));
}
