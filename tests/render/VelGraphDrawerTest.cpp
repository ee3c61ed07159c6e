#include "RenderTestPrint.h"
#include "graph/VelGraph.h"
#include "render/VelGraphBarDrawer.h"
#include "render/VelGraphDrawer.h"
#include "render/VelGraphLineDrawer.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

tagGraphAxis LinearAxis(double dMin, double dStep, double dPixelStep)
{
    tagGraphAxis a;
    a.dMin = dMin;
    a.dStep = dStep;
    a.dPixelStep = dPixelStep;
    return a;
}

// A graph whose axes carry a painted scale: X 0..100 on 500 pixels
// (5 pixels per unit), Y 0..100 on 200 pixels (2 pixels per unit).
struct ScaledGraph {
    CVelGraph graph{nullptr, GRAPH_LINE};
    ScaledGraph()
    {
        *graph.GetAxis(GRAPH_AXIS_X) = LinearAxis(0, 5, 25);
        *graph.GetAxis(GRAPH_AXIS_Y) = LinearAxis(0, 10, 20);
    }
    int Find(plat::CPoint pt) { return graph.GetDrawer()->FindSeriesByPoint(kPlot, pt); }
    static constexpr plat::CRect kPlot{100, 50, 600, 250};
};

}  // namespace

TEST(VelGraphDrawerTest, LinearPositionsRoundHalfAwayFromZero)
{
    CVelGraph g(nullptr, GRAPH_LINE);
    const CVelGraphDrawer& d = *g.GetDrawer();
    const tagGraphAxis a = LinearAxis(0, 1, 1);
    struct Row { double v; int expected; };
    const Row rows[] = {{2.5, 3}, {-2.5, -3}, {2.4, 2}, {-2.4, -2}, {0, 0}, {99.5, 100}};
    for (const Row& r : rows) {
        int bValid = 0;
        EXPECT_EQ(d.GetAxisPosition(r.v, &a, bValid), r.expected) << r.v;
        EXPECT_EQ(bValid, 1);
    }
    const tagGraphAxis b = LinearAxis(-50, 5, 25);
    int bValid = 0;
    EXPECT_EQ(d.GetAxisPosition(0, &b, bValid), 250);
    EXPECT_EQ(d.GetAxisValue(250, &b), 0.0);
    EXPECT_EQ(d.GetAxisValue(-25, &b), -55.0);
}

