#include "RenderTestPrint.h"
#include "graph/VelGraph.h"
#include "platform/Archive.h"
#include "platform/DC.h"
#include "platform/Font.h"
#include "render/VelGraphLegend.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using plat::CRect;
using plat::CSize;

namespace {

// A graph with nCount series labelled strLabel, and the label's extent in
// the legend font measured on the same kind of DC the layout uses.
struct AreaFixture {
    CVelGraph graph{nullptr, GRAPH_LINE};
    CVelGraphLegend& legend = graph.GetLegend();
    plat::CDC dc;
    CSize text;    // the label's extent
    CSize item;    // swatch, gap and label: one entry
    AreaFixture(int nCount, const QString& strLabel)
    {
        for (int i = 0; i < nCount; ++i) {
            graph.AddSeries(0, nullptr, nullptr);
            graph.SetLegendLabel(i, strLabel);
        }
        plat::CFont font;
        font.CreateFontIndirect(&legend.m_lfFont);
        plat::CFont* pOld = dc.SelectObject(&font);
        text = dc.GetTextExtent(strLabel);
        dc.SelectObject(pOld);
        item = CSize(graph.GetDrawer()->GetLegendSize().cx + legend.m_nGapY + text.cx, text.cy);
    }
    CRect Area(eLegendPosition e, CRect& rcRemain, CSize reserve = {0, 0})
    {
        legend.SetPosition(e);
        return legend.CalculateArea(&dc, rcRemain, reserve, 3);
    }
    std::vector<CRect> Bounds() const
    {
        std::vector<CRect> ar;
        for (int i = 0; i < legend.GetCount(); ++i) ar.push_back(legend.GetItem(i)->GetBound());
        return ar;
    }
};

}  // namespace

TEST(VelGraphLegendAreaTest, RightLegendInA600By300Area)
{
    AreaFixture f(3, QStringLiteral("Speed(rpm)"));
    ASSERT_GT(f.text.cx, 0);
    ASSERT_GT(f.text.cy, 0);
    EXPECT_EQ(f.graph.GetDrawer()->GetLegendSize().cx, 20);
    CRect rc(0, 0, 600, 300);
    const CRect rcLegend = f.Area(LEGEND_RIGHT, rc);

    // Grown by 3 at top and bottom: 306 available; with labels 60 x 16 the
    // need is 70 and the width 96, placed 118 below the grown top.
    const int nNeed = 3 * f.text.cy + 2 * 6 + 10;
    const int nWidth = 5 + (20 + 6 + f.text.cx) + 5;
    const int nTop = -3 + (306 - nNeed) / 2;
    EXPECT_EQ(f.legend.m_sizeItem, f.item);
    EXPECT_EQ(rcLegend, CRect(600 - nWidth, nTop, 600, nTop + nNeed));
    EXPECT_EQ(rc, CRect(0, 0, 600 - nWidth - 10, 300));
    if (f.text == CSize(60, 16)) {
        EXPECT_EQ(rcLegend, CRect(504, 115, 600, 185));
    }
}

TEST(VelGraphLegendAreaTest, LeftLegendCentresBesideTheReservedBand)
{
    AreaFixture f(2, QStringLiteral("Torque"));
    CRect rc(10, 20, 610, 320);
    const CRect rcLegend = f.Area(LEGEND_LEFT, rc, CSize(40, 30));
    // The 40 pixels under the plot are kept out of the centring.
    const int nAvail = 306 - 40;
    const int nNeed = 2 * f.text.cy + 6 + 10;
    const int nWidth = 10 + f.item.cx;
    const int nTop = 17 + (nAvail - nNeed) / 2;
    EXPECT_EQ(rcLegend, CRect(10, nTop, 10 + nWidth, nTop + nNeed));
    EXPECT_EQ(rc, CRect(10 + nWidth + 10, 20, 610, 320));
}

