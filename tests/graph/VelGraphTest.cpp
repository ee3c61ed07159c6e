#include "GraphTestPrint.h"
#include "graph/VelGraph.h"
#include "platform/InvalidArgException.h"
#include "render/VelGraphBarDrawer.h"
#include "render/VelGraphLineDrawer.h"
#include "render/VelGraphLegendDlg.h"
#include "render/VelGraphScatterDrawer.h"
#include "support/ModalAnswer.h"

#include <QPaintEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

// Exposes the protected layout fields and range operations to the tests.
class TestGraph : public CVelGraph {
public:
    explicit TestGraph(eGraphStyle eStyle = GRAPH_LINE, QWidget* pWnd = nullptr) : CVelGraph(pWnd, eStyle) {}
    using CVelGraph::CalculateAxisRange;
    using CVelGraph::CorrectAxisRange;
    using CVelGraph::CorrectValueByPrecision;
    using CVelGraph::RecalculateAxisRange;
    using CVelGraph::m_bSendActivateMsg;
    using CVelGraph::m_bSeriesActivate;
    using CVelGraph::m_crBkg;
    using CVelGraph::m_crFrame;
    using CVelGraph::m_nFrameWidth;
    using CVelGraph::m_nMarginBottom;
    using CVelGraph::m_nMarginLeft;
    using CVelGraph::m_nMarginRight;
    using CVelGraph::m_nMarginTop;
    using CVelGraph::m_rcPlot;
    using CVelGraph::m_strSignature;

    // Plot 0,0-200,100 with a Y label band 20 wide and an X label band 20
    // high: series activate in 20,0-200,80.
    void LayOutForMouse()
    {
        m_rcPlot = {0, 0, 200, 100};
        GetAxis(GRAPH_AXIS_Y)->rcArea = {0, 0, 20, 100};
        GetAxis(GRAPH_AXIS_X)->rcArea = {20, 80, 200, 100};
    }
};

// A host window that remembers what it was asked to repaint.
class HostWidget : public QWidget {
public:
    QRegion painted;

protected:
    void paintEvent(QPaintEvent* e) override { painted += e->region(); }
};

// A program's drawer: series k lies in the 10-pixel stripe starting at
// rcPlot.top + 10k, k taken from the series' first reference level.
class StripeDrawer : public CVelGraphDrawer {
public:
    using CVelGraphDrawer::CVelGraphDrawer;
    void DrawLegend(plat::CDC*, int, plat::CRect&) override {}
    int nHitTests = 0;

protected:
    void DrawOneSeries(plat::CDC*, plat::CRect, CVelGraphSeries*, plat::CPoint) override {}
    int PointInSeries(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries) override
    {
        ++nHitTests;
        const int nTop = rcPlot.top + 10 * static_cast<int>(pSeries->dRange1);
        return pt.y >= nTop && pt.y < nTop + 10;
    }
};

int AddStripes(CVelGraph& g, int nCount)
{
    for (int i = 0; i < nCount; ++i) {
        const double x = i, y = i;
        g.AddSeries(1, &x, &y);
        g.GetSeries(i)->dRange1 = i;
    }
    return nCount;
}

std::vector<int> Selected(const CVelGraph& g)
{
    std::vector<int> ar(g.GetSeriesCount());
    ar.resize(g.GetSelectedSeries(ar.data()));
    return ar;
}

using Msg = std::pair<int, bool>;
std::vector<Msg> Messages(QSignalSpy& spy)
{
    std::vector<Msg> ar;
    for (const QList<QVariant>& args : spy) ar.emplace_back(args.at(0).toInt(), args.at(1).toBool());
    spy.clear();
    return ar;
}

