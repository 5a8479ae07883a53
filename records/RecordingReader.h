#pragma once
// Reading one recording file line by line. A line that is not a record, and a last line without
// its line end (a record cut off while it was written), is skipped and counted, never fatal.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/PlainFile.h"
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

// The same for a sink known at compile time (a week of records is 1.2 million calls).
template <typename Sink>
bool ForEachRecord(std::string_view bytes, Sink&& onRecord, ReadCount& count) {
    std::size_t start = 0;
    int lineNumber = 0;
    while (start < bytes.size()) {
        ++lineNumber;
        const std::size_t end = bytes.find('\n', start);
        const bool cut = end == std::string_view::npos;  // no line end: the record was cut off
        std::string_view line = bytes.substr(start, cut ? std::string_view::npos : end - start);
        start = cut ? bytes.size() : end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const auto record = cut ? std::nullopt : ParseRecordLine(line);
        if (!record) {
            ++count.malformed;
            if (count.firstMalformedLine == 0) count.firstMalformedLine = lineNumber;
            continue;
        }
        ++count.records;
        if (!onRecord(*record, line)) return false;
    }
    return true;
}

// Far beyond any real recording file (a day at the fastest cycle is under 4 MB): a larger one is
// damaged or not ours, and is skipped rather than held in memory.
inline constexpr std::uint64_t kMaxRecordingBytes = 64u << 20;

// The whole file at once, by the rule for the operator's files (platform/PlainFile): Regular
// when it was read; a link, a pipe, a device, a larger file is not.
PlainFile ReadRecordingFile(const std::string& path, std::string& bytes);
