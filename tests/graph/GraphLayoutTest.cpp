#include "GraphTestPrint.h"
#include "graph/GraphLayout.h"
#include "graph/VelGraph.h"
#include "platform/DC.h"

#include <gtest/gtest.h>

namespace {

// A graph laid out on a measuring DC (no device: text sizes only).
struct Laid {
    CVelGraph graph{nullptr, GRAPH_LINE};
    plat::CDC dc;
    void Layout(plat::CRect rc) { graph.AdjustLayout(rc, &dc); }
    plat::CSize ScaleText() { return graph.GetDrawer()->GetScaleTextSize(&dc, graph.GetAxis(GRAPH_AXIS_X)); }
};

}  // namespace

TEST(GraphLayoutTest, MarginsAndLabelBandsWithoutTitles)
{
    Laid l;
    l.Layout({0, 0, 400, 300});
    EXPECT_EQ(l.graph.GetBound(), plat::CRect(0, 0, 400, 300));
    EXPECT_EQ(l.graph.GetPlotRect(), plat::CRect(5, 5, 395, 295));
    const plat::CSize s = l.ScaleText();
    ASSERT_GT(s.cx, 0);
    EXPECT_EQ(l.graph.GetAxis(GRAPH_AXIS_Y)->rcArea, plat::CRect(5, 5, 5 + s.cx, 295));
    EXPECT_EQ(l.graph.GetAxis(GRAPH_AXIS_X)->rcArea, plat::CRect(5 + s.cx, 295 - s.cy, 395, 295));
    EXPECT_EQ(l.graph.GetInlineRect(), plat::CRect(5 + s.cx, 5, 395, 295 - s.cy));
    EXPECT_EQ(l.graph.GetAxis(GRAPH_AXIS_X)->bDirty, 0);
    EXPECT_EQ(l.graph.GetAxis(GRAPH_AXIS_Y)->bDirty, 0);
}

TEST(GraphLayoutTest, MainTitleIsCentredAndKeptInside)
{
    EXPECT_EQ(CGraphLayout::MainTitleRect({0, 0, 400, 300}, 5, {106, 22}, 5), plat::CRect(147, 10, 253, 32));
    EXPECT_EQ(CGraphLayout::MainTitleRect({0, 0, 400, 300}, 5, {500, 22}, 5), plat::CRect(0, 10, 400, 32));
    EXPECT_EQ(CGraphLayout::MainTitleRect({20, 40, 120, 300}, 5, {50, 22}, 2), plat::CRect(45, 47, 95, 69));

    Laid l;
    l.graph.SetTitle(QStringLiteral("Stirrer"));
    l.graph.EnableShowTitle(plat::TRUE);
    l.Layout({0, 0, 400, 300});
    const plat::CSize s = l.graph.GetTitleObject()->GetSize(&l.dc);
    EXPECT_EQ(l.graph.GetTitleObject()->m_rcBound, CGraphLayout::MainTitleRect({0, 0, 400, 300}, 5, s, 5));
    EXPECT_EQ(l.graph.GetPlotRect().top, 5 + s.cy + 10);

    // Hidden again, the title gives its room back.
    l.graph.EnableShowTitle(plat::FALSE);
    l.Layout({0, 0, 400, 300});
    EXPECT_EQ(l.graph.GetPlotRect(), plat::CRect(5, 5, 395, 295));
}

TEST(GraphLayoutTest, TitleSizeIsTheTextExtentPlusSix)
{
    Laid l;
    CVelGraphTitle* t = l.graph.GetXTitleObject();
    t->m_strText = QStringLiteral("Time(S)");
    plat::CFont font;
    font.CreateFontIndirect(&t->GetFont());
    l.dc.SelectObject(&font);
    const plat::CSize text = l.dc.GetTextExtent(t->m_strText);
    EXPECT_EQ(t->GetSize(&l.dc), plat::CSize(text.cx + 6, text.cy + 6));
    // The rotated Y title is measured along its text as well.
    CVelGraphTitle* y = l.graph.GetYTitleObject();
    y->m_strText = QStringLiteral("Speed(rpm)");
    const plat::CSize sy = y->GetSize(&l.dc);
    EXPECT_GT(sy.cx, sy.cy);
}