void ExpectDefaultAxis(const tagGraphAxis& a)
{
    EXPECT_EQ(a.dMin, 0.0);
    EXPECT_EQ(a.dMax, 100.0);
    EXPECT_EQ(a.dInitMin, 0.0);
    EXPECT_EQ(a.dInitMax, 100.0);
    EXPECT_EQ(a.nPrecision, 2);
    EXPECT_EQ(a.eValueType, AXIS_VALUE_DECIMAL);
    EXPECT_EQ(a.bMajorGrid, 1);
    EXPECT_EQ(a.bMinorGrid, 1);
    EXPECT_EQ(a.bRecalculate, 1);
    EXPECT_EQ(a.bDirty, 1);
    EXPECT_EQ(a.bAheadExtend, 1);
    EXPECT_EQ(a.nAheadPart, 4);
    EXPECT_EQ(a.bExtend, 0);
    EXPECT_EQ(a.dExtendValue, 0.0);
    EXPECT_EQ(a.bLogarithm, 0);
    EXPECT_EQ(a.bEnableLogarithm, 1);
    EXPECT_EQ(a.dMaxRangeMin, std::numeric_limits<double>::lowest());
    EXPECT_EQ(a.dMaxRangeMax, std::numeric_limits<double>::max());
    EXPECT_TRUE(a.rcArea.IsRectNull());
    EXPECT_EQ(a.nTickCount, 0);
    EXPECT_EQ(a.nStepsPerLabel, 5);
    EXPECT_EQ(a.nWideSpacing, 30);
    EXPECT_EQ(a.nNarrowSpacing, 20);
}

void ExpectTitleFont(const CVelGraphTitle* p, int nHeight, int nEscapement)
{
    ASSERT_NE(p, nullptr);
    const plat::LOGFONT& lf = p->GetFont();
    EXPECT_EQ(lf.lfHeight, nHeight);
    EXPECT_EQ(lf.lfWeight, plat::FW_BOLD);
    EXPECT_EQ(lf.lfEscapement, nEscapement);
    EXPECT_EQ(lf.lfOrientation, nEscapement);
    EXPECT_EQ(lf.lfWidth, 0);
    EXPECT_EQ(lf.lfItalic, 0);
    EXPECT_EQ(lf.lfCharSet, 0);
    EXPECT_STREQ(lf.lfFaceName, "Microsoft Sans Serif");
    EXPECT_EQ(p->m_bShow, 0);
    EXPECT_TRUE(p->m_strText.isEmpty());
    EXPECT_EQ(p->m_crText, 0u);
    EXPECT_EQ(p->m_nMargin, 5);
}

}  // namespace

TEST(VelGraphTest, NewGraphDefaults)
{
    TestGraph g;
    ExpectDefaultAxis(*g.GetAxis(GRAPH_AXIS_X));
    ExpectDefaultAxis(*g.GetAxis(GRAPH_AXIS_Y));
    ExpectTitleFont(g.GetTitleObject(), 19, 0);
    ExpectTitleFont(g.GetXTitleObject(), 14, 0);
    ExpectTitleFont(g.GetYTitleObject(), 14, 900);
    EXPECT_EQ(g.m_strSignature, QStringLiteral("Zentravolk Graph 1.0"));
    EXPECT_TRUE(g.GetPropertyFileName().isEmpty());
    EXPECT_EQ(g.GetGraphType(), GRAPH_LINE);
    EXPECT_EQ(g.GetSeriesCount(), 0);
    EXPECT_TRUE(g.IsEnableShowLegend());
    EXPECT_FALSE(g.CanShowLegend());
    EXPECT_TRUE(g.IsEnableShowMarks());
    EXPECT_TRUE(g.IsShowMarks());
    EXPECT_TRUE(g.IsShowTip());
    EXPECT_FALSE(g.IsSeriesActivate());
    EXPECT_FALSE(g.IsSendActivateMsg());
    EXPECT_EQ(g.m_nMarginLeft + g.m_nMarginTop + g.m_nMarginRight + g.m_nMarginBottom, 20);
    EXPECT_EQ(g.m_nFrameWidth, 1);
    EXPECT_EQ(g.m_crFrame, 0x202020u);
    EXPECT_EQ(g.GetBkgColor(), 0xEAEAEAu);
    EXPECT_TRUE(g.GetBound().IsRectNull());
    EXPECT_TRUE(g.m_rcPlot.IsRectNull());
    int nNone = -1;
    EXPECT_EQ(g.GetSelectedSeries(&nNone), 0);
    EXPECT_EQ(nNone, -1);
}

