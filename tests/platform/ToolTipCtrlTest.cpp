#include "platform/ToolTipCtrl.h"

#include <QApplication>
#include <QHelpEvent>
#include <gtest/gtest.h>

using namespace plat;

namespace {

TEST(ToolTipCtrl, AnswersFromTheFirstToolUnderThePointAndForgetsDeletedTools)
{
    QWidget w;
    w.resize(100, 50);
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create());
    tip.AddTool(&w, "a (1, 2)", CRect(10, 10, 16, 16), 1);
    tip.AddTool(&w, "b (3, 4)", CRect(14, 14, 20, 20), 1);
    EXPECT_EQ(tip.GetToolCount(), 2);
    EXPECT_EQ(tip.TextAt(&w, QPoint(15, 15)), "a (1, 2)");
    EXPECT_EQ(tip.TextAt(&w, QPoint(16, 16)), "b (3, 4)");
    EXPECT_TRUE(tip.TextAt(&w, QPoint(20, 20)).isEmpty()) << "right and bottom edges are outside";

    QHelpEvent onTool(QEvent::ToolTip, QPoint(12, 12), w.mapToGlobal(QPoint(12, 12)));
    EXPECT_TRUE(QApplication::sendEvent(&w, &onTool));

    // A chart removes every tool of the last paint before registering anew.
    for (int n = tip.GetToolCount(); n > 0; --n) tip.DelTool(&w, 1);
    EXPECT_EQ(tip.GetToolCount(), 0);
    EXPECT_TRUE(tip.TextAt(&w, QPoint(12, 12)).isEmpty());
}

TEST(ToolTipCtrl, EmptyRectMeansTheWholeWindowAndADestroyedWindowIsHarmless)
{
    CToolTipCtrl tip;
    tip.Create();
    {
        QWidget w;
        w.resize(30, 30);
        tip.AddTool(&w, "whole");
        EXPECT_EQ(tip.TextAt(&w, QPoint(29, 0)), "whole");
        tip.UpdateTipText("changed", &w);
        EXPECT_EQ(tip.TextAt(&w, QPoint(0, 29)), "changed");
    }
    QWidget other;
    EXPECT_TRUE(tip.TextAt(&other, QPoint(1, 1)).isEmpty());
    EXPECT_FALSE(tip.AddTool(nullptr, "x"));
}

}  // namespace