TEST(GraphLayoutTest, AxisTitlesTakeBandsAndCentreOnTheDataArea)
{
    Laid l;
    l.graph.SetXTitle(QStringLiteral("Time(S)"));
    l.graph.SetYTitle(QStringLiteral("Speed(rpm)"));
    l.graph.EnableShowXTitle(plat::TRUE);
    l.graph.EnableShowYTitle(plat::TRUE);
    l.Layout({0, 0, 734, 324});
    const plat::CSize sx = l.graph.GetXTitleObject()->GetSize(&l.dc);
    const plat::CSize sy = l.graph.GetYTitleObject()->GetSize(&l.dc);
    const plat::CRect P = l.graph.GetPlotRect();
    EXPECT_EQ(P, plat::CRect(5 + sy.cy + 15, 5, 729, 319 - sx.cy - 5));
    const plat::CRect A = l.graph.GetInlineRect();
    const plat::CRect Q(5, 5, 729, 319);
    EXPECT_EQ(l.graph.GetXTitleObject()->m_rcBound, CGraphLayout::XTitleRect(A, P, Q, sx));
    EXPECT_EQ(l.graph.GetYTitleObject()->m_rcBound, CGraphLayout::YTitleRect(A, P, Q, sy, 5));

    // The pure rules: centred, kept in the plot's span.
    EXPECT_EQ(CGraphLayout::XTitleRect({50, 5, 350, 250}, {10, 5, 390, 270}, {10, 5, 390, 295}, {100, 20}),
              plat::CRect(150, 272, 250, 292));
    EXPECT_EQ(CGraphLayout::XTitleRect({50, 5, 350, 250}, {10, 5, 390, 270}, {10, 5, 390, 295}, {600, 20}),
              plat::CRect(10, 272, 390, 292));
    // Upward text: the reference point sits half the text below the middle.
    EXPECT_EQ(CGraphLayout::YTitleRect({60, 10, 390, 210}, {40, 10, 390, 250}, {5, 5, 390, 295}, {80, 20}, 5),
              plat::CRect(10, 150, 30, 230));
    EXPECT_EQ(CGraphLayout::YTitleRect({60, 10, 390, 50}, {40, 10, 390, 60}, {5, 5, 390, 295}, {80, 20}, 5),
              plat::CRect(10, 70, 30, 60));
}

TEST(GraphLayoutTest, LegendTakesItsBandBeforeTheAxisTitles)
{
    Laid l;
    const double x[] = {1, 2}, y[] = {3, 4};
    l.graph.AddSeries(2, x, y);
    l.graph.SetLegendLabel(0, QStringLiteral("Speed"));
    l.graph.GetLegend().EnableShow(1);
    l.Layout({0, 0, 400, 300});
    const plat::CRect rcLegend = l.graph.GetLegend().GetBound();
    ASSERT_FALSE(rcLegend.IsRectEmpty());
    EXPECT_EQ(rcLegend.right, 395);
    EXPECT_EQ(l.graph.GetPlotRect().right, rcLegend.left - 10);
    EXPECT_EQ(l.graph.GetLegend().GetItem(0)->GetBound().left, rcLegend.left + 5);
}

TEST(GraphLayoutTest, AnEmptyRectangleChangesNothing)
{
    Laid l;
    l.Layout({0, 0, 400, 300});
    const plat::CRect plot = l.graph.GetPlotRect();
    const plat::CRect yBand = l.graph.GetAxis(GRAPH_AXIS_Y)->rcArea;
    l.Layout({0, 0, 0, 0});
    l.Layout({10, 10, 10, 200});
    EXPECT_EQ(l.graph.GetBound(), plat::CRect(0, 0, 400, 300));
    EXPECT_EQ(l.graph.GetPlotRect(), plot);
    EXPECT_EQ(l.graph.GetAxis(GRAPH_AXIS_Y)->rcArea, yBand);
}

TEST(GraphLayoutTest, DataChangesRedoOnlyTheBandsAtTheNextPaint)
{
    Laid l;
    l.Layout({0, 0, 400, 300});
    const double x[] = {1, 2}, y[] = {3, 4000};
    l.graph.AddSeries(2, x, y);
    EXPECT_EQ(l.graph.GetAxis(GRAPH_AXIS_Y)->bDirty, 1);
    QImage image(400, 300, QImage::Format_RGB32);
    plat::CDC dc(&image);
    l.graph.OnDraw(&dc, {0, 0, 400, 300});
    EXPECT_EQ(l.graph.GetAxis(GRAPH_AXIS_Y)->bDirty, 0);
    EXPECT_GE(l.graph.GetAxis(GRAPH_AXIS_Y)->dMax, 4000.0);  // the range followed the data
    EXPECT_EQ(l.graph.GetPlotRect(), plat::CRect(5, 5, 395, 295));
}
