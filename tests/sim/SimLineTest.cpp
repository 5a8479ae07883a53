// The PC's real link code against simulated stations in the same process (SimLine): every
// command round-trips, the PC's ACK/NAK reach the station, faults fail the command, and
// broadcast latching works. Virtual time: nothing here waits for the line.
#include <gtest/gtest.h>

#include "support/CommandRoundTrips.h"
#include "link/QtvParameters.h"
#include "sim/CommandTable.h"
#include "support/FakeCounter.h"
#include "support/LinkReset.h"
#include "support/SimLine.h"

namespace {

class OverSimLine : public ::testing::Test {
protected:
    void SetUp() override {
        counter.setStepMs(1);  // the link's busy waits end at once
        ASSERT_TRUE(InitSio(1));
        BusAdresse = 1;
    }
    LinkReset linkReset;
    FakeCounter counter;
    SimulatedBus sim;
};

TEST_F(OverSimLine, everyReadAndWriteCommandRoundTrips) {
    roundtrip::ExpectEveryCommandRoundTrips();
    EXPECT_EQ(sim.station(1).paramText("SP1Wert", {}), "300");
}

// The link's catalogue against the simulator's own table: the same names for the same codes,
// reads and writes where the station has them, and every number a person may give a parameter
// written and read back unchanged (its range and the form of its bytes as the station keeps them).
TEST_F(OverSimLine, everyCatalogueEntryRoundTripsThroughTheSimulatorsTable) {
    for (const QtvParameter& p : QtvParameters()) {
        SCOPED_TRACE(p.name);
        const bool reads = !std::holds_alternative<std::monostate>(p.read);
        const bool writes = !std::holds_alternative<std::monostate>(p.write);
        const auto writeCode = static_cast<std::uint8_t>(p.readCode | kQtvWriteBit);
        const CommandInfo* info = FindCommand(reads ? p.readCode : writeCode);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->readable, reads);
        EXPECT_EQ(info->writable, writes);
        if (reads) { EXPECT_EQ(CommandName(p.readCode), std::string("Read") + p.name); }
        const bool valueless = std::holds_alternative<std::int32_t (*)()>(p.write);
        if (writes) { EXPECT_EQ(CommandName(writeCode), (valueless ? "" : std::string("Write")) + p.name); }
        if (p.low == p.high) continue;
        for (const long value : {p.high, p.low, (p.low + p.high) / 2}) {
            EXPECT_EQ(WriteQtvNumber(p, value), 1) << value;
            EXPECT_EQ(ReadQtvNumber(p), value);
        }
    }
}

TEST_F(OverSimLine, clockCommandsRoundTrip) {
    roundtrip::ExpectClockRoundTrips();
}

TEST_F(OverSimLine, typeAndMeasuredValue) {
    BusAdresse = 2;
    EXPECT_EQ(ReadID(), 3520);
    sim.station(2).value() = ValueSettings{ValueMode::Constant, -200, 0, 1, OutOfRange::None};
    EXPECT_EQ(ReadMWert(), -200);
    sim.station(2).value().outOfRange = OutOfRange::Over;
    EXPECT_EQ(ReadMWert(), 32767);
}

TEST_F(OverSimLine, pcAcknowledgesEachAnswerAndTheStationKnowsWhich) {
    ReadMWert();
    EXPECT_EQ(sim.station(1).record().pcAck, PcAck::Ack);
    SetFault(sim.station(1).faults(), "badsum", std::nullopt);
    ReadMWert();
    EXPECT_EQ(SioErgebnis, 0);
    EXPECT_EQ(sim.station(1).record().pcAck, PcAck::Nak);
}

TEST_F(OverSimLine, everyFaultFailsTheCommandAndClearingItHeals) {
    for (const char* fault : {"silent", "nak", "badsum", "stxsilence", "longlen", "garbage"}) {
        Faults& f = sim.station(1).faults();
        SetFault(f, fault, std::nullopt);
        ReadMWert();
        EXPECT_EQ(SioErgebnis, 0) << fault;
        EXPECT_EQ(WriteSP1Aktiv(1), fault == std::string("badsum") || fault == std::string("longlen") ? 1 : 0) << fault;
        ClearFault(f, "all");
        ReadMWert();
        EXPECT_EQ(SioErgebnis, 1) << "after " << fault;
    }
}

TEST_F(OverSimLine, answerWithAnotherAddressIsRefusedAndRecordedForThatAddress) {
    SetFault(sim.station(1).faults(), "foreign", 7);
    ReadMWert();
    EXPECT_EQ(SioErgebnis, 0);
    EXPECT_EQ(FremdAntworten[7][0], STX);
    EXPECT_EQ(sim.station(1).record().pcAck, PcAck::Nak);
}

TEST_F(OverSimLine, questionMarkFaultMarksMaximumRead) {
    SetFault(sim.station(1).faults(), "q3f", std::nullopt);
    std::uint8_t area[4] = {};
    EXPECT_EQ(ReadMaxWert(area), 1);
    EXPECT_EQ(area[0], 0x3F);
}

TEST_F(OverSimLine, droppedAnswersFailOnlyTheirCommand) {
    SetFault(sim.station(1).faults(), "drop", 2);
    EXPECT_NE(ReadID(), 0xFFFF);
    EXPECT_EQ(ReadID(), 0xFFFF);
    EXPECT_NE(ReadID(), 0xFFFF);
}

TEST_F(OverSimLine, broadcastLatchesEveryStationsValue) {
    for (std::uint8_t a : {1, 2, 3, 4}) sim.station(a).value() = ValueSettings{ValueMode::Constant, 10 * a, 0, 1, OutOfRange::None};
    Broadcast = true;
    ReadMWert();
    EXPECT_EQ(SioErgebnis, 1);  // a broadcast is written, never answered
    sim.station(3).value().level = 999;
    BusAdresse = 3;
    EXPECT_EQ(ReadBroadcast(), 30);
    EXPECT_EQ(SioErgebnis, 1);
    EXPECT_TRUE(Broadcast);
    EXPECT_EQ(sim.station(1).record().lastRequest->address, kBroadcastAddress);
}

TEST_F(OverSimLine, broadcastWriteReachesEveryStation) {
    Broadcast = true;
    EXPECT_EQ(WriteSP2Wert(222), 1);
    Broadcast = false;
    for (std::uint8_t a : {1, 2, 3, 4}) EXPECT_EQ(sim.station(a).paramText("SP2Wert", {}), "222");
}

TEST_F(OverSimLine, networkModeSendsTheRequestInOneWrite) {
    Internet = 1;
    EXPECT_EQ(ReadID(), 3510);
    Internet = 0;
    EXPECT_EQ(ReadID(), 3510);
}

}  // namespace
