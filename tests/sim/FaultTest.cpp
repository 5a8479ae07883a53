// Each way a station can misbehave on request, and that it comes back when the fault is cleared.
#include <gtest/gtest.h>

#include "support/SimTestUtil.h"

namespace {

class StationFault : public ::testing::Test {
protected:
    StationFault() {
        Station s(3, 0x3510, "bar");
        s.value().level = 0x0102;
        bus.add(s);
    }
    Faults& faults() { return bus.station(3)->faults(); }
    std::vector<std::uint8_t> ask(std::uint8_t code, std::initializer_list<std::uint8_t> data = {}) {
        t += 200;
        return Exchange(bus, Frame(3, code, data), t);
    }
    Bus bus;
    double t = 0;
};

TEST_F(StationFault, silentStationAnswersNothingAndExecutesNothingUntilCleared) {
    SetFault(faults(), "silent", std::nullopt);
    EXPECT_TRUE(ask(0x31).empty());
    EXPECT_TRUE(ask(0xD0, {0x01, 0xF4}).empty());
    EXPECT_EQ(bus.station(3)->paramText("SP1Wert", {}), "800");
    EXPECT_EQ(bus.station(3)->record().requests, 2u);  // it still records what it heard
    ClearFault(faults(), "silent");
    EXPECT_EQ(ask(0x31), Hex("02 03 05 01 02 0D"));
}

TEST_F(StationFault, nakStationRefusesReadsAndWrites) {
    SetFault(faults(), "nak", std::nullopt);
    EXPECT_EQ(ask(0x31), Hex("15"));
    EXPECT_EQ(ask(0xD0, {0x01, 0xF4}), Hex("15"));
    EXPECT_EQ(bus.station(3)->paramText("SP1Wert", {}), "800");
}

TEST_F(StationFault, wrongChecksum) {
    SetFault(faults(), "badsum", std::nullopt);
    EXPECT_EQ(ask(0x31), Hex("02 03 05 01 02 0E"));
}

TEST_F(StationFault, answerCarriesAnotherAddressWithItsOwnRightChecksum) {
    SetFault(faults(), "foreign", 7);
    EXPECT_EQ(ask(0x31), Hex("02 07 05 01 02 11"));
}

TEST_F(StationFault, stxThenSilence) {
    SetFault(faults(), "stxsilence", std::nullopt);
    EXPECT_EQ(ask(0x31), Hex("02"));
    EXPECT_EQ(ask(0x90, {1}), Hex("02"));
}

TEST_F(StationFault, lengthByteBeyondTheAnswerArea) {
    SetFault(faults(), "longlen", std::nullopt);
    const auto answer = ask(0x31);
    ASSERT_GT(answer[2], 14);
    EXPECT_EQ(answer.size(), answer[2] + 1u);
    EXPECT_EQ(answer.back(), TelegramChecksum(answer.data(), answer.size() - 1));
}

TEST_F(StationFault, garbageFirstByte) {
    SetFault(faults(), "garbage", 0x55);
    EXPECT_EQ(ask(0x31)[0], 0x55);
    EXPECT_EQ(ask(0x90, {1}), Hex("55"));
}

TEST_F(StationFault, questionMarkOnlyOnMaximumMinimumAndRangeReads) {
    SetFault(faults(), "q3f", std::nullopt);
    EXPECT_EQ(ask(0x56)[3], 0x3F);
    EXPECT_EQ(ask(0x57)[3], 0x3F);
    EXPECT_EQ(ask(0x40)[3], 0x3F);
    EXPECT_EQ(ask(0x31)[3], 0x01);
    EXPECT_EQ(ask(0x59)[3], 0x00);
}

TEST_F(StationFault, everyKthReplyIsDropped) {
    SetFault(faults(), "drop", 3);
    std::vector<bool> answered;
    for (int i = 0; i < 6; ++i) answered.push_back(!ask(0x31).empty());
    EXPECT_EQ(answered, (std::vector<bool>{true, true, false, true, true, false}));
}

TEST_F(StationFault, trickleSendsOneBytePer40Ms) {
    SetFault(faults(), "trickle", std::nullopt);
    const auto request = Frame(3, 0x31);
    bus.receive(request.data(), request.size(), Moment{1000, 0});
    EXPECT_EQ(bus.takeDue(1000).size(), 1u);
    EXPECT_EQ(bus.takeDue(1039).size(), 0u);
    EXPECT_EQ(bus.takeDue(1080).size(), 2u);
    EXPECT_EQ(bus.takeDue(1200).size(), 3u);
}

TEST_F(StationFault, faultsAreNamedAsTheyAreSwitched) {
    EXPECT_NE(SetFault(faults(), "explode", std::nullopt), "");
    EXPECT_NE(SetFault(faults(), "drop", std::nullopt), "");
    SetFault(faults(), "nak", std::nullopt);
    SetFault(faults(), "drop", 4);
    EXPECT_EQ(DescribeFaults(faults()), "nak drop 4");
    ClearFault(faults(), "all");
    EXPECT_EQ(DescribeFaults(faults()), "none");
}

}  // namespace
