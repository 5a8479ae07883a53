// qtvctl's parameter set and clock actions in-process against simulated stations (virtual
// time): what each prints, one line per parameter or station, and its exit status.

#include <algorithm>

#include "ServiceFixture.h"
#include "tools/qtvctl/Options.h"
#include "tools/qtvctl/ServiceActions.h"

namespace {
struct Printed {
    int status;
    std::string output;
};

// The printed line that begins with start (not the first line).
std::string LineStarting(const std::string& text, const std::string& start) {
    const auto from = text.find("\n" + start);
    if (from == std::string::npos) return {};
    return text.substr(from + 1, text.find('\n', from + 1) - from - 1);
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }
}  // namespace

class QtvctlActions : public OverSimBus {
protected:
    Printed Qtvctl(const std::vector<std::string>& args) {
        std::string error;
        const auto options = ParseOptions(args, error);
        EXPECT_TRUE(options) << error;
        if (!options) return {2, error};
        ::testing::internal::CaptureStdout();
        const int status = RunServiceAction(*options);
        return {status, ::testing::internal::GetCapturedStdout()};
    }
    void SetUp() override {
        OverSimBus::SetUp();
        pcAheadMs = 10'000;  // the PC's minute does not end during a test
        file = Path("set.ini");
    }
    std::string file;
};

TEST_F(QtvctlActions, backupCompareRestoreAndCompareAgain) {
    Printed out = Qtvctl({"2", "backup", file});
    EXPECT_EQ(out.status, 0) << out.output;
    EXPECT_EQ(Lines(out.output), 1 + 24 + 1) << out.output;  // type, parameters, summary
    EXPECT_NE(out.output.find("type       QTV350-020\n"), std::string::npos) << out.output;
    EXPECT_NE(out.output.find("SP1Wert    \"800\"\n"), std::string::npos) << out.output;
    EXPECT_NE(out.output.find("saved 24 of 24 parameters to " + file), std::string::npos) << out.output;

    out = Qtvctl({"2", "compare", file});
    EXPECT_EQ(out.status, 0) << out.output;
    EXPECT_NE(out.output.find("all 24 parameters equal"), std::string::npos) << out.output;

    sim.station(2).setParam("SP1Wert", "123");
    out = Qtvctl({"2", "compare", file});
    EXPECT_EQ(out.status, 1) << out.output;
    const std::string line = LineStarting(out.output, "SP1Wert ");
    EXPECT_NE(line.find("file \"800\""), std::string::npos) << line;
    EXPECT_NE(line.find("station \"123\""), std::string::npos) << line;
    EXPECT_NE(line.find("DIFFERS"), std::string::npos) << line;
    EXPECT_NE(out.output.find("1 of 24 parameters differ: SP1Wert"), std::string::npos) << out.output;

    out = Qtvctl({"2", "restore", file});
    EXPECT_EQ(out.status, 0) << out.output;
    EXPECT_EQ(Lines(out.output), 24 + 1) << out.output;
    EXPECT_NE(out.output.find("all 24 parameters written and verified"), std::string::npos) << out.output;
    EXPECT_EQ(Qtvctl({"2", "compare", file}).status, 0);
}

TEST_F(QtvctlActions, anotherDeviceTypeIsWrittenOnlyWhenForced) {
    ASSERT_EQ(Qtvctl({"2", "backup", file}).status, 0);
    Printed out = Qtvctl({"1", "restore", file});
    EXPECT_EQ(out.status, 1) << out.output;
    EXPECT_NE(out.output.find("type: file QTV350-020, station QTV350-010"), std::string::npos) << out.output;
    EXPECT_NE(out.output.find("nothing written"), std::string::npos) << out.output;
    EXPECT_EQ(sim.station(1).paramText("DTxt", {}), "bar");

    out = Qtvctl({"--force", "1", "restore", file});
    EXPECT_EQ(out.status, 0) << out.output;
    EXPECT_EQ(sim.station(1).paramText("DTxt", {}), "kWh");
}

TEST_F(QtvctlActions, whatTheStationDoesNotGiveOrTakeFailsTheAction) {
    ASSERT_EQ(Qtvctl({"2", "backup", file}).status, 0);
    sim.station(2).faults().silent = true;
    Printed out = Qtvctl({"2", "backup", Path("other.ini")});
    EXPECT_EQ(out.status, 1) << out.output;
    EXPECT_NE(out.output.find("saved 0 of 24 parameters"), std::string::npos) << out.output;
    EXPECT_NE(out.output.find("(type not read)"), std::string::npos) << out.output;
    out = Qtvctl({"--force", "2", "restore", file});
    EXPECT_EQ(out.status, 1) << out.output;
    EXPECT_NE(out.output.find("24 of 24 parameters not verified"), std::string::npos) << out.output;
    EXPECT_EQ(Qtvctl({"2", "compare", file}).status, 1);
    EXPECT_EQ(Qtvctl({"2", "backup", Path("no-folder/set.ini")}).status, 1);
}

TEST_F(QtvctlActions, clocksOfOneStationAndOfAllThatAnswer) {
    pcAheadMs = 30'000;
    Printed out = Qtvctl({"3", "setclock"});
    EXPECT_EQ(out.status, 0) << out.output;
    EXPECT_EQ(out.output.substr(0, 52), "station  3: clock 05.01.26 12:00:00, deviation -30 s") << out.output;
    EXPECT_NE(out.output.find("; set (deviation after 0 s)\n"), std::string::npos) << out.output;

    sim.station(4).faults().silent = true;  // absent like the addresses without a station
    out = Qtvctl({"--all", "setclock"});
    EXPECT_EQ(out.status, 0) << out.output;
    EXPECT_EQ(Lines(out.output), 3 + 1) << out.output;
    EXPECT_NE(out.output.find("3 station(s) answered, 3 set, 0 failed"), std::string::npos) << out.output;

    for (std::uint8_t a : {1, 2, 3}) sim.station(a).faults().silent = true;
    out = Qtvctl({"--all", "setclock"});
    EXPECT_EQ(out.status, 1) << out.output;  // nothing answered: nothing was set
    EXPECT_EQ(Qtvctl({"3", "setclock"}).status, 1);
}
