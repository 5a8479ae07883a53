// The configuration file: what survives a round trip, how values read, and how saving fails.

#include "platform/FileSizeLimit.h"
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <random>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

class IniFileInFolder : public ::testing::Test {
protected:
    // A folder of its own under the system's temporary folder, on Linux and Windows alike.
    void SetUp() override {
        namespace fs = std::filesystem;
        std::random_device entropy;
        for (int attempt = 0; attempt < 100 && folder_.empty(); ++attempt) {
            const fs::path candidate = fs::temp_directory_path() / ("tarvo-ini-" + std::to_string(entropy()));
            if (fs::create_directory(candidate)) folder_ = candidate.generic_string();
        }
        ASSERT_FALSE(folder_.empty());
        path_ = folder_ + "/tarvo.INI";
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(folder_, ignored);
    }
    void Put(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
    std::string Get() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        return names;
    }

#ifndef _WIN32
    // Runs the body in a child process that has given up root (root reads and writes any file
    // and folder), optionally under a file-size limit; true when the body returned true.
    bool AsOtherUser(const std::function<bool()>& body, rlim_t fileSizeLimit = RLIM_INFINITY) const {
        const pid_t child = ::fork();
        if (child == 0) {
            if (::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(2);
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            if (fileSizeLimit != RLIM_INFINITY) {
                IgnoreFileSizeLimitSignal();
                if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(2);
            }
            ::_exit(body() ? 0 : 1);
        }
        int status = 0;
        if (::waitpid(child, &status, 0) != child) return false;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    ino_t Inode() const {
        struct stat info {};
        return ::stat(path_.c_str(), &info) == 0 ? info.st_ino : 0;
    }
#endif

    std::string folder_;
    std::string path_;
};

const std::string kStationFile =
    "; Netz der Halle 2\r\n"
    "[Form]\r\n"
    "Top=120\r\n"
    "Titel=Netz1\r\n"
    "\r\n"
    "[Wartung]\r\n"
    "Techniker=Meier\r\n"
    "\r\n"
    "[Geraet 1]\r\n"
    "Adresse=1\r\n"
    "Zyklus=4\r\n";

// --- Round trips ------------------------------------------------------------------------------

TEST_F(IniFileInFolder, unchangedFileIsNotRewritten) {
    Put(kStationFile);
    IniFile ini(path_);
    ini.WriteInteger("Form", "Top", 120);  // the same value: no change
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Get(), kStationFile);
}

TEST_F(IniFileInFolder, changedValueKeepsCommentsUnknownSectionsAndOrder) {
    Put(kStationFile);
    IniFile ini(path_);
    ini.WriteInteger("Form", "Top", 7);
    ASSERT_TRUE(ini.Save());
    std::string expected = kStationFile;
    expected.replace(expected.find("Top=120"), 7, "Top=7");
    EXPECT_EQ(Get(), expected);
}

TEST_F(IniFileInFolder, newKeyGoesBehindTheLastKeyOfItsSection) {
    Put(kStationFile);
    IniFile ini(path_);
    ini.WriteString("form", "SIO", "3");
    ASSERT_TRUE(ini.Save());
    EXPECT_NE(Get().find("Titel=Netz1\r\nSIO=3\r\n\r\n[Wartung]"), std::string::npos) << Get();
}

TEST_F(IniFileInFolder, newSectionGoesToTheEndAndReadsBack) {
    Put(kStationFile);
    IniFile ini(path_);
    ini.WriteInteger("Geraet 5", "Adresse", 5);
    ini.WriteBool("Geraet 5", "Speichern", true);
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Get(), kStationFile + "\r\n[Geraet 5]\r\nAdresse=5\r\nSpeichern=1\r\n");
    IniFile again(path_);
    EXPECT_EQ(again.ReadInteger("Geraet 5", "Adresse", 0), 5);
    EXPECT_TRUE(again.ReadBool("Geraet 5", "Speichern", false));
}

TEST_F(IniFileInFolder, newFileAndAsciiFileAreWindows1252WithCrLfAndUtf8TextStaysUtf8) {
    IniFile ini(path_);
    ini.WriteString("Form", "Titel", "Kühlhaus");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Get(), "[Form]\r\nTitel=K\xFChlhaus\r\n");
    Put("[Form]\r\nTop=1\r\n");
    IniFile ascii(path_);
    ascii.WriteString("Form", "Titel", "Kühlhaus");
    ASSERT_TRUE(ascii.Save());
    EXPECT_EQ(Get(), "[Form]\r\nTop=1\r\nTitel=K\xFChlhaus\r\n");
    Put("[Form]\r\nTitel=K\xC3\xBChlhaus\r\n");
    IniFile utf8(path_);
    utf8.WriteString("Form", "Titel", "Größe");
    ASSERT_TRUE(utf8.Save());
    EXPECT_EQ(Get(), "[Form]\r\nTitel=Gr\xC3\xB6\xC3\x9F" "e\r\n");
}

