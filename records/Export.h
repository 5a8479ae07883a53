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
    enum class Outcome { Written, NothingFound, WriteFailed, Cancelled, Refused };
    Outcome outcome = Outcome::NothingFound;
    std::string refusal;           // why the target was refused (Refused): one German sentence
    std::uint64_t files = 0;       // files read
    std::uint64_t lines = 0;       // records written
    std::uint64_t malformed = 0;   // lines skipped
    std::string firstMalformed;    // where the first skipped line was: "05061226.QTV, Zeile 17"
    std::vector<std::string> unreadable;  // files that could not be read (a link, a pipe, no permission)
    std::vector<std::string> tooLarge;    // files larger than any recording, skipped
};

using ExportProgress = std::function<void(std::uint64_t bytesDone, std::uint64_t bytesTotal)>;

// titles: station address to title (UTF-8); stations without one get an empty title.
ExportResult ExportRecordings(const std::vector<RecordingFile>& files, const std::map<int, std::string>& titles,
                              const std::string& target, const ExportProgress& progress = {},
                              const std::atomic<bool>* cancel = nullptr);

// Why the target may not be replaced by an export, one German sentence; empty when it may. A
// recording file is never a target, neither by its name nor as the file a link would reach; nor
// is anything the rule for the operator's files refuses (platform/PlainFile).
std::string ExportTargetRefusal(const std::string& target);

// What happened, in one German sentence or two.
std::string ExportSummary(const ExportResult& r);
