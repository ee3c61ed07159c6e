#include "graph/VelGraphSeries.h"
#include "platform/InvalidArgException.h"

#include <gtest/gtest.h>

#include <limits>

TEST(VelGraphSeriesTest, NewSeriesDefaults)
{
    CVelGraphSeries s;
    EXPECT_EQ(s.GetSize(), 0);
    EXPECT_EQ(s.arPoints.GetCapacity(), 0);
    EXPECT_TRUE(s.CanShow());
    EXPECT_FALSE(s.IsActivate());
    EXPECT_TRUE(s.IsShowMark());
    EXPECT_EQ(s.GetColor(), 0u);
    EXPECT_EQ(s.GetPenStyle(), 0);
    EXPECT_EQ(s.GetWidth(), 1);
    EXPECT_EQ(s.GetPointStyle(), POINT_CIRCLE);
    EXPECT_TRUE(s.GetTipInfo().isEmpty());
    double d1 = -1, d2 = -1, d3 = -1;
    s.GetRange(d1, d2, d3);
    EXPECT_EQ(d1, 0.0);
    EXPECT_EQ(d2, 0.0);
    EXPECT_EQ(d3, 0.0);
}

TEST(VelGraphSeriesTest, GrowsOneThenByAnEighthClampedTo4And1024)
{
    CVelGraphSeries s;
    EXPECT_EQ(s.Add(1, 2), 0);
    EXPECT_EQ(s.arPoints.GetCapacity(), 1);
    for (int i = 1; i < 5; ++i) EXPECT_EQ(s.Add(i, i), i);
    EXPECT_EQ(s.arPoints.GetCapacity(), 5);  // 1, then 4 more

    // Capacity after each growth of a full store, from the rule's table.
    struct Row { int nSize, nCapacity, nExpected; };
    const Row rows[] = {
        {0, 0, 1}, {1, 1, 5}, {5, 5, 9}, {39, 39, 43}, {40, 40, 45},
        {100, 100, 112}, {8191, 8191, 9214}, {8192, 8192, 9216}, {100000, 100000, 101024},
    };
    for (const Row& r : rows)
        EXPECT_EQ(CGraphPointArray::GrownCapacity(r.nSize, r.nCapacity), r.nExpected) << r.nSize;
}

TEST(VelGraphSeriesTest, CapacityFollowsTheRuleOverALongSeries)
{
    CVelGraphSeries s;
    int nCapacity = 0;
    for (int i = 0; i < 20000; ++i) {
        if (s.GetSize() == nCapacity) nCapacity = CGraphPointArray::GrownCapacity(nCapacity, nCapacity);
        s.Add(i, -i);
        ASSERT_EQ(s.arPoints.GetCapacity(), nCapacity) << i;
    }
    double x = 0, y = 0;
    s.GetAt(12345, x, y);
    EXPECT_EQ(x, 12345.0);
    EXPECT_EQ(y, -12345.0);
}

TEST(VelGraphSeriesTest, RemoveAllStartsAgainWithOnePointBlock)
{
    CVelGraphSeries s;
    for (int i = 0; i < 7; ++i) s.Add(i, i);
    s.RemoveAll();
    EXPECT_EQ(s.GetSize(), 0);
    EXPECT_EQ(s.arPoints.GetCapacity(), 0);
    EXPECT_EQ(s.Add(3.5, 4.5), 0);
    EXPECT_EQ(s.arPoints.GetCapacity(), 1);
}

TEST(VelGraphSeriesTest, PointsReadBackUnchangedAndBadIndexesThrow)
{
    CVelGraphSeries s;
    s.Add(0.1, 0.2);
    s.Add(-1e300, 1e-300);
    double x = 0, y = 0;
    s.GetAt(1, x, y);
    EXPECT_EQ(x, -1e300);
    EXPECT_EQ(y, 1e-300);
    s.SetAt(0, 7, 8);
    s.GetAt(0, x, y);
    EXPECT_EQ(x, 7.0);
    EXPECT_EQ(y, 8.0);

    EXPECT_THROW(s.GetAt(2, x, y), plat::CInvalidArgException);
    EXPECT_THROW(s.GetAt(-1, x, y), plat::CInvalidArgException);
    EXPECT_THROW(s.SetAt(2, 0, 0), plat::CInvalidArgException);
    EXPECT_THROW(s.SetAt(-1, 0, 0), plat::CInvalidArgException);
    CVelGraphSeries empty;
    EXPECT_THROW(empty.GetAt(0, x, y), plat::CInvalidArgException);
    EXPECT_EQ(s.GetSize(), 2);
}

TEST(VelGraphSeriesTest, AttributesRoundTrip)
{
    CVelGraphSeries s;
    s.SetRange(1.5, 2.5, 3.5);
    s.SetColor(plat::RGB(1, 2, 3));
    s.SetWidth(4);
    s.SetPenStyle(2);
    s.SetPointStyle(POINT_DIAMOND);
    s.EnableShow(0);
    s.EnableActivate(1);
    s.EnableShowMark(0);
    s.SetTipInfo(QStringLiteral("转速"));
    double d1, d2, d3;
    s.GetRange(d1, d2, d3);
    EXPECT_EQ(d1, 1.5);
    EXPECT_EQ(d2, 2.5);
    EXPECT_EQ(d3, 3.5);
    EXPECT_EQ(s.GetColor(), 0x030201u);
    EXPECT_EQ(s.GetWidth(), 4);
    EXPECT_EQ(s.GetPenStyle(), 2);
    EXPECT_EQ(s.GetPointStyle(), POINT_DIAMOND);
    EXPECT_FALSE(s.CanShow());
    EXPECT_TRUE(s.IsActivate());
    EXPECT_FALSE(s.IsShowMark());
    EXPECT_EQ(s.GetTipInfo(), QStringLiteral("转速"));
}

TEST(VelGraphSeriesTest, ExtentsFollowAddsOverwritesAndRemoval)
{
    CGraphPointArray a;
    double lo = 0, hi = 0;
    EXPECT_FALSE(a.GetExtent(true, lo, hi));
    a.Add(5, std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(a.GetExtent(true, lo, hi));
    EXPECT_FALSE(a.GetExtent(false, lo, hi));  // no finite y yet
    a.Add(-2, 7);
    a.Add(9, std::numeric_limits<double>::infinity());
    ASSERT_TRUE(a.GetExtent(true, lo, hi));
    EXPECT_EQ(lo, -2.0);
    EXPECT_EQ(hi, 9.0);
    ASSERT_TRUE(a.GetExtent(false, lo, hi));
    EXPECT_EQ(lo, 7.0);
    EXPECT_EQ(hi, 7.0);
    // Overwriting the extreme narrows the extent.
    a.SetAt(2, 1, 3);
    ASSERT_TRUE(a.GetExtent(true, lo, hi));
    EXPECT_EQ(hi, 5.0);
    ASSERT_TRUE(a.GetExtent(false, lo, hi));
    EXPECT_EQ(lo, 3.0);
    a.RemoveAll();
    EXPECT_FALSE(a.GetExtent(true, lo, hi));
    a.Add(4, 4);
    ASSERT_TRUE(a.GetExtent(true, lo, hi));
    EXPECT_EQ(lo, 4.0);
}