TEST_F(IniFileInFolder, lineFeedFileKeepsLineFeeds) {
    Put("[Form]\nTop=1\n");
    IniFile ini(path_);
    ini.WriteInteger("Form", "Left", 2);
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Get(), "[Form]\nTop=1\nLeft=2\n");
}

TEST_F(IniFileInFolder, carriageReturnsAloneEndLinesAndTheFirstLineEndIsKept) {
    Put("[Form]\rTop=1\n[Geraet 1]\r\nAdresse=1\r");
    IniFile ini(path_);
    EXPECT_EQ(ini.ReadInteger("Form", "Top", 0), 1);
    EXPECT_EQ(ini.ReadInteger("Geraet 1", "Adresse", 0), 1);
    ini.WriteInteger("Geraet 1", "Zyklus", 4);
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Get(), "[Form]\rTop=1\r[Geraet 1]\rAdresse=1\rZyklus=4\r");
}

TEST_F(IniFileInFolder, valueWithBlanksAtItsEndsReadsBackUnchanged) {
    IniFile ini(path_);
    ini.WriteString("Geraet 1", "Benennung", "   ");
    ini.WriteString("Geraet 1", "Titel", "\"zitiert\"");
    ASSERT_TRUE(ini.Save());
    IniFile again(path_);
    EXPECT_EQ(again.ReadString("Geraet 1", "Benennung", "x"), "   ");
    EXPECT_EQ(again.ReadString("Geraet 1", "Titel", "x"), "\"zitiert\"");
}

TEST_F(IniFileInFolder, lineBreakInAValueCannotForgeASection) {
    IniFile ini(path_);
    ini.WriteString("Form", "Titel", "Netz\r\n[Geraet 9]\r\nAdresse=9");
    ASSERT_TRUE(ini.Save());
    IniFile again(path_);
    EXPECT_FALSE(again.SectionExists("Geraet 9"));
}

// --- Encodings --------------------------------------------------------------------------------

TEST_F(IniFileInFolder, windows1252FileKeepsItsBytesAndReadsAsText) {
    const std::string file = "[Form]\r\nTitel=K\xFChlraum \x80 \x81\r\n[Geraet 1]\r\nTitel=Gr\xF6\xDF""e\r\n";
    Put(file);
    IniFile ini(path_);
    EXPECT_TRUE(ini.readAsWindows1252());
    EXPECT_EQ(ini.ReadString("Form", "Titel", ""), "K\xC3\xBChlraum \xE2\x82\xAC \xC2\x81");
    ini.WriteInteger("Geraet 1", "Adresse", 1);
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Get(), "[Form]\r\nTitel=K\xFChlraum \x80 \x81\r\n[Geraet 1]\r\nTitel=Gr\xF6\xDF""e\r\nAdresse=1\r\n");
}

TEST_F(IniFileInFolder, windows1252FileWritesUnrepresentableCharactersAsQuestionMarks) {
    Put("[Form]\r\nTitel=\xE4\r\n");
    IniFile ini(path_);
    ini.WriteString("Form", "Titel", "Netz \xE2\x82\xAC \xCE\xA9");  // the euro fits, omega does not
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Get(), "[Form]\r\nTitel=Netz \x80 ?\r\n");
}

TEST_F(IniFileInFolder, byteOrderMarkIsSkippedOnReadAndKeptOnWrite) {
    Put("\xEF\xBB\xBF[Form]\r\nTop=5\r\n");
    IniFile ini(path_);
    EXPECT_FALSE(ini.readAsWindows1252());
    EXPECT_EQ(ini.ReadInteger("Form", "Top", 0), 5);
    ini.WriteInteger("Form", "Top", 6);
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Get(), "\xEF\xBB\xBF[Form]\r\nTop=6\r\n");
}

