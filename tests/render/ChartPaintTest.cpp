#include "RenderTestPrint.h"
#include "graph/VelGraph.h"
#include "platform/DC.h"
#include "platform/ToolTipCtrl.h"
#include "render/AxisScale.h"
#include "render/VelGraphBarDrawer.h"
#include "render/VelGraphLineDrawer.h"
#include "render/VelGraphScatterDrawer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <vector>

namespace {

const QRgb kWindow = qRgb(0x49, 0x56, 0x77);
const QRgb kGrid = qRgb(212, 208, 200);
const QRgb kFrame = qRgb(32, 32, 32);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kPlotBkg = qRgb(234, 234, 234);

// A chart painted into an image the way the graph window paints it.
struct Chart {
    explicit Chart(eGraphStyle eStyle = GRAPH_LINE, int w = 400, int h = 300)
        : graph(nullptr, eStyle), image(w, h, QImage::Format_RGB32)
    {
        image.fill(kWindow);
    }
    // Each paint starts on a clear window, as the window's buffer does.
    void Paint()
    {
        image.fill(kWindow);
        const plat::CRect rc(0, 0, image.width(), image.height());
        plat::CDC dc(&image);
        graph.AdjustLayout(rc, &dc);
        graph.OnDraw(&dc, rc);
    }
    plat::CRect Data() const { return graph.GetInlineRect(); }
    QRgb At(int x, int y) const { return image.pixel(x, y); }
    int Count(QRgb c, plat::CRect rc) const
    {
        int n = 0;
        for (int y = std::max(rc.top, 0); y < std::min(rc.bottom, image.height()); ++y)
            for (int x = std::max(rc.left, 0); x < std::min(rc.right, image.width()); ++x) n += At(x, y) == c;
        return n;
    }
    std::vector<tagAxisTick> Ticks(eGraphAxisType e) { return CAxisScale::Ticks(*graph.GetAxis(e)); }

    CVelGraph graph;
    QImage image;
};

// The line drawer as its description reads: every point, one call each.
class NaiveLineDrawer : public CVelGraphLineDrawer {
public:
    using CVelGraphLineDrawer::CVelGraphLineDrawer;

protected:
    void DrawOneSeries(plat::CDC* pDC, plat::CRect rcPlot, CVelGraphSeries* s, plat::CPoint) override
    {
        plat::CPen pen(s->nPenStyle, s->nWidth + (s->bActivate ? 1 : 0), s->crColor);
        plat::CPen* pOld = pDC->SelectObject(&pen);
        bool bRun = false;
        for (int i = 0; i < s->GetSize(); ++i) {
            double x = 0, y = 0;
            s->GetAt(i, x, y);
            plat::CPoint pt;
            if (!PointPosition(rcPlot, x, y, pt)) {
                bRun = false;
                continue;
            }
            if (m_pGraph->IsShowMarks() && s->bShowMark) DrawPointStyle(pDC, s->ePointStyle, s->crColor, pt);
            if (!bRun) {
                pDC->MoveTo(pt);
                bRun = true;
            }
            pDC->LineTo(pt);
        }
        pDC->SelectObject(pOld);
    }
};

class NaiveScatterDrawer : public CVelGraphScatterDrawer {
public:
    using CVelGraphScatterDrawer::CVelGraphScatterDrawer;

protected:
    void DrawOneSeries(plat::CDC* pDC, plat::CRect rcPlot, CVelGraphSeries* s, plat::CPoint origin) override
    {
        for (int i = 0; i < s->GetSize(); ++i) {
            double x = 0, y = 0;
            s->GetAt(i, x, y);
            plat::CPoint pt;
            if (PointPosition(rcPlot, x, y, pt)) DrawPointStyle(pDC, s->ePointStyle, s->crColor, pt);
        }
        // Reference lines as the fast drawer (they are few either way).
        CVelGraphSeries none;
        none.dRange1 = s->dRange1;
        none.dRange2 = s->dRange2;
        none.dRange3 = s->dRange3;
        CVelGraphScatterDrawer::DrawOneSeries(pDC, rcPlot, &none, origin);
    }
};

void Fill(CVelGraph& g, const std::vector<double>& x, const std::vector<double>& y)
{
    g.AddSeries(static_cast<plat::UINT>(x.size()), x.data(), y.data());
}

}  // namespace

TEST(ChartPaintTest, FrameLiesThreePixelsOutsideTheDataArea)
{
    Chart c;
    c.Paint();
    EXPECT_EQ(c.graph.GetPlotRect(), plat::CRect(5, 5, 395, 295));
    const plat::CRect a = c.Data();
    ASSERT_FALSE(a.IsRectEmpty());
    for (int x = a.left - 3; x <= a.right + 2; ++x) {
        EXPECT_EQ(c.At(x, a.top - 3), kFrame) << x;
        EXPECT_EQ(c.At(x, a.bottom + 2), kFrame) << x;
        EXPECT_EQ(c.At(x, a.top - 4), kWindow) << x;
    }
    for (int y = a.top - 3; y <= a.bottom + 2; ++y) EXPECT_EQ(c.At(a.right + 2, y), kFrame) << y;
}

