// kill -9 while the configuration file is being saved: a child process saves a big configuration
// in a loop, alternating between two versions, and is killed at random moments. Whatever the
// moment, the file is afterwards one version or the other, whole, and a reader takes it.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "platform/IniFile.h"

namespace {

namespace fs = std::filesystem;

constexpr int kStations = 31;
constexpr int kRounds = 40;
constexpr int kMaxDelayMs = 25;

// The exit's writing of every section, with values that differ between the two versions.
void WriteVersion(const std::string& path, int version) {
    IniFile ini(path);
    ini.WriteString("Form", "Titel", version ? "Netz Süd" : "Netz Nord");
    ini.WriteInteger("Form", "MaxGeraete", kStations);
    for (int n = 1; n <= kStations; ++n) {
        const std::string s = "Geraet " + std::to_string(n);
        ini.WriteInteger(s, "Adresse", n);
        ini.WriteInteger(s, "Top", 10 + 40 * n + version);
        ini.WriteInteger(s, "Left", 8 * n);
        ini.WriteInteger(s, "Zyklus", version ? 4 : 1);
        ini.WriteInteger(s, "QtvTyp", 0x3510 + n);
        ini.WriteString(s, "Benennung", version ? "mbar" : "bar");
        ini.WriteString(s, "Titel", "Messstelle " + std::to_string(n) + (version ? " neu" : " alt"));
        ini.WriteInteger(s, "Dezimalpunkt", n % 4);
        ini.WriteInteger(s, "Runden", 1);
        ini.WriteInteger(s, "PanelText", version ? 0x0000FF : 0);
        ini.WriteInteger(s, "PanelHgrund", version ? 0xFFFFFF : 0xC0C0C0);
        ini.WriteBool(s, "Speichern", version != 0);
    }
    ini.Save();
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Saves for ever, alternating the versions; says "going" on the pipe before the first save.
[[noreturn]] void SaveInALoop(const std::string& path, int ready) {
    const char going = 'g';
    (void)::write(ready, &going, 1);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);  // never outlives the test
    for (int i = 0; std::chrono::steady_clock::now() < end; ++i) WriteVersion(path, i % 2);
    ::_exit(0);
}

class ConfigurationSave : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tarvo-kill-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "tarvo.INI").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
    std::string path_;
};

TEST_F(ConfigurationSave, killedAtAnyMomentLeavesOneWholeVersion) {
    WriteVersion(path_, 0);
    const std::string versionA = Read(path_);
    WriteVersion(path_, 1);
    const std::string versionB = Read(path_);
    WriteVersion(path_, 0);
    ASSERT_EQ(Read(path_), versionA) << "each version is always the same bytes";
    ASSERT_GT(versionA.size(), 5000u) << "the largest configuration, 31 stations";

    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> delayMs(0, kMaxDelayMs);
    int sawA = 0, sawB = 0;
    for (int round = 0; round < kRounds; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) SaveInALoop(path_, ready[1]);
        char going = 0;
        ASSERT_EQ(::read(ready[0], &going, 1), 1);
        ::close(ready[0]);
        ::close(ready[1]);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        const std::string content = Read(path_);
        ASSERT_TRUE(content == versionA || content == versionB)
            << "round " << round << ": " << content.size() << " bytes, neither version";
        (content == versionA ? sawA : sawB)++;
        IniFile reread(path_);
        ASSERT_EQ(reread.ReadInteger("Geraet 31", "Adresse", 0), 31);
    }
    int leftovers = 0;
    for (const auto& entry : fs::directory_iterator(dir_)) leftovers += entry.path().filename() != "tarvo.INI";
    std::cout << "[          ] versions found after the kills: A " << sawA << ", B " << sawB
              << "; temporary files left by the kills: " << leftovers << "\n";
}

}  // namespace