TEST_F(IniFileInFolder, byteOrderMarkBeforeWindows1252TextKeepsTheFirstSectionAndTheMark) {
    Put("\xEF\xBB\xBF[Form]\r\nTitel=K\xFChlhaus\r\nMaxGeraete=2\r\n");
    IniFile ini(path_);
    EXPECT_TRUE(ini.readAsWindows1252());
    EXPECT_EQ(ini.ReadInteger("Form", "MaxGeraete", 1), 2);
    EXPECT_EQ(ini.ReadString("Form", "Titel", ""), "K\xC3\xBChlhaus");
    ini.WriteString("Form", "Titel", "K\xC3\xBChlraum");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Get(), "\xEF\xBB\xBF[Form]\r\nTitel=K\xFChlraum\r\nMaxGeraete=2\r\n");
}

// --- Reading values ---------------------------------------------------------------------------

TEST_F(IniFileInFolder, namesMatchWithoutRegardToCaseAndBlanksAroundAreDropped) {
    Put("[ form ]\r\n  TOP =  42  \r\nTitel= Halle 2 Nord \r\n");
    IniFile ini(path_);
    EXPECT_TRUE(ini.SectionExists("Form"));
    EXPECT_TRUE(ini.ValueExists("FORM", "top"));
    EXPECT_EQ(ini.ReadInteger("Form", "Top", 0), 42);
    EXPECT_EQ(ini.ReadString("Form", "Titel", ""), "Halle 2 Nord");
}

TEST_F(IniFileInFolder, missingOrInvalidIntegersReadAsTheDefault) {
    Put("[Form]\r\nA=12abc\r\nB=\r\nC=0x10\r\nD=99999999999999999999\r\nE=-7\r\nF=+8\r\nG=--1\r\nH= 12 \r\n");
    IniFile ini(path_);
    EXPECT_EQ(ini.ReadInteger("Form", "A", 100), 100);
    EXPECT_EQ(ini.ReadInteger("Form", "B", 100), 100);
    EXPECT_EQ(ini.ReadInteger("Form", "C", 100), 100);
    EXPECT_EQ(ini.ReadInteger("Form", "D", 100), 100);
    EXPECT_EQ(ini.ReadInteger("Form", "E", 100), -7);
    EXPECT_EQ(ini.ReadInteger("Form", "F", 100), 8);
    EXPECT_EQ(ini.ReadInteger("Form", "G", 100), 100);
    EXPECT_EQ(ini.ReadInteger("Form", "H", 100), 12);
    EXPECT_EQ(ini.ReadInteger("Form", "Missing", 100), 100);
    EXPECT_EQ(ini.ReadInteger("Nowhere", "A", 100), 100);
    EXPECT_EQ(ini.ReadString("Nowhere", "A", "def"), "def");
}

TEST_F(IniFileInFolder, booleansAreIntegersOtherThanZero) {
    Put("[G]\r\nA=0\r\nB=1\r\nC=2\r\nD=ja\r\n");
    IniFile ini(path_);
    EXPECT_FALSE(ini.ReadBool("G", "A", true));
    EXPECT_TRUE(ini.ReadBool("G", "B", false));
    EXPECT_TRUE(ini.ReadBool("G", "C", false));
    EXPECT_TRUE(ini.ReadBool("G", "D", true));
    EXPECT_FALSE(ini.ReadBool("G", "D", false));
}

TEST_F(IniFileInFolder, firstSectionAndFirstKeyOfARepeatedNameCount) {
    Put("[Form]\r\nTop=1\r\nTop=2\r\n[Form]\r\nTop=3\r\nLeft=4\r\n");
    IniFile ini(path_);
    EXPECT_EQ(ini.ReadInteger("Form", "Top", 0), 1);
    EXPECT_EQ(ini.ReadInteger("Form", "Left", 0), 0);
}

// --- Erasing sections -------------------------------------------------------------------------

TEST_F(IniFileInFolder, erasedSectionDisappearsWithItsKeysAndOthersStay) {
    Put(kStationFile + "[Geraet 2]\r\nAdresse=2\r\n");
    IniFile ini(path_);
    ini.EraseSection("geraet 1");
    ini.EraseSection("Geraet 0");  // not there: nothing happens
    ASSERT_TRUE(ini.Save());
    IniFile again(path_);
    EXPECT_FALSE(again.SectionExists("Geraet 1"));
    EXPECT_EQ(again.ReadInteger("Geraet 2", "Adresse", 0), 2);
    EXPECT_EQ(again.ReadString("Wartung", "Techniker", ""), "Meier");
}

