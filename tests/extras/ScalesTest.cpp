// The trend's scales without a chart: round value ticks, at least four on a small axis (but never
// so dense on a low pane that the labels touch), an axis of positive values that does not reach
// below zero; time labels that carry the date across midnight; which unit gets which axis and
// pane, and how high the stacked panes are.

#include <gtest/gtest.h>

#include <cmath>

#include "extras/AxisPlan.h"
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

TEST(ValueScale, OnALowPaneTheLabelsKeepTheirDistance) {
    for (const double high : {6200.0, 0.75, 152.0})
        for (int pixels : {30, 60, 79, 100}) {
            const ValueScale s = ChooseValueScale(high * 0.94, high, pixels);
            EXPECT_GE(s.Ticks(), 2) << high << " on " << pixels;
            EXPECT_LE((s.Ticks() - 1) * 24, pixels) << high << " on " << pixels;
        }
}

TEST(AxisPlan, TwoUnitsShareAPaneLeftAndRightAndMoreGetAPaneEach) {
    const AxisPlan one = PlanAxes({QStringLiteral("bar"), QStringLiteral(" bar ")});
    ASSERT_EQ(one.axes.size(), 1u);
    EXPECT_EQ(one.axisOfTrace, (std::vector<int>{0, 0}));
    EXPECT_EQ(one.panes, 1);
    EXPECT_FALSE(one.axes[0].right);

    const AxisPlan two = PlanAxes({QStringLiteral("bar"), QStringLiteral("Stk"), QStringLiteral("bar")});
    ASSERT_EQ(two.axes.size(), 2u);
    EXPECT_EQ(two.axisOfTrace, (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(two.panes, 1);
    EXPECT_FALSE(two.axes[0].right);
    EXPECT_TRUE(two.axes[1].right);
    EXPECT_EQ(two.axes[1].pane, 0);

    const AxisPlan four = PlanAxes({QStringLiteral("bar"), QStringLiteral("Stk"), QStringLiteral("mbar"),
                                    QStringLiteral("bar"), QString::fromUtf8("°C")});
    ASSERT_EQ(four.axes.size(), 4u);
    EXPECT_EQ(four.panes, 4);
    EXPECT_EQ(four.axisOfTrace, (std::vector<int>{0, 1, 2, 0, 3}));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(four.axes[std::size_t(i)].pane, i);
        EXPECT_FALSE(four.axes[std::size_t(i)].right);
    }
    EXPECT_EQ(four.axes[3].unit, QString::fromUtf8("°C"));

    const AxisPlan none = PlanAxes({});  // an empty chart still shows a scale
    EXPECT_EQ(none.axes.size(), 1u);
    EXPECT_EQ(none.panes, 1);
}

TEST(PaneHeights, PlotsEquallyHighAndTheLowestCarriesTheTimeLabels) {
    struct Case {
        int height, panes, band;
    };
    for (const Case c : {Case{480, 4, 40}, Case{481, 3, 40}, Case{300, 1, 40}, Case{30, 3, 40}, Case{0, 2, 40}}) {
        const std::vector<int> h = PaneHeights(c.height, c.panes, c.band);
        ASSERT_EQ(int(h.size()), c.panes);
        int sum = 0, lowest = 1 << 30, highest = 0;
        for (std::size_t i = 0; i < h.size(); ++i) {
            const int plot = h[i] - (i + 1 == h.size() ? std::min(c.band, c.height) : 0);
            EXPECT_GE(plot, 0);
            lowest = std::min(lowest, plot);
            highest = std::max(highest, plot);
            sum += h[i];
        }
        EXPECT_EQ(sum, c.height);
        EXPECT_LE(highest - lowest, 1) << c.height << " in " << c.panes;
    }
}
