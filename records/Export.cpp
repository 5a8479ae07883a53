#include "records/Export.h"

#include <cctype>
#include <cstdio>
#include <new>

#include "platform/AtomicFile.h"
#include "platform/PlainFile.h"
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
// Memory short even for a file within the limit: that file is skipped, the others are read.
PlainFile ReadWithoutThrowing(const std::string& path, std::string& bytes) {
    try {
        return ReadRecordingFile(path, bytes);
    } catch (const std::bad_alloc&) {
        std::string().swap(bytes);
        return PlainFile::TooLarge;
    }
}

void AppendSkipped(std::string& text, const std::vector<std::string>& names, const char* why) {
    if (names.empty()) return;
    text += ' ';
    text += std::to_string(names.size());
    text += " Datei(en) ";
    text += why;
    text += " (erste: " + names.front() + ").";
}
}  // namespace

ExportResult ExportRecordings(const std::vector<RecordingFile>& files, const std::map<int, std::string>& titles,
                              const std::string& target, const ExportProgress& progress,
                              const std::atomic<bool>* cancel) {
    ExportResult result;
    result.refusal = ExportTargetRefusal(target);
    if (!result.refusal.empty()) {
        result.outcome = ExportResult::Outcome::Refused;
        return result;
    }
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
        const PlainFile read = ReadWithoutThrowing(f.path, bytes);
        if (read != PlainFile::Regular) {
            (read == PlainFile::TooLarge ? result.tooLarge : result.unreadable).push_back(f.name);
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

std::string ExportTargetRefusal(const std::string& target) {
    const auto isRecording = [](const std::string& path) {  // ".QTV" in any case
        if (path.size() < 4) return false;
        std::string ext = path.substr(path.size() - 4);
        for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return ext == ".QTV";
    };
    if (isRecording(target) || isRecording(LinkDestination(target)))
        return "Die Zieldatei darf keine Aufzeichnungsdatei (.QTV) sein.";
    const PlainFile state = InspectPlainFile(target);
    return MayReplace(state) ? std::string() : PlainFileRefusal(state, target, Speech::German);
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
    case ExportResult::Outcome::Refused: text = r.refusal; break;
    }
    // Appended piece by piece: GCC 12 takes `" " + std::to_string(n)` for an overlapping copy.
    if (r.malformed > 0) {
        text += ' ';
        text += std::to_string(r.malformed);
        text += r.malformed == 1 ? " fehlerhafte Zeile" : " fehlerhafte Zeilen";
        text += " übersprungen (erste: " + r.firstMalformed + ").";
    }
    AppendSkipped(text, r.unreadable, "nicht lesbar");
    AppendSkipped(text, r.tooLarge, "zu groß, übersprungen");
    return text;
}