TEST(ChartPaintTest, GridLinesInGridColourReachTheFrame)
{
    Chart c;
    c.graph.SetAxisRange(GRAPH_AXIS_X, 0, 100, plat::FALSE);
    c.graph.SetAxisRange(GRAPH_AXIS_Y, 0, 100, plat::FALSE);
    c.Paint();
    const plat::CRect a = c.Data();
    const std::vector<tagAxisTick> xt = c.Ticks(GRAPH_AXIS_X);
    const std::vector<tagAxisTick> yt = c.Ticks(GRAPH_AXIS_Y);
    ASSERT_GE(xt.size(), 3u);
    ASSERT_GE(yt.size(), 3u);
    const int xGrid = a.left + xt[1].nOffset;
    const int yGrid = a.bottom - yt[1].nOffset;
    const int xBetween = a.left + (xt[1].nOffset + xt[2].nOffset) / 2;
    const int yBetween = a.bottom - (yt[1].nOffset + yt[2].nOffset) / 2;
    EXPECT_EQ(c.At(xGrid, yBetween), kGrid);
    EXPECT_EQ(c.At(xBetween, yGrid), kGrid);
    EXPECT_EQ(c.At(xBetween, yBetween), kPlotBkg);
    // Above the data area up to the frame, and left of it from the frame on.
    EXPECT_EQ(c.At(xGrid, a.top - 1), kGrid);
    EXPECT_EQ(c.At(xGrid, a.top - 2), kGrid);
    EXPECT_EQ(c.At(xGrid, a.top - 3), kFrame);
    EXPECT_EQ(c.At(a.right + 1, yGrid), kGrid);

    // Without grids the plot is plain background between the ticks.
    Chart d;
    d.graph.SetAxisRange(GRAPH_AXIS_X, 0, 100, plat::FALSE);
    d.graph.SetAxisRange(GRAPH_AXIS_Y, 0, 100, plat::FALSE);
    d.graph.SetAxisGrid(GRAPH_AXIS_X, plat::FALSE, plat::FALSE);
    d.graph.SetAxisGrid(GRAPH_AXIS_Y, plat::FALSE, plat::FALSE);
    d.Paint();
    EXPECT_EQ(d.Count(kGrid, d.Data()), 0);
}

TEST(ChartPaintTest, ScaleLabelsAreWhiteUnderMajorTicksAndStayInsideTheGraph)
{
    Chart c;
    c.graph.SetAxisRange(GRAPH_AXIS_X, 0, 100, plat::FALSE);
    c.Paint();
    const plat::CRect a = c.Data();
    const std::vector<tagAxisTick> xt = c.Ticks(GRAPH_AXIS_X);
    ASSERT_TRUE(xt.front().bMajor);
    const int x0 = a.left + xt.front().nOffset;
    EXPECT_EQ(c.At(x0, a.bottom + 3), qRgb(0, 0, 0));  // major tick from the frame out
    EXPECT_EQ(c.At(x0, a.bottom + 4), qRgb(0, 0, 0));
    EXPECT_GT(c.Count(kWhite, {x0 - 15, a.bottom + 5, x0 + 15, 300}), 0);
    // The label of the last tick is pulled in to end 3 pixels inside.
    const plat::CRect band(300, a.bottom + 5, 400, 300);
    EXPECT_EQ(c.Count(kWhite, {397, band.top, 400, band.bottom}), 0);
    EXPECT_GT(c.Count(kWhite, {380, band.top, 397, band.bottom}), 0);
    // Y labels end left of their tick.
    EXPECT_GT(c.Count(kWhite, {0, a.top, a.left - 5, a.bottom}), 0);
    EXPECT_EQ(c.Count(kWhite, {a.left - 5, a.top, a.left, a.bottom}), 0);
}

TEST(ChartPaintTest, APlotUnderFivePixelsPaintsNothing)
{
    Chart c;
    const QImage before = c.image;
    {
        plat::CDC dc(&c.image);
        c.graph.GetDrawer()->Draw(&dc, plat::CRect(10, 10, 14, 410));
        c.graph.GetDrawer()->Draw(&dc, plat::CRect(10, 10, 410, 14));
    }
    EXPECT_EQ(c.image, before);
}

TEST(ChartPaintTest, LogarithmicGapBreaksTheLine)
{
    const plat::COLORREF red = plat::RGB(255, 0, 0);
    auto Paint = [&](bool bMarks, const std::vector<double>& y, Chart& c) {
        c.graph.SetAxisLogarithm(GRAPH_AXIS_Y, plat::TRUE);
        c.graph.SetAxisRange(GRAPH_AXIS_Y, 1, 1000, plat::FALSE);
        c.graph.SetAxisRange(GRAPH_AXIS_X, 0, 10, plat::FALSE);
        c.graph.ShowMarks(bMarks);
        std::vector<double> x;
        for (std::size_t i = 0; i < y.size(); ++i) x.push_back(2.0 + 3.0 * i);
        Fill(c.graph, x, y);
        c.graph.GetSeries(0)->SetColor(red);
        c.Paint();
    };
    Chart none;
    Paint(false, {10, 0, 100}, none);
    EXPECT_EQ(none.Count(qRgb(255, 0, 0), none.Data()), 0);

    Chart joined;  // the same without the gap draws its line
    Paint(false, {10, 50, 100}, joined);
    EXPECT_GT(joined.Count(qRgb(255, 0, 0), joined.Data()), 0);

    Chart marked;  // markers of the two points still show, nothing between
    Paint(true, {10, 0, 100}, marked);
    const plat::CRect a = marked.Data();
    plat::CPoint p1, p3;
    p1.x = marked.graph.GetPositionByValue(GRAPH_AXIS_X, 2);
    p1.y = marked.graph.GetPositionByValue(GRAPH_AXIS_Y, 10);
    p3.x = marked.graph.GetPositionByValue(GRAPH_AXIS_X, 8);
    p3.y = marked.graph.GetPositionByValue(GRAPH_AXIS_Y, 100);
    plat::CRect r1(p1.x - 4, p1.y - 4, p1.x + 5, p1.y + 5);
    plat::CRect r3(p3.x - 4, p3.y - 4, p3.x + 5, p3.y + 5);
    EXPECT_GT(marked.Count(qRgb(255, 0, 0), r1), 0);
    EXPECT_GT(marked.Count(qRgb(255, 0, 0), r3), 0);
    EXPECT_EQ(marked.Count(qRgb(255, 0, 0), a), marked.Count(qRgb(255, 0, 0), r1) + marked.Count(qRgb(255, 0, 0), r3));
}

