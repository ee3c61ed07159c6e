#include "graph/AxisRangeRule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <utility>

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// One series holding the given y values at x = 0, 1, 2, ...
CVelGraphSeriesArray SeriesOfY(std::initializer_list<double> ys)
{
    CVelGraphSeriesArray ar;
    ar.push_back(std::make_unique<CVelGraphSeries>());
    double x = 0;
    for (double y : ys) ar.back()->Add(x++, y);
    return ar;
}

// The range an axis gets from data, as a recalculation computes it.
std::pair<double, double> Recalculated(const tagGraphAxis& axis, const CVelGraphSeriesArray& ar,
                                       eGraphAxisType eType = GRAPH_AXIS_Y)
{
    double dMin = axis.dMin, dMax = axis.dMax;
    if (CAxisRangeRule::DataRange(ar, eType, axis, dMin, dMax))
        CAxisRangeRule::CorrectRange(axis, dMin, dMax, axis.bLogarithm);
    return {dMin, dMax};
}

// An axis 0..30 whose base range is also 0..30, growing in steps of 10.
tagGraphAxis ExtendingAxis(bool bAhead)
{
    tagGraphAxis a;
    a.dMin = a.dInitMin = 0;
    a.dMax = a.dInitMax = 30;
    a.bExtend = 1;
    a.dExtendValue = 10;
    a.bAheadExtend = bAhead;
    a.nAheadPart = 4;
    return a;
}
}  // namespace

TEST(AxisRangeRuleTest, RangeThatCoversTheDataStays)
{
    tagGraphAxis a;
    EXPECT_EQ(Recalculated(a, SeriesOfY({3, 20, 37})), std::make_pair(0.0, 100.0));
    tagGraphAxis e = ExtendingAxis(true);
    EXPECT_EQ(Recalculated(e, SeriesOfY({5, 27.5})), std::make_pair(0.0, 30.0));
}

TEST(AxisRangeRuleTest, ExtendGridWithLead)
{
    const tagGraphAxis ahead = ExtendingAxis(true);  // lead 2.5
    const tagGraphAxis plain = ExtendingAxis(false);
    struct Row { const tagGraphAxis* pAxis; double dDataMax; double dExpectedMax; };
    const Row rows[] = {
        {&ahead, 37, 40},  // 40 is not below 39.5
        {&ahead, 38, 50},  // 40 < 40.5
        {&ahead, 27.6, 40},  // the lead alone pushes past 30
        {&plain, 38, 40},
        {&plain, 40, 40},
        {&plain, 40.01, 50},
        {&ahead, 1234, 1240},
    };
    for (const Row& r : rows)
        EXPECT_EQ(Recalculated(*r.pAxis, SeriesOfY({5, r.dDataMax})).second, r.dExpectedMax) << r.dDataMax;

    // The lower edge steps down from the base minimum the same way.
    EXPECT_EQ(Recalculated(ahead, SeriesOfY({-3, 10})).first, -10.0);
    EXPECT_EQ(Recalculated(ahead, SeriesOfY({-8, 10})).first, -20.0);
    EXPECT_EQ(Recalculated(plain, SeriesOfY({-8, 10})).first, -10.0);
}

TEST(AxisRangeRuleTest, WithoutExtendTheEdgeMovesToTheRoundedData)
{
    tagGraphAxis a;  // decimals, precision 2
    EXPECT_EQ(Recalculated(a, SeriesOfY({1, 123.456})).second, 123.46);
    a.eValueType = AXIS_VALUE_INTEGER;
    EXPECT_EQ(Recalculated(a, SeriesOfY({1, 123.456})).second, 123.0);
    a.eValueType = AXIS_VALUE_TIME;  // not rounded
    EXPECT_EQ(Recalculated(a, SeriesOfY({1, 123.456})).second, 123.456);

    tagGraphAxis b;
    EXPECT_EQ(Recalculated(b, SeriesOfY({-7, 50})), std::make_pair(-7.0, 100.0));
}

