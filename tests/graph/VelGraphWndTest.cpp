#include "display/VelButton.h"
#include "graph/VelGraphWnd.h"
#include "platform/DialogBuilder.h"
#include "platform/DialogTemplate.h"
#include "platform/ResourceModule.h"
#include "render/VelGraphLineDrawer.h"
#include "support/ModalAnswer.h"

#include <QApplication>
#include <QFileDialog>
#include <QHelpEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using plat::CRect;

// Counts what a user would see happen: property sheets asked for (without
// running them), paints.
class ProbeWnd : public CVelGraphWnd {
public:
    using CVelGraphWnd::CVelGraphWnd;
    int nProperty = 0;
    int nPaints = 0;
    plat::BOOL OnProperty() override
    {
        ++nProperty;
        return plat::FALSE;
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        ++nPaints;
        CVelGraphWnd::paintEvent(e);
    }
};

CRect Geometry(const QWidget* w)
{
    return CRect(w->geometry());
}

bool Shown(const QWidget* w)
{
    return w && !w->isHidden();
}

void Flush()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// A shown window of 400 x 300: it gets its first resize now.
void ShowSized(QWidget& w)
{
    w.resize(400, 300);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
}

void DoubleClickMiddle(QWidget& w)
{
    QTest::mouseDClick(&w, Qt::LeftButton, Qt::NoModifier, QPoint(w.width() / 2, w.height() / 2));
}

TEST(VelGraphWndButtons, FreshWindowShowsPropertyAndSaveButtonsAndLegendButtonOnlyWithLegend)
{
    ProbeWnd wnd;
    ShowSized(wnd);

    ASSERT_EQ(wnd.GetButtonCount(), 3);
    EXPECT_EQ(Geometry(wnd.GetButton(CVelGraphWnd::kIdProperty)), CRect(5, 1, 27, 23));
    EXPECT_EQ(Geometry(wnd.GetButton(CVelGraphWnd::kIdExportImage)), CRect(27, 1, 49, 23));
    EXPECT_TRUE(Shown(wnd.GetButton(CVelGraphWnd::kIdProperty)));
    EXPECT_TRUE(Shown(wnd.GetButton(CVelGraphWnd::kIdExportImage)));
    EXPECT_FALSE(Shown(wnd.GetButton(CVelGraphWnd::kIdLegend)));

    wnd.m_pGraph->GetLegend().EnableShow(1);
    wnd.ShowButtons(plat::TRUE);
    EXPECT_TRUE(Shown(wnd.GetButton(CVelGraphWnd::kIdLegend)));
    EXPECT_EQ(Geometry(wnd.GetButton(CVelGraphWnd::kIdLegend)), CRect(49, 1, 71, 23));
}

TEST(VelGraphWndButtons, StandardButtonsCarryTheLibraryIconsAndTips)
{
    CVelGraphWnd wnd;
    ShowSized(wnd);
    const struct {
        plat::UINT nID;
        const char* tip;
    } rows[] = {{1001, "修改图形属性"}, {1003, "保存图形"}, {1002, "修改图例属性"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.nID);
        CVelButton* pButton = wnd.GetButton(row.nID);
        ASSERT_NE(pButton, nullptr);
        EXPECT_EQ(plat::CDialogBuilder::GetDlgCtrlID(pButton), int(row.nID));
        ASSERT_NE(pButton->GetIcon(CVelButton::IconNormal), nullptr);
        EXPECT_EQ(plat::GetIconSize(pButton->GetIcon(CVelButton::IconNormal)), plat::CSize(16, 16));
        EXPECT_NE(pButton->GetIcon(CVelButton::IconDisabled), nullptr);
        ASSERT_NE(pButton->GetToolTipCtrl(), nullptr);
        EXPECT_EQ(pButton->GetToolTipCtrl()->TextAt(pButton, QPoint(3, 3)), QString::fromUtf8(row.tip));
    }
}

