#include "graph/GraphView.h"
#include "graph/VelGraph.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A graph with one series of n points (i, 10 i) and both ranges set the way
// the live charts set them: from 0 to the data, following the data.
class ViewedGraph : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 1; i <= 10; ++i) Add();
        view.SetAxisRange(GRAPH_AXIS_X, 0, 100, plat::TRUE);
        view.SetAxisRange(GRAPH_AXIS_Y, 0, 1000, plat::TRUE);
    }
    void Add()
    {
        const double x = ++n;
        const double y = 10.0 * n;
        if (graph.GetSeriesCount() == 0) graph.AddSeries(1, &x, &y);
        else graph.AddOneDataOfSeries(0, x, y);
    }
    tagViewRange Record(eGraphAxisType e) const { return {graph.GetAxis(e)->dMin, graph.GetAxis(e)->dMax}; }

    CVelGraph graph{nullptr, GRAPH_LINE};
    CGraphView view{&graph};
    int n = 0;
};

TEST_F(ViewedGraph, FollowingLeavesTheRecordsToTheCaller)
{
    EXPECT_TRUE(view.IsFollowing());
    EXPECT_FALSE(view.IsBrowsing());
    view.SetAxisRange(GRAPH_AXIS_X, 0, 60, plat::FALSE);
    view.Apply();
    EXPECT_EQ(Record(GRAPH_AXIS_X), (tagViewRange{0, 60}));
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_X)->bRecalculate, 0);
    EXPECT_EQ(view.GetRange(GRAPH_AXIS_X), (tagViewRange{0, 60}));
}

TEST_F(ViewedGraph, BrowsingHoldsTheViewWhileDataAndCallerRangesArrive)
{
    ASSERT_TRUE(view.Zoom(GRAPH_AXIS_X, 2, 50));
    EXPECT_FALSE(view.IsFollowing());
    EXPECT_TRUE(view.IsBrowsing());
    for (int i = 0; i < 200; ++i) {
        Add();
        view.SetAxisRange(GRAPH_AXIS_X, 0, n + 1, plat::TRUE);
        view.SetAxisRange(GRAPH_AXIS_Y, 0, 10.0 * n * 1.025, plat::TRUE);
        view.Apply();
    }
    EXPECT_EQ(Record(GRAPH_AXIS_X), (tagViewRange{25, 75}));
    EXPECT_EQ(Record(GRAPH_AXIS_Y), (tagViewRange{0, 1000}));
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_Y)->bRecalculate, 0) << "the graph must not widen a held axis";

    // Back to the caller: its last ranges, its recalculation, its base range.
    ASSERT_TRUE(view.Reset());
    EXPECT_EQ(Record(GRAPH_AXIS_X), (tagViewRange{0, n + 1.0}));
    EXPECT_EQ(Record(GRAPH_AXIS_Y), (tagViewRange{0, 10.0 * n * 1.025}));
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_X)->bRecalculate, 1);
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_X)->dInitMax, n + 1.0);
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_X)->bDirty, 1) << "the next paint must lay the bands out again";
    EXPECT_FALSE(view.Reset()) << "nothing left to reset";
}

TEST_F(ViewedGraph, WritesStraightIntoAHeldRecordBecomeTheCallersSettings)
{
    ASSERT_TRUE(view.Shift(GRAPH_AXIS_Y, 100));
    graph.SetAxisRange(GRAPH_AXIS_Y, 5, 55, plat::FALSE);
    view.Apply();
    EXPECT_EQ(Record(GRAPH_AXIS_Y), (tagViewRange{100, 1100})) << "the view wins while browsing";
    graph.SetAxisRange(GRAPH_AXIS_X, 0, 300, plat::TRUE);
    view.Apply();
    EXPECT_EQ(Record(GRAPH_AXIS_X), (tagViewRange{0, 100}));
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_X)->bRecalculate, 0);

    view.Reset();
    EXPECT_EQ(Record(GRAPH_AXIS_Y), (tagViewRange{5, 55}));
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_Y)->bRecalculate, 0);
    EXPECT_EQ(Record(GRAPH_AXIS_X), (tagViewRange{0, 300}));
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_X)->bRecalculate, 1);
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_X)->dInitMax, 300);
}

TEST_F(ViewedGraph, CallerSettingsEqualToTheViewAreStillKept)
{
    ASSERT_TRUE(view.SetRange(GRAPH_AXIS_X, {20, 40}));
    // The very range shown, given by the caller: it must come back later.
    view.SetAxisRange(GRAPH_AXIS_X, 20, 40, plat::FALSE);
    view.Apply();
    view.Reset();
    EXPECT_EQ(Record(GRAPH_AXIS_X), (tagViewRange{20, 40}));
    EXPECT_EQ(graph.GetAxis(GRAPH_AXIS_X)->bRecalculate, 0);
}

