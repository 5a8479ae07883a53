// What a station answers to each kind of read, and how writes change its store.
#include <gtest/gtest.h>

#include "support/SimTestUtil.h"
#include "sim/BusFile.h"

namespace {

class StationAnswer : public ::testing::Test {
protected:
    StationAnswer() {
        Station s(5, 0x1234, "bar");
        s.value().level = -200;
        bus.add(s);
    }
    std::vector<std::uint8_t> ask(std::uint8_t code, std::initializer_list<std::uint8_t> data = {}) {
        t += 200;
        return Exchange(bus, Frame(5, code, data), t, kLocal);
    }
    // 2026-03-14 (a Saturday) 13:45:30 local.
    static constexpr std::int64_t kLocal = 1773495930;
    Bus bus;
    double t = 0;
};

TEST_F(StationAnswer, typeIsReportedAsTheNumberWithItsHexDigits) {
    EXPECT_EQ(ask(0x30), Hex("02 05 05 04 D2 E2"));  // 1234 = 0x04D2
}

TEST_F(StationAnswer, measuredValueIsSignedHighByteFirst) {
    EXPECT_EQ(ask(0x31), Hex("02 05 05 FF 38 43"));  // -200
}

TEST_F(StationAnswer, flagIsWrittenThenReadBackInBitZeroOfTheOnlyDataByte) {
    EXPECT_EQ(ask(0x96, {0x01}), Hex("06"));
    const auto answer = ask(0x16);
    ASSERT_EQ(answer.size(), 5u);
    EXPECT_EQ(answer[2], 4);
    EXPECT_EQ(answer[3] & 1, 1);
}

TEST_F(StationAnswer, relayValuesAnswerTwelveBits) {
    EXPECT_EQ(ask(0xD2, {0xFF, 0xF4}), Hex("06"));  // -12 as the PC sends it
    EXPECT_EQ(ask(0x52), Hex("02 05 05 0F F4 0F"));
}

TEST_F(StationAnswer, rangeValuesKeepAllSixteenBits) {
    ask(0xC0, {0xFF, 0x38});
    EXPECT_EQ(ask(0x40), Hex("02 05 05 FF 38 43"));
}

TEST_F(StationAnswer, unitTextIsThreeCharacters) {
    EXPECT_EQ(ask(0x60), Hex("02 05 06 62 61 72 42"));
    ask(0xE0, {'k', 'W', 'h'});
    const auto answer = ask(0x60);
    EXPECT_EQ(std::string(answer.begin() + 3, answer.begin() + 6), "kWh");
}

TEST_F(StationAnswer, clockReadsHostTimeInBcd) {
    const auto time = ask(0x35);
    EXPECT_EQ(std::vector<std::uint8_t>(time.begin() + 3, time.begin() + 5), Hex("13 45"));
    const auto day = ask(0x36);
    EXPECT_EQ(day[3], 0x14);
    EXPECT_EQ(day[4], 5);  // Saturday
    const auto date = ask(0x37);
    EXPECT_EQ(date[3], 0x03);
    EXPECT_EQ(date[4], 0x26);
}

TEST_F(StationAnswer, clockWritesShiftTheClockAndKeepRunning) {
    EXPECT_EQ(ask(0xB7, {0x02, 0x26}), Hex("06"));  // February first: 28 days
    EXPECT_EQ(ask(0xB5, {0x23, 0x59}), Hex("06"));
    EXPECT_EQ(ask(0xB6, {0x31, 0x06}), Hex("06"));
    EXPECT_EQ(ask(0xB7, {0x12, 0x99}), Hex("06"));  // the 31st survives a shorter running month
    const auto time = Exchange(bus, Frame(5, 0x35), t + 200, kLocal + 60);
    ASSERT_EQ(time.size(), 6u);
    EXPECT_EQ(time[3], 0x00);  // one minute later: midnight, next day
    const auto day = Exchange(bus, Frame(5, 0x36), t + 400, kLocal + 60);
    EXPECT_EQ(day[3], 0x01);
    EXPECT_EQ(day[4], 0);  // Sunday was written, so Monday follows
    const auto date = Exchange(bus, Frame(5, 0x37), t + 600, kLocal + 60);
    EXPECT_EQ(date[3], 0x01);
    EXPECT_EQ(date[4], 0x00);
}

TEST_F(StationAnswer, invalidClockValueIsRefused) {
    EXPECT_EQ(ask(0xB5, {0x24, 0x00}), Hex("15"));
    EXPECT_EQ(ask(0xB7, {0x1A, 0x26}), Hex("15"));
}

TEST_F(StationAnswer, cycleValueIsKeptBesideTheSeconds) {
    ask(0xB8, {0x58, 200});
    EXPECT_EQ(ask(0x38)[4], 200);
}

TEST_F(StationAnswer, unknownCommandIsRefusedWithNak) {
    EXPECT_EQ(ask(0x44), Hex("15"));
}

TEST_F(StationAnswer, requestWithTheWrongNumberOfDataBytesGetsNoAnswer) {
    EXPECT_TRUE(ask(0xD0, {0x01}).empty());
    EXPECT_TRUE(ask(0x31, {0x00}).empty());
}

TEST_F(StationAnswer, resetAndClearFlagAreAcknowledged) {
    EXPECT_EQ(ask(0x9A, {0x00}), Hex("06"));
    EXPECT_EQ(ask(0x9B), Hex("06"));
}

TEST(StationType, onlyTypesWithDecimalDigitsCanBeReported) {
    EXPECT_TRUE(Station::TypeReportable(0x3590));
    EXPECT_FALSE(Station::TypeReportable(0x4A05));
    std::uint16_t type = 0;
    EXPECT_FALSE(ParseTypeCode("4A05", type));
    EXPECT_TRUE(ParseTypeCode("0x0095", type));
    EXPECT_EQ(type, 0x0095);
}

}  // namespace