TEST(ChartPaintTest, MarkerShapes)
{
    Chart c;
    const plat::COLORREF fill = plat::RGB(255, 0, 0);
    auto Draw = [&](int nStyle) {
        QImage img(20, 20, QImage::Format_RGB32);
        img.fill(Qt::white);
        plat::CDC dc(&img);
        c.graph.GetDrawer()->DrawPointStyle(&dc, static_cast<eCurvePointStyle>(nStyle), fill, {10, 10});
        dc.DeleteDC();
        return img;
    };
    QImage blank(20, 20, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_EQ(Draw(0), blank);
    EXPECT_EQ(Draw(7), blank);
    EXPECT_EQ(Draw(-1), blank);
    // The cross is the two diagonals only: outline, never the fill.
    const QImage cross = Draw(2);
    Chart probe;
    int nRed = 0, nBlack = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            nRed += cross.pixel(x, y) == qRgb(255, 0, 0);
            nBlack += cross.pixel(x, y) == qRgb(0, 0, 0);
        }
    EXPECT_EQ(nRed, 0);
    EXPECT_GT(nBlack, 0);
    EXPECT_EQ(cross.pixel(10, 10), qRgb(0, 0, 0));
    EXPECT_EQ(cross.pixel(10, 8), qRgb(255, 255, 255));
    // Filled shapes show the fill inside the 7 x 7 square around the point.
    for (int s : {1, 3, 4, 5, 6}) {
        const QImage m = Draw(s);
        EXPECT_EQ(m.pixel(10, 10), qRgb(255, 0, 0)) << s;
        EXPECT_EQ(m.pixel(10, 14), qRgb(255, 255, 255)) << s;
        EXPECT_EQ(m.pixel(14, 10), qRgb(255, 255, 255)) << s;
    }
}

namespace {
// Paints the same data with the fast drawer and with the naive one.
template <class Naive>
void ExpectSamePicture(eGraphStyle eStyle, const std::vector<double>& x, const std::vector<double>& y,
                       eCurvePointStyle eMarker, double dXMax, plat::COLORREF crSeries = plat::RGB(0, 0, 128))
{
    Chart fast(eStyle, 734, 324);
    Chart naive(eStyle, 734, 324);
    naive.graph.SetDrawer(std::make_unique<Naive>(&naive.graph));
    for (Chart* c : {&fast, &naive}) {
        c->graph.SetAxisRange(GRAPH_AXIS_X, 0, dXMax, plat::FALSE);
        c->graph.SetAxisRange(GRAPH_AXIS_Y, 0, 1000, plat::FALSE);
        Fill(c->graph, x, y);
        c->graph.GetSeries(0)->SetPointStyle(eMarker);
        c->graph.GetSeries(0)->SetColor(crSeries);
        c->graph.GetSeries(0)->SetRange(200, 500, 800);
        c->Paint();
    }
    ASSERT_EQ(fast.image.size(), naive.image.size());
    int nDiff = 0;
    for (int yy = 0; yy < fast.image.height(); ++yy)
        for (int xx = 0; xx < fast.image.width(); ++xx) nDiff += fast.At(xx, yy) != naive.At(xx, yy);
    EXPECT_EQ(nDiff, 0);
    const QRgb rgb = qRgb(plat::GetRValue(crSeries), plat::GetGValue(crSeries), plat::GetBValue(crSeries));
    EXPECT_GT(fast.Count(rgb, fast.Data()), 0);
}
}  // namespace

TEST(ChartPaintTest, FastLinePictureEqualsEveryPointDrawn)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0, 1000);
    std::vector<double> x, y;
    for (int i = 0; i < 300; ++i) {  // about two pixels apart
        x.push_back(i);
        y.push_back(i == 150 ? std::numeric_limits<double>::quiet_NaN() : u(rng));
    }
    ExpectSamePicture<NaiveLineDrawer>(GRAPH_LINE, x, y, POINT_TRIANGLE_UP, 300);
    // Many points per column: one colour, so the union is the same too.
    x.clear();
    y.clear();
    std::normal_distribution<double> noise(0, 40);
    for (int i = 0; i < 20000; ++i) {
        x.push_back(i * 0.015);
        y.push_back(500 + 300 * std::sin(i * 0.001) + noise(rng));
    }
    ExpectSamePicture<NaiveLineDrawer>(GRAPH_LINE, x, y, POINT_DIAMOND, 300);
    // Points far outside the plot still give the same picture.
    ExpectSamePicture<NaiveLineDrawer>(GRAPH_LINE, {10, 20, 30, 40}, {500, 2500, -900, 400}, POINT_CIRCLE, 50);
}

