// The control channel: switching faults and values of a running bus and asking what a station
// received.
#include <gtest/gtest.h>

#include "support/SimTestUtil.h"
#include "sim/BusFile.h"
#include "sim/Control.h"

namespace {

class ControlChannel : public ::testing::Test {
protected:
    ControlChannel() { Populate(bus, DefaultBusConfig()); }
    std::string run(const std::string& line) { return control.execute(line, Moment{t, 0}); }
    Bus bus;
    Control control{bus};
    double t = 0;
};

TEST_F(ControlChannel, stationFallsSilentAndComesBack) {
    EXPECT_EQ(run("fault 2 silent"), "ok silent");
    EXPECT_TRUE(Exchange(bus, Frame(2, 0x31), 100).empty());
    EXPECT_EQ(run("clear 2"), "ok none");
    EXPECT_FALSE(Exchange(bus, Frame(2, 0x31), 300).empty());
}

TEST_F(ControlChannel, queryTellsTheLastRequestAndThePcAcknowledgement) {
    Exchange(bus, Frame(1, 0xD0, {0x01, 0xF4}), 100);
    Exchange(bus, Frame(1, 0x31), 300);
    Exchange(bus, {ACK}, 340);
    const std::string q = run("query 1");
    EXPECT_NE(q.find("request=ReadMWert"), std::string::npos) << q;
    EXPECT_NE(q.find("pc=ACK"), std::string::npos) << q;
    EXPECT_NE(q.find("requests=2"), std::string::npos) << q;
    EXPECT_EQ(run("param 1 SP1Wert"), "ok 500");
}

TEST_F(ControlChannel, valueAndModeChangeTheMeasuredValue) {
    EXPECT_EQ(run("value 1 -200"), "ok -200");
    EXPECT_EQ(Exchange(bus, Frame(1, 0x31), 100), Hex("02 01 05 FF 38 3F"));
    EXPECT_EQ(run("value 1 over"), "ok 32767");
    EXPECT_EQ(run("value 1 under"), "ok -32767");
    EXPECT_EQ(run("mode 1 constant 42"), "ok 42");
}

TEST_F(ControlChannel, parameterWithBlanksIsTakenWhole) {
    EXPECT_EQ(run("param 3 DTxt  mV"), "ok  mV");
}

TEST_F(ControlChannel, stationsCanBeAddedAndRemoved) {
    EXPECT_EQ(run("add 9 0095 abc"), "ok");
    EXPECT_EQ(Exchange(bus, Frame(9, 0x30), 100), Hex("02 09 05 00 5F 6F"));
    EXPECT_EQ(run("remove 9"), "ok");
    EXPECT_TRUE(Exchange(bus, Frame(9, 0x30), 300).empty());
}

TEST_F(ControlChannel, mistakesAreAnsweredWithErrors) {
    for (const char* line : {"", "frobnicate", "fault 2", "fault 9 nak", "fault 2 explode", "value 2 lots",
                             "param 2 Nothing 1", "mode 2 wobble", "delay -1", "add 40 3510"}) {
        EXPECT_EQ(run(line).rfind("error ", 0), 0u) << line;
    }
}

}  // namespace
