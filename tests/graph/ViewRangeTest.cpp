#include "graph/ViewRange.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(ViewRange, ZoomScalesTheSpanAroundTheGivenValue)
{
    struct Case {
        std::string name;
        tagViewRange r;
        double dFactor, dAround;
        bool bLog;
        tagViewRange expected;
    };
    const std::vector<Case> cases = {
        {"in around the middle", {0, 100}, 2, 50, false, {25, 75}},
        {"in around the left edge", {0, 100}, 4, 0, false, {0, 25}},
        {"in around a quarter", {0, 100}, 2, 25, false, {12.5, 62.5}},
        {"out around the right edge", {50, 100}, 0.5, 100, false, {0, 100}},
        {"around a value outside", {0, 10}, 2, 20, false, {10, 15}},
        {"decades around 10", {1, 1000}, 3, 10, true, {std::pow(10.0, 1 - 1.0 / 3), std::pow(10.0, 1 + 2.0 / 3)}},
        {"factor 0 changes nothing", {0, 100}, 0, 50, false, {0, 100}},
        {"NaN factor changes nothing", {0, 100}, kNaN, 50, false, {0, 100}},
        {"no place on a log axis", {1, 100}, 2, -5, true, {1, 100}},
    };
    for (const Case& c : cases) {
        const tagViewRange r = CViewRange::Zoom(c.r, c.dFactor, c.dAround, c.bLog);
        EXPECT_NEAR(r.dMin, c.expected.dMin, 1e-9 * std::max(1.0, std::fabs(c.expected.dMin))) << c.name;
        EXPECT_NEAR(r.dMax, c.expected.dMax, 1e-9 * std::max(1.0, std::fabs(c.expected.dMax))) << c.name;
    }
}

TEST(ViewRange, ZoomKeepsTheRelativePlaceOfTheValue)
{
    for (double dAround : {3.0, 17.5, 42.0, 99.0})
        for (double dFactor : {1.25, 0.8, 10.0}) {
            const tagViewRange r0{2, 102};
            const tagViewRange r1 = CViewRange::Zoom(r0, dFactor, dAround, false);
            const double dPart0 = (dAround - r0.dMin) / (r0.dMax - r0.dMin);
            const double dPart1 = (dAround - r1.dMin) / (r1.dMax - r1.dMin);
            EXPECT_NEAR(dPart0, dPart1, 1e-12) << dAround << " x" << dFactor;
            EXPECT_NEAR((r1.dMax - r1.dMin) * dFactor, 100.0, 1e-9);
        }
}

TEST(ViewRange, ShiftMovesByPartsOrValuesOnTheScale)
{
    EXPECT_EQ(CViewRange::Shift({0, 100}, 0.25, false), (tagViewRange{25, 125}));
    EXPECT_EQ(CViewRange::Shift({0, 100}, -0.5, false), (tagViewRange{-50, 50}));
    EXPECT_EQ(CViewRange::ShiftBy({10, 20}, -3, false), (tagViewRange{7, 17}));
    // One decade up on a logarithmic axis.
    const tagViewRange r = CViewRange::ShiftBy({1, 100}, 1, true);
    EXPECT_NEAR(r.dMin, 10, 1e-9);
    EXPECT_NEAR(r.dMax, 1000, 1e-9);
    const tagViewRange half = CViewRange::Shift({1, 100}, 0.5, true);
    EXPECT_NEAR(half.dMin, 10, 1e-9);
    EXPECT_EQ(CViewRange::ShiftBy({0, 1}, kNaN, false), (tagViewRange{0, 1}));
}

TEST(ViewRange, ValueAtReadsTheScaleLinearlyOrInDecades)
{
    EXPECT_DOUBLE_EQ(CViewRange::ValueAt({10, 20}, 0.0, false), 10);
    EXPECT_DOUBLE_EQ(CViewRange::ValueAt({10, 20}, 0.3, false), 13);
    EXPECT_DOUBLE_EQ(CViewRange::ValueAt({10, 20}, 1.0, false), 20);
    EXPECT_NEAR(CViewRange::ValueAt({1, 10000}, 0.5, true), 100, 1e-9);
}

TEST(ViewRange, OnlyRangesAScaleCanShowAreUsable)
{
    struct Case {
        std::string name;
        tagViewRange r;
        bool bLog;
        bool bUsable;
    };
    const std::vector<Case> cases = {
        {"plain", {0, 100}, false, true},
        {"negative", {-5, -1}, false, true},
        {"reversed", {10, 0}, false, false},
        {"empty", {5, 5}, false, false},
        {"NaN edge", {kNaN, 5}, false, false},
        {"infinite edge", {0, kInf}, false, false},
        {"span overflows", {-1.7e308, 1.7e308}, false, false},
        {"narrower than the values' precision", {1e6, 1e6 + 1e-5}, false, false},
        {"narrow but still resolvable", {1e6, 1e6 + 1e-2}, false, true},
        {"log from zero", {0, 100}, true, false},
        {"log below the lowest place", {1e-8, 1}, true, false},
        {"log positive", {0.01, 100}, true, true},
    };
    for (const Case& c : cases) EXPECT_EQ(CViewRange::IsUsable(c.r, c.bLog), c.bUsable) << c.name;
}

TEST(ViewRange, ClampMovesInsideOrCutsToTheLimits)
{
    struct Case {
        std::string name;
        tagViewRange r;
        double dLow, dHigh;
        tagViewRange expected;
    };
    const std::vector<Case> cases = {
        {"inside stays", {10, 20}, 0, 100, {10, 20}},
        {"below moves up", {-5, 5}, 0, 100, {0, 10}},
        {"above moves down", {95, 105}, 0, 100, {90, 100}},
        {"wider is cut", {-50, 200}, 0, 100, {0, 100}},
        {"wider and off to one side is cut", {150, 400}, 0, 100, {0, 100}},
        {"no limits", {-1e300, 1e300}, std::numeric_limits<double>::lowest(), std::numeric_limits<double>::max(),
         {-1e300, 1e300}},
        {"limits reversed are ignored", {5, 6}, 10, 0, {5, 6}},
    };
    for (const Case& c : cases) EXPECT_EQ(CViewRange::Clamp(c.r, c.dLow, c.dHigh), c.expected) << c.name;
    EXPECT_EQ(CViewRange::Between(7, 3), (tagViewRange{3, 7}));
}

}  // namespace
