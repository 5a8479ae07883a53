// The export rate: one week of 0.5 s values of one station (about 1.2 million records) written
// as CSV for spreadsheets.
//   build/bench_export [RUNS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <unistd.h>
#include <vector>

#include "WeekOfRecords.h"
#include "records/Export.h"

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const auto folder = std::filesystem::temp_directory_path() / ("tarvo-bench-export-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::uint64_t lines = WriteWeekOfRecords(folder.string(), 5, Date{2026, 11, 30}, 7);
    const auto files = FindRecordingFiles(folder.string());
    std::vector<double> rates;
    ExportResult r;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        r = ExportRecordings(files, {{5, "Kessel"}}, (folder / "out.csv").string());
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        rates.push_back(double(r.lines) / seconds);
    }
    std::sort(rates.begin(), rates.end());
    const auto csvBytes = std::filesystem::file_size(folder / "out.csv");
    std::printf("export of one week of one station: %llu records, %llu lines written, %.1f MB of CSV\n",
                (unsigned long long)lines, (unsigned long long)r.lines, double(csvBytes) / 1e6);
    std::printf("  rate: median %.0f lines/s (%d runs, slowest %.0f lines/s)\n", rates[rates.size() / 2], runs, rates.front());
    std::filesystem::remove_all(folder);
    return r.outcome == ExportResult::Outcome::Written ? 0 : 1;
}
