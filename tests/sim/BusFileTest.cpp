// Describing a bus in a file or on the command line, and the default bus.
#include <gtest/gtest.h>

#include "sim/BusFile.h"

namespace {

TEST(BusDescription, defaultBusHasFourStationsOfDifferentKinds) {
    const BusConfig c = DefaultBusConfig();
    ASSERT_EQ(c.stations.size(), 4u);
    EXPECT_EQ(c.stations[1].type(), 0x3520);
    EXPECT_EQ(c.stations[2].type() & 0xFF, 0x90);
    EXPECT_EQ(c.stations[3].type() & 0xFF, 0x85);
    for (const auto& s : c.stations) EXPECT_NE(s.paramText("DTxt", {}), "   ");
}

TEST(BusDescription, fileSetsStationsValuesFaultsAndParameters) {
    BusConfig c;
    const std::string error = ParseBusFile(
        "; a test bus\n[Bus]\nReplyDelay=3\nPacing=1\n\n[Station 7]\nType=0x0095\nUnit= mV\r\n"
        "Mode=ramp\nLevel=10\nAmplitude=90\nPeriod=2.5\nFault=drop 2, q3f\nSP1Wert=321\n",
        c);
    ASSERT_EQ(error, "");
    EXPECT_DOUBLE_EQ(c.settings.replyDelayMs, 3);
    EXPECT_TRUE(c.settings.pacing);
    ASSERT_EQ(c.stations.size(), 1u);
    const Station& s = c.stations[0];
    EXPECT_EQ(s.address(), 7);
    EXPECT_EQ(s.reportedId(), 95);
    EXPECT_EQ(s.paramText("DTxt", {}), " mV");
    EXPECT_EQ(s.value().mode, ValueMode::Ramp);
    EXPECT_EQ(s.faults().dropEvery, 2u);
    EXPECT_TRUE(s.faults().questionMark);
    EXPECT_EQ(s.paramText("SP1Wert", {}), "321");
}

TEST(BusDescription, mistakesAreNamedWithTheirLine) {
    auto errorOf = [](const char* text) {
        BusConfig c;
        return ParseBusFile(text, c);
    };
    EXPECT_EQ(errorOf("[Station 1]\nType=4A05\n").rfind("line 2:", 0), 0u);
    EXPECT_EQ(errorOf("[Station 40]\nType=3510\n").rfind("line 1:", 0), 0u);
    EXPECT_EQ(errorOf("[Station 1]\nUnit=bar\n").rfind("line 2:", 0), 0u);
    EXPECT_NE(errorOf("[Station 1]\n"), "");
    EXPECT_NE(errorOf("[Station 1]\nType=3510\n[Station 1]\nType=3510\n"), "");
    EXPECT_NE(errorOf("[Station 1]\nType=3510\nSP1Wert=abc\n"), "");
    EXPECT_NE(errorOf("Type=3510\n"), "");
}

TEST(BusDescription, stationFromTheCommandLine) {
    BusConfig c;
    EXPECT_EQ(AddStationArgument("12:3590:%rF", c), "");
    EXPECT_EQ(AddStationArgument("13:0085", c), "");
    EXPECT_NE(AddStationArgument("12:3510", c), "");
    EXPECT_NE(AddStationArgument("0:3510", c), "");
    EXPECT_NE(AddStationArgument("14:35A0", c), "");
    ASSERT_EQ(c.stations.size(), 2u);
    EXPECT_EQ(c.stations[0].paramText("DTxt", {}), "%rF");
}

}  // namespace
