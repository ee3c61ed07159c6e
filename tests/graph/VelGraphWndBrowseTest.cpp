#include "display/VelButton.h"
#include "graph/VelGraphWnd.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

// Counts the property sheets asked for, without running them.
class BrowsedWnd : public CVelGraphWnd {
public:
    int nProperty = 0;
    plat::BOOL OnProperty() override
    {
        ++nProperty;
        return plat::FALSE;
    }
};

// A live chart as the application feeds it: one series, both ranges set
// on every sample (Y from 0 to the maximum plus 2.5 %, X from 0 to n + 1).
struct LiveFeed {
    int n = 0;
    double dMax = 0;
    void Add(CVelGraphWnd& wnd)
    {
        const double x = ++n;
        const double y = 500 + 200 * std::sin(n * 0.05);
        dMax = std::max(dMax, y);
        if (wnd.GetSeriesCount() == 0) wnd.AddSeries(1, &x, &y);
        else wnd.AddOneDataOfSeries(0, x, y);
        wnd.SetAxisRange(GRAPH_AXIS_Y, 0, dMax * 1.025, plat::TRUE);
        wnd.SetAxisRange(GRAPH_AXIS_X, 0, n + 1, plat::TRUE);
    }
};

void Flush()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

class BrowseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wnd.ShowButtons(plat::FALSE);
        for (int i = 0; i < 200; ++i) feed.Add(wnd);
        wnd.resize(400, 300);
        wnd.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&wnd));
        wnd.repaint();
        rcData = wnd.m_pGraph->GetInlineRect();
        ASSERT_FALSE(rcData.IsRectEmpty());
    }
    // The value the painted chart has at a window position.
    double ValueAt(eGraphAxisType e, int nPos)
    {
        wnd.repaint();
        return wnd.m_pGraph->GetValueByPosition(e, nPos);
    }
    // One pixel's worth of value on the painted scale.
    double Pixel(eGraphAxisType e)
    {
        double d0 = 0, d1 = 0;
        wnd.GetViewRange(e, d0, d1);
        return (d1 - d0) / (e == GRAPH_AXIS_X ? rcData.Width() : rcData.Height());
    }
    void Wheel(QPoint pt, int nDelta, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWheelEvent e(pt, wnd.mapToGlobal(pt), QPoint(), QPoint(0, nDelta), Qt::NoButton, mods, Qt::NoScrollPhase,
                      false);
        QApplication::sendEvent(&wnd, &e);
    }
    void Mouse(QEvent::Type type, QPoint pt, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QMouseEvent e(type, pt, wnd.mapToGlobal(pt), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, mods);
        QApplication::sendEvent(&wnd, &e);
    }
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, mods);
        const QPoint mid = (from + to) / 2;
        Mouse(QEvent::MouseMove, mid, Qt::LeftButton, mods);
        Mouse(QEvent::MouseMove, to, Qt::LeftButton, mods);
        Mouse(QEvent::MouseButtonRelease, to, Qt::NoButton, mods);
    }
    tagViewRange Range(eGraphAxisType e) const
    {
        tagViewRange r;
        wnd.GetViewRange(e, r.dMin, r.dMax);
        return r;
    }
    bool Shown(plat::UINT nID) const
    {
        const CVelButton* p = wnd.GetButton(nID);
        return p && !p->isHidden();
    }
    QImage Picture()
    {
        wnd.repaint();
        return wnd.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

public:
    BrowsedWnd wnd;
    LiveFeed feed;
    plat::CRect rcData;
};

