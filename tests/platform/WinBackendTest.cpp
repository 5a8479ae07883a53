// The Windows backend under Wine. The COM-port cases run against qtvsim behind Wine's COM mapping
// ($WINEPREFIX/dosdevices/comN, a link to the simulator's pseudo-terminal) and are skipped when
// the environment names no port (.ci/windows sets them up):
//   TARVO_WINE_COM       the port with qtvsim; station 1 answers at once, 2 sends its reply a
//                        byte per 15 ms, 3 a byte per 150 ms
//   TARVO_WINE_FULL_COM  a port mapped to /dev/full, where every write fails
#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "link/Telegram.h"
#include "platform/AppendFile.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/PlainFile.h"
#include "platform/Process.h"
#include "platform/SerialLine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <windows.h>

namespace {

using Clock = std::chrono::steady_clock;

unsigned PortFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value ? static_cast<unsigned>(std::atoi(value)) : 0;
}

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class ComPort : public ::testing::Test {
protected:
    void SetUp() override {
        port_ = PortFromEnvironment("TARVO_WINE_COM");
        if (port_ == 0) GTEST_SKIP() << "TARVO_WINE_COM names no port with qtvsim behind it";
        line_ = NewSerialLine();
        ASSERT_TRUE(line_->open(port_));
        ASSERT_TRUE(line_->configure());
    }
    // Reads whatever an earlier case left on the line, so that each case starts on a quiet line.
    void Drain() {
        line_->setTimeouts({20, 0, 50, 0, 0});
        std::uint8_t rest[64];
        while (line_->read(rest, sizeof rest) > 0) {
        }
    }
    void Request(std::uint8_t address) {
        std::uint8_t request[5] = {STX, address, 4, 0x31, 0};  // ReadMWert
        request[4] = TelegramChecksum(request, 4);
        Drain();
        line_->setTimeouts({0, 0, 0, 1, 50});
        ASSERT_TRUE(line_->write(request, sizeof request));
    }
    unsigned port_ = 0;
    std::unique_ptr<SerialLine> line_;
};

TEST_F(ComPort, totalTimeoutEndsAReadOnAQuietLineAfterConstantPlusMultiplierPerByte) {
    Drain();
    std::uint8_t bytes[10];
    line_->setTimeouts({0, 0, 200, 0, 0});
    auto start = Clock::now();
    EXPECT_EQ(line_->read(bytes, sizeof bytes), 0);
    EXPECT_GE(MsSince(start), 190.0);
    EXPECT_LT(MsSince(start), 600.0);

    line_->setTimeouts({0, 20, 100, 0, 0});  // 100 + 20 * 10 bytes
    start = Clock::now();
    EXPECT_EQ(line_->read(bytes, sizeof bytes), 0);
    EXPECT_GE(MsSince(start), 290.0);
    EXPECT_LT(MsSince(start), 800.0);
}

TEST_F(ComPort, intervalTimeoutEndsAReadWhenTheNextByteIsLate) {
    std::uint8_t reply[6];
    Request(2);  // a byte every 15 ms: all six within the same interval
    line_->setTimeouts({60, 0, 3000, 0, 0});
    EXPECT_EQ(line_->read(reply, sizeof reply), 6);
    EXPECT_EQ(reply[0], STX);
    EXPECT_EQ(reply[5], TelegramChecksum(reply, 5));

    Request(3);  // a byte every 150 ms
    line_->setTimeouts({40, 0, 3000, 0, 0});
    const auto start = Clock::now();
    EXPECT_EQ(line_->read(reply, sizeof reply), 1);
    EXPECT_LT(MsSince(start), 1000.0) << "the interval, not the total, ended the read";
    line_->setTimeouts({400, 0, 3000, 0, 0});
    EXPECT_EQ(line_->read(reply + 1, 5), 5) << "a longer interval waits for the rest";
    EXPECT_EQ(reply[5], TelegramChecksum(reply, 5));
}

TEST_F(ComPort, theLinkExchangesWithItsOwnTimeoutsAndGivesUpOnAMissingStationInBoundedTime) {
    line_.reset();  // the link opens the port itself
    ASSERT_TRUE(InitSio(static_cast<std::uint8_t>(port_)));
    BusAdresse = 1;
    (void)ReadMWert();
    EXPECT_EQ(SioErgebnis, 1) << "RTS is not supported on Wine's pseudo-terminal, which must not matter";
    BusAdresse = 2;
    (void)ReadMWert();
    EXPECT_EQ(SioErgebnis, 1) << "15 ms between bytes is within the 50 ms interval";
    BusAdresse = 9;  // nobody there
    const auto start = Clock::now();
    (void)ReadMWert();
    EXPECT_EQ(SioErgebnis, 0);
    EXPECT_LT(MsSince(start), 3000.0);
    ReSetSio();
}

TEST(ComPortFailures, aPortThatIsNotThereDoesNotOpenAndAFailingWriteReportsFalse) {
    auto line = NewSerialLine();
    EXPECT_FALSE(line->open(98));
    EXPECT_FALSE(line->isOpen());
    EXPECT_FALSE(line->write(reinterpret_cast<const std::uint8_t*>("x"), 1));

    const unsigned full = PortFromEnvironment("TARVO_WINE_FULL_COM");
    if (full == 0) GTEST_SKIP() << "TARVO_WINE_FULL_COM names no port";
    ASSERT_TRUE(line->open(full));
    line->setTimeouts({0, 0, 100, 1, 50});
    const std::uint8_t request[6] = {STX, 1, 4, 0x31, 0x38, 0};
    EXPECT_FALSE(line->write(request, sizeof request));
    EXPECT_FALSE(line->deviceGone()) << "a failed write is no lost device";
}

// --- Processes, files, the counter -------------------------------------------------------------