// A line leaves its last point unpainted: when a run ends with several
// points on the one pixel of a column's extreme, the lines between them
// paint nothing, so that pixel stays clear too. In X order and not.
TEST(ChartPaintTest, RunsEndingOnTheirExtremePixelLeaveItUnpainted)
{
    std::vector<double> x, y;
    auto Run = [&](double x0, double yFrom, double yTo, double yEnd) {
        for (int i = 0; i <= 40; ++i) {
            x.push_back(x0 + i * 0.001);
            y.push_back(yFrom + (yTo - yFrom) * i / 40.0);
        }
        for (int i = 1; i <= 3; ++i) {
            x.push_back(x0 + (40 + i) * 0.001);
            y.push_back(yEnd + i * 0.1);
        }
        x.push_back(x0 + 0.05);
        y.push_back(std::numeric_limits<double>::quiet_NaN());
    };
    Run(1.0, 100, 290, 301);   // ends on its top pixel
    Run(2.0, 700, 420, 401);   // ends on its bottom pixel
    Run(3.0, 500, 500.2, 500); // one pixel throughout
    ExpectSamePicture<NaiveLineDrawer>(GRAPH_LINE, x, y, POINT_NONE, 4);
    std::swap(x[3], x[50]);  // out of X order
    ExpectSamePicture<NaiveLineDrawer>(GRAPH_LINE, x, y, POINT_NONE, 4);
}

TEST(ChartPaintTest, FastScatterPictureEqualsEveryPointDrawn)
{
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(0, 1000);
    std::vector<double> x, y;
    for (int i = 0; i < 200; ++i) {
        x.push_back(i);
        y.push_back(u(rng));
    }
    ExpectSamePicture<NaiveScatterDrawer>(GRAPH_SCATTER, x, y, POINT_SQUARE, 200);
    // A position met again after others: its later marker covers theirs.
    ExpectSamePicture<NaiveScatterDrawer>(GRAPH_SCATTER, {10, 11, 10, 30, 31, 32, 30}, {500, 502, 500, 400, 401, 400, 400},
                                          POINT_SQUARE, 200);
    // Many points a column, as a live scatter grows: markers of the
    // outline's colour are one colour, others two.
    x.clear();
    y.clear();
    std::normal_distribution<double> noise(0, 30);
    for (int i = 0; i < 20000; ++i) {
        x.push_back(i * 0.01);
        y.push_back(500 + 200 * std::sin(i * 0.002) + noise(rng));
    }
    ExpectSamePicture<NaiveScatterDrawer>(GRAPH_SCATTER, x, y, POINT_TRIANGLE_UP, 200, plat::RGB(0, 0, 0));
    ExpectSamePicture<NaiveScatterDrawer>(GRAPH_SCATTER, x, y, POINT_DIAMOND, 200);
}

TEST(ChartPaintTest, BarsFillTheirCellsThirdOrHalf)
{
    EXPECT_EQ(CVelGraphBarDrawer::GetDrawBarRect({0, 10, 90, 50}), plat::CRect(30, 10, 60, 50));
    EXPECT_EQ(CVelGraphBarDrawer::GetDrawBarRect({0, 10, 50, 50}), plat::CRect(12, 10, 37, 50));
    EXPECT_EQ(CVelGraphBarDrawer::GetDrawBarRect({100, 0, 160, 9}), plat::CRect(120, 0, 140, 9));

    Chart c(GRAPH_BAR, 560, 300);
    c.graph.SetAxisRange(GRAPH_AXIS_X, 0, 5, plat::FALSE);
    c.graph.SetAxisRange(GRAPH_AXIS_Y, 0, 100, plat::FALSE);
    Fill(c.graph, {3}, {50});
    c.graph.GetSeries(0)->SetColor(plat::RGB(0, 0, 255));
    c.Paint();
    const plat::CRect a = c.Data();
    const tagGraphAxis& ax = *c.graph.GetAxis(GRAPH_AXIS_X);
    EXPECT_EQ(ax.nTickCount, 5);
    const int nCell = a.Width() / 5;
    const int xMid = a.left + 2 * nCell + nCell / 2;  // third category
    EXPECT_EQ(c.At(xMid, a.bottom - 5), qRgb(0, 0, 255));
    EXPECT_NE(c.At(xMid - nCell, a.bottom - 5), qRgb(0, 0, 255));
    EXPECT_NE(c.At(xMid, a.top + 5), qRgb(0, 0, 255));
    // The bar's top edge is outlined black.
    const int yTop = c.graph.GetPositionByValue(GRAPH_AXIS_Y, 50);
    EXPECT_EQ(c.At(xMid, yTop), qRgb(0, 0, 0));
    // Six boundaries carry grid lines.
    int nGridColumns = 0;
    for (int x = a.left; x <= a.right; ++x) nGridColumns += c.At(x, a.top + 2) == kGrid;
    EXPECT_EQ(nGridColumns, 6);
    EXPECT_EQ(c.At(a.right, a.top - 1), kGrid);

    // A value far above the range fills its cell to the top, and quickly.
    Chart tall(GRAPH_BAR, 560, 300);
    tall.graph.SetAxisRange(GRAPH_AXIS_X, 0, 5, plat::FALSE);
    tall.graph.SetAxisRange(GRAPH_AXIS_Y, 0, 100, plat::FALSE);
    Fill(tall.graph, {3}, {1e12});
    tall.graph.GetSeries(0)->SetColor(plat::RGB(0, 0, 255));
    tall.Paint();
    EXPECT_EQ(tall.At(xMid, tall.Data().top), qRgb(0, 0, 255));

    // Under half a unit: no categories, no bars, no crash.
    Chart n(GRAPH_BAR);
    n.graph.SetAxisRange(GRAPH_AXIS_X, 0, 0.4, plat::FALSE);
    Fill(n.graph, {0.2}, {50});
    n.graph.GetSeries(0)->SetColor(plat::RGB(0, 0, 255));
    n.Paint();
    EXPECT_EQ(n.Count(qRgb(0, 0, 255), n.Data()), 0);
}

