#include "graph/GraphPointArray.h"
#include "graph/VelGraph.h"
#include "platform/InvalidArgException.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>
#include <string>
#include <vector>

// Array allocations of at least a threshold, counted while one is set, to
// see how often a bulk load allocates point storage.
namespace {
std::atomic<std::size_t> g_nCountFrom{0};
std::atomic<int> g_nLarge{0};

void* Allocate(std::size_t n)
{
    const std::size_t nFrom = g_nCountFrom.load();
    if (nFrom != 0 && n >= nFrom) ++g_nLarge;
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}

struct CountLarge {
    explicit CountLarge(std::size_t nBytes)
    {
        g_nLarge = 0;
        g_nCountFrom = nBytes;
    }
    ~CountLarge() { g_nCountFrom = 0; }
    int Count() const { return g_nLarge.load(); }
};
}  // namespace

void* operator new[](std::size_t n)
{
    return Allocate(n);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

struct Points {
    std::vector<double> x, y;
    explicit Points(int n, int nFrom = 0)
    {
        for (int i = nFrom; i < nFrom + n; ++i) {
            x.push_back(i * 0.5);
            y.push_back(std::sin(i * 0.01) * 100);
        }
    }
};

void ExpectPoints(const CGraphPointArray& a, int nFrom, const Points& p, const std::string& what)
{
    for (std::size_t i = 0; i < p.x.size(); ++i) {
        const tagGraphPoint& pt = a.GetAt(nFrom + static_cast<int>(i));
        ASSERT_EQ(pt.x, p.x[i]) << what << " point " << i;
        ASSERT_EQ(pt.y, p.y[i]) << what << " point " << i;
    }
}

}  // namespace

TEST(GraphPointArrayTest, AssignAllocatesOnceExactlyTheRoomNeeded)
{
    for (int n : {1, 5, 1000, 100000}) {
        CGraphPointArray a;
        for (int i = 0; i < 7; ++i) a.Add(-1, -1);  // replaced, not kept
        const Points p(n);
        const std::uint64_t nRevision = a.GetRevision();
        {
            CountLarge count(static_cast<std::size_t>(n) * sizeof(tagGraphPoint));
            a.Assign(n, p.x.data(), p.y.data());
            EXPECT_EQ(count.Count(), 1) << n;
        }
        EXPECT_EQ(a.GetSize(), n);
        EXPECT_EQ(a.GetCapacity(), n);
        EXPECT_NE(a.GetRevision(), nRevision) << "the old points are gone";
        ExpectPoints(a, 0, p, "assigned " + std::to_string(n));
        // One by one after a bulk load: the growth rule from there.
        a.Add(1, 1);
        EXPECT_EQ(a.GetCapacity(), CGraphPointArray::GrownCapacity(n, n)) << n;
    }
    CGraphPointArray empty;
    empty.Add(1, 2);
    empty.Assign(0, nullptr, nullptr);
    EXPECT_EQ(empty.GetSize(), 0);
    EXPECT_EQ(empty.GetCapacity(), 0);
}

TEST(GraphPointArrayTest, AppendUsesFreeRoomOrAllocatesOnce)
{
    struct Row {
        int nHave;    // points added one by one first
        int nAppend;  // then appended in one call
        int nAllocations;
    };
    // 5 points hold a capacity of 5; 6 hold 9 (1, +4, +4).
    const Row rows[] = {{0, 100, 1}, {5, 1, 1}, {6, 3, 0}, {6, 4, 1}, {20000, 50000, 1}, {3, 0, 0}};
    for (const Row& r : rows) {
        CGraphPointArray a;
        const Points first(r.nHave);
        for (int i = 0; i < r.nHave; ++i) a.Add(first.x[i], first.y[i]);
        const int nCapacity = a.GetCapacity();
        const std::uint64_t nRevision = a.GetRevision();
        const Points more(r.nAppend, r.nHave);
        {
            CountLarge count(sizeof(tagGraphPoint));
            a.Append(r.nAppend, more.x.data(), more.y.data());
            EXPECT_EQ(count.Count(), r.nAllocations) << r.nHave << " + " << r.nAppend;
        }
        const std::string what = std::to_string(r.nHave) + " + " + std::to_string(r.nAppend);
        EXPECT_EQ(a.GetSize(), r.nHave + r.nAppend) << what;
        EXPECT_EQ(a.GetCapacity(), r.nAllocations ? r.nHave + r.nAppend : nCapacity) << what;
        EXPECT_EQ(a.GetRevision(), nRevision) << what << ": appending keeps the points there were";
        ExpectPoints(a, 0, first, what);
        ExpectPoints(a, r.nHave, more, what);
    }
}

TEST(GraphPointArrayTest, BulkLoadsKeepExtentsAndRefuseImpossibleCounts)
{
    CGraphPointArray a;
    const double x[] = {3, std::numeric_limits<double>::quiet_NaN(), -4, 8};
    const double y[] = {1, 2, std::numeric_limits<double>::infinity(), -6};
    a.Assign(2, x, y);
    a.Append(2, x + 2, y + 2);
    double lo = 0, hi = 0;
    ASSERT_TRUE(a.GetExtent(true, lo, hi));
    EXPECT_EQ(lo, -4.0);
    EXPECT_EQ(hi, 8.0);
    ASSERT_TRUE(a.GetExtent(false, lo, hi));
    EXPECT_EQ(lo, -6.0);
    EXPECT_EQ(hi, 2.0);

    const int nCapacity = a.GetCapacity();
    EXPECT_THROW(a.Append(std::numeric_limits<int>::max(), x, y), plat::CInvalidArgException);
    EXPECT_THROW(a.Append(-1, x, y), plat::CInvalidArgException);
    EXPECT_THROW(a.Assign(-5, x, y), plat::CInvalidArgException);
    EXPECT_EQ(a.GetSize(), 4) << "a refused load changes nothing";
    EXPECT_EQ(a.GetCapacity(), nCapacity);
    EXPECT_EQ(a.GetAt(3).y, -6.0);
}

TEST(GraphPointArrayTest, GraphLoadsAWholeSeriesWithOneAllocation)
{
    CVelGraph g(nullptr, GRAPH_LINE);
    const int n = 200000;
    const Points p(n);
    {
        CountLarge count(static_cast<std::size_t>(n) * sizeof(tagGraphPoint));
        ASSERT_EQ(g.AddSeries(n, p.x.data(), p.y.data()), 0);
        EXPECT_EQ(count.Count(), 1);
    }
    EXPECT_EQ(g.GetSeries(0)->arPoints.GetCapacity(), n);
    ExpectPoints(g.GetSeries(0)->arPoints, 0, p, "AddSeries");

    const Points q(n / 2, 7);
    {
        CountLarge count(static_cast<std::size_t>(n / 2) * sizeof(tagGraphPoint));
        g.SetSeriesAt(0, n / 2, q.x.data(), q.y.data());
        EXPECT_EQ(count.Count(), 1);
    }
    EXPECT_EQ(g.GetSeries(0)->GetSize(), n / 2);
    EXPECT_EQ(g.GetSeries(0)->arPoints.GetCapacity(), n / 2);
    ExpectPoints(g.GetSeries(0)->arPoints, 0, q, "SetSeriesAt");
    // A count no array can hold is refused before anything is lost.
    EXPECT_THROW(g.SetSeriesAt(0, 0x80000000u, q.x.data(), q.y.data()), plat::CInvalidArgException);
    EXPECT_EQ(g.GetSeries(0)->GetSize(), n / 2);
}
