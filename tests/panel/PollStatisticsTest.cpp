// The age of a station's value and the poll interval it really gets, as the panel's tooltip and
// the trend's legend show them.

#include <gtest/gtest.h>

#include "panel/PollEvents.h"
#include "panel/PollStatistics.h"
#include "records/LocalTime.h"

namespace {
const std::int64_t kT0 = LocalMs(Date{2026, 12, 6}, 10, 0, 0);

std::string Text(const PollStatistics& s, std::uint16_t zyklus, std::int64_t now) {
    return PollStatisticsText(s, zyklus, now).toStdString();
}
}  // namespace

TEST(PollStatistics, ReachedIntervalIsTheMeanSpacingOfAnsweredPolls) {
    PollStatistics s;
    EXPECT_FALSE(s.ReachedIntervalMs().has_value());
    for (std::int64_t t : {0, 1500, 3000, 5000, 6500}) s.Add(true, kT0 + t);
    EXPECT_EQ(s.ReachedIntervalMs(), 1625);
    const std::string text = Text(s, 1, kT0 + 9500);
    EXPECT_NE(text.find("Letzter gültiger Wert: 10:00:06 (vor 3 s)"), std::string::npos) << text;
    EXPECT_NE(text.find("Fehlversuche seither: 0"), std::string::npos) << text;
    EXPECT_NE(text.find("Zyklus: 1 (alle 0,5 s), erreicht: alle 1,6 s"), std::string::npos) << text;
}

TEST(PollStatistics, FailuresAreCountedAndTheirRetriesAreNotTheCycle) {
    PollStatistics s;
    s.Add(true, kT0);
    s.Add(true, kT0 + 2000);
    s.Add(false, kT0 + 4000);
    s.Add(false, kT0 + 4500);
    EXPECT_EQ(s.FailedSince(), 2);
    EXPECT_EQ(s.LastValid(), kT0 + 2000);
    EXPECT_FALSE(s.ReachedIntervalMs().has_value());
    EXPECT_NE(Text(s, 4, kT0 + 5000).find("erreicht: –"), std::string::npos);
    s.Add(true, kT0 + 5000);
    EXPECT_EQ(s.FailedSince(), 0);
    EXPECT_FALSE(s.ReachedIntervalMs().has_value());  // the retry's spacing does not count
    s.Add(true, kT0 + 7000);
    EXPECT_EQ(s.ReachedIntervalMs(), 2000);
}

TEST(PollStatistics, APauseStartsTheMeasureAfresh) {
    PollStatistics s;
    for (std::int64_t t : {0, 500, 1000, 1500}) s.Add(true, kT0 + t);
    s.Add(true, kT0 + 600'000);  // polling was stopped for ten minutes
    EXPECT_FALSE(s.ReachedIntervalMs().has_value());
    s.Add(true, kT0 + 600'500);
    EXPECT_EQ(s.ReachedIntervalMs(), 500);
}

TEST(PollStatistics, AgesAndDaysReadAsAnOperatorSaysThem) {
    PollStatistics none;
    EXPECT_NE(Text(none, 0, kT0).find("Letzter gültiger Wert: noch keiner"), std::string::npos);
    EXPECT_NE(Text(none, 0, kT0).find("Zyklus: 0 (keine regelmäßige Abfrage)"), std::string::npos);
    PollStatistics s;
    s.Add(true, kT0);
    EXPECT_NE(Text(s, 20, kT0 + 125'000).find("10:00:00 (vor 2 min 5 s)"), std::string::npos);
    EXPECT_NE(Text(s, 20, kT0 + 125'000).find("(alle 10,0 s)"), std::string::npos);
    EXPECT_NE(Text(s, 20, kT0 + 3 * 3'600'000 + 60'000).find("(vor 3 h 1 min)"), std::string::npos);
    const std::string days = Text(s, 20, kT0 + 2 * 86'400'000 + 3'600'000);
    EXPECT_NE(days.find("06.12.2026 10:00:00 (vor 2 Tagen 1 h)"), std::string::npos) << days;
}

TEST(PollEvents, EveryListenerHearsEachResultOnceAndMayLeaveWhileTold) {
    PollEvents events;
    std::vector<int> heard;
    int second = 0;
    const int first = events.Subscribe([&](const PollResult& r) {
        heard.push_back(r.address);
        events.Unsubscribe(second);  // the other listener leaves before it is told
    });
    second = events.Subscribe([&](const PollResult&) { heard.push_back(-1); });
    PollResult r;
    r.address = 5;
    events.Notify(r);
    events.Notify(r);
    EXPECT_EQ(heard, (std::vector<int>{5, 5}));
    events.Unsubscribe(first);
    EXPECT_EQ(events.Count(), 0u);
}