TEST(VelGraphTest, DrawerMatchesTheChartTypeAndIsWired)
{
    const struct { int nStyle; const char* pszKind; } rows[] = {{0, "line"}, {1, "bar"}, {2, "scatter"}, {7, "line"}, {-1, "line"}};
    for (const auto& r : rows) {
        TestGraph g(static_cast<eGraphStyle>(r.nStyle));
        CVelGraphDrawer* p = g.GetDrawer();
        const char* pszKind = dynamic_cast<CVelGraphBarDrawer*>(p) ? "bar"
                              : dynamic_cast<CVelGraphScatterDrawer*>(p) ? "scatter"
                              : dynamic_cast<CVelGraphLineDrawer*>(p) ? "line" : "?";
        EXPECT_STREQ(pszKind, r.pszKind) << r.nStyle;
        EXPECT_EQ(p->GetXAxis(), g.GetAxis(GRAPH_AXIS_X));
        EXPECT_EQ(p->GetYAxis(), g.GetAxis(GRAPH_AXIS_Y));
        EXPECT_EQ(p->GetGraph(), &g);
        EXPECT_EQ(g.GetLegend().GetDrawer(), p);
    }
}

TEST(VelGraphTest, SetGraphTypeReplacesTheDrawerOnlyForANewType)
{
    TestGraph g;
    CVelGraphDrawer* pFirst = g.GetDrawer();
    g.SetGraphType(GRAPH_LINE);
    EXPECT_EQ(g.GetDrawer(), pFirst);

    g.SetGraphType(GRAPH_BAR);
    EXPECT_EQ(g.GetGraphType(), GRAPH_BAR);
    ASSERT_NE(dynamic_cast<CVelGraphBarDrawer*>(g.GetDrawer()), nullptr);
    EXPECT_EQ(g.GetDrawer()->GetYAxis(), g.GetAxis(GRAPH_AXIS_Y));
    EXPECT_EQ(g.GetLegend().GetDrawer(), g.GetDrawer());
}

TEST(VelGraphTest, SetDrawerInstallsAProgramsDrawerKeepingTheType)
{
    TestGraph g(GRAPH_SCATTER);
    auto pOwn = std::make_unique<StripeDrawer>(&g);
    StripeDrawer* pRaw = pOwn.get();
    g.SetDrawer(std::move(pOwn));
    EXPECT_EQ(g.GetDrawer(), pRaw);
    EXPECT_EQ(pRaw->GetXAxis(), g.GetAxis(GRAPH_AXIS_X));
    EXPECT_EQ(g.GetLegend().GetDrawer(), pRaw);
    EXPECT_EQ(g.GetGraphType(), GRAPH_SCATTER);

    g.SetDrawer(nullptr);  // ignored: the graph always has a drawer
    EXPECT_EQ(g.GetDrawer(), pRaw);
    g.SetGraphType(GRAPH_SCATTER);  // same type: the program's drawer stays
    EXPECT_EQ(g.GetDrawer(), pRaw);
}

