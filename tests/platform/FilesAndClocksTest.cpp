// Recording-file operations, the replaceable clocks and the host resolver.

#include "platform/AppendFile.h"
#include "platform/Clock.h"
#include "platform/Net.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

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
