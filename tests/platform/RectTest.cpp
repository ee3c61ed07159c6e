#include "platform/Rect.h"

#include <gtest/gtest.h>

using namespace plat;

TEST(RectTest, RightAndBottomLieOutside)
{
    CRect r(0, 0, 4, 3);
    EXPECT_EQ(r.Width(), 4);
    EXPECT_EQ(r.Height(), 3);
    EXPECT_TRUE(r.PtInRect({3, 2}));
    EXPECT_FALSE(r.PtInRect({4, 2}));
    EXPECT_FALSE(r.PtInRect({3, 3}));
    EXPECT_EQ(r.toQRect(), QRect(0, 0, 4, 3));
}

TEST(RectTest, IntersectAndUnion)
{
    CRect r;
    EXPECT_TRUE(r.IntersectRect({0, 0, 10, 10}, {5, 5, 20, 20}));
    EXPECT_EQ(r, CRect(5, 5, 10, 10));
    EXPECT_FALSE(r.IntersectRect({0, 0, 5, 5}, {5, 0, 10, 5}));
    EXPECT_TRUE(r.IsRectNull());
    EXPECT_TRUE(r.UnionRect({}, {1, 2, 3, 4}));
    EXPECT_EQ(r, CRect(1, 2, 3, 4));
}

TEST(RectTest, NormalizeAndEmptiness)
{
    CRect r(10, 8, 2, 1);
    EXPECT_TRUE(r.IsRectEmpty());
    r.NormalizeRect();
    EXPECT_EQ(r, CRect(2, 1, 10, 8));
    r.DeflateRect(1, 1);
    EXPECT_EQ(r, CRect(3, 2, 9, 7));
}