TEST(AxisRangeRuleTest, HardLimitsHoldAgainstDataAndGrid)
{
    tagGraphAxis a;
    a.dMaxRangeMin = 0;
    a.dMaxRangeMax = 2200;
    EXPECT_EQ(Recalculated(a, SeriesOfY({-40, 2500})), std::make_pair(0.0, 2200.0));

    tagGraphAxis e;
    e.dMax = e.dInitMax = 2000;
    e.bExtend = 1;
    e.dExtendValue = 300;  // the grid would give 2300
    e.dMaxRangeMin = 0;
    e.dMaxRangeMax = 2200;
    EXPECT_EQ(Recalculated(e, SeriesOfY({10, 2150})).second, 2200.0);
}

TEST(AxisRangeRuleTest, LogarithmicEdgesAreKeptPositive)
{
    tagGraphAxis a;
    a.bLogarithm = 1;
    EXPECT_EQ(Recalculated(a, SeriesOfY({0, 50})), std::make_pair(0.01, 100.0));
    a.nPrecision = 3;
    a.dMin = 5;
    EXPECT_EQ(Recalculated(a, SeriesOfY({-2, 50})).first, 0.001);

    // Both edges are lifted independently.
    tagGraphAxis b;
    b.dMin = -5;
    b.dMax = 0;
    double dMin = -5, dMax = -1;
    CAxisRangeRule::CorrectRange(b, dMin, dMax, plat::TRUE);
    EXPECT_EQ(dMin, 0.01);
    EXPECT_EQ(dMax, 0.01);
    // The log flag given, not the axis' own, decides.
    dMin = -5, dMax = -1;
    CAxisRangeRule::CorrectRange(b, dMin, dMax, plat::FALSE);
    EXPECT_EQ(dMin, -5.0);
    EXPECT_EQ(dMax, 0.0);
}

TEST(AxisRangeRuleTest, NoDataLeavesTheFallbackClippedAndRounded)
{
    CVelGraphSeriesArray none;
    none.push_back(std::make_unique<CVelGraphSeries>());
    tagGraphAxis a;
    a.dMaxRangeMax = 80;
    double dMin = -3.14159, dMax = 100;
    EXPECT_FALSE(CAxisRangeRule::DataRange(none, GRAPH_AXIS_Y, a, dMin, dMax));
    EXPECT_EQ(dMin, -3.14);
    EXPECT_EQ(dMax, 80.0);
}

TEST(AxisRangeRuleTest, DataRangeTakesTheAxisCoordinateOfEverySeries)
{
    CVelGraphSeriesArray ar;
    for (int s = 0; s < 3; ++s) ar.push_back(std::make_unique<CVelGraphSeries>());
    ar[0]->Add(5, -1);
    ar[1]->EnableShow(0);  // hidden series count too
    ar[1]->Add(-4, 9);
    ar[2]->Add(12, 3);
    tagGraphAxis a;
    double dMin = 0, dMax = 0;
    ASSERT_TRUE(CAxisRangeRule::DataRange(ar, GRAPH_AXIS_X, a, dMin, dMax));
    EXPECT_EQ(std::make_pair(dMin, dMax), std::make_pair(-4.0, 12.0));
    ASSERT_TRUE(CAxisRangeRule::DataRange(ar, static_cast<eGraphAxisType>(7), a, dMin, dMax));
    EXPECT_EQ(std::make_pair(dMin, dMax), std::make_pair(-1.0, 9.0));
}

TEST(AxisRangeRuleTest, NaNEdgesLeaveTheCurrentEdge)
{
    tagGraphAxis a;
    a.dMin = -1;
    a.dMax = 1;
    double dMin = kNaN, dMax = kNaN;
    CAxisRangeRule::CorrectRange(a, dMin, dMax, plat::FALSE);
    EXPECT_EQ(std::make_pair(dMin, dMax), std::make_pair(-1.0, 1.0));
    dMin = kNaN, dMax = 5;
    CAxisRangeRule::CorrectRange(a, dMin, dMax, plat::FALSE);
    EXPECT_EQ(std::make_pair(dMin, dMax), std::make_pair(-1.0, 5.0));

    tagGraphAxis e = ExtendingAxis(true);
    dMin = -7, dMax = kNaN;
    CAxisRangeRule::CorrectRange(e, dMin, dMax, plat::FALSE);
    EXPECT_EQ(std::make_pair(dMin, dMax), std::make_pair(-10.0, 30.0));
}