TEST(VelGraphTest, AddSeriesCopiesPointsAddsALegendEntryAndMarksAxes)
{
    TestGraph g;
    g.GetAxis(GRAPH_AXIS_X)->bDirty = 0;
    g.GetAxis(GRAPH_AXIS_Y)->bDirty = 0;
    const double x[] = {1, 2, 3};
    const double y[] = {10, 20, 30};
    EXPECT_EQ(g.AddSeries(3, x, y), 0);
    EXPECT_EQ(g.AddSeries(0, nullptr, nullptr), 1);
    EXPECT_EQ(g.GetSeriesCount(), 2);
    EXPECT_EQ(g.GetLegend().GetCount(), 2);
    EXPECT_EQ(g.GetAxis(GRAPH_AXIS_X)->bDirty, 1);
    EXPECT_EQ(g.GetAxis(GRAPH_AXIS_Y)->bDirty, 1);
    ASSERT_EQ(g.GetSeries(0)->GetSize(), 3);
    double px, py;
    g.GetSeries(0)->GetAt(2, px, py);
    EXPECT_EQ(px, 3.0);
    EXPECT_EQ(py, 30.0);
    EXPECT_EQ(g.GetSeries(1)->GetSize(), 0);
    EXPECT_EQ(g.GetSeries(2), nullptr);
    EXPECT_THROW(g.GetSeries(-1), plat::CInvalidArgException);

    // Missing point arrays are refused before anything changes.
    EXPECT_THROW(g.AddSeries(2, x, nullptr), plat::CInvalidArgException);
    EXPECT_EQ(g.GetSeriesCount(), 2);
    EXPECT_EQ(g.GetLegend().GetCount(), 2);
}

TEST(VelGraphTest, SetSeriesAtRefillsExistingAndOnlyIndexZeroAdds)
{
    TestGraph g;
    const double x[] = {1, 2, 3}, y[] = {4, 5, 6};
    g.SetSeriesAt(0, 2, x, y);  // empty graph: adds series 0
    ASSERT_EQ(g.GetSeriesCount(), 1);
    EXPECT_EQ(g.GetSeries(0)->GetSize(), 2);
    EXPECT_EQ(g.GetLegend().GetCount(), 1);

    g.AddSeries(1, x, y);
    g.GetAxis(GRAPH_AXIS_Y)->bDirty = 0;
    g.SetSeriesAt(5, 3, x, y);
    g.SetSeriesAt(2, 3, x, y);
    EXPECT_EQ(g.GetSeriesCount(), 2);
    EXPECT_EQ(g.GetLegend().GetCount(), 2);
    EXPECT_EQ(g.GetSeries(0)->GetSize(), 2);
    EXPECT_EQ(g.GetSeries(1)->GetSize(), 1);
    EXPECT_EQ(g.GetAxis(GRAPH_AXIS_Y)->bDirty, 0);

    g.SetSeriesAt(1, 3, y, x);
    ASSERT_EQ(g.GetSeries(1)->GetSize(), 3);
    double px, py;
    g.GetSeries(1)->GetAt(0, px, py);
    EXPECT_EQ(px, 4.0);
    EXPECT_EQ(py, 1.0);
    EXPECT_EQ(g.GetAxis(GRAPH_AXIS_Y)->bDirty, 1);
    EXPECT_THROW(g.SetSeriesAt(-1, 1, x, y), plat::CInvalidArgException);
}

TEST(VelGraphTest, AddOneDataOfSeriesAppendsAndChecksTheIndex)
{
    TestGraph g;
    g.AddSeries(0, nullptr, nullptr);
    g.GetAxis(GRAPH_AXIS_X)->bDirty = 0;
    EXPECT_EQ(g.AddOneDataOfSeries(0, 1.5, 2.5), 0);
    EXPECT_EQ(g.AddOneDataOfSeries(0, 3.5, 4.5), 1);
    EXPECT_EQ(g.GetAxis(GRAPH_AXIS_X)->bDirty, 1);
    EXPECT_THROW(g.AddOneDataOfSeries(1, 0, 0), plat::CInvalidArgException);
    EXPECT_THROW(g.AddOneDataOfSeries(-1, 0, 0), plat::CInvalidArgException);
    EXPECT_EQ(g.GetSeries(0)->GetSize(), 2);
}