TEST(ChartPaintTest, BadRangesPaintWithoutFailing)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (eGraphStyle e : {GRAPH_LINE, GRAPH_BAR, GRAPH_SCATTER}) {
        for (int bLog : {0, 1}) {
            for (auto range : {std::pair{5.0, 5.0}, std::pair{10.0, 0.0}, std::pair{-5.0, 0.0}, std::pair{nan, 1.0}}) {
                Chart c(e);
                c.graph.SetAxisLogarithm(GRAPH_AXIS_Y, bLog);
                c.graph.SetAxisRange(GRAPH_AXIS_X, range.first, range.second, plat::FALSE);
                c.graph.SetAxisRange(GRAPH_AXIS_Y, range.first, range.second, plat::FALSE);
                Fill(c.graph, {1, 2, 1e300, -1e300}, {1, 1e300, -1e300, 2});
                c.Paint();
                EXPECT_EQ(c.At(c.Data().right + 2, c.Data().top), kFrame);
            }
        }
    }
}

TEST(ChartPaintTest, MarkerTooltipsAnswerFromTheDataUnderThePointer)
{
    Chart c;
    plat::CToolTipCtrl tip;
    c.graph.SetAxisRange(GRAPH_AXIS_X, 0, 100, plat::FALSE);
    c.graph.SetAxisRange(GRAPH_AXIS_Y, 0, 100, plat::FALSE);
    Fill(c.graph, {20, 60}, {30, 70.5});
    c.graph.GetSeries(0)->SetTipInfo(QStringLiteral("Speed"));
    c.graph.SetToolTip(&tip);
    c.Paint();
    CVelGraphDrawer& d = *c.graph.GetDrawer();
    const plat::CPoint p(c.graph.GetPositionByValue(GRAPH_AXIS_X, 60), c.graph.GetPositionByValue(GRAPH_AXIS_Y, 70.5));
    plat::CString text;
    plat::CRect rc;
    ASSERT_TRUE(d.GetToolTip(p, text, rc));
    EXPECT_EQ(text, QStringLiteral("Speed (60.00, 70.50)"));
    EXPECT_EQ(rc, plat::CRect(p.x - 3, p.y - 3, p.x + 3, p.y + 3));
    EXPECT_TRUE(d.GetToolTip({p.x - 3, p.y - 3}, text, rc));
    EXPECT_FALSE(d.GetToolTip({p.x + 3, p.y}, text, rc));
    EXPECT_EQ(tip.GetToolCount(), 0);  // nothing registered per point

    c.graph.ShowTip(plat::FALSE);
    EXPECT_FALSE(d.GetToolTip(p, text, rc));
    c.graph.ShowTip(plat::TRUE);
    c.graph.ShowMarks(plat::FALSE);
    EXPECT_FALSE(d.GetToolTip(p, text, rc));
}

TEST(ChartPaintTest, RepaintFollowsChangedPointsOfTheSameCount)
{
    auto Setup = [](Chart& c, double y1) {
        c.graph.SetAxisRange(GRAPH_AXIS_X, 0, 10, plat::FALSE);
        c.graph.SetAxisRange(GRAPH_AXIS_Y, 0, 100, plat::FALSE);
        Fill(c.graph, {2, 5, 8}, {20, y1, 40});
    };
    Chart changed;
    Setup(changed, 60);
    changed.Paint();
    const QImage before = changed.image;
    changed.graph.GetSeries(0)->SetAt(1, 5, 90);
    changed.Paint();
    Chart fresh;
    Setup(fresh, 90);
    fresh.Paint();
    EXPECT_NE(changed.image, before);
    EXPECT_EQ(changed.image, fresh.image);

    // Emptied and refilled with as many points: painted anew as well.
    const double x[] = {2, 5, 8}, y[] = {20, 60, 40};
    changed.graph.SetSeriesAt(0, 3, x, y);
    changed.Paint();
    EXPECT_EQ(changed.image, before);
}

TEST(ChartPaintTest, ActiveLineSeriesIsDrawnWider)
{
    auto Pixels = [](bool bActive) {
        Chart c;
        c.graph.SetAxisRange(GRAPH_AXIS_X, 0, 10, plat::FALSE);
        c.graph.SetAxisRange(GRAPH_AXIS_Y, 0, 100, plat::FALSE);
        c.graph.ShowMarks(plat::FALSE);
        Fill(c.graph, {1, 5, 9}, {10, 90, 30});
        c.graph.GetSeries(0)->SetColor(plat::RGB(255, 0, 0));
        c.graph.ActivateSeries(0, bActive);
        c.Paint();
        return c.Count(qRgb(255, 0, 0), c.Data());
    };
    const int nThin = Pixels(false);
    EXPECT_GT(nThin, 100);
    EXPECT_GT(Pixels(true), nThin + nThin / 2);
}

TEST(ChartPaintTest, LegendShowsSwatchesAndLabelsInItsFramedBand)
{
    Chart c(GRAPH_LINE, 500, 300);
    Fill(c.graph, {1, 2}, {3, 4});
    Fill(c.graph, {1, 2}, {5, 6});
    c.graph.GetSeries(0)->SetColor(plat::RGB(255, 0, 0));
    c.graph.GetSeries(1)->SetColor(plat::RGB(0, 160, 0));
    c.graph.SetLegendLabel(0, QStringLiteral("Speed"));
    c.graph.SetLegendLabel(1, QStringLiteral("Torque"));
    c.graph.GetLegend().EnableShow(1);
    c.Paint();
    const plat::CRect rcLegend = c.graph.GetLegend().GetBound();
    ASSERT_FALSE(rcLegend.IsRectEmpty());
    EXPECT_EQ(c.At(rcLegend.left, rcLegend.top + rcLegend.Height() / 2), qRgb(128, 128, 128));  // border
    const plat::CRect rc0 = c.graph.GetLegend().GetItem(0)->GetBound();
    const plat::CRect rc1 = c.graph.GetLegend().GetItem(1)->GetBound();
    // Swatch lines in the series' colours at the front of each entry.
    EXPECT_EQ(c.At(rc0.left + 1, (rc0.top + rc0.bottom) / 2), qRgb(255, 0, 0));
    EXPECT_EQ(c.At(rc1.left + 1, (rc1.top + rc1.bottom) / 2), qRgb(0, 160, 0));
    // Labels behind the swatch (default text colour black).
    EXPECT_GT(c.Count(qRgb(0, 0, 0), {rc1.left + 26, rc1.top, rc1.right, rc1.bottom}), 0);
    // The entry selected first carries the blue handles at its corners.
    EXPECT_EQ(c.At(rc0.left, rc0.top), qRgb(0, 0, 192));
    EXPECT_NE(c.At(rc1.left, rc1.top), qRgb(0, 0, 192));
}

