#include "records/RecordingFiles.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string RecordingFileName(int address, const Date& date) {
    char name[32];
    std::snprintf(name, sizeof name, "%2.2d%2.2d%2.2d%2.2d.QTV", address, date.day, date.month, date.year - 2000);
    return name;
}

std::optional<RecordingName> ParseRecordingFileName(const std::string& name) {
    if (name.size() != 12 || name[8] != '.') return std::nullopt;
    const std::string ext = name.substr(9);
    if (ext != "QTV" && ext != "qtv" && ext != "Qtv") return std::nullopt;
    int pairs[4];
    for (int i = 0; i < 4; ++i) {
        const char hi = name[2 * i], lo = name[2 * i + 1];
        if (hi < '0' || hi > '9' || lo < '0' || lo > '9') return std::nullopt;
        pairs[i] = (hi - '0') * 10 + (lo - '0');
    }
    const Date date{2000 + pairs[3], pairs[2], pairs[1]};
    if (!IsValidDate(date)) return std::nullopt;
    return RecordingName{pairs[0], date};
}

bool RecordingFilter::Accepts(int address, const Date& date) const {
    if (from && date < *from) return false;
    if (to && date > *to) return false;
    return stations.empty() || stations.count(address) != 0;
}

std::vector<RecordingFile> FindRecordingFiles(const std::string& folder, const RecordingFilter& filter) {
    std::vector<RecordingFile> files;
    std::error_code error;
    for (fs::directory_iterator it(folder.empty() ? "." : folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const auto parsed = ParseRecordingFileName(name);
        if (!parsed || !filter.Accepts(parsed->address, parsed->date)) continue;
        std::error_code statError;
        if (!it->is_regular_file(statError)) continue;
        const auto size = it->file_size(statError);
        files.push_back({it->path().string(), name, parsed->address, parsed->date, statError ? 0 : std::uint64_t(size)});
    }
    std::sort(files.begin(), files.end(), [](const RecordingFile& a, const RecordingFile& b) {
        if (a.date != b.date) return a.date < b.date;
        if (a.address != b.address) return a.address < b.address;
        return a.name < b.name;
    });
    return files;
}