TEST(VelGraphTest, RemoveAllDropsSeriesAndOptionallyTitles)
{
    TestGraph g;
    const double v[] = {500};
    g.AddSeries(1, v, v);
    g.AddSeries(1, v, v);
    g.RecalculateAxisRange();
    g.RemoveAll(plat::TRUE);
    EXPECT_EQ(g.GetSeriesCount(), 0);
    EXPECT_EQ(g.GetLegend().GetCount(), 0);
    EXPECT_NE(g.GetTitleObject(), nullptr);
    double dMin, dMax;
    g.GetAxisRange(GRAPH_AXIS_Y, dMin, dMax);
    EXPECT_EQ(dMax, 500.0);  // removing data does not shrink an axis

    g.AddSeries(1, v, v);
    g.RemoveAll(plat::FALSE);
    EXPECT_EQ(g.GetSeriesCount(), 0);
    EXPECT_EQ(g.GetTitleObject(), nullptr);
    EXPECT_EQ(g.GetXTitleObject(), nullptr);
    EXPECT_EQ(g.GetYTitleObject(), nullptr);
    // Title setters have nothing left to change.
    g.SetTitle(QStringLiteral("t"));
    g.SetXTitle(QStringLiteral("x"));
    g.SetYTitle(QStringLiteral("y"));
    g.EnableShowTitle(plat::TRUE);
    g.EnableShowXTitle(plat::TRUE);
    g.EnableShowYTitle(plat::TRUE);
    g.SetXTitleColor(1);
    g.SetYTitleColor(1);
    EXPECT_EQ(g.AddSeries(1, v, v), 0);
}

TEST(VelGraphTest, TitleSettersReachTheirTitle)
{
    TestGraph g;
    g.SetTitle(QStringLiteral("Speed(rpm)"));
    g.SetXTitle(QStringLiteral("Time(S)"));
    g.EnableShowYTitle(plat::TRUE);
    g.SetYTitleColor(0xEAEAEA);
    EXPECT_EQ(g.GetTitleObject()->m_strText, QStringLiteral("Speed(rpm)"));
    EXPECT_EQ(g.GetXTitleObject()->m_strText, QStringLiteral("Time(S)"));
    EXPECT_EQ(g.GetYTitleObject()->m_bShow, 1);
    EXPECT_EQ(g.GetXTitleObject()->m_bShow, 0);
    EXPECT_EQ(g.GetYTitleObject()->m_crText, 0xEAEAEAu);
}

TEST(VelGraphTest, ActivationFlagsAndSelection)
{
    TestGraph g;
    AddStripes(g, 4);
    EXPECT_TRUE(Selected(g).empty());
    g.ActivateSeries(3, plat::TRUE);
    g.ActivateSeries(1, plat::TRUE);
    EXPECT_EQ(Selected(g), (std::vector<int>{1, 3}));
    g.ActivateSeries(3, plat::FALSE);
    EXPECT_EQ(Selected(g), (std::vector<int>{1}));
    EXPECT_THROW(g.ActivateSeries(4, plat::TRUE), plat::CInvalidArgException);
    EXPECT_THROW(g.ActivateSeries(-1, plat::TRUE), plat::CInvalidArgException);
}