TEST_F(BrowseTest, WheelZoomKeepsTheValueUnderThePointer)
{
    struct Case {
        std::string name;
        double dPartX, dPartY;
        int nDelta;
        Qt::KeyboardModifiers mods;
    };
    const std::vector<Case> cases = {
        {"X in near the left", 0.2, 0.5, 120, Qt::NoModifier},
        {"X in twice near the right", 0.9, 0.3, 240, Qt::NoModifier},
        {"X out in the middle", 0.5, 0.5, -120, Qt::NoModifier},
        {"Y in low", 0.5, 0.2, 120, Qt::ControlModifier},
        {"Y out high", 0.3, 0.9, -360, Qt::ControlModifier},
    };
    for (const Case& c : cases) {
        wnd.ResetView();
        const QPoint pt(rcData.left + int(c.dPartX * rcData.Width()), rcData.bottom - int(c.dPartY * rcData.Height()));
        const bool bY = c.mods & Qt::ControlModifier;
        const eGraphAxisType eZoomed = bY ? GRAPH_AXIS_Y : GRAPH_AXIS_X;
        const eGraphAxisType eOther = bY ? GRAPH_AXIS_X : GRAPH_AXIS_Y;
        const int nPos = bY ? pt.y() : pt.x();
        const double dBefore = ValueAt(eZoomed, nPos);
        const tagViewRange rZoomed = Range(eZoomed);
        const tagViewRange rOther = Range(eOther);

        Wheel(pt, c.nDelta, c.mods);
        EXPECT_NEAR(ValueAt(eZoomed, nPos), dBefore, Pixel(eZoomed)) << c.name;
        const tagViewRange r = Range(eZoomed);
        const double dFactor = std::pow(1.25, c.nDelta / 120.0);
        EXPECT_NEAR((r.dMax - r.dMin) * dFactor, rZoomed.dMax - rZoomed.dMin, 1e-6) << c.name;
        EXPECT_EQ(Range(eOther), rOther) << c.name << ": the other axis stays";
        EXPECT_FALSE(wnd.IsFollowing()) << c.name;
    }
}

TEST_F(BrowseTest, WheelOutsideTheDataAreaDoesNotBrowse)
{
    QSignalSpy spy(&wnd, &CVelGraphWnd::viewChanged);
    Wheel(QPoint(rcData.left - 3, rcData.top + 10), 120);
    Wheel(QPoint(rcData.left + 10, rcData.bottom + 3), 120);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_TRUE(wnd.IsFollowing());
    EXPECT_FALSE(wnd.IsBrowsing());
}

TEST_F(BrowseTest, DragPansByTheDraggedValue)
{
    struct Case {
        std::string name;
        QPoint from, by;
    };
    const QPoint centre((rcData.left + rcData.right) / 2, (rcData.top + rcData.bottom) / 2);
    const std::vector<Case> cases = {
        {"right", centre, {60, 0}},
        {"left and up", centre, {-90, -40}},
        {"down", {rcData.left + 20, rcData.top + 20}, {0, 70}},
    };
    for (const Case& c : cases) {
        wnd.ResetView();
        const double x0 = ValueAt(GRAPH_AXIS_X, c.from.x());
        const double y0 = ValueAt(GRAPH_AXIS_Y, c.from.y());
        const tagViewRange rx = Range(GRAPH_AXIS_X);
        Drag(c.from, c.from + c.by);
        const QPoint to = c.from + c.by;
        // The value that was under the press point is under the pointer now.
        EXPECT_NEAR(ValueAt(GRAPH_AXIS_X, to.x()), x0, Pixel(GRAPH_AXIS_X)) << c.name;
        EXPECT_NEAR(ValueAt(GRAPH_AXIS_Y, to.y()), y0, Pixel(GRAPH_AXIS_Y)) << c.name;
        EXPECT_NEAR(Range(GRAPH_AXIS_X).dMax - Range(GRAPH_AXIS_X).dMin, rx.dMax - rx.dMin, 1e-9) << c.name;
        EXPECT_FALSE(wnd.IsFollowing()) << c.name;
    }
}

TEST_F(BrowseTest, AClickIsNoPanAndADoubleClickStillOpensTheSheet)
{
    const QPoint pt(rcData.left + 50, rcData.top + 50);
    Mouse(QEvent::MouseButtonPress, pt, Qt::LeftButton);
    Mouse(QEvent::MouseMove, pt + QPoint(1, 1), Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, pt + QPoint(1, 1), Qt::NoButton);
    EXPECT_TRUE(wnd.IsFollowing());
    EXPECT_FALSE(wnd.IsBrowsing());
    QTest::mouseDClick(&wnd, Qt::LeftButton, Qt::NoModifier, pt);
    EXPECT_EQ(wnd.nProperty, 1);
    EXPECT_FALSE(wnd.IsBrowsing());
}