TEST(VelGraphLegendAreaTest, SideLegendsWrapIntoColumnsUpToAThirdOfTheWidth)
{
    struct Case {
        eLegendPosition e;
        int bMultiline;
        int nCount;
    };
    const Case cases[] = {{LEGEND_LEFT, 1, 12}, {LEGEND_RIGHT, 1, 40}, {LEGEND_LEFT, 0, 12}, {LEGEND_RIGHT, 0, 40}};
    for (const Case& c : cases) {
        AreaFixture f(c.nCount, QStringLiteral("Run"));
        f.legend.EnableMultiline(c.bMultiline);
        CRect rc(0, 0, 600, 100);
        const CRect rcLegend = f.Area(c.e, rc);
        const int nAvail = 106;
        const int nRows = std::max((6 - 10 + nAvail) / (6 + f.item.cy), 1);
        const int nCols = (c.nCount + nRows - 1) / nRows;
        int nWidth = c.bMultiline ? f.item.cx * nCols + (nCols - 1) * 10 + 10 : f.item.cx + 10;
        nWidth = std::min(nWidth, 200);
        SCOPED_TRACE(testing::Message() << "position " << c.e << " multiline " << c.bMultiline << " n " << c.nCount);
        EXPECT_EQ(rcLegend.Height(), nAvail);  // more than fits: the whole height
        EXPECT_EQ(rcLegend.top, -3);
        EXPECT_EQ(rcLegend.Width(), nWidth);
        EXPECT_LE(rcLegend.Width(), 200);

        // Placing them: with multiline every entry finds a column inside
        // the legend, or the columns run out at its right edge.
        f.legend.SetBound(rcLegend);
        for (const CRect& r : f.Bounds()) {
            if (r.IsRectEmpty()) continue;
            EXPECT_GE(r.left, rcLegend.left + 5);
            EXPECT_LE(r.right, rcLegend.right - 5);
            EXPECT_LE(r.bottom, rcLegend.bottom - 5);
        }
        const auto bounds = f.Bounds();
        const int nPlaced = int(std::count_if(bounds.begin(), bounds.end(), [](const CRect& r) { return !r.IsRectEmpty(); }));
        if (!c.bMultiline) {
            EXPECT_LT(nPlaced, c.nCount);
            EXPECT_TRUE(bounds.back().IsRectEmpty());
        }
        if (c.bMultiline && nWidth < 200) {
            EXPECT_EQ(nPlaced, c.nCount);
        }
    }
}

TEST(VelGraphLegendAreaTest, TopAndBottomLegendsRunAlongRowsCentredRightOfTheReserve)
{
    struct Case {
        eLegendPosition e;
        int nCount;
        int bMultiline;
    };
    const Case cases[] = {{LEGEND_TOP, 2, 1}, {LEGEND_BOTTOM, 2, 1}, {LEGEND_TOP, 30, 1}, {LEGEND_BOTTOM, 30, 1},
                          {LEGEND_TOP, 30, 0}, {LEGEND_BOTTOM, 30, 0}};
    for (const Case& c : cases) {
        AreaFixture f(c.nCount, QStringLiteral("Speed"));
        f.legend.EnableMultiline(c.bMultiline);
        CRect rc(0, 0, 400, 300);
        const CRect rcLegend = f.Area(c.e, rc, CSize(0, 50));
        SCOPED_TRACE(testing::Message() << "position " << c.e << " n " << c.nCount << " multiline " << c.bMultiline);
        const int nAvail = 406 - 50;
        const int nNeed = f.item.cx * c.nCount + (c.nCount - 1) * 10 + 10;
        int nWidth = nNeed;
        int nHeight = f.item.cy + 10;
        if (nNeed > nAvail) {
            nWidth = nAvail;
            if (c.bMultiline) {
                const int nPerRow = std::max((10 - 10 + nAvail) / (10 + f.item.cx), 1);
                const int nRows = (c.nCount + nPerRow - 1) / nPerRow;
                nHeight = f.item.cy * nRows + (nRows - 1) * 6 + 10;
            }
        }
        nHeight = std::min(nHeight, 100);  // a third of 300
        const int nLeft = -3 + 50 + (nAvail - nWidth) / 2;
        if (c.e == LEGEND_TOP) {
            EXPECT_EQ(rcLegend, CRect(nLeft, 0, nLeft + nWidth, nHeight));
            EXPECT_EQ(rc.top, nHeight + 6);
        } else {
            EXPECT_EQ(rcLegend, CRect(nLeft, 300 - nHeight, nLeft + nWidth, 300));
            EXPECT_EQ(rc.bottom, 300 - nHeight - 6);
        }
        EXPECT_EQ(rc.left, 0);
        EXPECT_EQ(rc.right, 400);
    }
}

TEST(VelGraphLegendAreaTest, TopLegendWiderEntriesThanTheAreaStillGetOnePerRow)
{
    AreaFixture f(4, QString(60, QLatin1Char('W')));
    CRect rc(0, 0, 120, 90);
    const CRect rcLegend = f.Area(LEGEND_TOP, rc);
    ASSERT_GT(f.item.cx, 126);
    // One entry per row, four rows, but no more than a third of 90.
    EXPECT_EQ(rcLegend.Height(), std::min(4 * f.item.cy + 3 * 6 + 10, 30));
    EXPECT_EQ(rcLegend.Width(), 126);
}