TEST(VelGraphTest, SetAxisRangeWithoutRecalculationKeepsTheBaseRange)
{
    TestGraph g;
    tagGraphAxis* pX = g.GetAxis(GRAPH_AXIS_X);
    pX->bDirty = 0;
    g.SetAxisRange(GRAPH_AXIS_X, 0, 60, plat::FALSE);
    EXPECT_EQ(pX->dMin, 0.0);
    EXPECT_EQ(pX->dMax, 60.0);
    EXPECT_EQ(pX->dInitMin, 0.0);
    EXPECT_EQ(pX->dInitMax, 100.0);
    EXPECT_EQ(pX->bRecalculate, 0);
    EXPECT_EQ(pX->bDirty, 1);

    g.SetAxisRange(GRAPH_AXIS_Y, -5, 30, plat::TRUE);
    const tagGraphAxis* pY = g.GetAxis(static_cast<eGraphAxisType>(3));  // any non-zero is Y
    EXPECT_EQ(pY->dInitMin, -5.0);
    EXPECT_EQ(pY->dInitMax, 30.0);
    EXPECT_EQ(pY->bRecalculate, 1);
    double dMin, dMax;
    g.GetAxisRange(GRAPH_AXIS_Y, dMin, dMax);
    EXPECT_EQ(dMin, -5.0);
    EXPECT_EQ(dMax, 30.0);

    g.SetAxisExtendValue(GRAPH_AXIS_Y, 10);
    EXPECT_EQ(pY->bExtend, 1);
    EXPECT_EQ(pY->dExtendValue, 10.0);
    g.SetBkgColor(0x123456);
    EXPECT_EQ(g.GetLegend().GetBkgColor(), 0x123456u);
}

TEST(VelGraphTest, RecalculationFollowsDataOnlyWhereAsked)
{
    TestGraph g;
    g.RecalculateAxisRange();  // no series: ranges stay
    double dMin, dMax;
    g.GetAxisRange(GRAPH_AXIS_Y, dMin, dMax);
    EXPECT_EQ(std::make_pair(dMin, dMax), std::make_pair(0.0, 100.0));

    g.SetAxisRange(GRAPH_AXIS_Y, 0, 30, plat::TRUE);
    g.SetAxisExtendValue(GRAPH_AXIS_Y, 10);
    g.SetAxisRange(GRAPH_AXIS_X, 0, 60, plat::FALSE);
    const double x[] = {10, 250}, y[] = {5, 37};
    g.AddSeries(2, x, y);
    g.RecalculateAxisRange();
    g.GetAxisRange(GRAPH_AXIS_Y, dMin, dMax);
    EXPECT_EQ(std::make_pair(dMin, dMax), std::make_pair(0.0, 40.0));
    g.GetAxisRange(GRAPH_AXIS_X, dMin, dMax);
    EXPECT_EQ(std::make_pair(dMin, dMax), std::make_pair(0.0, 60.0));  // fixed by the program

    g.AddOneDataOfSeries(0, 20, 38);
    g.RecalculateAxisRange();
    g.GetAxisRange(GRAPH_AXIS_Y, dMin, dMax);
    EXPECT_EQ(dMax, 50.0);

    // A proposal leaves the axis alone.
    g.EnableAxisRecalculate(GRAPH_AXIS_X, plat::TRUE);
    g.CalculateActualAxisRange(GRAPH_AXIS_X, dMin, dMax, plat::FALSE);
    EXPECT_EQ(std::make_pair(dMin, dMax), std::make_pair(0.0, 250.0));
    g.GetAxisRange(GRAPH_AXIS_X, dMin, dMax);
    EXPECT_EQ(dMax, 60.0);

    // The storing form writes its result into the axis.
    g.CorrectAxisRange(g.GetAxis(GRAPH_AXIS_X), -3.0, 70.0);
    g.GetAxisRange(GRAPH_AXIS_X, dMin, dMax);
    EXPECT_EQ(std::make_pair(dMin, dMax), std::make_pair(-3.0, 70.0));
    EXPECT_EQ(TestGraph::CorrectValueByPrecision(123.456, 2), 123.46);
}