TEST(VelGraphWndButtons, HiddenButtonsMakeDoubleClickDoNothing)
{
    ProbeWnd wnd;
    ShowSized(wnd);
    ASSERT_EQ(wnd.GetButtonCount(), 3);

    wnd.ShowButtons(plat::FALSE);
    for (plat::UINT nID : {1001u, 1002u, 1003u}) EXPECT_FALSE(Shown(wnd.GetButton(nID))) << nID;
    EXPECT_EQ(wnd.GetButtonCount(), 3);
    DoubleClickMiddle(wnd);
    EXPECT_EQ(wnd.nProperty, 0);

    wnd.ShowButtons(plat::TRUE);
    DoubleClickMiddle(wnd);
    EXPECT_EQ(wnd.nProperty, 1);
}

TEST(VelGraphWndButtons, ButtonsOffBeforeFirstLayoutAreNeverMadeAndDoubleClickReachesTheGraph)
{
    ProbeWnd wnd;
    wnd.ShowButtons(plat::FALSE);
    ShowSized(wnd);
    EXPECT_EQ(wnd.GetButtonCount(), 0);

    wnd.ShowButton(CVelGraphWnd::kIdLegend, plat::TRUE);
    EXPECT_EQ(wnd.GetButtonCount(), 0);
    wnd.AdjustLayout();
    EXPECT_EQ(wnd.GetButtonCount(), 0);

    DoubleClickMiddle(wnd);
    EXPECT_EQ(wnd.nProperty, 1);
}

TEST(VelGraphWndButtons, ShowButtonMakesTheStandardButtonsOnDemand)
{
    CVelGraphWnd wnd;
    wnd.ShowButton(CVelGraphWnd::kIdLegend, plat::TRUE);
    ASSERT_EQ(wnd.GetButtonCount(), 3);
    EXPECT_TRUE(Shown(wnd.GetButton(CVelGraphWnd::kIdLegend)));

    ShowSized(wnd);
    EXPECT_EQ(Geometry(wnd.GetButton(CVelGraphWnd::kIdLegend)), CRect(49, 1, 71, 23));
    wnd.ShowButton(CVelGraphWnd::kIdExportImage, plat::FALSE);
    EXPECT_EQ(Geometry(wnd.GetButton(CVelGraphWnd::kIdLegend)), CRect(27, 1, 49, 23));
}

TEST(VelGraphWndButtons, DuplicateIdIsRefusedAndANewOneStandsAfterTheOthers)
{
    CVelGraphWnd wnd;
    ShowSized(wnd);
    ASSERT_EQ(wnd.GetButtonCount(), 3);
    CVelButton* pBefore = wnd.GetButton(CVelGraphWnd::kIdProperty);

    EXPECT_FALSE(wnd.AddButton(4003, 0, QStringLiteral("x"), CVelGraphWnd::kIdProperty));
    EXPECT_EQ(wnd.GetButtonCount(), 3);
    EXPECT_EQ(wnd.GetButton(CVelGraphWnd::kIdProperty), pBefore);

    EXPECT_TRUE(wnd.AddButton(4004, 0, QString(), 2001));
    EXPECT_EQ(wnd.GetButtonCount(), 4);
    EXPECT_EQ(Geometry(wnd.GetButton(2001)), CRect(49, 1, 71, 23));
}

TEST(VelGraphWndButtons, ClickingTheButtonsRunsTheirActions)
{
    ProbeWnd wnd;
    ShowSized(wnd);
    QTest::mouseClick(wnd.GetButton(CVelGraphWnd::kIdProperty), Qt::LeftButton);
    EXPECT_EQ(wnd.nProperty, 1);
    // The save button asks for a file name; cancelled here.
    ModalAnswer<QFileDialog> saveAs([](QFileDialog* d) { d->reject(); });
    QTest::mouseClick(wnd.GetButton(CVelGraphWnd::kIdExportImage), Qt::LeftButton);
    EXPECT_TRUE(saveAs.answered());
    wnd.OnClickButton(4711);
    EXPECT_EQ(wnd.nProperty, 1);
}

