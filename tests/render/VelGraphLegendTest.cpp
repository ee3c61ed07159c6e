#include "RenderTestPrint.h"
#include "graph/VelGraph.h"
#include "platform/InvalidArgException.h"
#include "render/VelGraphLegend.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A graph with nCount empty series, so each legend entry counts.
struct LegendFixture {
    CVelGraph graph{nullptr, GRAPH_LINE};
    CVelGraphLegend& legend = graph.GetLegend();
    explicit LegendFixture(int nCount, plat::CSize sizeItem = {40, 16})
    {
        for (int i = 0; i < nCount; ++i) graph.AddSeries(0, nullptr, nullptr);
        legend.m_sizeItem = sizeItem;
    }
    std::vector<plat::CRect> Bounds() const
    {
        std::vector<plat::CRect> ar;
        for (int i = 0; i < legend.GetCount(); ++i) ar.push_back(legend.GetItem(i)->GetBound());
        return ar;
    }
};

}  // namespace

TEST(VelGraphLegendTest, NewLegendDefaults)
{
    CVelGraphLegend legend;
    EXPECT_EQ(legend.GetDrawer(), nullptr);
    EXPECT_FALSE(legend.CanShow());
    EXPECT_EQ(legend.GetPosition(), LEGEND_RIGHT);
    EXPECT_TRUE(legend.CanMultiline());
    EXPECT_EQ(legend.GetBkgColor(), 0xD9E7E9u);
    EXPECT_EQ(legend.m_lfFont.lfHeight, 13);
    EXPECT_EQ(legend.m_lfFont.lfWeight, plat::FW_BOLD);
    EXPECT_STREQ(legend.m_lfFont.lfFaceName, "Microsoft Sans Serif");
    EXPECT_EQ(legend.m_nGapX, 10);
    EXPECT_EQ(legend.m_nGapY, 6);
    EXPECT_EQ(legend.m_nBorderWidth, 2);
    EXPECT_EQ(legend.m_crBorder, 0x808080u);
    EXPECT_EQ(legend.GetCount(), 0);
}

TEST(VelGraphLegendTest, EntriesAreAddedRemovedAndRelabelledByIndex)
{
    CVelGraphLegend legend;
    EXPECT_EQ(legend.AddOneLegend(QStringLiteral("a")), 0);
    EXPECT_EQ(legend.AddOneLegend(), 1);
    EXPECT_EQ(legend.AddOneLegend(QStringLiteral("c")), 2);
    EXPECT_TRUE(legend.GetItem(0)->IsActivate());  // the first entry starts selected
    EXPECT_FALSE(legend.GetItem(1)->IsActivate());
    EXPECT_TRUE(legend.GetItem(1)->GetLabel().isEmpty());

    legend.SetLabel(1, QStringLiteral("b"));
    legend.SetLabel(3, QStringLiteral("ignored"));
    EXPECT_THROW(legend.SetLabel(-1, QStringLiteral("x")), plat::CInvalidArgException);
    EXPECT_EQ(legend.GetItem(1)->GetLabel(), QStringLiteral("b"));

    legend.RemoveOneLegend(0);
    legend.RemoveOneLegend(7);
    EXPECT_THROW(legend.RemoveOneLegend(-1), plat::CInvalidArgException);
    ASSERT_EQ(legend.GetCount(), 2);
    EXPECT_EQ(legend.GetItem(0)->GetLabel(), QStringLiteral("b"));
    EXPECT_EQ(legend.GetItem(1)->GetLabel(), QStringLiteral("c"));
    EXPECT_EQ(legend.GetItem(2), nullptr);

    legend.RemoveAll();
    EXPECT_EQ(legend.GetCount(), 0);
    EXPECT_EQ(legend.AddOneLegend(), 0);
    EXPECT_TRUE(legend.GetItem(0)->IsActivate());
}

TEST(VelGraphLegendTest, GraphRelabelsThroughTheLegend)
{
    LegendFixture f(2);
    f.graph.SetLegendLabel(1, QStringLiteral("Torque(Ncm)"));
    EXPECT_EQ(f.legend.GetItem(1)->GetLabel(), QStringLiteral("Torque(Ncm)"));
    EXPECT_NO_THROW(f.graph.SetLegendLabel(5, QStringLiteral("none")));
    EXPECT_EQ(f.graph.OnLegendProperty(), 0);  // legend hidden
}

TEST(VelGraphLegendTest, RightLegendStacksEntriesAndWrapsIntoColumns)
{
    LegendFixture f(5);
    // Inner bottom 95: rows at 5, 27, 49, 71; a fifth (93 + 16 > 95) would
    // not fit, so it starts a new column.
    f.legend.SetBound({500, 0, 600, 100});
    EXPECT_EQ(f.Bounds(), (std::vector<plat::CRect>{{505, 5, 545, 21}, {505, 27, 545, 43}, {505, 49, 545, 65},
                                                    {505, 71, 545, 87}, {555, 5, 595, 21}}));
    EXPECT_EQ(f.legend.GetBound(), plat::CRect(500, 0, 600, 100));
}

TEST(VelGraphLegendTest, OverflowWithoutMultilineLeavesLaterEntriesEmpty)
{
    LegendFixture f(4, {40, 30});
    f.legend.EnableMultiline(0);
    // Rows at 5 and 41; the third starts at 77 and is clipped to 95; the
    // next place (113) lies outside, so the rest gets nothing.
    f.legend.SetBound({500, 0, 600, 100});
    EXPECT_EQ(f.Bounds(), (std::vector<plat::CRect>{
                              {505, 5, 545, 35}, {505, 41, 545, 71}, {505, 77, 545, 95}, {0, 0, 0, 0}}));
}

TEST(VelGraphLegendTest, TopLegendRunsEntriesAlongRows)
{
    LegendFixture f(3, {50, 16});
    f.legend.SetPosition(LEGEND_TOP);
    f.legend.SetBound({0, 0, 130, 60});
    // 5..55 and 65..115; the next (125 + 50 > 125) starts a new row.
    EXPECT_EQ(f.Bounds(), (std::vector<plat::CRect>{{5, 5, 55, 21}, {65, 5, 115, 21}, {5, 27, 55, 43}}));
}

TEST(VelGraphLegendTest, HiddenSeriesKeepTheirOldPlaceAndCannotBeSelected)
{
    LegendFixture f(3);
    f.legend.SetBound({500, 0, 600, 100});
    f.graph.GetSeries(1)->EnableShow(0);
    f.legend.SetBound({0, 0, 100, 100});
    EXPECT_EQ(f.Bounds(), (std::vector<plat::CRect>{{5, 5, 45, 21}, {505, 27, 545, 43}, {5, 27, 45, 43}}));

    f.legend.OnLButtonDown(0, {510, 30});  // the hidden entry's old place
    EXPECT_FALSE(f.legend.GetItem(1)->IsActivate());
    EXPECT_FALSE(f.legend.GetItem(0)->IsActivate());
    f.legend.OnLButtonDown(0, {10, 30});
    EXPECT_TRUE(f.legend.GetItem(2)->IsActivate());
}
