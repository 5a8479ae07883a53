#pragma once
// The recording files of a folder: one per station and day, named AADDMMJJ.QTV (address, day,
// month, year - 2000, two digits each). Finding them never changes them.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "records/LocalTime.h"

struct RecordingFile {
    std::string path;
    std::string name;  // the file name alone
    int address = 0;
    Date date;
    std::uint64_t size = 0;
};

std::string RecordingFileName(int address, const Date& date);

struct RecordingName {
    int address;
    Date date;
};
// "05061226.QTV" (the extension in either case) to station 5 and 6 December 2026; no value for
// any other name or an impossible day.
std::optional<RecordingName> ParseRecordingFileName(const std::string& name);

struct RecordingFilter {
    std::optional<Date> from;     // first day, inclusive
    std::optional<Date> to;       // last day, inclusive
    std::set<int> stations;       // empty: every station
    bool Accepts(int address, const Date& date) const;
};

// The recording files of the folder that pass the filter, by day, then by station. A folder that
// cannot be read gives none.
std::vector<RecordingFile> FindRecordingFiles(const std::string& folder, const RecordingFilter& filter = {});
