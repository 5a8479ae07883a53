#pragma once
// Reading one recording file line by line. A line that is not a record, and a last line without
// its line end (a record cut off while it was written), is skipped and counted, never fatal.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "records/ValueText.h"

struct ReadCount {
    std::uint64_t records = 0;
    std::uint64_t malformed = 0;
    int firstMalformedLine = 0;  // 1-based; 0 when none
    bool unreadable = false;     // the file could not be opened or read
};

// Calls onRecord for each record in file order with the record and its raw line (without the
// line end). Returns false when onRecord asked to stop.
using RecordSink = std::function<bool(const RecordLine& record, std::string_view line)>;
bool ReadRecords(std::string_view bytes, const RecordSink& onRecord, ReadCount& count);

// The whole file at once; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);