TEST_F(IniFileInFolder, everyCopyOfARepeatedSectionIsErasedAndKeysStillLandInTheirSection) {
    std::string file = "; Kopf\r\n[Form]\r\nTop=1\r\n";
    for (int i = 0; i < 1000; ++i) file += "[Geraet 2]\r\nA=2\r\n[geraet 3]\r\nA=" + std::to_string(i) + "\r\n";
    Put(file + "[Geraet 4]\r\n");
    IniFile ini(path_);
    ini.WriteInteger("Geraet 4", "Adresse", 4);  // remembered as the section found last
    ini.EraseSection("GERAET 2");
    ini.EraseSection("Geraet 3");
    ini.WriteInteger("Geraet 4", "Zyklus", 1);
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Get(), "; Kopf\r\n[Form]\r\nTop=1\r\n[Geraet 4]\r\nAdresse=4\r\nZyklus=1\r\n");
}

#ifndef _WIN32  // permissions of other users, FIFOs, file-size limits, fork
// --- Files that were not read whole ----------------------------------------------------------

TEST_F(IniFileInFolder, fileWithoutReadPermissionReadsEmptyAndIsNeverWrittenOver) {
    Put(kStationFile);
    ASSERT_EQ(::chmod(path_.c_str(), 0222), 0);  // others may write it, nobody may read it
    ASSERT_EQ(::chmod(folder_.c_str(), 0777), 0);
    EXPECT_TRUE(AsOtherUser([this] {
        IniFile ini(path_);
        if (ini.reading() != IniFile::Reading::Unreadable || ini.SectionExists("Form")) return false;
        ini.WriteInteger("Form", "Top", 1);
        return !ini.Save();
    }));
    EXPECT_EQ(Get(), kStationFile);
    EXPECT_EQ(FolderEntries().size(), 1u);
}

TEST_F(IniFileInFolder, readErrorPipeOrFileOverTheLimitIsNeverWrittenOver) {
    EXPECT_EQ(IniFile("/proc/self/mem").reading(), IniFile::Reading::Unreadable);  // EIO part-way
    EXPECT_EQ(IniFile(folder_ + "/none/x.INI").reading(), IniFile::Reading::Missing);
    ASSERT_EQ(::mkfifo((folder_ + "/pipe.INI").c_str(), 0666), 0);  // no writer: a plain open blocks
    IniFile pipe(folder_ + "/pipe.INI");
    pipe.WriteInteger("Form", "Top", 1);
    EXPECT_FALSE(pipe.Save());
    EXPECT_EQ(pipe.reading(), IniFile::Reading::Unreadable);

    Put(kStationFile);
    ASSERT_EQ(::truncate(path_.c_str(), IniFile::kMaxBytes + 1), 0);  // sparse: no time, no disk
    IniFile ini(path_);
    EXPECT_EQ(ini.reading(), IniFile::Reading::TooLarge);
    EXPECT_FALSE(ini.SectionExists("Form"));
    ini.WriteInteger("Form", "Top", 1);
    EXPECT_FALSE(ini.Save());
    EXPECT_EQ(Get().substr(0, kStationFile.size()), kStationFile);
}

// --- Saving -----------------------------------------------------------------------------------

TEST_F(IniFileInFolder, saveIntoAFolderWithoutWritePermissionFailsAndKeepsTheOldFile) {
    Put(kStationFile);
    IniFile ini(path_);
    ini.WriteInteger("Form", "Top", 1);
    ASSERT_EQ(::chmod(folder_.c_str(), 0555), 0);
    // Root writes into any folder: the save then runs in a child that has given up root.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(2);
        ::_exit(ini.Save() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "save reported success";
    ::chmod(folder_.c_str(), 0755);
    EXPECT_EQ(Get(), kStationFile);
    EXPECT_EQ(FolderEntries().size(), 1u);
}

TEST_F(IniFileInFolder, writableFileInAFolderWithoutWritePermissionIsWrittenInPlace) {
    Put(kStationFile);
    ASSERT_EQ(::chmod(path_.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(folder_.c_str(), 0555), 0);
    const ino_t before = Inode();
    const auto save = [this](const std::string& title) {
        IniFile ini(path_);
        ini.WriteString("Form", "Titel", title);
        return ini.Save();
    };
    EXPECT_TRUE(AsOtherUser([&] { return save(std::string(5000, 'x')) && save("N"); }));  // longer, shorter
    // Put together piece by piece: GCC 12 at -O3 takes an in-place replace for an overlapping copy.
    const std::string file = kStationFile;
    const std::size_t at = file.find("Netz1");
    std::string expected = file.substr(0, at);
    expected += 'N';
    expected.append(file, at + 5, std::string::npos);
    EXPECT_EQ(Get(), expected);
    EXPECT_EQ(Inode(), before) << "the same file, written in place";
    EXPECT_EQ(FolderEntries().size(), 1u);
}

TEST_F(IniFileInFolder, fileSizeLimitFailsTheSaveAndKeepsTheOldFileInEitherWay) {
    Put(kStationFile);
    ASSERT_EQ(::chmod(path_.c_str(), 0666), 0);
    const auto growTheFile = [this] {
        IniFile ini(path_);
        ini.WriteString("Form", "Titel", std::string(4000, 'x'));
        return !ini.Save();  // a failed save, not an end by SIGXFSZ
    };
    const rlim_t limit = kStationFile.size() + 100;
    ASSERT_EQ(::chmod(folder_.c_str(), 0777), 0);
    EXPECT_TRUE(AsOtherUser(growTheFile, limit)) << "atomic replace";
    EXPECT_EQ(Get(), kStationFile);
    ASSERT_EQ(::chmod(folder_.c_str(), 0555), 0);
    EXPECT_TRUE(AsOtherUser(growTheFile, limit)) << "in place";
    EXPECT_EQ(Get(), kStationFile);
}

#endif

TEST_F(IniFileInFolder, failingRenameLeavesNoTemporaryFileBehind) {
    // A folder where the file should be: the rename over it fails.
    path_ = folder_ + "/blocked.INI";
    ASSERT_TRUE(std::filesystem::create_directories(path_ + "/inside"));
    IniFile ini(path_);
    ini.WriteInteger("Form", "Top", 1);
    EXPECT_FALSE(ini.Save());
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"blocked.INI"});
}