TEST(VelGraphTest, MovingBetweenSeriesSendsOneMessagePerChange)
{
    TestGraph g;
    g.SetDrawer(std::make_unique<StripeDrawer>(&g));
    g.LayOutForMouse();
    AddStripes(g, 3);
    g.EnableSeriesActivate(plat::TRUE);
    g.EnableSendActivateMsg(plat::TRUE);
    QSignalSpy spy(&g, &CVelGraph::seriesActivated);

    g.OnMouseMove(0, {50, 25});
    EXPECT_EQ(Messages(spy), (std::vector<Msg>{{2, true}}));
    g.OnMouseMove(0, {60, 27});  // still on series 2
    EXPECT_TRUE(Messages(spy).empty());
    g.OnMouseMove(0, {50, 5});
    EXPECT_EQ(Messages(spy), (std::vector<Msg>{{2, false}, {0, true}}));
    EXPECT_EQ(Selected(g), (std::vector<int>{0}));
    g.OnMouseMove(0, {50, 70});  // empty space
    EXPECT_EQ(Messages(spy), (std::vector<Msg>{{0, false}}));
    EXPECT_TRUE(Selected(g).empty());
    g.OnMouseMove(0, {50, 75});
    EXPECT_TRUE(Messages(spy).empty());
}

TEST(VelGraphTest, ActivationHonoursItsSwitchesAndTheDataArea)
{
    TestGraph g;
    auto pOwn = std::make_unique<StripeDrawer>(&g);
    StripeDrawer* pDrawer = pOwn.get();
    g.SetDrawer(std::move(pOwn));
    g.LayOutForMouse();
    AddStripes(g, 3);
    QSignalSpy spy(&g, &CVelGraph::seriesActivated);

    g.OnMouseMove(0, {50, 5});  // activation off
    EXPECT_TRUE(Selected(g).empty());
    EXPECT_EQ(pDrawer->nHitTests, 0);

    g.EnableSeriesActivate(plat::TRUE);
    g.OnMouseMove(0, {50, 5});  // messages off: flags change silently
    EXPECT_EQ(Selected(g), (std::vector<int>{0}));
    EXPECT_EQ(spy.count(), 0);

    g.EnableSendActivateMsg(plat::TRUE);
    g.OnMouseMove(0, {10, 15});  // in the Y label band, outside the data area
    EXPECT_EQ(Messages(spy), (std::vector<Msg>{{0, false}}));
    g.OnMouseMove(0, {50, 85});  // in the X label band
    EXPECT_TRUE(Messages(spy).empty());

    g.GetSeries(1)->EnableShow(plat::FALSE);  // hidden series are not found
    g.OnMouseMove(0, {50, 15});
    EXPECT_TRUE(Messages(spy).empty());

    // Several active series (set by the program) collapse to the hit one.
    g.GetSeries(1)->EnableShow(plat::TRUE);
    g.ActivateSeries(0, plat::TRUE);
    g.ActivateSeries(1, plat::TRUE);
    g.ActivateSeries(2, plat::TRUE);
    g.OnMouseMove(0, {50, 15});
    EXPECT_EQ(Messages(spy), (std::vector<Msg>{{0, false}, {2, false}}));
    EXPECT_EQ(Selected(g), (std::vector<int>{1}));
}

TEST(VelGraphTest, ActivationSurvivesAReceiverThatRemovesTheSeries)
{
    TestGraph g;
    g.SetDrawer(std::make_unique<StripeDrawer>(&g));
    g.LayOutForMouse();
    AddStripes(g, 3);
    g.EnableSeriesActivate(plat::TRUE);
    g.EnableSendActivateMsg(plat::TRUE);
    g.ActivateSeries(1, plat::TRUE);
    g.ActivateSeries(2, plat::TRUE);
    int nCalls = 0;
    QObject::connect(&g, &CVelGraph::seriesActivated, [&](int, bool) {
        ++nCalls;
        g.RemoveAll(plat::TRUE);
    });
    g.OnMouseMove(0, {50, 5});
    EXPECT_EQ(nCalls, 1);
    EXPECT_EQ(g.GetSeriesCount(), 0);
}

