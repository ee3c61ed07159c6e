#include "render/AxisScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

tagGraphAxis Axis(double dMin, double dMax, eAxisValueType eType = AXIS_VALUE_DECIMAL, int bLog = 0)
{
    tagGraphAxis a;
    a.dMin = dMin;
    a.dMax = dMax;
    a.eValueType = eType;
    a.bLogarithm = bLog;
    return a;
}

std::vector<double> Labels(const std::vector<tagAxisTick>& ticks)
{
    std::vector<double> v;
    for (const tagAxisTick& t : ticks)
        if (t.bMajor) v.push_back(t.dValue);
    return v;
}

}  // namespace

TEST(AxisScaleTest, LinearZeroToHundredOnFiveHundredPixels)
{
    tagGraphAxis a = Axis(0, 100);
    EXPECT_EQ(CAxisScale::CalculatePixelStep(a, 500), 20);
    EXPECT_DOUBLE_EQ(a.dStep, 5.0);
    EXPECT_EQ(a.nStepsPerLabel, 5);
    EXPECT_DOUBLE_EQ(a.dPixelStep, 25.0);
    const std::vector<tagAxisTick> ticks = CAxisScale::Ticks(a);
    ASSERT_EQ(ticks.size(), 21u);
    EXPECT_EQ(Labels(ticks), (std::vector<double>{0, 25, 50, 75, 100}));
    for (std::size_t i = 0; i < ticks.size(); ++i) EXPECT_EQ(ticks[i].nOffset, static_cast<int>(25 * i));
}

TEST(AxisScaleTest, DecimalsScaleTheRawStepUpAndBackDown)
{
    tagGraphAxis a = Axis(0, 10);
    EXPECT_EQ(CAxisScale::CalculatePixelStep(a, 300), 10);
    EXPECT_DOUBLE_EQ(a.dStep, 1.0);
    EXPECT_DOUBLE_EQ(a.dPixelStep, 30.0);
    EXPECT_EQ(Labels(CAxisScale::Ticks(a)), (std::vector<double>{0, 5, 10}));

    // Precision 0: no scaling, the raw step is lifted to 1.
    tagGraphAxis b = Axis(0, 1);
    b.nPrecision = 0;
    CAxisScale::CalculatePixelStep(b, 300);
    EXPECT_DOUBLE_EQ(b.dStep, 1.0);
    // Precision 3 on a small range: one unit of the third decimal at least.
    tagGraphAxis c = Axis(0, 0.002);
    c.nPrecision = 3;
    CAxisScale::CalculatePixelStep(c, 300);
    EXPECT_DOUBLE_EQ(c.dStep, 0.001);
}

TEST(AxisScaleTest, TimeAxisLabelsEverySixSteps)
{
    tagGraphAxis a = Axis(0, 600, AXIS_VALUE_TIME);
    EXPECT_EQ(CAxisScale::CalculatePixelStep(a, 400), 12);
    EXPECT_DOUBLE_EQ(a.dStep, 50.0);
    EXPECT_EQ(a.nStepsPerLabel, 6);
    EXPECT_EQ(Labels(CAxisScale::Ticks(a)), (std::vector<double>{0, 300, 600}));
}

TEST(AxisScaleTest, StepRoundingTable)
{
    struct Row { double raw; double step; int perLabel; };
    const Row rows[] = {
        {1, 1, 5},     {1.4, 1, 5},   {2, 2, 5},     {2.6, 2, 5},  {3, 2, 5},   {3.7, 5, 4},  {4.4, 5, 4},
        {5, 5, 5},     {6, 5, 4},     {6.9, 5, 4},   {7.5, 10, 5}, {9.9, 10, 5}, {10, 10, 5}, {37.5, 50, 4},
        {85, 100, 5},  {96, 100, 5},  {150, 200, 5}, {250, 200, 5}, {420, 500, 4}, {1e6, 1e6, 5},
    };
    for (const Row& r : rows) {
        tagGraphAxis a;
        EXPECT_DOUBLE_EQ(CAxisScale::CorrectStepValue(r.raw, a), r.step) << r.raw;
        EXPECT_EQ(a.nStepsPerLabel, r.perLabel) << r.raw;
    }
}