TEST_F(ViewedGraph, FollowingAfterAnXZoomKeepsTheSpanAtTheLiveEnd)
{
    ASSERT_TRUE(view.Zoom(GRAPH_AXIS_X, 4, 50));  // 37.5 .. 62.5
    ASSERT_TRUE(view.Zoom(GRAPH_AXIS_Y, 2, 0));
    ASSERT_TRUE(view.Follow());
    EXPECT_TRUE(view.IsFollowing());
    EXPECT_DOUBLE_EQ(view.GetFollowSpan(), 25);
    view.Apply();
    EXPECT_EQ(Record(GRAPH_AXIS_X), (tagViewRange{75, 100}));
    EXPECT_EQ(Record(GRAPH_AXIS_Y), (tagViewRange{0, 1000})) << "Y follows the caller again";

    for (int i = 0; i < 150; ++i) {
        Add();
        view.SetAxisRange(GRAPH_AXIS_X, 0, n + 1, plat::TRUE);
    }
    view.Apply();
    EXPECT_EQ(Record(GRAPH_AXIS_X), (tagViewRange{n + 1 - 25.0, n + 1.0}));
    EXPECT_FALSE(view.Follow()) << "already following with this span";

    // Freezing keeps the slid range; a whole-range reset drops the span.
    ASSERT_TRUE(view.Freeze());
    Add();
    view.SetAxisRange(GRAPH_AXIS_X, 0, n + 1, plat::TRUE);
    view.Apply();
    EXPECT_EQ(Record(GRAPH_AXIS_X), (tagViewRange{n - 25.0, n + 0.0}));
    ASSERT_TRUE(view.Reset());
    EXPECT_EQ(view.GetFollowSpan(), 0);
    EXPECT_EQ(Record(GRAPH_AXIS_X), (tagViewRange{0, n + 1.0}));
}

TEST_F(ViewedGraph, FollowingAfterAPanOnlyReturnsToTheWholeRanges)
{
    ASSERT_TRUE(view.Shift(GRAPH_AXIS_X, -30));
    ASSERT_TRUE(view.Follow());
    EXPECT_EQ(view.GetFollowSpan(), 0);
    EXPECT_FALSE(view.IsBrowsing());
    EXPECT_EQ(Record(GRAPH_AXIS_X), (tagViewRange{0, 100}));
}

TEST_F(ViewedGraph, RangesTheAxisCannotShowAreRefusedWithoutAStateChange)
{
    EXPECT_FALSE(view.Zoom(GRAPH_AXIS_X, 1e15, 50));
    EXPECT_FALSE(view.SetRange(GRAPH_AXIS_Y, {5, 5}));
    EXPECT_FALSE(view.Zoom(GRAPH_AXIS_X, 1, 50));
    EXPECT_FALSE(view.Shift(GRAPH_AXIS_X, 0));
    EXPECT_TRUE(view.IsFollowing());
    EXPECT_FALSE(view.IsBrowsing());
    graph.SetAxisLogarithm(GRAPH_AXIS_Y, plat::TRUE);
    EXPECT_FALSE(view.SetRange(GRAPH_AXIS_Y, {0, 10})) << "no zero on a logarithmic axis";
    EXPECT_TRUE(view.SetRange(GRAPH_AXIS_Y, {1, 10}));
}

TEST_F(ViewedGraph, ViewsStayInsideTheHardLimits)
{
    graph.SetAxisMaxRange(GRAPH_AXIS_X, 0, 1000);
    ASSERT_TRUE(view.Shift(GRAPH_AXIS_X, -30));
    EXPECT_EQ(view.GetRange(GRAPH_AXIS_X), (tagViewRange{0, 100}));
    ASSERT_TRUE(view.Zoom(GRAPH_AXIS_X, 0.01, 500));
    EXPECT_EQ(view.GetRange(GRAPH_AXIS_X), (tagViewRange{0, 1000}));
}

// The widening a held axis missed is made up when it is released: the
// result is the range the graph would have reached without browsing.
TEST(GraphView, ReleasedAxesEndAsIfNeverHeld)
{
    struct Case {
        std::string name;
        bool bExtend;
        double dStep;
        int nPoints;
    };
    const std::vector<Case> cases = {
        {"exact widening", false, 0, 137},
        {"extend steps with a lead", true, 10, 137},
        {"extend steps, data within the lead", true, 25, 96},
    };
    for (const Case& c : cases) {
        CVelGraph plain(nullptr, GRAPH_LINE);
        CVelGraph browsed(nullptr, GRAPH_LINE);
        CGraphView view(&browsed);
        for (CVelGraph* g : {&plain, &browsed}) {
            if (c.bExtend) g->SetAxisExtendValue(GRAPH_AXIS_Y, c.dStep);
        }
        for (int i = 1; i <= c.nPoints; ++i) {
            const double x = i;
            const double y = 3.0 * i + (i % 7);
            for (CVelGraph* g : {&plain, &browsed}) {
                if (g->GetSeriesCount() == 0) g->AddSeries(1, &x, &y);
                else g->AddOneDataOfSeries(0, x, y);
            }
            double d0 = 0, d1 = 0;
            // The plain graph widens at every sample, as its paints would.
            plain.CalculateActualAxisRange(GRAPH_AXIS_Y, d0, d1, plat::FALSE);
            plain.SetAxisRange(GRAPH_AXIS_Y, d0, d1, plat::FALSE);
            plain.EnableAxisRecalculate(GRAPH_AXIS_Y, plat::TRUE);
            if (i == 5) {
                ASSERT_TRUE(view.Zoom(GRAPH_AXIS_Y, 2, 1)) << c.name;
            }
            view.Apply();
        }
        view.Reset();
        double dMin = 0, dMax = 0;
        plain.GetAxisRange(GRAPH_AXIS_Y, dMin, dMax);
        EXPECT_EQ(view.GetRange(GRAPH_AXIS_Y), (tagViewRange{dMin, dMax})) << c.name;
    }
}

}  // namespace