TEST(VelGraphWndLayout, ZeroSizeDoesNotLayOut)
{
    for (QSize size : {QSize(0, 200), QSize(300, 0)}) {
        CVelGraphWnd wnd;
        wnd.resize(size);
        wnd.show();
        Flush();
        EXPECT_EQ(wnd.GetButtonCount(), 0);
        EXPECT_TRUE(wnd.m_pGraph->GetBound().IsRectEmpty());

        wnd.resize(320, 240);
        Flush();
        EXPECT_EQ(wnd.GetButtonCount(), 3);
        EXPECT_EQ(wnd.m_pGraph->GetBound(), CRect(0, 0, 320, 240));
    }
}

TEST(VelGraphWndLayout, BorderedWindowInAParentLaysOutInsideTheFrame)
{
    QWidget parent;
    parent.resize(500, 400);
    auto* pWnd = new CVelGraphWnd;
    ASSERT_TRUE(pWnd->Create(plat::style::WS_CHILD | plat::style::WS_VISIBLE | plat::style::WS_BORDER,
                             CRect(10, 20, 310, 220), &parent, 1010));
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));

    EXPECT_EQ(plat::CDialogBuilder::GetDlgItem(&parent, 1010), pWnd);
    EXPECT_EQ(pWnd->GetClientRect(), CRect(1, 1, 299, 199));
    EXPECT_EQ(pWnd->m_pGraph->GetBound(), CRect(1, 1, 299, 199));
    EXPECT_EQ(Geometry(pWnd->GetButton(CVelGraphWnd::kIdProperty)), CRect(6, 2, 28, 24));

    const QImage image = pWnd->grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 100), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(299, 199), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(150, 198), QColor(233, 231, 217));
}

TEST(VelGraphWndPaint, BackgroundFillsTheClientAreaAndFollowsSetBkgColor)
{
    CVelGraphWnd wnd;
    wnd.ShowButtons(plat::FALSE);
    ShowSized(wnd);
    EXPECT_EQ(wnd.grab().toImage().pixelColor(1, 298), QColor(233, 231, 217));

    wnd.SetBkgColor(0x775649);
    EXPECT_EQ(wnd.grab().toImage().pixelColor(1, 298), QColor(0x49, 0x56, 0x77));
    EXPECT_EQ(wnd.m_pGraph->GetBkgColor(), plat::RGB(234, 234, 234));
}