TEST(AxisRangeRuleTest, PointsWithoutAPlaceDoNotPinTheRange)
{
    tagGraphAxis a;
    EXPECT_EQ(Recalculated(a, SeriesOfY({kNaN, 150, -2})), std::make_pair(-2.0, 150.0));
    EXPECT_EQ(Recalculated(a, SeriesOfY({std::numeric_limits<double>::infinity(), 120})).second, 120.0);
    EXPECT_EQ(Recalculated(a, SeriesOfY({kNaN, kNaN})), std::make_pair(0.0, 100.0));
}

TEST(AxisRangeRuleTest, BadExtendSettingsTerminateAndFollowTheData)
{
    for (double dStep : {0.0, -10.0, kNaN}) {
        tagGraphAxis a = ExtendingAxis(true);
        a.dExtendValue = dStep;
        EXPECT_EQ(Recalculated(a, SeriesOfY({-3, 38})), std::make_pair(-3.0, 38.0)) << dStep;
    }
    // A zero or negative divisor means no lead; the grid still applies.
    for (int nPart : {0, -4}) {
        tagGraphAxis a = ExtendingAxis(true);
        a.nAheadPart = nPart;
        EXPECT_EQ(Recalculated(a, SeriesOfY({5, 38})).second, 40.0) << nPart;
        EXPECT_EQ(Recalculated(a, SeriesOfY({5, 40})).second, 40.0) << nPart;
    }
}

TEST(AxisRangeRuleTest, StepPastEndsForTinyStepsAndHugeTargets)
{
    EXPECT_EQ(CAxisRangeRule::StepPast(30, 10, 39.5), 40.0);
    EXPECT_EQ(CAxisRangeRule::StepPast(30, 10, 20), 40.0);  // at least one step
    EXPECT_EQ(CAxisRangeRule::StepPast(0, -10, -2.5), -10.0);

    const double dUp = CAxisRangeRule::StepPast(0, 1e-3, 1e12);
    EXPECT_GE(dUp, 1e12);
    EXPECT_LT(dUp, 1e12 + 1);
    const double dAbsorbed = CAxisRangeRule::StepPast(1e20, 1, 1e20 + 1e6);
    EXPECT_GE(dAbsorbed, 1e20 + 1e6);
    const double dDown = CAxisRangeRule::StepPast(0, -1e-3, -1e12);
    EXPECT_LE(dDown, -1e12);
    EXPECT_EQ(CAxisRangeRule::StepPast(0, 1, std::numeric_limits<double>::infinity()),
              std::numeric_limits<double>::infinity());
}

TEST(AxisRangeRuleTest, CorrectValueByPrecisionRoundsLikeTheValueTexts)
{
    struct Row { double v; int n; double expected; };
    const Row rows[] = {
        {123.456, 2, 123.46}, {123.456, 0, 123.0}, {2.5, 0, 3.0}, {3.5, 0, 4.0}, {-2.5, 0, -3.0},
        {0.125, 2, 0.13},  // an exact tie rounds away from zero
        {1.005, 2, 1.0},   // stored just below 1.005
        {-7.26, 1, -7.3}, {-0.4, 0, -0.0}, {1e300, 2, 1e300}, {5e-324, 340, 5e-324},
        {12.34, -1, 12.0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(CAxisRangeRule::CorrectValueByPrecision(r.v, r.n), r.expected) << r.v << " " << r.n;
    EXPECT_TRUE(std::isnan(CAxisRangeRule::CorrectValueByPrecision(kNaN, 2)));
    EXPECT_EQ(CAxisRangeRule::CorrectValueByPrecision(-std::numeric_limits<double>::infinity(), 2),
              -std::numeric_limits<double>::infinity());
}

TEST(AxisRangeRuleTest, PowerOfTenBySquaring)
{
    EXPECT_EQ(CAxisRangeRule::PowerOfTen(-2), 0.01);
    EXPECT_EQ(CAxisRangeRule::PowerOfTen(0), 1.0);
    EXPECT_EQ(CAxisRangeRule::PowerOfTen(3), 1000.0);
    EXPECT_EQ(CAxisRangeRule::PowerOfTen(-5), 1.0 / 100000.0);
}