TEST_F(BrowseTest, ShiftDragZoomsToTheRectangle)
{
    const QPoint a(rcData.left + 40, rcData.top + 30);
    const QPoint b(rcData.left + 160, rcData.top + 110);
    const double x0 = ValueAt(GRAPH_AXIS_X, a.x()), x1 = ValueAt(GRAPH_AXIS_X, b.x());
    const double y0 = ValueAt(GRAPH_AXIS_Y, b.y()), y1 = ValueAt(GRAPH_AXIS_Y, a.y());
    const double px = Pixel(GRAPH_AXIS_X), py = Pixel(GRAPH_AXIS_Y);
    Drag(b, a, Qt::ShiftModifier);  // drawn from the lower right: the same rectangle
    const tagViewRange rx = Range(GRAPH_AXIS_X), ry = Range(GRAPH_AXIS_Y);
    EXPECT_NEAR(rx.dMin, x0, px);
    EXPECT_NEAR(rx.dMax, x1, px);
    EXPECT_NEAR(ry.dMin, y0, py);
    EXPECT_NEAR(ry.dMax, y1, py);
    EXPECT_FALSE(wnd.IsFollowing());

    // A band of a few pixels is a slip of the hand, not a zoom.
    const tagViewRange before = Range(GRAPH_AXIS_X);
    Drag(a, a + QPoint(2, 40), Qt::ShiftModifier);
    EXPECT_EQ(Range(GRAPH_AXIS_X), before);
}

TEST_F(BrowseTest, ABandIsDrawnWhileDraggingAndGoneAfterEscape)
{
    const QImage plain = Picture();
    const QPoint a(rcData.left + 40, rcData.top + 30);
    Mouse(QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::ShiftModifier);
    Mouse(QEvent::MouseMove, a + QPoint(100, 80), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_NE(Picture(), plain);
    QTest::keyClick(&wnd, Qt::Key_Escape);
    EXPECT_EQ(Picture(), plain);
    Mouse(QEvent::MouseButtonRelease, a + QPoint(100, 80), Qt::NoButton, Qt::ShiftModifier);
    EXPECT_FALSE(wnd.IsBrowsing()) << "a cancelled band zooms nothing";
}

TEST_F(BrowseTest, FollowOffKeepsTheViewWhileSamplesArrive)
{
    ASSERT_TRUE(wnd.ZoomX(2, 100));
    wnd.repaint();
    const tagViewRange rx = Range(GRAPH_AXIS_X), ry = Range(GRAPH_AXIS_Y);
    const QImage before = Picture();
    // New samples outside the view: the picture does not move.
    for (int i = 0; i < 150; ++i) feed.Add(wnd);
    EXPECT_EQ(Range(GRAPH_AXIS_X), rx);
    EXPECT_EQ(Range(GRAPH_AXIS_Y), ry);
    EXPECT_EQ(Picture(), before);
    EXPECT_TRUE(Shown(CVelGraphWnd::kIdFollow));
    EXPECT_TRUE(Shown(CVelGraphWnd::kIdFullRange));
}

TEST_F(BrowseTest, TheFollowButtonAndEndFollowTheLiveEndAgain)
{
    const std::vector<std::pair<std::string, std::function<void(BrowseTest&)>>> ways = {
        {"follow button", [](BrowseTest& t) { t.wnd.GetButton(CVelGraphWnd::kIdFollow)->click(); }},
        {"End", [](BrowseTest& t) { QTest::keyClick(&t.wnd, Qt::Key_End); }},
        {"SetFollowing", [](BrowseTest& t) { t.wnd.SetFollowing(true); }},
    };
    for (const auto& [name, follow] : ways) {
        wnd.ResetView();
        ASSERT_TRUE(wnd.PanBy(-20, 30)) << name;
        for (int i = 0; i < 10; ++i) feed.Add(wnd);
        QSignalSpy spy(&wnd, &CVelGraphWnd::followingChanged);
        follow(*this);
        EXPECT_TRUE(wnd.IsFollowing()) << name;
        ASSERT_EQ(spy.count(), 1) << name;
        EXPECT_TRUE(spy.at(0).at(0).toBool()) << name;
        // The program's latest ranges, as if it had set them just now.
        EXPECT_EQ(Range(GRAPH_AXIS_X), (tagViewRange{0, feed.n + 1.0})) << name;
        EXPECT_EQ(Range(GRAPH_AXIS_Y), (tagViewRange{0, feed.dMax * 1.025})) << name;
        EXPECT_FALSE(Shown(CVelGraphWnd::kIdFollow)) << name;
        EXPECT_FALSE(Shown(CVelGraphWnd::kIdFullRange)) << name;
    }
}

TEST_F(BrowseTest, FollowingAZoomedXSlidesWithTheSamples)
{
    ASSERT_TRUE(wnd.ZoomX(4, 50));
    QTest::keyClick(&wnd, Qt::Key_End);
    ASSERT_TRUE(wnd.IsFollowing());
    const tagViewRange r = Range(GRAPH_AXIS_X);
    EXPECT_DOUBLE_EQ(r.dMax, feed.n + 1.0);
    EXPECT_TRUE(Shown(CVelGraphWnd::kIdFullRange)) << "there is still a whole range to return to";
    EXPECT_FALSE(Shown(CVelGraphWnd::kIdFollow));
    for (int i = 0; i < 25; ++i) feed.Add(wnd);
    const tagViewRange slid = Range(GRAPH_AXIS_X);
    EXPECT_DOUBLE_EQ(slid.dMax, feed.n + 1.0);
    EXPECT_DOUBLE_EQ(slid.dMax - slid.dMin, r.dMax - r.dMin);
}

// Whatever was browsed, returning to the whole range paints exactly what a
// window that was never browsed paints with the same data.
TEST_F(BrowseTest, ReturningToTheWholeRangePaintsAsANeverBrowsedWindow)
{
    const std::vector<std::pair<std::string, std::function<void(BrowseTest&)>>> ways = {
        {"Ctrl+double click",
         [](BrowseTest& t) {
             QTest::mouseDClick(&t.wnd, Qt::LeftButton, Qt::ControlModifier, QPoint(t.rcData.left + 30, 60));
         }},
        {"full-range button", [](BrowseTest& t) { t.wnd.GetButton(CVelGraphWnd::kIdFullRange)->click(); }},
        {"Home", [](BrowseTest& t) { QTest::keyClick(&t.wnd, Qt::Key_Home); }},
    };
    for (const auto& [name, reset] : ways) {
        ASSERT_TRUE(wnd.ZoomTo(20, 60, 300, 400)) << name;
        for (int i = 0; i < 5; ++i) feed.Add(wnd);
        wnd.repaint();
        reset(*this);
        EXPECT_FALSE(wnd.IsBrowsing()) << name;
        EXPECT_EQ(wnd.nProperty, 0) << name << ": no sheet on Ctrl+double click";

        BrowsedWnd twin;
        twin.ShowButtons(plat::FALSE);
        LiveFeed twinFeed;
        for (int i = 0; i < feed.n; ++i) twinFeed.Add(twin);
        twin.resize(400, 300);
        twin.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&twin));
        twin.repaint();
        Flush();
        EXPECT_EQ(Picture(), twin.grab().toImage().convertToFormat(QImage::Format_RGB32)) << name;
    }
}

