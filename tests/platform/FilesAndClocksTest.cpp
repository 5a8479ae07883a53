// Recording-file operations, the replaceable clocks and the host resolver.

#include "platform/AppendFile.h"
#include "platform/Clock.h"
#include "platform/FileSizeLimit.h"
#include "platform/Net.h"
#include "platform/OwnedLink.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

namespace {

class AppendFileInFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/tarvo-rec-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        folder_ = folder;
        name_ = folder_ + "/05061226.QTV";
    }
    void TearDown() override { std::system(("rm -rf " + folder_).c_str()); }
    std::string Content() const {
        std::ifstream in(name_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string folder_;
    std::string name_;
};

TEST_F(AppendFileInFolder, recordsAreAppendedBehindWhatIsThere) {
    EXPECT_FALSE(FileExists(name_));
    ASSERT_TRUE(CreateEmptyFile(name_));
    EXPECT_TRUE(FileExists(name_));
    EXPECT_EQ(Content(), "");
    const int first = OpenForAppend(name_);
    ASSERT_GE(first, 0);
    EXPECT_TRUE(AppendRecord(first, "12:00:00 0012 bar\r\n"));
    CloseHandle(first);
    const int second = OpenForAppend(name_);  // reopened the same day: nothing is lost
    EXPECT_TRUE(AppendRecord(second, "12:00:01-0003 bar\r\n"));
    CloseHandle(second);
    EXPECT_EQ(Content(), "12:00:00 0012 bar\r\n12:00:01-0003 bar\r\n");
}

TEST_F(AppendFileInFolder, creatingAnExistingFileKeepsItsRecords) {
    std::ofstream(name_, std::ios::binary) << "alt\r\n";
    ASSERT_TRUE(CreateEmptyFile(name_));
    EXPECT_EQ(Content(), "alt\r\n");
}

TEST_F(AppendFileInFolder, missingFileOrFolderCannotBeOpenedOrWritten) {
    EXPECT_EQ(OpenForAppend(name_), -1) << "opening does not create";
    EXPECT_FALSE(CreateEmptyFile(folder_ + "/missing/x.QTV"));
    EXPECT_FALSE(AppendRecord(-1, "x"));
    CloseHandle(-1);
    EXPECT_TRUE(FileExists(folder_)) << "a folder counts as a name that exists";
}

// The body runs in a child that a hanging open would leave to SIGALRM; 0 when it returned true.
int InChild(const std::function<bool()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(10);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_F(AppendFileInFolder, linkOfTheFilesNameIsNeverFollowed) {
    std::ofstream(folder_ + "/victim", std::ios::binary) << "keep\n";
    ASSERT_EQ(::symlink("victim", name_.c_str()), 0);
    const std::string dangling = folder_ + "/06061226.QTV";
    ASSERT_EQ(::symlink("made-through-a-link", dangling.c_str()), 0);
    for (const std::string& link : {name_, dangling}) {
        EXPECT_TRUE(FileExists(link)) << "a link, even to nowhere, is a name that is taken";
        EXPECT_FALSE(CreateEmptyFile(link));
        EXPECT_EQ(OpenForAppend(link), -1);
    }
    EXPECT_FALSE(FileExists(folder_ + "/made-through-a-link"));
    name_ = folder_ + "/victim";
    EXPECT_EQ(Content(), "keep\n");
}

TEST_F(AppendFileInFolder, pipeOfTheFilesNameNeitherBlocksNorIsWritten) {
    ASSERT_EQ(::mkfifo(name_.c_str(), 0666), 0);
    EXPECT_EQ(InChild([this] { return OpenForAppend(name_) == -1; }), 0) << "without a reader";
    EXPECT_EQ(InChild([this] { return !CreateEmptyFile(name_); }), 0);
    const int reader = ::open(name_.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(OpenForAppend(name_), -1) << "with a reader";
    ::close(reader);
}

TEST_F(AppendFileInFolder, fileSizeLimitFailsTheRecordThatCrossesItAndKeepsWholeRecords) {
    ASSERT_TRUE(CreateEmptyFile(name_));
    const std::string record = "12:00:00 0012 bar\r\n";  // 19 bytes
    EXPECT_EQ(InChild([&] {
                  IgnoreFileSizeLimitSignal();
                  const rlimit limit{50, 50};
                  if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return false;
                  const int handle = OpenForAppend(name_);
                  const bool fits = AppendRecord(handle, record) && AppendRecord(handle, record);
                  const bool crosses = AppendRecord(handle, record);
                  CloseHandle(handle);
                  return fits && !crosses;
              }),
              0)
        << "the process must live on and see the failed write";
    EXPECT_EQ(Content(), record + record);
}

TEST_F(AppendFileInFolder, ownedLinkIsRemovedOnlyWhileItIsTheLinkThatWasMade) {
    const std::string link = folder_ + "/COM1";
    OwnedLink owned;
    ASSERT_TRUE(owned.make("/dev/pts/77", link));
    EXPECT_TRUE(owned.stillThere());
    const LinkIdentity made = owned.identity();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));  // a later moment on a coarse clock
    ASSERT_EQ(::unlink(link.c_str()), 0);
    ASSERT_EQ(::symlink("/dev/pts/77", link.c_str()), 0);  // someone else's, maybe even the same inode
    EXPECT_FALSE(owned.stillThere());
    EXPECT_TRUE(RemoveLinkIfStill(link, made));
    owned.remove();
    EXPECT_EQ(IdentifyLink(link)->target, "/dev/pts/77") << "the other link stays";
}

TEST(Clocks, installedCounterIsUsedAndAnEmptyOneRestoresTheSteadyClock) {
    std::uint64_t ticks = 0;
    SetCounter({[] { return std::uint64_t{95000}; }, [&] { return ticks += 95; }});
    EXPECT_EQ(Counter().frequency(), 95000u);
    EXPECT_EQ(CounterMilliseconds(), 1u);
    SetCounter({});
    EXPECT_EQ(Counter().frequency(), 1'000'000'000u);
    const std::uint64_t a = Counter().now();
    EXPECT_GE(Counter().now(), a);
}

TEST(Clocks, onlyTheSteadyClockCountsAsRealAndAWaitOnItNeverEndsEarly) {
    EXPECT_TRUE(CounterIsRealClock());
    const std::uint64_t target = Counter().now() + 3 * Counter().frequency() / 1000;  // 3 ms
    WaitForCounter(target);  // most of it asleep, the last millisecond read
    EXPECT_GE(Counter().now(), target);
    SetCounter({[] { return std::uint64_t{1'000'000'000}; }, [] { return std::uint64_t{5}; }});
    EXPECT_FALSE(CounterIsRealClock());
    SetCounter({});
    EXPECT_TRUE(CounterIsRealClock());
}

TEST(Clocks, aWaitOnATestCounterOnlyReadsItWhateverItsReadingsMean) {
    // Readings far beyond the steady clock's present: a wait that slept until the reading as a
    // moment of the steady clock would never return.
    std::uint64_t ticks = std::uint64_t{1} << 62;
    int readings = 0;
    SetCounter({[] { return std::uint64_t{1'000'000'000}; }, [&] {
                    ++readings;
                    return ticks += 1'000'000;  // a millisecond per reading
                }});
    WaitForCounter(ticks + 10'000'000);  // ten readings' worth, well beyond the spin margin
    EXPECT_GE(ticks, (std::uint64_t{1} << 62) + 10'000'000);
    EXPECT_LE(readings, 12);
    SetCounter({});
}

TEST(Clocks, millisecondsDoNotOverflowOnALargeCounter) {
    SetCounter({[] { return std::uint64_t{1'000'000'000}; }, [] { return std::uint64_t{1} << 62; }});
    EXPECT_EQ(CounterMilliseconds(), (std::uint64_t{1} << 62) / 1'000'000);
    SetCounter({});
}

TEST(Clocks, wallClockCanBeReplacedAndSystemWeekdayStartsOnMonday) {
    SetWallClock([] { return LocalDateTime{2026, 12, 6, 23, 59, 59, 6}; });
    EXPECT_EQ(LocalNow().day, 6);
    SetWallClock({});
    const LocalDateTime now = LocalNow();
    EXPECT_GE(now.year, 2024);
    EXPECT_GE(now.weekday, 0);
    EXPECT_LE(now.weekday, 6);
    std::time_t t = std::time(nullptr);
    std::tm parts{};
    ::localtime_r(&t, &parts);
    const char* days[] = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
    const char* ours[] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
    if (now.day == parts.tm_mday) {
        EXPECT_STREQ(ours[now.weekday], days[parts.tm_wday]);
    }
}

TEST(HostNames, dottedAddressResolvesToItsBytesAndEmptyNameToNothing) {
    EXPECT_EQ(ResolveHostIpv4("192.168.1.20"), (Ipv4Address{192, 168, 1, 20}));
    EXPECT_EQ(ResolveHostIpv4("localhost"), (Ipv4Address{127, 0, 0, 1}));
    EXPECT_FALSE(ResolveHostIpv4("").has_value());
    SetHostResolver([](const std::string&) { return Ipv4Address{10, 0, 0, 1}; });
    EXPECT_EQ(ResolveHostIpv4("qtv-server"), (Ipv4Address{10, 0, 0, 1}));
    SetHostResolver({});
}

}  // namespace
