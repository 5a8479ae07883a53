// qtvexport: the recording files of a folder as one CSV file for spreadsheets, for scripts and
// nightly jobs. Exit status 0 exported, 1 nothing found or the target not writable, 2 bad usage.

#include <cstdio>
#include <filesystem>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "platform/IniFile.h"
#include "platform/ProgramVersion.h"
#include "records/Export.h"
#include "tools/qtvexport/Options.h"

namespace {
constexpr int kHighestAddress = 31;

// The stations' titles as the program's configuration file holds them ("Geraet n": Adresse, Titel).
std::map<int, std::string> TitlesFrom(const std::string& configFile) {
    std::map<int, std::string> titles;
    const IniFile ini(configFile);
    for (int n = 0; n <= kHighestAddress; ++n) {
        const std::string section = "Geraet " + std::to_string(n);
        if (!ini.SectionExists(section)) continue;
        const auto address = int(ini.ReadInteger(section, "Adresse", 0));
        std::string title = ini.ReadString(section, "Titel", "");
        while (!title.empty() && title.back() == ' ') title.pop_back();
        while (!title.empty() && title.front() == ' ') title.erase(0, 1);
        titles[address] = title;
    }
    return titles;
}

int Refuse(const std::string& message) {
    std::fprintf(stderr, "qtvexport: %s (siehe --help)\n", message.c_str());
    return 2;
}
}  // namespace

int main(int argc, char** argv) {
    if (PrintVersionWhenAsked(argc, argv, "qtvexport")) return 0;
    const ParsedOptions parsed = ParseExportOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) return Refuse(parsed.error);
    const ExportOptions& o = *parsed.options;
    if (o.help) {
        std::fputs(ExportUsage().c_str(), stdout);
        return 0;
    }
    std::error_code error;
    if (!std::filesystem::is_directory(o.folder, error)) return Refuse("Ordner nicht gefunden: " + o.folder);
    if (!o.config.empty() && !std::filesystem::is_regular_file(o.config, error))
        return Refuse("Konfigurationsdatei nicht gefunden: " + o.config);
    const std::map<int, std::string> titles = o.config.empty() ? std::map<int, std::string>{} : TitlesFrom(o.config);

    ExportResult result;
    try {  // every file is read within a bound; this is for a machine short of memory all the same
        const std::vector<RecordingFile> files = FindRecordingFiles(o.folder, o.filter);
        result = ExportRecordings(files, titles, o.target);
    } catch (const std::bad_alloc&) {
        std::fputs("qtvexport: zu wenig Speicher, nichts exportiert\n", stderr);
        return 1;
    }
    const std::string summary = "qtvexport: " + ExportSummary(result) + "\n";
    if (result.outcome == ExportResult::Outcome::Written) {
        std::fputs(summary.c_str(), stdout);
        return 0;
    }
    std::fputs(summary.c_str(), stderr);
    return 1;
}
