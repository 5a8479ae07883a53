// The read and write time-out rules of a COM port, without any device or waiting.

#include "platform/SerialDeadlines.h"

#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;
const SerialClock::time_point kStart{milliseconds(1'000'000)};
// The bus link's two sets of time-outs (command-set port, port object).
constexpr SerialTimeouts kCommandSetTimeouts{50, 1, 100, 1, 50};
constexpr SerialTimeouts kPortObjectTimeouts{40, 1, 80, 1, 40};

TEST(ReadDeadline, totalTimeIsConstantPlusMultiplierTimesRequestedBytes) {
    EXPECT_EQ(ReadDeadline(kCommandSetTimeouts, 1, kStart, std::nullopt), kStart + milliseconds(101));
    EXPECT_EQ(ReadDeadline(kPortObjectTimeouts, 1, kStart, std::nullopt), kStart + milliseconds(81));
    EXPECT_EQ(ReadDeadline(kCommandSetTimeouts, 4, kStart, std::nullopt), kStart + milliseconds(104));
}

TEST(ReadDeadline, intervalAfterTheLastByteEndsTheReadEarlier) {
    const auto lastByte = kStart + milliseconds(10);
    EXPECT_EQ(ReadDeadline(kCommandSetTimeouts, 4, kStart, lastByte), lastByte + milliseconds(50));
}

TEST(ReadDeadline, totalTimeStillLimitsAReadWhoseBytesKeepComing) {
    const auto lastByte = kStart + milliseconds(90);
    EXPECT_EQ(ReadDeadline(kCommandSetTimeouts, 4, kStart, lastByte), kStart + milliseconds(104));
}

TEST(ReadDeadline, withoutTotalsOnlyTheIntervalEndsARead) {
    const SerialTimeouts intervalOnly{30, 0, 0, 0, 0};
    EXPECT_EQ(ReadDeadline(intervalOnly, 8, kStart, std::nullopt), SerialClock::time_point::max());
    EXPECT_EQ(ReadDeadline(intervalOnly, 8, kStart, kStart + milliseconds(5)), kStart + milliseconds(35));
}

TEST(ReadDeadline, maximalIntervalWithoutTotalsReturnsAtOnce) {
    const SerialTimeouts atOnce{kReadReturnsAtOnce, 0, 0, 0, 0};
    EXPECT_EQ(ReadDeadline(atOnce, 8, kStart, std::nullopt), kStart);
}

TEST(WriteDeadline, isConstantPlusMultiplierTimesBytes) {
    EXPECT_EQ(WriteDeadline(kCommandSetTimeouts, 6, kStart), kStart + milliseconds(56));
    EXPECT_EQ(WriteDeadline(SerialTimeouts{}, 6, kStart), SerialClock::time_point::max());
}

TEST(WriteDeadline, hugeCountsAndFactorsDoNotWrapAround) {
    const SerialTimeouts huge{0, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
    EXPECT_GT(WriteDeadline(huge, static_cast<std::size_t>(-1), kStart), kStart);
    EXPECT_GT(ReadDeadline(huge, static_cast<std::size_t>(-1), kStart, std::nullopt), kStart);
}

}  // namespace
