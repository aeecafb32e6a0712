// Axis scales: nice steps and ranges, tick labels, dated axes.
#include <cmath>
#include <string>

#include "draw/render_scale.h"
#include <gtest/gtest.h>

namespace zu::draw::test {
namespace {

TEST(Scale, NiceStepsAreOneTwoOrFiveTimesAPowerOfTen) {
    EXPECT_DOUBLE_EQ(NiceStep(0.013), 0.01);
    EXPECT_DOUBLE_EQ(NiceStep(0.021), 0.02);
    EXPECT_DOUBLE_EQ(NiceStep(4.2), 5);
    EXPECT_DOUBLE_EQ(NiceStep(8), 10);
    EXPECT_DOUBLE_EQ(NiceStep(1700), 2000);
    EXPECT_DOUBLE_EQ(NiceStep(-1), 1);
    EXPECT_DOUBLE_EQ(NiceStep(NAN), 1);
}

TEST(Scale, RangesEndOnTicks) {
    double min = 0, max = 0, step = 0;
    NiceRange(97.3, 151.2, 6, &min, &max, &step);
    EXPECT_DOUBLE_EQ(step, 10);
    EXPECT_DOUBLE_EQ(min, 90);
    EXPECT_DOUBLE_EQ(max, 160);
    // A constant is widened around its value, zero to -1..1.
    NiceRange(5, 5, 5, &min, &max, &step);
    EXPECT_LT(min, 5);
    EXPECT_GT(max, 5);
    NiceRange(0, 0, 5, &min, &max, &step);
    EXPECT_DOUBLE_EQ(min, -1);
    EXPECT_DOUBLE_EQ(max, 1);
    NiceRange(-INFINITY, NAN, 5, &min, &max, &step);
    EXPECT_DOUBLE_EQ(min, 0);
    EXPECT_DOUBLE_EQ(max, 1);
    // Huge and tiny values stay finite.
    NiceRange(1e300, 1.7e308, 5, &min, &max, &step);
    EXPECT_TRUE(std::isfinite(step));
    NiceRange(1e-300, 2e-300, 5, &min, &max, &step);
    EXPECT_GT(max, min);
}

TEST(Scale, TickLabels) {
    EXPECT_EQ(FormatTick(0.30000000000000004, 0.1), "0.3");
    EXPECT_EQ(FormatTick(-1e-17, 0.1), "0.0");
    EXPECT_EQ(FormatTick(1990, 5), "1990");
    EXPECT_EQ(FormatTick(2.5e8, 5e7), "2.5e+08");
    const auto ticks = NumericTicks(0, 1, 0.5, 5);
    int labelled = 0;
    for (const Tick& t : ticks) labelled += !t.label.empty();
    EXPECT_EQ(labelled, 3);
    EXPECT_EQ(ticks.size(), 11u);
    EXPECT_TRUE(NumericTicks(0, 1e9, 1, 5).empty());  // too many: none
}

TEST(Scale, DatedAxes) {
    auto always = [](int, const std::string&) { return true; };
    auto few = [](int count, const std::string&) { return count <= 7; };
    // Thirty years of quarters: labelled every five years.
    auto ticks = TimeTicks(1990, 2019.75, 4, few);
    std::string labels;
    for (const Tick& t : ticks)
        if (!t.label.empty()) labels += t.label + " ";
    EXPECT_EQ(labels, "1990 1995 2000 2005 2010 2015 ");
    // Two years of months: every quarter, with the month.
    ticks = TimeTicks(2000, 2001 + 11.0 / 12, 12, few);
    labels.clear();
    for (const Tick& t : ticks)
        if (!t.label.empty()) labels += t.label + " ";
    EXPECT_EQ(labels, "2000M1 2000M7 2001M1 2001M7 ");
    ticks = TimeTicks(2000, 2000.75, 4, always);
    EXPECT_EQ(ticks.front().label, "2000Q1");
    EXPECT_EQ(ticks.back().label, "2000Q4");
    EXPECT_EQ(PeriodLabel(1990, 3, 7), "1990(3)");
    EXPECT_TRUE(TimeTicks(2000, 2000, 4, always).empty());
}

}  // namespace
}  // namespace zu::draw::test