TEST(AxisScaleTest, TickCountCorrectsStepsPerLabel)
{
    // 0..150 on 500 px: k 20, raw 7.5 -> 10, 15 ticks: 5 per label kept.
    tagGraphAxis a = Axis(0, 150, AXIS_VALUE_INTEGER);
    CAxisScale::CalculatePixelStep(a, 500);
    EXPECT_DOUBLE_EQ(a.dStep, 10.0);
    EXPECT_EQ(a.nTickCount, 15);
    EXPECT_EQ(a.nStepsPerLabel, 5);
    // 0..8 on 150 px: k 6, step 1, 8 ticks: fewer than 2 x 5, so 2.
    tagGraphAxis b = Axis(0, 8, AXIS_VALUE_INTEGER);
    CAxisScale::CalculatePixelStep(b, 150);
    EXPECT_EQ(b.nTickCount, 8);
    EXPECT_EQ(b.nStepsPerLabel, 2);
    // 0..3 on 100 px: raw 0.75 lifted to 1, 3 ticks: fewer than 5, so 1.
    tagGraphAxis c = Axis(0, 3, AXIS_VALUE_INTEGER);
    CAxisScale::CalculatePixelStep(c, 100);
    EXPECT_EQ(c.nTickCount, 3);
    EXPECT_EQ(c.nStepsPerLabel, 1);
    // Short and long axes pick k from the narrow and wide spacings.
    tagGraphAxis d = Axis(0, 100, AXIS_VALUE_INTEGER);
    CAxisScale::CalculatePixelStep(d, 60);  // k = 120/50 = 2 < 4 -> 60/20 = 3; raw 33.3 -> 20
    EXPECT_DOUBLE_EQ(d.dStep, 20.0);
    tagGraphAxis e = Axis(0, 1000, AXIS_VALUE_INTEGER);
    CAxisScale::CalculatePixelStep(e, 3100);  // k = 124 > 60 -> 3100/30 = 103; raw 9.7 -> 10
    EXPECT_DOUBLE_EQ(e.dStep, 10.0);
}

TEST(AxisScaleTest, LogarithmicDecades)
{
    tagGraphAxis a = Axis(1, 1000, AXIS_VALUE_DECIMAL, 1);
    EXPECT_EQ(CAxisScale::CalculatePixelStep(a, 300), 30);
    EXPECT_DOUBLE_EQ(a.dPixelStep, 100.0);
    EXPECT_DOUBLE_EQ(a.dStep, 1.0);
    EXPECT_EQ(a.nStepsPerLabel, 10);
    const std::vector<tagAxisTick> ticks = CAxisScale::Ticks(a);
    std::vector<double> values;
    for (const tagAxisTick& t : ticks) values.push_back(t.dValue);
    std::vector<double> expected;
    for (double decade : {1.0, 10.0, 100.0})
        for (int m = 1; m <= 9; ++m) expected.push_back(m * decade);
    expected.push_back(1000);
    ASSERT_EQ(values.size(), expected.size());
    for (std::size_t i = 0; i < values.size(); ++i) EXPECT_NEAR(values[i], expected[i], 1e-9) << i;
    EXPECT_FALSE(ticks.front().bMajor);
    EXPECT_EQ(Labels(ticks), (std::vector<double>{10, 100, 1000}));
    EXPECT_EQ(ticks[9].nOffset, 100);  // 10 is one decade up
    EXPECT_EQ(ticks.back().nOffset, 300);

    tagGraphAxis b = Axis(100, 10000, AXIS_VALUE_DECIMAL, 1);
    CAxisScale::CalculatePixelStep(b, 300);
    const std::vector<tagAxisTick> tb = CAxisScale::Ticks(b);
    ASSERT_FALSE(tb.empty());
    EXPECT_DOUBLE_EQ(tb.front().dValue, 100.0);
    EXPECT_TRUE(tb.front().bMajor);

    // Less than a decade: whole decade below, half a decade above.
    tagGraphAxis c = Axis(2, 5, AXIS_VALUE_DECIMAL, 1);
    EXPECT_EQ(CAxisScale::CalculatePixelStep(c, 100), 5);
    EXPECT_EQ(c.nStepsPerLabel, 1);
}

TEST(AxisScaleTest, FirstOffsetAndMultiples)
{
    EXPECT_DOUBLE_EQ(CAxisScale::GetFirstScaleOffset(0, 5), 0);
    EXPECT_DOUBLE_EQ(CAxisScale::GetFirstScaleOffset(10, 5), 0);
    EXPECT_DOUBLE_EQ(CAxisScale::GetFirstScaleOffset(12, 5), 3);
    EXPECT_DOUBLE_EQ(CAxisScale::GetFirstScaleOffset(-7, 5), 2);
    EXPECT_DOUBLE_EQ(CAxisScale::GetFirstScaleOffset(3e-8, 1e-6), 3e-8);
    // Far from zero the reduction is arithmetic, with the same result.
    EXPECT_NEAR(CAxisScale::GetFirstScaleOffset(1e9 + 3, 5), 2, 1e-6);
    EXPECT_DOUBLE_EQ(CAxisScale::GetFirstScaleOffset(5, 0), 0);  // no step: no offset

    EXPECT_EQ(CAxisScale::IsMultiple(0.30000000000000004, 0.1), 1);
    EXPECT_EQ(CAxisScale::IsMultiple(0.29999999999, 0.1), 1);
    EXPECT_EQ(CAxisScale::IsMultiple(0.35, 0.1), 0);
    EXPECT_EQ(CAxisScale::IsMultiple(-50, 25), 1);
    EXPECT_EQ(CAxisScale::IsMultiple(1, 10), 0);
    EXPECT_EQ(CAxisScale::IsMultiple(5, 0), 0);

    // A walk from 0.1 in steps of 0.1 accumulates rounding error and still
    // finds its labels.
    tagGraphAxis a = Axis(0.1, 1.1);
    a.dStep = 0.1;
    a.nStepsPerLabel = 2;
    a.nTickCount = 10;
    a.dPixelStep = 10;
    const std::vector<double> labels = Labels(CAxisScale::Ticks(a));
    ASSERT_EQ(labels.size(), 5u);
    EXPECT_NEAR(labels[0], 0.2, 1e-9);
    EXPECT_NEAR(labels[4], 1.0, 1e-9);
}