TEST(VelGraphDrawerTest, LogarithmicPositionsAndValuesWithoutAPlace)
{
    CVelGraph g(nullptr, GRAPH_LINE);
    const CVelGraphDrawer& d = *g.GetDrawer();
    tagGraphAxis a = LinearAxis(1, 1, 100);  // 100 pixels per decade from 1
    a.bLogarithm = 1;
    int bValid = 0;
    EXPECT_EQ(d.GetAxisPosition(1000, &a, bValid), 300);
    EXPECT_EQ(bValid, 1);
    EXPECT_EQ(d.GetAxisPosition(2, &a, bValid), 30);
    EXPECT_DOUBLE_EQ(d.GetAxisValue(200, &a), 100.0);
    for (double v : {0.0, -5.0, 1e-8, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(d.GetAxisPosition(v, &a, bValid), -1) << v;
        EXPECT_EQ(bValid, 0) << v;
    }
    // Before any scale exists a linear value has no position either.
    const tagGraphAxis none;
    EXPECT_EQ(d.GetAxisPosition(0, &none, bValid), -1);
    EXPECT_EQ(bValid, 0);
}

TEST(VelGraphDrawerTest, ValueStrings)
{
    struct Row { double v; int n; eAxisValueType e; int bLog; int bTrim; const char* expected; };
    const Row rows[] = {
        {2.5, 2, AXIS_VALUE_DECIMAL, 0, 1, "2.5"},
        {3, 2, AXIS_VALUE_DECIMAL, 0, 1, "3"},
        {0, 2, AXIS_VALUE_DECIMAL, 0, 1, "0"},
        {100, 2, AXIS_VALUE_DECIMAL, 0, 1, "100"},
        {100, 0, AXIS_VALUE_DECIMAL, 0, 1, "100"},
        {2.5, 2, AXIS_VALUE_DECIMAL, 0, 0, "2.50"},
        {-0.125, 3, AXIS_VALUE_DECIMAL, 0, 1, "-0.125"},
        {2.5, 2, AXIS_VALUE_INTEGER, 0, 0, "3"},  // a tie rounds away from zero
        {1234567, 2, AXIS_VALUE_DECIMAL, 0, 0, "1.2e+06"},
        {1000000, 2, AXIS_VALUE_DECIMAL, 0, 0, "1000000.00"},
        {1000, 2, AXIS_VALUE_DECIMAL, 1, 1, "1.0e+03"},
        {1000, 2, AXIS_VALUE_DECIMAL, 1, 0, "1000.00"},
        {0, 2, AXIS_VALUE_TIME, 0, 1, "0"},
        {9, 2, AXIS_VALUE_TIME, 0, 1, "9"},
        {59.6, 2, AXIS_VALUE_TIME, 0, 1, "1:00"},
        {600, 2, AXIS_VALUE_TIME, 0, 1, "10:00"},
        {3600, 2, AXIS_VALUE_TIME, 0, 1, "1:00:00"},
        {3725, 2, AXIS_VALUE_TIME, 0, 1, "1:02:05"},
        {65, 2, AXIS_VALUE_TIME, 0, 0, "1:05"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(CVelGraphDrawer::GetValueString(r.v, r.n, r.e, r.bLog, r.bTrim), QString::fromLatin1(r.expected))
            << r.v << " " << r.expected;
    // A time far beyond 32 bits of seconds is shown, not undefined.
    EXPECT_FALSE(CVelGraphDrawer::GetValueString(1e12, 0, AXIS_VALUE_TIME, 0, 0).isEmpty());
}

TEST(VelGraphDrawerTest, LegendCanShowFollowsTheSeries)
{
    CVelGraph g(nullptr, GRAPH_LINE);
    g.AddSeries(0, nullptr, nullptr);
    g.AddSeries(0, nullptr, nullptr);
    g.GetSeries(1)->EnableShow(0);
    const CVelGraphDrawer& d = *g.GetDrawer();
    EXPECT_EQ(d.LegendCanShow(0), 1);
    EXPECT_EQ(d.LegendCanShow(1), 0);
    EXPECT_EQ(d.LegendCanShow(2), 0);
    EXPECT_EQ(d.LegendCanShow(-1), 0);
}

TEST(VelGraphDrawerTest, LineSeriesIsHitNearItsMarkers)
{
    ScaledGraph s;
    const double x[] = {10, 50}, y[] = {20, 60};
    s.graph.AddSeries(2, x, y);  // markers at (150, 210) and (350, 130)
    EXPECT_EQ(s.Find({150, 210}), 0);
    EXPECT_EQ(s.Find({147, 207}), 0);
    EXPECT_EQ(s.Find({152, 212}), 0);
    EXPECT_EQ(s.Find({153, 210}), -1);  // right edge of the hot square is outside
    EXPECT_EQ(s.Find({150, 213}), -1);
    EXPECT_EQ(s.Find({250, 170}), -1);  // on the line between markers
    EXPECT_EQ(s.Find({349, 131}), 0);

    s.graph.ShowMarks(plat::FALSE);
    EXPECT_EQ(s.Find({150, 210}), -1);
    s.graph.ShowMarks(plat::TRUE);

    // The first shown series in index order wins.
    s.graph.AddSeries(2, x, y);
    EXPECT_EQ(s.Find({150, 210}), 0);
    s.graph.GetSeries(0)->EnableShow(plat::FALSE);
    EXPECT_EQ(s.Find({150, 210}), 1);
}

TEST(VelGraphDrawerTest, BarSeriesIsHitInItsWholeCell)
{
    ScaledGraph s;
    s.graph.SetGraphType(GRAPH_BAR);
    const double x[] = {3}, y[] = {50};
    s.graph.AddSeries(1, x, y);  // cell from x 110 to 115, from y 150 down to 250
    EXPECT_EQ(s.Find({110, 150}), 0);
    EXPECT_EQ(s.Find({114, 249}), 0);
    EXPECT_EQ(s.Find({115, 200}), -1);
    EXPECT_EQ(s.Find({112, 149}), -1);
    EXPECT_EQ(s.Find({112, 250}), -1);
}

TEST(VelGraphDrawerTest, ScatterSeriesIsNeverHit)
{
    ScaledGraph s;
    s.graph.SetGraphType(GRAPH_SCATTER);
    const double x[] = {10}, y[] = {20};
    s.graph.AddSeries(1, x, y);
    EXPECT_EQ(s.Find({150, 210}), -1);
}
