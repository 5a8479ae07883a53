// Requests to every station, the PC's acknowledgement, the byte after the checksum, and timing.
#include <gtest/gtest.h>

#include "support/SimTestUtil.h"

namespace {

class BusBehaviour : public ::testing::Test {
protected:
    BusBehaviour() {
        for (std::uint8_t a : {1, 2, 3}) {
            Station s(a, 0x3510, "bar");
            s.value().level = 100 * a;
            bus.add(s);
        }
    }
    Bus bus;
};

TEST_F(BusBehaviour, broadcastWriteIsExecutedByEveryStationAndNeverAnswered) {
    EXPECT_TRUE(Exchange(bus, Frame(0x20, 0xD0, {0x01, 0xF4}), 0).empty());
    for (std::uint8_t a : {1, 2, 3}) EXPECT_EQ(bus.station(a)->paramText("SP1Wert", {}), "500");
}

TEST_F(BusBehaviour, broadcastReadMWertLatchesAndReadBroadcastAnswersTheLatchedValue) {
    EXPECT_TRUE(Exchange(bus, Frame(0x20, 0x31), 0).empty());
    bus.station(2)->value().level = 999;  // the value moves on; the latch keeps the old one
    EXPECT_EQ(Exchange(bus, Frame(2, 0x61), 200), Hex("02 02 06 06 00 C8 D8"));
}

TEST_F(BusBehaviour, readBroadcastWithoutLatchSaysSoInTheFirstByte) {
    const auto answer = Exchange(bus, Frame(1, 0x61), 0);
    ASSERT_EQ(answer.size(), 7u);
    EXPECT_NE(answer[3], ACK);
}

TEST_F(BusBehaviour, pcAcknowledgementOfAnAnswerIsRecorded) {
    Exchange(bus, Frame(1, 0x31), 0);
    EXPECT_EQ(bus.station(1)->record().pcAck, PcAck::Waiting);
    Exchange(bus, {ACK}, 40);
    EXPECT_EQ(bus.station(1)->record().pcAck, PcAck::Ack);
    Exchange(bus, Frame(1, 0x31), 200);
    Exchange(bus, {NAK}, 240);
    EXPECT_EQ(bus.station(1)->record().pcAck, PcAck::Nak);
    EXPECT_EQ(bus.station(1)->record().acks, 1u);
    EXPECT_EQ(bus.station(1)->record().naks, 1u);
}

TEST_F(BusBehaviour, nextRequestWithoutAcknowledgementRecordsNone) {
    Exchange(bus, Frame(1, 0x31), 0);
    Exchange(bus, Frame(2, 0x31), 200);
    EXPECT_EQ(bus.station(1)->record().pcAck, PcAck::None);
}

TEST_F(BusBehaviour, byteAfterTheChecksumIsTolerated) {
    auto request = Frame(1, 0x31);
    request.push_back(0x06);  // what the PC's buffer happened to hold
    const auto answer = Exchange(bus, request, 0);
    EXPECT_EQ(answer.size(), 6u);
    EXPECT_EQ(bus.station(1)->record().pcAck, PcAck::Waiting);
    Exchange(bus, {NAK}, 40);
    EXPECT_EQ(bus.station(1)->record().pcAck, PcAck::Nak);
}

TEST_F(BusBehaviour, byteAfterTheChecksumArrivingAfterTheAnswerLeftIsTolerated) {
    EXPECT_EQ(Exchange(bus, Frame(1, 0x31), 0).size(), 6u);
    Exchange(bus, {STX}, 0.5);  // would otherwise begin a request and swallow the NAK
    Exchange(bus, {NAK}, 40);
    EXPECT_EQ(bus.station(1)->record().pcAck, PcAck::Nak);
}

TEST_F(BusBehaviour, nakWhileTheAnswerIsStillLeavingIsRecorded) {
    bus.settings().pacing = true;
    const auto request = Frame(1, 0x31);
    bus.receive(request.data(), request.size(), Moment{0, 0});
    EXPECT_EQ(bus.takeDue(3 * kByteMsAt4800).size(), 4u);
    Exchange(bus, {NAK}, 3 * kByteMsAt4800 + 0.5);
    EXPECT_EQ(bus.station(1)->record().pcAck, PcAck::Nak);
}

TEST_F(BusBehaviour, requestRightAfterAnotherIsNotTakenForTheByteAfterTheChecksum) {
    EXPECT_EQ(Exchange(bus, Frame(1, 0x31), 0).size(), 6u);
    EXPECT_EQ(Exchange(bus, Frame(2, 0x31), 3).size(), 6u);
}

TEST_F(BusBehaviour, replyWaitsForTheDelayAndIsPacedAt4800Baud) {
    bus.settings() = BusSettings{5.0, true};
    const auto request = Frame(1, 0x31);
    bus.receive(request.data(), request.size(), Moment{100, 0});
    EXPECT_TRUE(bus.takeDue(104.9).empty());
    EXPECT_EQ(bus.takeDue(105.0).size(), 1u);
    EXPECT_EQ(bus.takeDue(105.0 + 5 * kByteMsAt4800).size(), 5u);
    EXPECT_FALSE(bus.nextDueMs().has_value());
}

TEST_F(BusBehaviour, requestToAnAbsentStationIsNotAnswered) {
    EXPECT_TRUE(Exchange(bus, Frame(9, 0x31), 0).empty());
}

}  // namespace
