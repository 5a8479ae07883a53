// What qtvctl tells about a failed exchange, from its watch of the line, against the simulated
// stations' faults (in-process, virtual time); and the clock's bytes as time and date.
#include <gtest/gtest.h>

#include <optional>

#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "platform/Clock.h"
#include "support/FakeCounter.h"
#include "support/LinkReset.h"
#include "support/SimLine.h"
#include "tools/qtvctl/ClockText.h"
#include "tools/qtvctl/ExchangeDiagnosis.h"

namespace {

class QtvctlDiagnosis : public ::testing::Test {
protected:
    void SetUp() override {
        counter.setStepMs(1);
        ASSERT_TRUE(InitSio(1));
        BusAdresse = 1;
        watch.install();
    }
    LinkReset linkReset;  // the watch's trace among the link state, before and after each case
    FakeCounter counter;
    SimulatedBus sim;
    ExchangeWatch watch;
};

TEST_F(QtvctlDiagnosis, eachFaultOfTheStationIsNamed) {
    struct Case {
        const char* fault;
        std::optional<long> argument;
        const char* says;
    };
    const Case cases[] = {
        {"silent", std::nullopt, "no reply"},
        {"nak", std::nullopt, "the station answered NAK"},
        {"badsum", std::nullopt, "wrong checksum"},
        {"foreign", 7, "an answer from station 7, not from station 1"},
        {"stxsilence", std::nullopt, "the reply broke off after 1 byte"},
        {"longlen", std::nullopt, "invalid length byte 0x14"},
        {"garbage", std::nullopt, "the reply began with 0xA5"},
    };
    EXPECT_EQ(ExchangeWatch().whyNoValidAnswer(), "") << "nothing exchanged, nothing to tell";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        ASSERT_EQ(SetFault(sim.station(1).faults(), c.fault, c.argument), "");
        ReadMWert();
        EXPECT_EQ(SioErgebnis, 0);
        EXPECT_NE(watch.whyNoValidAnswer().find(c.says), std::string::npos) << watch.whyNoValidAnswer();
        ASSERT_EQ(ClearFault(sim.station(1).faults(), "all"), "");
    }
    ReadMWert();  // the last exchange counts, not an earlier one
    EXPECT_EQ(SioErgebnis, 1);
    EXPECT_EQ(DiagnoseReply({STX, 1, 4, 0x31, 0x38}, {STX, 1, 5, 0x00, 0x2A}),
              "the reply broke off (5 of 6 bytes)");
}

TEST(QtvctlClockText, clockBytesReadAsTimeAndDate) {
    EXPECT_EQ(ClockText("ReadRTCZeit", 0x06, 0x21), "time 06:21");
    EXPECT_EQ(ClockText("ReadRTCTag", 0x06, 0x03), "day 06, Thursday");
    EXPECT_EQ(ClockText("ReadRTCTag", 0x06, 0x0F), "day 06, Monday");  // 7 counts as Monday
    EXPECT_EQ(ClockText("ReadRTCDatum", 0x12, 0x26), "date 12.26 (month.year)");
    EXPECT_EQ(ClockText("ReadRTCSecZyk", 0x58, 200), "seconds 58, cycle 200");
    EXPECT_EQ(ClockText("WriteRTCTag", 0x31, 0xFF), "day 31, no weekday");
    EXPECT_EQ(ClockText("WriteRTCZeit", 0xFF, 0x5A), "time ??:5?");
    EXPECT_EQ(ClockText("ReadMBAnf", 0x06, 0x21), "");
}

}  // namespace