TEST_F(IniFileInFolder, leftoversOfAKilledSaveAreRemovedByTheNextSaveOnceTheyAreOld) {
    Put(kStationFile);
    const std::string stale = folder_ + "/.tarvo.INI.a1b2c3";
    const std::string fresh = folder_ + "/.tarvo.INI.d4e5f6";
    const std::string foreign = folder_ + "/.tarvo.INI.backup1";  // not a name of ours
    for (const auto& f : {stale, fresh, foreign}) std::ofstream(f) << "[Form]\r\nTop=";
    const auto hourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    std::filesystem::last_write_time(stale, hourAgo);
    std::filesystem::last_write_time(foreign, hourAgo);

    IniFile ini(path_);
    ini.WriteInteger("Form", "Top", 7);
    ASSERT_TRUE(ini.Save());
    auto names = FolderEntries();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".tarvo.INI.backup1", ".tarvo.INI.d4e5f6", "tarvo.INI"}));
}

#ifndef _WIN32  // symbolic links and permission bits
TEST_F(IniFileInFolder, saveThroughALinkReplacesTheTargetAndKeepsTheLink) {
    const std::string target = folder_ + "/real.INI";
    std::ofstream(target, std::ios::binary) << "[Form]\r\nTop=1\r\n";
    ASSERT_EQ(::symlink(target.c_str(), path_.c_str()), 0);
    IniFile ini(path_);
    ini.WriteInteger("Form", "Top", 2);
    ASSERT_TRUE(ini.Save());
    struct stat info {};
    ASSERT_EQ(::lstat(path_.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(IniFile(target).ReadInteger("Form", "Top", 0), 2);
}

TEST_F(IniFileInFolder, saveKeepsTheFilePermissions) {
    Put(kStationFile);
    ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
    IniFile ini(path_);
    ini.WriteInteger("Form", "Top", 1);
    ASSERT_TRUE(ini.Save());
    struct stat info {};
    ASSERT_EQ(::stat(path_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

#endif

// --- Any input --------------------------------------------------------------------------------

TEST(IniFileParse, garbageNulBytesAndHugeLinesNeitherCrashNorConfuseTheReader) {
    IniFile ini("/nonexistent/folder/x.INI");
    std::mt19937 random(42);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(static_cast<std::size_t>(random() % 400), '\0');
        for (char& c : bytes) c = "[]=;\r\n \t\"'aZ\0\x80\xC3\xFF"[random() % 16];
        ini.Parse(bytes);
        (void)ini.ReadInteger("a", "a", 0);
        ini.WriteString("a", "Z", bytes);
        ini.EraseSection("]");
    }
    ini.Parse("[Form]\r\nTitel=" + std::string(1 << 20, 'x') + std::string("\0\0=\0", 4) + "\r\nTop=3");
    EXPECT_EQ(ini.ReadString("Form", "Titel", "").size(), (1u << 20) + 4);
    EXPECT_EQ(ini.ReadInteger("Form", "Top", 0), 3);
    ini.WriteInteger("Form", "Top", 4);
    EXPECT_FALSE(ini.Save()) << "a file in a missing folder cannot be saved";
}

}  // namespace