TEST(AxisScaleTest, PrecisionOfLabelSteps)
{
    EXPECT_EQ(CAxisScale::GetPrecision(25), 0);
    EXPECT_EQ(CAxisScale::GetPrecision(2.5), 1);
    EXPECT_EQ(CAxisScale::GetPrecision(0.05), 2);
    EXPECT_EQ(CAxisScale::GetPrecision(0.002), 3);
    // No decimal fraction ends; the loop is bounded.
    EXPECT_EQ(CAxisScale::GetPrecision(1.0 / 3.0), CAxisScale::kMaxPrecision);
    EXPECT_EQ(CAxisScale::GetPrecision(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(AxisScaleTest, BadRangesGiveABoundedFiniteScale)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const tagGraphAxis ranges[] = {
        Axis(5, 5),  Axis(10, 0), Axis(nan, 1),  Axis(0, nan),  Axis(-inf, inf),
        Axis(0, 0, AXIS_VALUE_DECIMAL, 1), Axis(-5, 100, AXIS_VALUE_DECIMAL, 1), Axis(100, 1, AXIS_VALUE_DECIMAL, 1),
        Axis(1, inf, AXIS_VALUE_DECIMAL, 1),
    };
    for (tagGraphAxis a : ranges) {
        a.nWideSpacing = 0;  // bad spacings too
        a.nNarrowSpacing = -3;
        const int n = CAxisScale::CalculatePixelStep(a, 300);
        EXPECT_LE(n, CAxisScale::kMaxTicks);
        EXPECT_TRUE(std::isfinite(a.dPixelStep)) << a.dMin << " " << a.dMax;
        EXPECT_LE(CAxisScale::Ticks(a).size(), static_cast<std::size_t>(CAxisScale::kMaxTicks) + 1);
    }
    // An empty range keeps its one tick at the minimum and maps it.
    tagGraphAxis a = Axis(5, 5, AXIS_VALUE_INTEGER);
    CAxisScale::CalculatePixelStep(a, 300);
    const std::vector<tagAxisTick> ticks = CAxisScale::Ticks(a);
    ASSERT_EQ(ticks.size(), 1u);
    EXPECT_EQ(ticks[0].nOffset, 0);
    // A logarithmic axis without a positive minimum places nothing.
    tagGraphAxis b = Axis(0, 100, AXIS_VALUE_DECIMAL, 1);
    CAxisScale::CalculatePixelStep(b, 300);
    int bValid = 1;
    CAxisScale::Position(10, b, bValid);
    EXPECT_EQ(bValid, 0);
    EXPECT_TRUE(CAxisScale::Ticks(b).empty());
}

TEST(AxisScaleTest, CategoryAxis)
{
    tagGraphAxis a = Axis(0, 5);
    EXPECT_EQ(CAxisScale::CalculateCategoryStep(a, 500), 5);
    EXPECT_DOUBLE_EQ(a.dPixelStep, 100.0);
    const std::vector<tagAxisTick> b = CAxisScale::CategoryBoundaries(a);
    ASSERT_EQ(b.size(), 6u);
    EXPECT_FALSE(b[0].bMajor);
    for (int i = 1; i < 6; ++i) {
        EXPECT_TRUE(b[i].bMajor);
        EXPECT_EQ(b[i].nOffset, 100 * i);
    }
    // Under half a unit there are no categories and nothing divides by zero.
    tagGraphAxis c = Axis(0, 0.4);
    EXPECT_EQ(CAxisScale::CalculateCategoryStep(c, 500), 0);
    EXPECT_EQ(c.dPixelStep, 0.0);
    EXPECT_TRUE(CAxisScale::CategoryBoundaries(c).empty());
}