TEST_F(BrowseTest, SignalsTellEveryViewChangeAndTheFollowingState)
{
    QSignalSpy views(&wnd, &CVelGraphWnd::viewChanged);
    QSignalSpy following(&wnd, &CVelGraphWnd::followingChanged);
    wnd.ZoomX(2, 50);
    wnd.ZoomY(2, 300);
    wnd.PanBy(5, 0);
    EXPECT_EQ(views.count(), 3);
    ASSERT_EQ(following.count(), 1);
    EXPECT_FALSE(following.at(0).at(0).toBool());
    EXPECT_FALSE(wnd.ZoomX(1e20, 50)) << "a range the axis cannot show";
    EXPECT_EQ(views.count(), 3);
    wnd.ResetView();
    wnd.ResetView();
    EXPECT_EQ(views.count(), 4);
    ASSERT_EQ(following.count(), 2);
    EXPECT_TRUE(following.at(1).at(0).toBool());
}

TEST_F(BrowseTest, ANewRunOrConfirmedRangesEndBrowsing)
{
    ASSERT_TRUE(wnd.ZoomX(2, 50));
    wnd.RemoveAll(plat::TRUE);
    EXPECT_TRUE(wnd.IsFollowing());
    EXPECT_FALSE(wnd.IsBrowsing());
    ASSERT_TRUE(wnd.ZoomX(2, 50));
    wnd.SetAxisLogarithm(GRAPH_AXIS_Y, plat::FALSE);
    EXPECT_FALSE(wnd.IsBrowsing());
}

TEST_F(BrowseTest, WithBrowsingOffTheMouseOnlyDoesWhatItDidBefore)
{
    wnd.EnableBrowse(false);
    const QPoint pt((rcData.left + rcData.right) / 2, (rcData.top + rcData.bottom) / 2);
    Wheel(pt, 120);
    Drag(pt, pt + QPoint(50, 20));
    Drag(pt, pt + QPoint(50, 20), Qt::ShiftModifier);
    QTest::mouseDClick(&wnd, Qt::LeftButton, Qt::ControlModifier, pt);
    EXPECT_FALSE(wnd.IsBrowsing());
    EXPECT_EQ(wnd.nProperty, 1) << "Ctrl+double click is a double click again";
}

}  // namespace
