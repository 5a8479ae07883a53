// bench_inifile [MB]: how the configuration file reader copes with files far larger than any
// real one (a damaged or hostile file), in memory and in time. Prints:
//   - the memory held while a file of MB megabytes (default 8) is open, and the peak while it is
//     read, against the file's size;
//   - the time to erase a section that appears 50,000 times;
//   - the time of the exit's writes (section "Form", 31 stations, erasing the empty slots) and the
//     save on the large file.
// Goals: memory held below three times the file's size, each operation below one second.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "platform/IniFile.h"

namespace {

using Clock = std::chrono::steady_clock;

long StatusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
    return -1;
}

void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Station sections as the program writes them, repeated until the file has the size asked for.
std::size_t WriteLargeFile(const std::string& path, std::size_t bytes, std::size_t& lines) {
    std::ofstream out(path, std::ios::binary);
    std::size_t written = 0;
    lines = 0;
    for (int n = 0; written < bytes; ++n) {
        std::string section = "[Geraet " + std::to_string(n) + "]\r\nAdresse=" + std::to_string(n % 32) +
                              "\r\nTop=10\r\nLeft=10\r\nZyklus=4\r\nQtvTyp=13584\r\nBenennung=bar\r\n"
                              "Titel=Halle 2\r\nDezimalpunkt=1\r\nRunden=0\r\nPanelText=0\r\n"
                              "PanelHgrund=16777215\r\nSpeichern=0\r\n";
        out << section;
        written += section.size();
        lines += 13;
    }
    return written;
}

void ExitWrites(IniFile& ini) {
    ini.WriteInteger("Form", "Top", 100);
    ini.WriteString("Form", "Titel", "Netz1");
    ini.WriteInteger("Form", "MaxGeraete", 31);
    for (int n = 0; n <= 31; ++n) {
        const std::string s = "Geraet " + std::to_string(n);
        if (n % 2) {
            for (const char* key : {"Adresse", "Top", "Left", "Zyklus", "QtvTyp", "Dezimalpunkt", "Runden",
                                    "PanelText", "PanelHgrund", "Speichern"})
                ini.WriteInteger(s, key, n);
            ini.WriteString(s, "Benennung", "bar");
            ini.WriteString(s, "Titel", "Station");
        } else {
            ini.EraseSection(s);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 8;
    char folder[] = "/tmp/bench-inifile-XXXXXX";
    if (!::mkdtemp(folder)) return 1;
    const std::string large = std::string(folder) + "/large.INI";
    std::size_t lines = 0;
    const std::size_t size = WriteLargeFile(large, megabytes << 20, lines);

    {
        ResetPeak();
        const long before = StatusKb("VmRSS");
        const auto start = Clock::now();
        IniFile ini(large);
        const double readMs = MsSince(start);
        const long held = StatusKb("VmRSS") - before;
        const long peak = StatusKb("VmHWM") - before;
        std::printf("read %.1f MB (%zu lines) in %.0f ms: held %.1f MB (%.1f x the file, %.0f bytes a line), "
                    "peak while reading %.1f MB\n",
                    double(size) / (1 << 20), lines, readMs, held / 1024.0, held * 1024.0 / double(size),
                    held * 1024.0 / double(lines), peak / 1024.0);
        const auto exitStart = Clock::now();
        ExitWrites(ini);
        const double writesMs = MsSince(exitStart);
        const auto saveStart = Clock::now();
        const bool saved = ini.Save();
        std::printf("on it, the exit's writes: %.0f ms, the save: %.0f ms%s\n", writesMs, MsSince(saveStart),
                    saved ? "" : " (not saved)");
    }

    {
        const std::string duplicates = std::string(folder) + "/duplicates.INI";
        std::ofstream out(duplicates, std::ios::binary);
        out << "[Form]\r\nMaxGeraete=3\r\n";
        for (int i = 0; i < 50000; ++i) out << "[Geraet 2]\r\nAdresse=2\r\nZyklus=1\r\n";
        out << "[Geraet 3]\r\nAdresse=3\r\n";
        out.close();
        IniFile ini(duplicates);
        const auto start = Clock::now();
        ini.EraseSection("Geraet 2");
        const double eraseMs = MsSince(start);
        std::printf("erasing a section present 50000 times: %.0f ms (station 3 %s)\n", eraseMs,
                    ini.SectionExists("Geraet 3") ? "kept" : "LOST");
    }
    std::system((std::string("rm -rf ") + folder).c_str());
    return 0;
}
