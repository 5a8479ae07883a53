// qtvctl's parameter set and clock actions in-process against simulated stations (virtual
// time): what each prints, one line per parameter or station, and its exit status.

#include <algorithm>
#include <fstream>

#include "support/ServiceFixture.h"
#include "tools/qtvctl/Options.h"
#include "tools/qtvctl/ServiceActions.h"

namespace {
struct Printed {
    int status;
    std::string output;
    int Lines() const { return static_cast<int>(std::count(output.begin(), output.end(), '\n')); }
    bool Says(const std::string& text) const { return output.find(text) != std::string::npos; }
};
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
    EXPECT_EQ(out.Lines(), 1 + 24 + 1) << out.output;  // type, parameters, summary
    EXPECT_TRUE(out.Says("SP1Wert    \"800\"\n") && out.Says("saved 24 of 24 parameters to " + file))
        << out.output;
    EXPECT_EQ(Qtvctl({"2", "compare", file}).status, 0);

    sim.station(2).setParam("SP1Wert", "123");
    out = Qtvctl({"2", "compare", file});
    EXPECT_EQ(out.status, 1) << out.output;
    EXPECT_TRUE(out.Says("1 of 24 parameters differ: SP1Wert")) << out.output;

    out = Qtvctl({"2", "restore", file});
    EXPECT_EQ(out.status, 0) << out.output;
    EXPECT_EQ(out.Lines(), 24 + 1) << out.output;
    EXPECT_EQ(Qtvctl({"2", "compare", file}).status, 0);

    sim.station(2).faults().silent = true;
    EXPECT_EQ(Qtvctl({"2", "backup", Path("other.ini")}).status, 1);
    EXPECT_EQ(Qtvctl({"--force", "2", "restore", file}).status, 1);
}

TEST_F(QtvctlActions, aPipeIsNeverWaitedForAndABadEntryWritesNothing) {
    EXPECT_EQ(Qtvctl({"2", "compare", PipeWithoutWriter("pipe.ini")}).status, 1);  // returns: nothing blocks
    std::ofstream(file) << "[Parameter]\r\nKomma=+-5\r\n";
    const Printed out = Qtvctl({"2", "restore", file});
    EXPECT_EQ(out.status, 1);
    EXPECT_NE(out.output.find("nothing written: invalid entries in " + file + ": Komma=+-5"), std::string::npos)
        << out.output;
}

TEST_F(QtvctlActions, anotherDeviceTypeIsWrittenOnlyWhenForced) {
    ASSERT_EQ(Qtvctl({"2", "backup", file}).status, 0);
    Printed out = Qtvctl({"1", "restore", file});
    EXPECT_EQ(out.status, 1) << out.output;
    EXPECT_TRUE(out.Says("type: file QTV350-020, station QTV350-010") && out.Says("nothing written"))
        << out.output;
    EXPECT_EQ(sim.station(1).paramText("DTxt", {}), "bar");
    EXPECT_EQ(Qtvctl({"--force", "1", "restore", file}).status, 0);
    EXPECT_EQ(sim.station(1).paramText("DTxt", {}), "kWh");
}

TEST_F(QtvctlActions, clocksOfOneStationAndOfAllThatAnswer) {
    pcAheadMs = 30'000;
    Printed out = Qtvctl({"3", "setclock"});
    EXPECT_EQ(out.status, 0) << out.output;
    EXPECT_EQ(out.output,
              "station  3: clock 05.01.26 12:00:00, deviation -30 s; set (deviation after 0 s)\n");

    sim.station(4).faults().silent = true;  // absent like the addresses without a station
    out = Qtvctl({"--all", "setclock"});
    EXPECT_EQ(out.status, 0) << out.output;
    EXPECT_EQ(out.Lines(), 3 + 1) << out.output;
    EXPECT_TRUE(out.Says("3 station(s) answered, 3 set, 0 failed")) << out.output;

    for (std::uint8_t a : {1, 2, 3})
        sim.station(a).faults().silent = true;
    EXPECT_EQ(Qtvctl({"--all", "setclock"}).status, 1);  // nothing answered: nothing was set
    EXPECT_EQ(Qtvctl({"3", "setclock"}).status, 1);
}