TEST(VelGraphTest, ClicksGoToTheLegendOnlyWhenShownAndHit)
{
    TestGraph g;
    AddStripes(g, 2);
    CVelGraphLegend& legend = g.GetLegend();
    legend.m_sizeItem = {50, 16};
    legend.SetBound({300, 0, 400, 100});  // entries at y 5-21 and 27-43

    EXPECT_FALSE(g.OnLButtonDown(0, {310, 30}));  // legend hidden
    EXPECT_FALSE(g.OnLButtonDblClk(0, {310, 30}));
    legend.EnableShow(plat::TRUE);
    EXPECT_TRUE(g.CanShowLegend());
    EXPECT_FALSE(g.OnLButtonDown(0, {250, 30}));
    EXPECT_TRUE(legend.GetItem(0)->IsActivate());  // the first entry starts selected

    EXPECT_TRUE(g.OnLButtonDown(0, {310, 30}));
    EXPECT_FALSE(legend.GetItem(0)->IsActivate());
    EXPECT_TRUE(legend.GetItem(1)->IsActivate());
    // On the legend the double click opens the legend dialog (cancelled here).
    ModalAnswer<CVelGraphLegendDlg> dialog([](CVelGraphLegendDlg* d) { d->reject(); });
    EXPECT_TRUE(g.OnLButtonDblClk(0, {310, 30}));
    EXPECT_TRUE(dialog.answered());
    EXPECT_FALSE(g.OnLButtonDblClk(0, {250, 30}));
}

TEST(VelGraphTest, ValuesAndPositionsConvertThroughTheDrawerScale)
{
    TestGraph g;
    tagGraphAxis* pX = g.GetAxis(GRAPH_AXIS_X);
    tagGraphAxis* pY = g.GetAxis(GRAPH_AXIS_Y);
    g.m_rcPlot = {10, 20, 560, 340};
    pX->rcArea = {40, 300, 540, 320};
    pX->dStep = 5;
    pX->dPixelStep = 25;  // 0..100 on 500 pixels
    pY->dStep = 10;
    pY->dPixelStep = 20;
    pY->nPrecision = 1;

    EXPECT_EQ(g.GetPositionByValue(GRAPH_AXIS_X, 50), 290);
    EXPECT_EQ(g.GetPositionByValue(GRAPH_AXIS_Y, 30), 240);
    EXPECT_EQ(g.GetPositionByValue(GRAPH_AXIS_X, -2.1), 40 - 11);
    EXPECT_EQ(g.GetValueByPosition(GRAPH_AXIS_X, 290), 50.0);
    EXPECT_EQ(g.GetValueByPosition(GRAPH_AXIS_Y, 240), 30.0);
    EXPECT_EQ(g.GetValueStringByPosition(GRAPH_AXIS_Y, 241), QStringLiteral("29.5"));
    EXPECT_EQ(g.GetInlineRect(), plat::CRect(40, 20, 540, 300));
}

TEST(VelGraphTest, ActivationChangesRepaintTheDataAreaOfTheHost)
{
    HostWidget host;
    host.resize(300, 200);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    TestGraph g(GRAPH_LINE, &host);
    g.SetDrawer(std::make_unique<StripeDrawer>(&g));
    g.LayOutForMouse();
    AddStripes(g, 2);
    g.EnableSeriesActivate(plat::TRUE);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !host.painted.isEmpty(); }));

    host.painted = QRegion();
    g.OnMouseMove(0, {50, 15});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !host.painted.isEmpty(); }));
    EXPECT_EQ(host.painted.boundingRect(), QRect(20, 0, 180, 80));

    // Clicking the shown legend repaints the legend.
    host.painted = QRegion();
    g.GetLegend().EnableShow(plat::TRUE);
    g.GetLegend().SetBound({220, 10, 280, 60});
    EXPECT_TRUE(g.OnLButtonDown(0, {230, 20}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !host.painted.isEmpty(); }));
    EXPECT_EQ(host.painted.boundingRect(), QRect(220, 10, 60, 50));
}
