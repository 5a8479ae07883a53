// Setting a station's clock from the PC's against simulated stations whose clocks run off:
// the deviation before is shown, the clock is within one second afterwards wherever in a
// second the writes fall, a minute is never split between the writes, the cycle value stays.

#include <cmath>

#include "support/ServiceFixture.h"
#include "link/QtvCommands.h"
#include "service/ClockSetting.h"

namespace {
// Virtual time moves only with the exchanges; the PC's waits move it too.
constexpr std::int64_t kMinuteMs = 60'000;
}  // namespace

class ClockSetting : public OverSimBus {
protected:
    PcClock Pc() {
        return PcClock{[this] { return PcNow(); },
                       [this](unsigned ms) {
                           sleeps.push_back(ms);
                           sim.advance(ms);
                       }};
    }
    // The station's clock as read now, in local milliseconds (whole seconds).
    std::int64_t StationMs(std::uint8_t address) {
        const Moment now{sim.nowMs(), kStationStartMs / 1000 + static_cast<std::int64_t>(sim.nowMs() / 1000)};
        auto bcd = [&](const char* p) {
            unsigned high = 0, low = 0;
            std::sscanf(sim.station(address).paramText(p, now).c_str(), "%X %X", &high, &low);
            return std::pair<int, int>{int(high >> 4) * 10 + int(high & 15),
                                       int(low >> 4) * 10 + int(low & 15)};
        };
        const auto [hour, minute] = bcd("RTCZeit");
        const auto [month, year] = bcd("RTCDatum");
        return LocalMilliseconds(
            LocalDateTime{2000 + year, month, bcd("RTCTag").first, hour, minute, bcd("RTCSecZyk").first});
    }
    std::vector<unsigned> sleeps;
};

TEST_F(ClockSetting, aStationMinutesBehindIsShownSoAndSetToTheSecond) {
    // Wherever within a second the exchanges happen to fall, the second sent is the one the PC
    // shows when the request arrives.
    for (int tenth = 0; tenth < 10; ++tenth) {
        sim.advance(1000.0 - std::fmod(sim.nowMs(), 1000.0) + tenth * 100.0);
        pcAheadMs =
            200'000 + StationMs(2) - kStationStartMs - static_cast<std::int64_t>(sim.nowMs()) / 1000 * 1000;
        const ClockResult r = SetStationClock(2, Pc());
        EXPECT_EQ(r.outcome, ClockOutcome::Set) << tenth;
        EXPECT_EQ(r.deviationBefore, -200) << tenth;
        EXPECT_EQ(r.deviationAfter, 0) << tenth;
        EXPECT_EQ(StationMs(2) / 1000, PcMs() / 1000) << tenth;
    }
}

TEST_F(ClockSetting, writesWaitForTheNextMinuteRatherThanSplitOne) {
    // The PC is at 23:59:59 on the last day of January; after the reads (5 x 101 ms) the writes
    // would begin half a second before the next minute, the next day and the next month.
    pcAheadMs = LocalMilliseconds(LocalDateTime{2026, 1, 31, 23, 59, 59}) - kStationStartMs;
    const ClockResult r = SetStationClock(3, Pc());
    ASSERT_EQ(sleeps.size(), 1u);
    EXPECT_EQ(r.outcome, ClockOutcome::Set);
    EXPECT_EQ(r.deviationAfter, 0);
    EXPECT_EQ(StationMs(3) / 1000, PcMs() / 1000);
    EXPECT_LT(PcMs() % kMinuteMs, 5000);  // now early in the first minute of February
    BusAdresse = 3;
    std::uint8_t day[4] = {};
    ASSERT_EQ(ReadRTCTag(day), 1);
    EXPECT_EQ(day[0], 0x01);
    EXPECT_EQ(day[1], 6);  // the 1st of February 2026 is a Sunday
}

TEST_F(ClockSetting, theCycleValueBesideTheSecondsStays) {
    BusAdresse = 4;
    ASSERT_EQ(WriteRTCSecZyk(0x0000 | 200), 1);
    pcAheadMs = 3'600'000;
    EXPECT_EQ(SetStationClock(4, Pc()).outcome, ClockOutcome::Set);
    BusAdresse = 4;
    std::uint8_t sec[4] = {};
    ASSERT_EQ(ReadRTCSecZyk(sec), 1);
    EXPECT_EQ(sec[1], 200);
}

TEST_F(ClockSetting, aSilentStationIsNotWrittenAndBroadcastModeStays) {
    sim.station(2).faults().silent = true;
    Broadcast = true;
    BusAdresse = 1;
    const ClockResult r = SetStationClock(2, Pc());
    EXPECT_EQ(r.outcome, ClockOutcome::NoAnswer);
    EXPECT_TRUE(r.before.empty());
    EXPECT_FALSE(r.deviationBefore);
    EXPECT_TRUE(Broadcast);
    EXPECT_EQ(BusAdresse, 1);
    // Answering again, it is set although broadcast mode is on: each station is asked alone.
    sim.station(2).faults().silent = false;
    pcAheadMs = 120'000;
    EXPECT_EQ(SetStationClock(2, Pc()).outcome, ClockOutcome::Set);
    EXPECT_EQ(StationMs(1) / 1000, (PcMs() - 120'000) / 1000);  // no other station's clock moved
}

TEST(ClockText, digitsThatAreNoDecimalShowAsTheDialogShowsThem) {
    const std::uint8_t day[2] = {0x06, 0x03}, monthYear[2] = {0x12, 0x26}, time[2] = {0xFF, 0x59};
    EXPECT_EQ(StationClockText(day, monthYear, time, 0x07), "06.12.26 ??:59:07");
}