namespace {
// A live chart: the fast one keeps what it derived between paints, the
// naive one draws every point; both get the same changes.
struct LivePair {
    Chart fast{GRAPH_LINE, 734, 324};
    Chart naive{GRAPH_LINE, 734, 324};
    LivePair() { naive.graph.SetDrawer(std::make_unique<NaiveLineDrawer>(&naive.graph)); }
    void Apply(const std::function<void(CVelGraph&)>& change)
    {
        change(fast.graph);
        change(naive.graph);
    }
    // Pixels that differ after painting both.
    int Differences()
    {
        fast.Paint();
        naive.Paint();
        int nDiff = 0;
        for (int y = 0; y < fast.image.height(); ++y)
            for (int x = 0; x < fast.image.width(); ++x) nDiff += fast.At(x, y) != naive.At(x, y);
        return nDiff;
    }
};

// A speed-like trace: steps, a first-order approach, noise and a few gaps.
void Trace(std::vector<double>& x, std::vector<double>& y, int nFrom, int nCount, double dXStep)
{
    std::mt19937 rng(static_cast<unsigned>(nFrom + 11));
    std::normal_distribution<double> noise(0, 4);
    double v = y.empty() ? 0 : y.back();
    for (int i = nFrom; i < nFrom + nCount; ++i) {
        const double dTarget = 200 + 150 * ((i / 700) % 5);
        v += (dTarget - v) * 0.08;
        x.push_back(i * dXStep);
        y.push_back(i % 997 == 500 ? std::numeric_limits<double>::quiet_NaN() : v + noise(rng));
    }
}
}  // namespace