std::string TemporaryFolder() {
    const auto folder = std::filesystem::temp_directory_path() / ("tarvo-win-" + std::to_string(::GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    return folder.string();
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(WindowsProcess, argumentsArriveAsGivenByTheRuntimesRulesAndTheExitCodeComesBack) {
    const std::string folder = TemporaryFolder();
    const std::string out = folder + "\\args.txt";
    const std::vector<std::string> args = {"plain", "two words", "quote\"inside", "trailing\\", "back\\\\\"slash",
                                           "", "tab\there", "C:\\Program Files\\Tarvo\\", "K\xC3\xBChlraum"};
    std::vector<std::string> all{out};
    all.insert(all.end(), args.begin(), args.end());
    EXPECT_EQ(RunProcess({ProgramBesideOrName(ARGS_ECHO), all, folder}), 7);
    std::string expected;
    for (const auto& a : args) expected += a + "\n";
    EXPECT_EQ(Contents(out), expected);

    EXPECT_EQ(RunProcess({folder + "\\missing.exe", {}, ""}), -1);
    std::error_code ignored;  // Wine may still hold the folder for the ended child a moment
    std::filesystem::remove_all(folder, ignored);
}

TEST(WindowsFiles, anOpenRecordingCannotBeDeletedAndRecordsGoToItsEnd) {
    const std::string folder = TemporaryFolder();
    const std::string name = folder + "\\A0101126.QTV";
    ASSERT_TRUE(CreateEmptyFile(name));
    const int handle = OpenForAppend(name);
    ASSERT_GE(handle, 0);
    EXPECT_TRUE(AppendRecord(handle, "1;\r\n"));
    std::ofstream(name, std::ios::binary | std::ios::app) << "other;\r\n";  // another writer
    EXPECT_TRUE(AppendRecord(handle, "2;\r\n"));
    EXPECT_FALSE(::DeleteFileW(std::filesystem::path(name).wstring().c_str())) << "deleted while recording";
    EXPECT_TRUE(HandleStillNamed(handle, name));
    std::ofstream(folder + "\\A0201126.QTV") << "";
    EXPECT_FALSE(HandleStillNamed(handle, folder + "\\A0201126.QTV")) << "another file of its own";
    CloseHandle(handle);
    EXPECT_EQ(Contents(name), "1;\r\nother;\r\n2;\r\n");
    EXPECT_TRUE(::DeleteFileW(std::filesystem::path(name).wstring().c_str()));
    EXPECT_FALSE(CreateEmptyFile(folder)) << "a folder is no recording file";
    std::error_code ignored;  // Wine may still hold the folder for the ended child a moment
    std::filesystem::remove_all(folder, ignored);
}

// The rule for the operator's files: bytes as they are, only regular files, no device opened,
// a link refused unless followed on purpose (then the file it reaches is replaced, the link kept).
TEST(WindowsFiles, onlyRegularFilesAreReadOrReplacedAndALinkOnlyWhenFollowed) {
    const std::string folder = TemporaryFolder();
    const std::string file = folder + "\\set.INI";
    std::ofstream(file, std::ios::binary) << "a=1\r\nb=2\r\n";
    std::string bytes;
    EXPECT_EQ(ReadPlainFile(file, bytes, 100), PlainFile::Regular);
    EXPECT_EQ(bytes, "a=1\r\nb=2\r\n");
    EXPECT_EQ(ReadPlainFile(file, bytes, 9), PlainFile::TooLarge);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(ReadPlainFile(folder + "\\none.INI", bytes, 100), PlainFile::Missing);
    EXPECT_EQ(ReadPlainFile(folder, bytes, 100), PlainFile::Folder);
    for (const char* device : {"NUL", "\\\\.\\COM98", "C:\\x\\com1.txt"}) {
        EXPECT_EQ(InspectPlainFile(device), PlainFile::Special) << device;
    }
    EXPECT_FALSE(ReplaceFileAtomically(folder, "neu"));
    AtomicFileWriter writer;
    EXPECT_FALSE(writer.Open(folder));

    const std::string link = folder + "\\link.INI";
    // Wine reports success and makes no link: the cases need a link that is really there.
    const bool made = ::CreateSymbolicLinkW(std::filesystem::path(link).c_str(), std::filesystem::path(file).c_str(), 0x2);
    const DWORD attributes = ::GetFileAttributesW(std::filesystem::path(link).c_str());
    if (made && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        EXPECT_EQ(InspectPlainFile(link), PlainFile::Link);
        EXPECT_EQ(ReadPlainFile(link, bytes, 100), PlainFile::Link);
        EXPECT_EQ(ReadPlainFile(link, bytes, 100, Links::Follow), PlainFile::Regular);
        EXPECT_FALSE(ReplaceFileAtomically(link, "neu"));
        EXPECT_EQ(Contents(file), "a=1\r\nb=2\r\n");
        EXPECT_TRUE(ReplaceFileAtomically(link, "neu", Links::Follow));
        EXPECT_EQ(Contents(file), "neu");
        EXPECT_EQ(InspectPlainFile(link), PlainFile::Link);
    } else {
        std::printf("no symbolic link here: the link cases are left out\n");
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

TEST(WindowsCounter, thePerformanceCounterRunsWithRealTimeAndWaitsEndOnTime) {
    const HiResCounter& counter = Counter();
    ASSERT_GT(counter.frequency(), 0u);
    const auto start = Clock::now();
    const std::uint64_t target = counter.now() + counter.frequency() * 30 / 1000;
    WaitForCounter(target);
    EXPECT_GE(counter.now(), target);
    EXPECT_GE(MsSince(start), 29.0);
    EXPECT_LT(MsSince(start), 300.0);
}

}  // namespace
