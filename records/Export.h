#pragma once
// The export of recording files for spreadsheets, shared by the window "Aufzeichnungen
// exportieren" and the tool qtvexport. The recording files are only read. The target is
// replaced as a whole only when the export went through: an export that fails or finds nothing
// leaves an older target as it was.

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "records/RecordingFiles.h"

struct ExportResult {
    enum class Outcome { Written, NothingFound, WriteFailed, Cancelled };
    Outcome outcome = Outcome::NothingFound;
    std::uint64_t files = 0;       // files read
    std::uint64_t lines = 0;       // records written
    std::uint64_t malformed = 0;   // lines skipped
    std::string firstMalformed;    // where the first skipped line was: "05061226.QTV, Zeile 17"
    std::vector<std::string> unreadable;  // files that could not be read
};

using ExportProgress = std::function<void(std::uint64_t bytesDone, std::uint64_t bytesTotal)>;

// titles: station address to title (UTF-8); stations without one get an empty title.
ExportResult ExportRecordings(const std::vector<RecordingFile>& files, const std::map<int, std::string>& titles,
                              const std::string& target, const ExportProgress& progress = {},
                              const std::atomic<bool>* cancel = nullptr);

// What happened, in one German sentence or two.
std::string ExportSummary(const ExportResult& r);