TEST(VelGraphLegendAreaTest, NothingCountsNothingIsPlaced)
{
    AreaFixture f(2, QStringLiteral("a"));
    f.graph.GetSeries(0)->EnableShow(0);
    f.graph.GetSeries(1)->EnableShow(0);
    CRect rc(0, 0, 600, 300);
    f.Area(LEGEND_RIGHT, rc);
    EXPECT_EQ(f.legend.m_sizeItem, CSize(0, 0));
}

TEST(VelGraphLegendAreaTest, ClickBetweenEntriesClearsTheSelection)
{
    AreaFixture f(3, QStringLiteral("Speed"));
    CRect rc(0, 0, 600, 300);
    f.legend.SetBound(f.Area(LEGEND_RIGHT, rc));
    const auto bounds = f.Bounds();
    f.legend.OnLButtonDown(0, bounds[1].CenterPoint());
    EXPECT_FALSE(f.legend.GetItem(0)->IsActivate());
    EXPECT_TRUE(f.legend.GetItem(1)->IsActivate());

    // The gap between the second and third entries.
    f.legend.OnLButtonDown(0, plat::CPoint(bounds[1].left + 2, bounds[1].bottom + 2));
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(f.legend.GetItem(i)->IsActivate()) << i;
    f.legend.EnableShow(1);
    EXPECT_EQ(f.legend.OnProperty(&f.graph), 0);
}

TEST(VelGraphLegendAreaTest, HiddenSeriesIsSkippedAndComesBackWhenShown)
{
    AreaFixture f(3, QStringLiteral("Speed"));
    f.graph.SetLegendLabel(1, QStringLiteral("Torque(Ncm)"));
    CRect rc(0, 0, 600, 300);
    f.legend.SetBound(f.Area(LEGEND_RIGHT, rc));
    const auto before = f.Bounds();
    const CSize sizeAll = f.legend.m_sizeItem;

    f.graph.GetSeries(1)->EnableShow(0);
    rc = CRect(0, 0, 600, 300);
    const CRect rcHidden = f.Area(LEGEND_RIGHT, rc);
    f.legend.SetBound(rcHidden);
    // Two entries now, measured without the longer hidden label.
    EXPECT_EQ(rcHidden.Height(), 2 * f.text.cy + 6 + 10);
    EXPECT_LT(f.legend.m_sizeItem.cx, sizeAll.cx);
    EXPECT_EQ(f.Bounds()[1], before[1]);  // kept, not placed
    EXPECT_EQ(f.Bounds()[2].top, f.Bounds()[0].bottom + 6);
    EXPECT_EQ(f.legend.GetItem(1)->GetLabel(), QStringLiteral("Torque(Ncm)"));

    f.graph.GetSeries(1)->EnableShow(1);
    rc = CRect(0, 0, 600, 300);
    f.legend.SetBound(f.Area(LEGEND_RIGHT, rc));
    EXPECT_EQ(f.Bounds(), before);
}

TEST(VelGraphLegendAreaTest, SerializeKeepsShowPositionAndMultiline)
{
    CVelGraphLegend source;
    source.EnableShow(1);
    source.SetPosition(LEGEND_TOP);
    source.EnableMultiline(0);
    source.AddOneLegend(QStringLiteral("not stored"));
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        plat::CArchive ar(&buffer, plat::CArchive::store);
        source.Serialize(ar);
        ar.Close();
    }
    EXPECT_EQ(bytes.toHex(), "010000000100000000000000");

    CVelGraphLegend target;
    target.AddOneLegend(QStringLiteral("mine"));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    plat::CArchive ar(&buffer, plat::CArchive::load);
    target.Serialize(ar);
    EXPECT_EQ(target.CanShow(), 1);
    EXPECT_EQ(target.GetPosition(), LEGEND_TOP);
    EXPECT_EQ(target.CanMultiline(), 0);
    ASSERT_EQ(target.GetCount(), 1);
    EXPECT_EQ(target.GetItem(0)->GetLabel(), QStringLiteral("mine"));
}

TEST(VelGraphLegendAreaTest, SerializeIgnoresAnImpossiblePosition)
{
    QByteArray bytes = QByteArray::fromHex("01000000" "07000000" "00000000");
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    plat::CArchive ar(&buffer, plat::CArchive::load);
    CVelGraphLegend legend;
    legend.SetPosition(LEGEND_LEFT);
    legend.Serialize(ar);
    EXPECT_EQ(legend.CanShow(), 1);
    EXPECT_EQ(legend.GetPosition(), LEGEND_LEFT);
    EXPECT_EQ(legend.CanMultiline(), 0);
}
