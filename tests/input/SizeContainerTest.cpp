#include "input/SizeContainer.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace plat;

namespace {

struct Host {
    QWidget window;
    QWidget* child;
    Host(QRect childRect)
    {
        window.resize(400, 300);
        child = new QWidget(&window);
        child->setGeometry(childRect);
    }
};

TEST(SizeContainer, FirstCallRecordsOnlySecondScales)
{
    Host host(QRect(QPoint(10, 10), QPoint(109, 39)));  // (10,10)-(110,40)
    CSizeContainer sizer;
    sizer.SetNewSize(&host.window, 400, 300);
    EXPECT_EQ(host.child->geometry(), QRect(10, 10, 100, 30));
    EXPECT_EQ(sizer.GetRecordCount(), 0);

    sizer.SetNewSize(&host.window, 800, 600);
    EXPECT_EQ(host.child->geometry(), QRect(20, 20, 200, 60));  // (20,20)-(220,80)
    tagWndSize rec;
    ASSERT_TRUE(sizer.FindWndSize(host.child, rec));
    EXPECT_EQ(rec.hWnd, host.child);
    EXPECT_FLOAT_EQ(rec.left, 20.0f);
    EXPECT_FLOAT_EQ(rec.bottom, 80.0f);
}

TEST(SizeContainer, ScaledValuesRoundHalfUp)
{
    struct Case {
        int left, width, from, to, wantLeft, wantRight;
    };
    const Case cases[] = {
        {5, 10, 200, 300, 8, 23},    // 7.5 -> 8, 22.5 -> 23
        {5, 10, 300, 200, 3, 10},    // 3.33 -> 3, 10 -> 10
        {1, 1, 100, 150, 2, 3},      // 1.5 -> 2, 3 -> 3
        {7, 3, 100, 100, 7, 10},     // unchanged size keeps the place
    };
    for (const Case& c : cases) {
        Host host(QRect(c.left, 0, c.width, 10));
        CSizeContainer sizer;
        sizer.SetNewSize(&host.window, c.from, 100);
        sizer.SetNewSize(&host.window, c.to, 100);
        EXPECT_EQ(host.child->x(), c.wantLeft) << c.left << " from " << c.from << " to " << c.to;
        EXPECT_EQ(host.child->x() + host.child->width(), c.wantRight) << c.left << " from " << c.from << " to " << c.to;
    }
}

TEST(SizeContainer, UpAndDownAgainReturnsExactly)
{
    // Odd positions that a rounded integer round trip would lose.
    const QRect start(7, 13, 29, 11);
    Host host(start);
    auto* grandchild = new QWidget(host.child);
    grandchild->setGeometry(3, 5, 17, 4);
    CSizeContainer sizer;
    sizer.SetNewSize(&host.window, 301, 207);
    for (int i = 0; i < 5; ++i) {
        sizer.SetNewSize(&host.window, 903, 621);
        sizer.SetNewSize(&host.window, 301, 207);
    }
    // Through odd ratios and back.
    sizer.SetNewSize(&host.window, 457, 333);
    sizer.SetNewSize(&host.window, 129, 97);
    sizer.SetNewSize(&host.window, 301, 207);
    EXPECT_EQ(host.child->geometry(), start);
    EXPECT_EQ(grandchild->geometry(), QRect(3, 5, 17, 4));
    EXPECT_EQ(sizer.GetRecordCount(), 2);
}

TEST(SizeContainer, DescendantsScaleInTheirOwnParent)
{
    Host host(QRect(100, 50, 200, 100));
    auto* inner = new QWidget(host.child);
    inner->setGeometry(10, 20, 40, 30);
    CSizeContainer sizer;
    sizer.SetNewSize(&host.window, 400, 300);
    sizer.SetNewSize(&host.window, 200, 600);
    EXPECT_EQ(host.child->geometry(), QRect(50, 100, 100, 200));
    EXPECT_EQ(inner->geometry(), QRect(5, 40, 20, 60));
}

TEST(SizeContainer, ZeroSizeChangesNothing)
{
    Host host(QRect(10, 10, 100, 30));
    CSizeContainer sizer;
    sizer.SetNewSize(&host.window, 400, 300);
    sizer.SetNewSize(&host.window, 0, 0);
    sizer.SetNewSize(&host.window, 0, 200);
    sizer.SetNewSize(&host.window, 200, 0);
    EXPECT_EQ(host.child->geometry(), QRect(10, 10, 100, 30));
    EXPECT_EQ(sizer.GetPreviousWidth(), 400);
    EXPECT_EQ(sizer.GetPreviousHeight(), 300);
    // The next real size scales from the size before the minimising.
    sizer.SetNewSize(&host.window, 800, 600);
    EXPECT_EQ(host.child->geometry(), QRect(20, 20, 200, 60));

    CSizeContainer fresh;
    fresh.SetNewSize(&host.window, 0, 0);
    fresh.SetNewSize(&host.window, 400, 300);
    EXPECT_EQ(host.child->geometry(), QRect(20, 20, 200, 60)) << "a first real size only records";
}

TEST(SizeContainer, RecordsAreFoundAndOverwrittenByHandle)
{
    Host host(QRect(10, 10, 100, 30));
    CSizeContainer sizer;
    tagWndSize rec;
    EXPECT_FALSE(sizer.FindWndSize(host.child, rec));
    sizer.SetWndSize(host.child, rec);  // nothing to overwrite
    EXPECT_EQ(sizer.GetRecordCount(), 0);

    sizer.SetNewSize(&host.window, 100, 100);
    sizer.SetNewSize(&host.window, 100, 100);
    ASSERT_TRUE(sizer.FindWndSize(host.child, rec));
    rec.left = 50.0f;
    rec.right = 70.4f;
    sizer.SetWndSize(host.child, rec);
    sizer.SetNewSize(&host.window, 200, 100);
    EXPECT_EQ(host.child->x(), 100);
    EXPECT_EQ(host.child->width(), 141 - 100);  // 140.8 rounds to 141
}

TEST(SizeContainer, DestroyedChildLeavesNoRecordForItsSuccessor)
{
    QWidget window;
    window.resize(100, 100);
    CSizeContainer sizer;
    auto first = std::make_unique<QWidget>(&window);
    first->setGeometry(10, 10, 10, 10);
    sizer.SetNewSize(&window, 100, 100);
    sizer.SetNewSize(&window, 200, 200);
    EXPECT_EQ(sizer.GetRecordCount(), 1);
    first.reset();

    auto* second = new QWidget(&window);
    second->setGeometry(30, 30, 10, 10);
    sizer.SetNewSize(&window, 400, 400);
    // Scaled from its own rectangle, never from what its predecessor left.
    EXPECT_EQ(second->geometry(), QRect(60, 60, 20, 20));
    EXPECT_EQ(sizer.GetRecordCount(), 1);
}

TEST(SizeContainer, WindowsOfTheirOwnStayPut)
{
    Host host(QRect(10, 10, 10, 10));
    auto* popup = new QWidget(&host.window, Qt::Tool);
    popup->setGeometry(500, 400, 50, 50);
    CSizeContainer sizer;
    sizer.SetNewSize(&host.window, 100, 100);
    sizer.SetNewSize(&host.window, 200, 200);
    EXPECT_EQ(popup->geometry(), QRect(500, 400, 50, 50));
    EXPECT_EQ(host.child->geometry(), QRect(20, 20, 20, 20));
}

}  // namespace
