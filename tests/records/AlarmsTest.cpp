// Limit alarms on the wall clock of a test: the delay a value must stay beyond its limit, the
// hysteresis it must come back by, the silence of a station, acknowledgement, and the entries the
// event log gets for each.

#include <gtest/gtest.h>

#include "platform/ProcessHooks.h"
#include "support/RecordingFolder.h"
#include "records/Alarms.h"
#include "records/EventLog.h"

namespace {

class AlarmsTest : public ::testing::Test {
protected:
    void SetUp() override { SetWallClock([this] { return LocalDateTimeAt(nowMs); }); }
    ProcessHooksGuard hooks;  // the wall clock goes back after each case
    // The value text as the polling cycle makes it, one poll at the current time.
    void Poll(const std::string& text, int station = 5) { watch.NotePoll(limits, {station, "Kessel", nowMs, true, text}); }
    void Fail(int station = 5) { watch.NotePoll(limits, {station, "Kessel", nowMs, false, ""}); }
    std::string LastEntry() const { return log.Entries().empty() ? "" : log.Entries().back().text; }

    std::int64_t nowMs = LocalMilliseconds({2026, 3, 2, 12, 0, 0, 0, 0});
    RecordingFolder dir;
    EventLog log{dir.path()};
    AlarmWatch watch{&log};
    AlarmLimits limits;
};

TEST_F(AlarmsTest, anUpperAlarmComesAfterItsDelayAndGoesOnlyBelowTheHysteresis) {
    limits.oben = 100;
    limits.verzoegerung = 5;
    limits.hysterese = 2;
    Poll(" 0101.0 bar");
    nowMs += 4000;
    Poll(" 0102.0 bar");
    EXPECT_FALSE(watch.ActiveFor(5));  // 4 s beyond: still within the delay
    nowMs += 500;
    Poll(" 0099.0 bar");  // back below the limit: the delay starts again
    nowMs += 500;
    Poll(" 0101.0 bar");
    nowMs += 4999;
    Poll(" 0101.0 bar");
    EXPECT_FALSE(watch.ActiveFor(5));
    nowMs += 1;
    Poll(" 0101.5 bar");
    ASSERT_EQ(watch.ActiveFor(5), AlarmKind::Oben);
    EXPECT_EQ(LastEntry(), "Alarm oben gekommen: Wert 0101.5 bar, Grenze 100 bar");
    EXPECT_EQ(log.Entries().back().station, 5);
    Poll(" 0098.5 bar");  // below the limit, above limit - hysteresis
    Fail();               // a failed poll leaves it as it is
    EXPECT_TRUE(watch.ActiveFor(5));
    Poll(" 0098.0 bar");
    EXPECT_FALSE(watch.ActiveFor(5));
    EXPECT_EQ(LastEntry(), "Alarm oben gegangen: Wert 0098.0 bar, Grenze 100 bar");
    EXPECT_EQ(watch.Unacknowledged(), 1);  // gone, but still to be acknowledged
}

TEST_F(AlarmsTest, theOutOfRangeMarksCountBeyondTheirLimitAndNegativeValuesBelow) {
    limits.oben = 50;
    limits.unten = -1.5;
    Poll(" Ueber bar");
    EXPECT_EQ(watch.ActiveFor(5), AlarmKind::Oben);
    Poll("-0001.4 bar");
    EXPECT_FALSE(watch.ActiveFor(5));
    Poll("-0001.6 bar");
    EXPECT_EQ(watch.ActiveFor(5), AlarmKind::Unten);
    EXPECT_EQ(LastEntry(), "Alarm unten gekommen: Wert -0001.6 bar, Grenze -1.5 bar");
    Poll(" Unter bar");
    EXPECT_EQ(watch.ActiveFor(5), AlarmKind::Unten);
    limits.unten.reset();  // the operator cleared the limit: the alarm goes with the next poll
    Poll(" Unter bar");
    EXPECT_FALSE(watch.ActiveFor(5));
}

TEST_F(AlarmsTest, aSilentStationRaisesItsAlarmAfterItsSecondsAndClearsWithItsAnswer) {
    limits.stille = 30;
    Poll(" 0010.0 bar");
    nowMs += 29'000;
    Fail();
    watch.CheckSilence(limits, 5, "Kessel", nowMs);
    EXPECT_FALSE(watch.ActiveFor(5));
    nowMs += 1000;
    watch.CheckSilence(limits, 5, "Kessel", nowMs);  // resting between polls: no poll needed
    ASSERT_EQ(watch.ActiveFor(5), AlarmKind::Stille);
    EXPECT_EQ(LastEntry(), "Alarm Stille gekommen: Wert keine Antwort seit 12:00:00, Grenze 30 s");
    watch.CheckSilence(limits, 5, "Kessel", nowMs + 60'000);
    EXPECT_EQ(watch.Alarms().size(), 1u);  // said once
    Poll(" 0011.0 bar");
    EXPECT_FALSE(watch.ActiveFor(5));
    EXPECT_EQ(LastEntry(), "Alarm Stille gegangen: Wert 0011.0 bar, Grenze 30 s");
    // A station never heard of counts from when it was first watched.
    watch.CheckSilence(limits, 7, "Pumpe", nowMs);
    watch.CheckSilence(limits, 7, "Pumpe", nowMs + 30'000);
    EXPECT_EQ(watch.ActiveFor(7), AlarmKind::Stille);
}

TEST_F(AlarmsTest, acknowledgingOneOrAllIsLoggedOnceWithTheValueAndTheLimit) {
    limits.oben = 10;
    Poll(" 0011.0 bar", 5);
    Poll(" 0012.0 bar", 6);
    ASSERT_EQ(watch.Unacknowledged(), 2);
    nowMs += 3000;
    watch.Acknowledge(watch.Alarms().front().id);
    EXPECT_EQ(LastEntry(), "Alarm oben quittiert: Wert 0011.0 bar, Grenze 10 bar");
    EXPECT_EQ(*watch.Alarms().front().acknowledged, nowMs);
    EXPECT_FALSE(watch.UnacknowledgedFor(5));
    EXPECT_TRUE(watch.UnacknowledgedFor(6));
    const std::size_t entries = log.Entries().size();
    watch.AcknowledgeAll();
    watch.AcknowledgeAll();
    EXPECT_EQ(log.Entries().size(), entries + 1);  // only 6 was still waiting
    EXPECT_EQ(watch.Unacknowledged(), 0);
    EXPECT_TRUE(watch.ActiveFor(6));  // acknowledged is not gone
}

TEST(AlarmLimitTextTest, limitsReadWithPointOrCommaAndWriteWithAPoint) {
    EXPECT_EQ(ParseLimit(" 12,5 "), 12.5);
    EXPECT_EQ(ParseLimit("-3.25"), -3.25);
    EXPECT_FALSE(ParseLimit(""));
    EXPECT_FALSE(ParseLimit("12 bar"));
    EXPECT_FALSE(ParseLimit("nan"));
    EXPECT_EQ(LimitText(12.5), "12.5");
    EXPECT_EQ(LimitText(100), "100");
}

}  // namespace