// Which forwarding operations repaint at once and which wait for the next
// layout.
TEST(VelGraphWndPaint, ForwardingOperationsRepaintAsListed)
{
    const double x[] = {1, 2}, y[] = {3, 4};
    const std::vector<std::pair<std::string, std::function<void(CVelGraphWnd&)>>> repainting = {
        {"SetGraphType", [](CVelGraphWnd& w) { w.SetGraphType(GRAPH_BAR); }},
        {"SetTitle", [](CVelGraphWnd& w) { w.SetTitle("t"); }},
        {"SetXTitle", [](CVelGraphWnd& w) { w.SetXTitle("x"); }},
        {"SetYTitle", [](CVelGraphWnd& w) { w.SetYTitle("y"); }},
        {"SetAxisRange", [](CVelGraphWnd& w) { w.SetAxisRange(GRAPH_AXIS_X, 0, 5, plat::TRUE); }},
        {"SetAxisLogarithm", [](CVelGraphWnd& w) { w.SetAxisLogarithm(GRAPH_AXIS_Y, plat::TRUE); }},
        {"AddSeries", [&](CVelGraphWnd& w) { w.AddSeries(2, x, y); }},
        {"SetSeriesAt", [&](CVelGraphWnd& w) { w.SetSeriesAt(0, 2, x, y); }},
        {"RemoveAll", [](CVelGraphWnd& w) { w.RemoveAll(plat::TRUE); }},
        {"SetBkgColor", [](CVelGraphWnd& w) { w.SetBkgColor(0x123456); }},
    };
    const std::vector<std::pair<std::string, std::function<void(CVelGraphWnd&)>>> quiet = {
        {"EnableShowTitle", [](CVelGraphWnd& w) { w.EnableShowTitle(plat::FALSE); }},
        {"SetXTitleColor", [](CVelGraphWnd& w) { w.SetXTitleColor(0xEAEAEA); }},
        {"SetAxisMaxRange", [](CVelGraphWnd& w) { w.SetAxisMaxRange(GRAPH_AXIS_Y, 0, 100); }},
        {"SetAxisGrid", [](CVelGraphWnd& w) { w.SetAxisGrid(GRAPH_AXIS_X, plat::TRUE, plat::TRUE); }},
        {"AddOneDataOfSeries", [](CVelGraphWnd& w) { w.AddOneDataOfSeries(0, 5, 6); }},
        {"ShowMarks", [](CVelGraphWnd& w) { w.ShowMarks(plat::FALSE); }},
        {"EnableShowLegend", [](CVelGraphWnd& w) { w.EnableShowLegend(plat::FALSE); }},
    };

    ProbeWnd wnd;
    ShowSized(wnd);
    const double x0 = 0, y0 = 0;
    wnd.m_pGraph->AddSeries(1, &x0, &y0);
    auto paintsAfter = [&](const std::function<void(CVelGraphWnd&)>& op) {
        Flush();
        wnd.nPaints = 0;
        op(wnd);
        Flush();
        return wnd.nPaints;
    };
    for (const auto& [name, op] : quiet) EXPECT_EQ(paintsAfter(op), 0) << name;
    for (const auto& [name, op] : repainting) EXPECT_GT(paintsAfter(op), 0) << name;
}

TEST(VelGraphWndGraph, SetGraphTypeChangesTheChartAndActivationReachesTheWindowsUsers)
{
    CVelGraphWnd wnd;
    wnd.SetGraphType(GRAPH_SCATTER);
    EXPECT_EQ(wnd.m_pGraph->GetGraphType(), GRAPH_SCATTER);
    QSignalSpy spy(&wnd, &CVelGraphWnd::seriesActivated);
    emit wnd.m_pGraph->seriesActivated(2, true);
    emit wnd.m_pGraph->seriesActivated(2, false);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 2);
    EXPECT_TRUE(spy.at(0).at(1).toBool());
    EXPECT_FALSE(spy.at(1).at(1).toBool());
}

}  // namespace

