#include "records/Export.h"

#include <cstdio>

#include "platform/AtomicFile.h"
#include "platform/Windows1252.h"
#include "records/Csv.h"
#include "records/RecordingReader.h"

namespace {
constexpr std::size_t kFlushBytes = 1 << 20;

std::string TwoDigitTime(const RecordLine& r) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", r.hour, r.minute, r.second);
    return text;
}
}  // namespace

ExportResult ExportRecordings(const std::vector<RecordingFile>& files, const std::map<int, std::string>& titles,
                              const std::string& target, const ExportProgress& progress,
                              const std::atomic<bool>* cancel) {
    ExportResult result;
    std::uint64_t total = 0, done = 0;
    for (const RecordingFile& f : files) total += f.size;

    AtomicFileWriter writer;
    bool opened = false;
    std::string out;
    std::string bytes;
    std::string lastUnitRaw, lastUnit;  // units repeat line after line: decode each once
    bool writeFailed = false;
    auto flush = [&] {
        if (!opened) {
            opened = writer.Open(target);
            writeFailed = !opened || !writer.Write(std::string(kUtf8Bom) + CsvHeader());
        }
        if (!writeFailed && !writer.Write(out)) writeFailed = true;
        out.clear();
    };

    for (const RecordingFile& f : files) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            result.outcome = ExportResult::Outcome::Cancelled;
            return result;  // the writer removes its temporary file
        }
        if (!ReadWholeFile(f.path, bytes)) {
            result.unreadable.push_back(f.name);
            continue;
        }
        ++result.files;
        const std::string date = GermanDate(f.date);
        const auto titleIt = titles.find(f.address);
        const std::string_view title = titleIt == titles.end() ? std::string_view() : titleIt->second;
        ReadCount count;
        ReadRecords(bytes, [&](const RecordLine& r, std::string_view) {
            if (r.value.unit != lastUnitRaw) {
                lastUnitRaw.assign(r.value.unit);
                lastUnit = Windows1252ToUtf8(lastUnitRaw);
            }
            AppendCsvRow(out, date, TwoDigitTime(r), f.address, title, r.value, lastUnit);
            ++result.lines;
            if (out.size() >= kFlushBytes) flush();
            return !writeFailed;
        }, count);
        if (count.malformed > 0 && result.firstMalformed.empty())
            result.firstMalformed = f.name + ", Zeile " + std::to_string(count.firstMalformedLine);
        result.malformed += count.malformed;
        done += f.size;
        if (progress) progress(done, total);
        if (writeFailed) break;
    }
    if (result.lines == 0) {
        result.outcome = ExportResult::Outcome::NothingFound;
        return result;
    }
    if (!out.empty() || !opened) flush();
    result.outcome = !writeFailed && writer.Commit() ? ExportResult::Outcome::Written : ExportResult::Outcome::WriteFailed;
    return result;
}

std::string ExportSummary(const ExportResult& r) {
    std::string text;
    switch (r.outcome) {
    case ExportResult::Outcome::Written:
        text = std::to_string(r.lines) + (r.lines == 1 ? " Zeile" : " Zeilen") + " aus " + std::to_string(r.files) +
               (r.files == 1 ? " Datei" : " Dateien") + " exportiert.";
        break;
    case ExportResult::Outcome::NothingFound: text = "Keine Aufzeichnungen gefunden."; break;
    case ExportResult::Outcome::WriteFailed: text = "Die Zieldatei kann nicht geschrieben werden."; break;
    case ExportResult::Outcome::Cancelled: text = "Export abgebrochen."; break;
    }
    // Appended piece by piece: GCC 12 takes `" " + std::to_string(n)` for an overlapping copy.
    if (r.malformed > 0) {
        text += ' ';
        text += std::to_string(r.malformed);
        text += r.malformed == 1 ? " fehlerhafte Zeile" : " fehlerhafte Zeilen";
        text += " übersprungen (erste: " + r.firstMalformed + ").";
    }
    if (!r.unreadable.empty()) {
        text += ' ';
        text += std::to_string(r.unreadable.size());
        text += " Datei(en) nicht lesbar (erste: " + r.unreadable.front() + ").";
    }
    return text;
}
