// The trend's scales without a chart: round value ticks, at least four on a small axis, an axis
// of positive values that does not reach below zero; time labels that carry the date across
// midnight.

#include <gtest/gtest.h>

#include <cmath>

#include "extras/TimeTicks.h"
#include "extras/ValueScale.h"
#include "records/LocalTime.h"

TEST(ValueScale, RoundTicksEnoughOfThemAndNoNegativeEndForPositiveValues) {
    struct Case {
        double low, high;
    };
    for (const Case c : {Case{138.2, 141.9}, Case{5800, 6100}, Case{0.012, 0.019}, Case{-3.5, -1.25}, Case{140, 140},
                         Case{0, 0}, Case{-20, 5900}, Case{1, 1e6}}) {
        for (int pixels : {120, 300, 700}) {
            const ValueScale s = ChooseValueScale(c.low, c.high, pixels);
            SCOPED_TRACE(testing::Message() << c.low << ".." << c.high << " on " << pixels << " px");
            EXPECT_GE(s.Ticks(), 4);
            EXPECT_LE(s.Ticks(), std::max(5, pixels / 50 + 1));
            EXPECT_LE(s.low, c.low);
            EXPECT_GE(s.high, c.high);
            if (c.low >= 0) { EXPECT_GE(s.low, 0); }
            if (c.high <= 0 && c.low < 0) { EXPECT_LE(s.high, 0); }
            // Round: a mantissa of 1, 2, 2.5 or 5, and the ends on ticks.
            const double mantissa = s.step / std::pow(10.0, std::floor(std::log10(s.step)));
            EXPECT_TRUE(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 || std::abs(mantissa - 2.5) < 1e-9 ||
                        std::abs(mantissa - 5) < 1e-9) << mantissa;
            EXPECT_NEAR(std::remainder(s.low, s.step), 0, s.step * 1e-6);
            // The decimals tell the ticks apart and no more.
            EXPECT_NEAR(std::round(s.step * std::pow(10, s.decimals)), s.step * std::pow(10, s.decimals), 1e-6);
        }
    }
    EXPECT_EQ(ChooseValueScale(0.1, 0.4, 300).decimals, 1);  // steps of 0.1
    EXPECT_EQ(ChooseValueScale(5800, 6100, 300).decimals, 0);
}

TEST(TimeTicks, LabelsCarryTheDateWhenTheRangeCrossesMidnight) {
    const Date day{2026, 12, 6};
    for (const TimeTick& t : TimeTicks(LocalMs(day, 10), LocalMs(day, 11), 8))
        EXPECT_EQ(t.label.size(), 5) << t.label.toStdString();  // "10:15"
    const auto across = TimeTicks(LocalMs(day, 23, 59, 30), LocalMs(NextDay(day), 0, 0, 40), 6);
    ASSERT_GE(across.size(), 3u);
    for (const TimeTick& t : across) EXPECT_EQ(t.label.size(), 15) << t.label.toStdString();  // "07.12. 00:00:10"
    EXPECT_EQ(across.back().label.left(6).toStdString(), "07.12.");
    const auto days = TimeTicks(LocalMs(day), LocalMs(Date{2026, 12, 20}), 6);
    for (const TimeTick& t : days) EXPECT_EQ(t.label.size(), 6) << t.label.toStdString();  // "10.12."
}
