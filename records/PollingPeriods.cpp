#include "records/PollingPeriods.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "records/RecordingReader.h"

namespace {
// "05.01.2026 12:00:03\t<station>\t<text>" to its time, or -1.
std::int64_t TimeOfEntry(std::string_view line) {
    int day, month, year, hour, minute, second;
    if (line.size() < 19) return -1;
    const std::string head(line.substr(0, 19));
    if (std::sscanf(head.c_str(), "%2d.%2d.%4d %2d:%2d:%2d", &day, &month, &year, &hour, &minute, &second) != 6) return -1;
    const Date d{year, month, day};
    if (!IsValidDate(d)) return -1;
    return LocalMs(d, hour, minute, second);
}

bool EndsWith(std::string_view line, std::string_view text) {
    return line.size() >= text.size() && line.substr(line.size() - text.size()) == text;
}
bool StartsText(std::string_view line, std::string_view text) {
    const auto tab = line.rfind('\t');
    return tab != std::string_view::npos && line.substr(tab + 1).substr(0, text.size()) == text;
}
}  // namespace

std::vector<Period> PollingPeriodsOf(std::string_view text, std::int64_t end) {
    std::vector<Period> periods;
    bool open = false;
    std::int64_t start = 0, lastEntry = 0;
    while (!text.empty()) {
        const auto eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::int64_t t = TimeOfEntry(line);
        if (t < 0) continue;
        const bool starts = EndsWith(line, "\tProgramm gestartet") || EndsWith(line, "\tAbfrage wieder gestartet");
        const bool stops = StartsText(line, "Programm beendet") || EndsWith(line, "\tAbfrage angehalten");
        if (starts) {
            if (open && EndsWith(line, "\tProgramm gestartet")) periods.push_back({start, lastEntry});
            if (!open || EndsWith(line, "\tProgramm gestartet")) start = t;
            open = true;
        } else if (stops && open) {
            periods.push_back({start, t});
            open = false;
        }
        lastEntry = t;
    }
    if (open) periods.push_back({start, std::max(end, start)});
    return periods;
}

std::vector<Period> ReadPollingPeriods(const std::string& folder, const Date& from, const Date& to) {
    std::string all, bytes;
    for (Date d = DateOfDayNumber(DayNumber(from) - 1); !(to < d); d = NextDay(d)) {
        char name[40];
        std::snprintf(name, sizeof name, "EREIGNIS-%04d-%02d-%02d.txt", d.year, d.month, d.day);
        if (ReadRecordingFile((std::filesystem::path(folder.empty() ? "." : folder) / name).string(), bytes) == PlainFile::Regular)
            all += bytes;
    }
    return PollingPeriodsOf(all, LocalMs(NextDay(to)));
}

bool Covers(const std::vector<Period>& periods, std::int64_t t) {
    return std::any_of(periods.begin(), periods.end(), [t](const Period& p) { return t >= p.from && t < p.to; });
}