TEST(ChartPaintTest, LivePictureEqualsEveryPointDrawnAfterEveryKindOfChange)
{
    LivePair pair;
    std::vector<double> x, y, x2, y2;
    Trace(x, y, 0, 12000, 0.025);
    for (int i = 0; i < 400; ++i) {  // a second, sparse series
        x2.push_back(i * 0.75);
        y2.push_back(600 + 200 * std::sin(i * 0.05));
    }
    pair.Apply([&](CVelGraph& g) {
        g.SetAxisRange(GRAPH_AXIS_X, 0, 320, plat::FALSE);
        g.SetAxisRange(GRAPH_AXIS_Y, 0, 1000, plat::FALSE);
        Fill(g, x, y);
        g.GetSeries(0)->SetPointStyle(POINT_TRIANGLE_UP);
        g.GetSeries(0)->SetColor(plat::RGB(0, 0, 128));
        g.AddSeries(static_cast<plat::UINT>(x2.size()), x2.data(), y2.data());
        g.GetSeries(1)->SetPointStyle(POINT_DIAMOND);
        g.GetSeries(1)->SetColor(plat::RGB(128, 0, 0));
    });
    ASSERT_EQ(pair.Differences(), 0) << "first paint";
    ASSERT_GT(pair.fast.Count(qRgb(0, 0, 128), pair.fast.Data()), 1000);

    int nNext = static_cast<int>(x.size());
    auto Append = [&](int nCount) {
        std::vector<double> ax, ay;
        Trace(ax, ay, nNext, nCount, 0.025);
        nNext += nCount;
        pair.Apply([&](CVelGraph& g) {
            for (std::size_t i = 0; i < ax.size(); ++i) g.AddOneDataOfSeries(0, ax[i], ay[i]);
        });
    };
    struct Step {
        const char* pszName;
        std::function<void()> change;
    };
    const std::vector<Step> steps = {
        {"one append", [&] { Append(1); }},
        {"many appends", [&] { Append(900); }},
        {"appends past the right edge", [&] { Append(1500); }},
        {"X range growing", [&] { pair.Apply([](CVelGraph& g) { g.SetAxisRange(GRAPH_AXIS_X, 0, 420, plat::FALSE); }); }},
        {"Y range growing", [&] { pair.Apply([](CVelGraph& g) { g.SetAxisRange(GRAPH_AXIS_Y, -150, 1300, plat::FALSE); }); }},
        {"append after the Y change", [&] { Append(37); }},
        {"a point changed in the middle",
         [&] { pair.Apply([](CVelGraph& g) { g.GetSeries(0)->SetAt(6000, 150.0, 990.0); }); }},
        {"a point in the middle made NaN",
         [&] { pair.Apply([](CVelGraph& g) { g.GetSeries(0)->SetAt(3000, 75.0, std::nan("")); }); }},
        {"series hidden", [&] { pair.Apply([](CVelGraph& g) { g.GetSeries(0)->EnableShow(plat::FALSE); }); }},
        {"series shown again", [&] { pair.Apply([](CVelGraph& g) { g.GetSeries(0)->EnableShow(plat::TRUE); }); }},
        {"appends while the other series changes",
         [&] {
             Append(50);
             pair.Apply([](CVelGraph& g) { g.AddOneDataOfSeries(1, 301, 700); });
         }},
        {"X range zoomed into the middle (points far off both sides)",
         [&] { pair.Apply([](CVelGraph& g) { g.SetAxisRange(GRAPH_AXIS_X, 140.3, 151.7, plat::FALSE); }); }},
        {"X range zoomed far in", [&] { pair.Apply([](CVelGraph& g) { g.SetAxisRange(GRAPH_AXIS_X, 100.01, 100.4, plat::FALSE); }); }},
        {"Y range cutting the trace", [&] { pair.Apply([](CVelGraph& g) { g.SetAxisRange(GRAPH_AXIS_Y, 300, 420, plat::FALSE); }); }},
        {"markers off", [&] { pair.Apply([](CVelGraph& g) { g.ShowMarks(plat::FALSE); }); }},
        {"markers on, whole range",
         [&] {
             pair.Apply([](CVelGraph& g) {
                 g.ShowMarks(plat::TRUE);
                 g.SetAxisRange(GRAPH_AXIS_X, 0, 450, plat::FALSE);
                 g.SetAxisRange(GRAPH_AXIS_Y, 0, 1000, plat::FALSE);
             });
         }},
        {"logarithmic Y axis", [&] { pair.Apply([](CVelGraph& g) {
             g.SetAxisRange(GRAPH_AXIS_Y, 1, 2000, plat::FALSE);
             g.SetAxisLogarithm(GRAPH_AXIS_Y, plat::TRUE);
         }); }},
        {"values without a place on the logarithmic axis",
         [&] { pair.Apply([](CVelGraph& g) {
             for (int i = 0; i < 30; ++i) g.AddOneDataOfSeries(0, 400 + i * 0.025, i % 3 == 0 ? 0.0 : 500.0 + i);
         }); }},
        {"logarithmic X axis too", [&] { pair.Apply([](CVelGraph& g) {
             g.SetAxisRange(GRAPH_AXIS_X, 1, 500, plat::FALSE);
             g.SetAxisLogarithm(GRAPH_AXIS_X, plat::TRUE);
         }); }},
        {"linear again", [&] { pair.Apply([](CVelGraph& g) {
             g.SetAxisLogarithm(GRAPH_AXIS_X, plat::FALSE);
             g.SetAxisLogarithm(GRAPH_AXIS_Y, plat::FALSE);
             g.SetAxisRange(GRAPH_AXIS_X, 0, 450, plat::FALSE);
             g.SetAxisRange(GRAPH_AXIS_Y, 0, 1000, plat::FALSE);
         }); }},
        {"series replaced by fewer points", [&] {
             std::vector<double> rx, ry;
             Trace(rx, ry, 0, 3000, 0.1);
             pair.Apply([&](CVelGraph& g) { g.SetSeriesAt(0, static_cast<plat::UINT>(rx.size()), rx.data(), ry.data()); });
         }},
        {"appends after the replacement", [&] { Append(200); }},
        {"graph markers added", [&] { pair.Apply([](CVelGraph& g) {
             g.AddMarker(120, plat::RGB(255, 255, 0), plat::PS_SOLID, QStringLiteral("mark"));
             g.AddMarker(300, plat::RGB(0, 255, 0), plat::PS_DOT, QString());
         }); }},
        {"graph markers moved by the X range", [&] { Append(40); pair.Apply([](CVelGraph& g) {
             g.SetAxisRange(GRAPH_AXIS_X, 0, 460, plat::FALSE);
         }); }},
        {"graph markers removed", [&] { pair.Apply([](CVelGraph& g) { g.RemoveAllMarkers(); }); }},
        {"background colour", [&] { pair.Apply([](CVelGraph& g) { g.SetBkgColor(plat::RGB(30, 60, 90)); }); }},
        {"series colour", [&] { pair.Apply([](CVelGraph& g) { g.GetSeries(0)->SetColor(plat::RGB(0, 140, 0)); }); }},
        {"both series one colour", [&] { pair.Apply([](CVelGraph& g) { g.GetSeries(1)->SetColor(plat::RGB(0, 140, 0)); }); }},
        {"series marks hidden", [&] { pair.Apply([](CVelGraph& g) { g.GetSeries(0)->EnableShowMark(plat::FALSE); }); }},
        {"series marks shown", [&] { pair.Apply([](CVelGraph& g) { g.GetSeries(0)->EnableShowMark(plat::TRUE); }); }},
        {"wide pen", [&] { pair.Apply([](CVelGraph& g) { g.GetSeries(1)->SetWidth(3); }); }},
        {"appends under the wide pen", [&] { Append(30); }},
        {"thin pen again", [&] { pair.Apply([](CVelGraph& g) { g.GetSeries(1)->SetWidth(1); }); }},
        {"appends after the thin pen", [&] { Append(30); }},
    };
    for (const Step& step : steps) {
        step.change();
        EXPECT_EQ(pair.Differences(), 0) << step.pszName;
    }
}

namespace {
// The application's chart: whole-rpm samples one a second, no gaps, and
// both ranges set after every sample.
struct LiveRun {
    LivePair pair;
    std::mt19937 rng{5};
    std::normal_distribution<double> noise{0.0, 3.0};
    double v = 0.0, dMax = 0.0;
    int n = 0;
    void Sample(CVelGraph& g, double x, double y) { g.AddOneDataOfSeries(0, x, y); }
    void Step()
    {
        const double dTarget = 300.0 + 200.0 * ((n / 600) % 4);
        v += (dTarget - v) * 0.05;
        const double y = std::max(0.0, std::round(v + noise(rng)));
        dMax = std::max(dMax, y);
        ++n;
        pair.Apply([&](CVelGraph& g) {
            Sample(g, n, y);
            g.SetAxisRange(GRAPH_AXIS_Y, 0, dMax * 1.025, plat::FALSE);
            g.SetAxisRange(GRAPH_AXIS_X, 0, n + 1, plat::FALSE);
        });
    }
};
}  // namespace