namespace {

// A shown chart with one line series through (1, 480), (2, 500), (3, 450),
// painted once so that tooltips and activation have a scale.
class PaintedChart : public ::testing::Test {
protected:
    void SetUp() override
    {
        const double x[] = {1, 2, 3}, y[] = {480, 500, 450};
        wnd.AddSeries(3, x, y);
        wnd.m_pGraph->GetSeries(0)->strTipInfo = QStringLiteral("speed");
        ShowSized(wnd);
        image = wnd.grab().toImage();
    }
    QPoint PointOf(double x, double y) const
    {
        return {wnd.m_pGraph->GetPositionByValue(GRAPH_AXIS_X, x), wnd.m_pGraph->GetPositionByValue(GRAPH_AXIS_Y, y)};
    }
    QString ToolTipAt(QPoint pt)
    {
        QHelpEvent help(QEvent::ToolTip, pt, wnd.mapToGlobal(pt));
        QApplication::sendEvent(&wnd, &help);
        // An unanswered tooltip event is left ignored.
        return help.isAccepted() ? QToolTip::text() : QString();
    }
    CVelGraphWnd wnd;
    QImage image;
};

TEST_F(PaintedChart, GraphPaintsItsDataAreaOverTheWindowBackground)
{
    const plat::CRect rcData = wnd.m_pGraph->GetInlineRect();
    ASSERT_FALSE(rcData.IsRectEmpty());
    EXPECT_EQ(image.pixelColor(2, image.height() - 2), QColor(233, 231, 217));
    const QPoint inside(rcData.left + 2, rcData.top + 2);
    EXPECT_EQ(image.pixelColor(inside), QColor(234, 234, 234));
}

TEST_F(PaintedChart, MarkersAnswerToolTipsAndEmptyPlacesDoNot)
{
    const QString tip = ToolTipAt(PointOf(2, 500));
    EXPECT_TRUE(tip.startsWith("speed")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("500")) << tip.toStdString();
    EXPECT_TRUE(ToolTipAt(QPoint(wnd.width() - 3, wnd.height() - 3)).isEmpty());

    wnd.ShowTip(plat::FALSE);
    EXPECT_TRUE(ToolTipAt(PointOf(2, 500)).isEmpty());
}

TEST_F(PaintedChart, NewDrawersKeepTheWindowsToolTip)
{
    wnd.SetGraphType(GRAPH_SCATTER);
    EXPECT_EQ(wnd.m_pGraph->GetDrawer()->GetToolTipCtrl(), wnd.GetToolTipCtrl());
    wnd.SetDrawer(std::make_unique<CVelGraphLineDrawer>(wnd.m_pGraph.get()));
    EXPECT_EQ(wnd.m_pGraph->GetDrawer()->GetToolTipCtrl(), wnd.GetToolTipCtrl());
    wnd.grab();
    EXPECT_FALSE(ToolTipAt(PointOf(2, 500)).isEmpty());
}

TEST_F(PaintedChart, MovingOverASeriesTellsTheWindowsUsers)
{
    wnd.EnableSeriesActivate(plat::TRUE);
    wnd.EnableSendActivateMsg(plat::TRUE);
    QSignalSpy spy(&wnd, &CVelGraphWnd::seriesActivated);
    QTest::mouseMove(&wnd, PointOf(2, 500));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 0);
    EXPECT_TRUE(spy.at(0).at(1).toBool());
}

}  // namespace

namespace {

// A graph whose property sheet is confirmed with the legend switched on, and
// whose legend takes every double click while bOnLegend is set.
class ScriptedGraph : public CVelGraph {
public:
    explicit ScriptedGraph(QWidget* pWnd) : CVelGraph(pWnd, GRAPH_LINE) {}
    bool bOnLegend = false;
    int nSheets = 0;
    plat::BOOL OnProperty() override
    {
        ++nSheets;
        GetLegend().EnableShow(1);
        return plat::TRUE;
    }
    plat::BOOL OnLButtonDblClk(plat::UINT, plat::CPoint) override { return bOnLegend; }
};

TEST(VelGraphWndDialogs, ConfirmedSheetShowsTheLegendButtonAndALegendDoubleClickOpensNoSheet)
{
    CVelGraphWnd wnd;
    auto* pGraph = new ScriptedGraph(&wnd);
    wnd.m_pGraph.reset(pGraph);
    ShowSized(wnd);
    ASSERT_FALSE(Shown(wnd.GetButton(CVelGraphWnd::kIdLegend)));

    pGraph->bOnLegend = true;
    DoubleClickMiddle(wnd);
    EXPECT_EQ(pGraph->nSheets, 0);

    pGraph->bOnLegend = false;
    DoubleClickMiddle(wnd);
    EXPECT_EQ(pGraph->nSheets, 1);
    EXPECT_TRUE(Shown(wnd.GetButton(CVelGraphWnd::kIdLegend)));
    EXPECT_EQ(Geometry(wnd.GetButton(CVelGraphWnd::kIdLegend)), CRect(49, 1, 71, 23));
}

}  // namespace