TEST(ChartPaintTest, LiveRunPictureEqualsEveryPointDrawnAtEverySample)
{
    LiveRun run;
    run.pair.Apply([](CVelGraph& g) {
        const double x0 = 0, y0 = 0;
        g.AddSeries(1, &x0, &y0);
        g.GetSeries(0)->SetPointStyle(POINT_TRIANGLE_UP);
        g.GetSeries(0)->SetColor(plat::RGB(0, 0, 128));
    });
    // Sparse at first, then many samples to a column; every paint checked
    // early on, then every few samples.
    for (int i = 0; i < 3000; ++i) {
        run.Step();
        if (i < 40 || i % 97 == 0) {
            ASSERT_EQ(run.pair.Differences(), 0) << "after sample " << run.n;
        }
    }
    struct Step {
        const char* pszName;
        std::function<void(CVelGraph&)> change;
    };
    const std::vector<Step> steps = {
        {"a point changed in the middle", [](CVelGraph& g) { g.GetSeries(0)->SetAt(1500, 1500.0, 1400.0); }},
        {"hidden", [](CVelGraph& g) { g.GetSeries(0)->EnableShow(plat::FALSE); }},
        {"shown again", [](CVelGraph& g) { g.GetSeries(0)->EnableShow(plat::TRUE); }},
        {"zoomed in", [](CVelGraph& g) { g.SetAxisRange(GRAPH_AXIS_X, 1000.5, 1100.25, plat::FALSE); }},
        {"logarithmic Y", [](CVelGraph& g) {
             g.SetAxisRange(GRAPH_AXIS_X, 0, 3100, plat::FALSE);
             g.SetAxisRange(GRAPH_AXIS_Y, 10, 2000, plat::FALSE);
             g.SetAxisLogarithm(GRAPH_AXIS_Y, plat::TRUE);
         }},
        {"logarithmic X", [](CVelGraph& g) {
             g.SetAxisRange(GRAPH_AXIS_X, 1, 4000, plat::FALSE);
             g.SetAxisLogarithm(GRAPH_AXIS_X, plat::TRUE);
         }},
        {"wide pen", [](CVelGraph& g) {
             g.SetAxisLogarithm(GRAPH_AXIS_X, plat::FALSE);
             g.SetAxisLogarithm(GRAPH_AXIS_Y, plat::FALSE);
             g.GetSeries(0)->SetWidth(3);
         }},
    };
    for (const Step& s : steps) {
        run.pair.Apply(s.change);
        EXPECT_EQ(run.pair.Differences(), 0) << s.pszName;
        for (int i = 0; i < 5; ++i) run.Step();
        EXPECT_EQ(run.pair.Differences(), 0) << "live samples after: " << s.pszName;
    }
}

// On a long series in X order the pointer is tested against the points
// near it only; the answers are those of testing every point, with
// several points under the pointer and at the hot spots' edges.
TEST(ChartPaintTest, MarkerHitTestsOfALongOrderedSeriesEqualTestingEveryPoint)
{
    LivePair pair;
    plat::CToolTipCtrl tipFast, tipNaive;
    std::vector<double> x, y;
    for (int i = 0; i < 20000; ++i) {
        x.push_back(i * 0.05);
        y.push_back(500 + 300 * std::sin(i * 0.003) + (i % 7) * 3.0);
    }
    pair.Apply([&](CVelGraph& g) {
        g.SetAxisRange(GRAPH_AXIS_X, 0, 1000, plat::FALSE);
        g.SetAxisRange(GRAPH_AXIS_Y, 0, 1000, plat::FALSE);
        Fill(g, x, y);
        g.GetSeries(0)->SetTipInfo(QStringLiteral("Speed"));
    });
    pair.fast.graph.SetToolTip(&tipFast);
    pair.naive.graph.SetToolTip(&tipNaive);
    ASSERT_EQ(pair.Differences(), 0);
    const plat::CRect rcData = pair.fast.Data();
    int nHits = 0, nAsked = 0;
    for (int px = rcData.left - 5; px < rcData.right + 5; px += 3) {
        for (int py = rcData.top - 5; py < rcData.bottom + 5; py += 7) {
            plat::CString textFast, textNaive;
            plat::CRect rcFast, rcNaive;
            const plat::BOOL bFast = pair.fast.graph.GetDrawer()->GetToolTip({px, py}, textFast, rcFast);
            const plat::BOOL bNaive = pair.naive.graph.GetDrawer()->GetToolTip({px, py}, textNaive, rcNaive);
            ASSERT_EQ(bFast, bNaive) << px << "," << py;
            EXPECT_EQ(pair.fast.graph.GetDrawer()->FindSeriesByPoint(rcData, {px, py}),
                      pair.naive.graph.GetDrawer()->FindSeriesByPoint(rcData, {px, py}))
                << px << "," << py;
            ++nAsked;
            if (!bFast) continue;
            ++nHits;
            EXPECT_EQ(textFast, textNaive) << px << "," << py;
            EXPECT_EQ(rcFast, rcNaive) << px << "," << py;
        }
    }
    EXPECT_GT(nHits, 100);
    EXPECT_LT(nHits, nAsked);
}
