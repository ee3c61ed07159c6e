#include "render/AxisScale.h"
#include "render/BlockRows.h"
#include "render/BlockWalk.h"
#include "render/PointBlocks.h"
#include "render/SeriesPixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Kinds of series the walk must give exact answers for.
enum class Kind { Trace, RandomX, Gaps, Infinite, NonPositive };

std::vector<tagGraphPoint> MakePoints(Kind kind, int n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<tagGraphPoint> pts;
    double v = 50;
    for (int i = 0; i < n; ++i) {
        v += (u(rng) - 0.5) * 6;
        tagGraphPoint p{i * 0.37, v};
        switch (kind) {
        case Kind::Trace: break;
        case Kind::RandomX: p.x = u(rng) * n * 0.37; break;
        case Kind::Gaps:
            if (u(rng) < 0.03) p.y = kNaN;
            if ((i / 40) % 9 == 4) p.x = kNaN;  // whole blocks without a place
            break;
        case Kind::Infinite:
            if (i % 97 == 3) p.y = (i % 2) ? kInf : -kInf;
            if (i % 211 == 7) p.x = kInf;
            break;
        case Kind::NonPositive:
            p.y = (i / 50) % 4 == 1 ? -v : std::abs(v) + 0.5;
            if (i % 13 == 0) p.y = 0;
            p.x = 0.5 + i * 0.37;
            break;
        }
        pts.push_back(p);
    }
    return pts;
}

void Load(CGraphPointArray& ar, const std::vector<tagGraphPoint>& pts, std::size_t nFrom, std::size_t nTo)
{
    for (std::size_t i = nFrom; i < nTo; ++i) ar.Add(pts[i].x, pts[i].y);
}

tagGraphAxis Axis(double dMin, double dMax, int nLength, bool bLog)
{
    tagGraphAxis axis;
    axis.dMin = dMin;
    axis.dMax = dMax;
    axis.bLogarithm = bLog ? 1 : 0;
    CAxisScale::CalculatePixelStep(axis, nLength);
    return axis;
}

const char* Name(Kind k)
{
    switch (k) {
    case Kind::Trace: return "trace";
    case Kind::RandomX: return "random x";
    case Kind::Gaps: return "gaps";
    case Kind::Infinite: return "infinite";
    case Kind::NonPositive: return "non-positive";
    }
    return "";
}

}  // namespace

// Every block of every level summarises exactly its points, whether the
// points arrived one by one, in bulk, or were changed in place.
TEST(PointBlocksTest, SummariesMatchTheirPointsAfterAppendsAndChanges)
{
    for (Kind kind : {Kind::Trace, Kind::Gaps, Kind::Infinite}) {
        const std::vector<tagGraphPoint> pts = MakePoints(kind, 3001, 5);
        CGraphPointArray ar;
        CPointBlocks blocks;
        auto Check = [&](const std::string& what) {
            ASSERT_EQ(blocks.GetSize(), ar.GetSize()) << what;
            for (int k = 0; k < blocks.GetLevelCount(); ++k) {
                const int nShift = CPointBlocks::Shift(k);
                ASSERT_EQ(blocks.GetBlockCount(k), ((ar.GetSize() - 1) >> nShift) + 1) << what << " level " << k;
                for (int j = 0; j < blocks.GetBlockCount(k); ++j) {
                    CPointBlocks::tagSummary want;
                    bool bAll = true;
                    for (int i = j << nShift; i < std::min(ar.GetSize(), (j + 1) << nShift); ++i) {
                        want.Add(ar.GetAt(i));
                        bAll = bAll && !std::isnan(ar.GetAt(i).x) && !std::isnan(ar.GetAt(i).y);
                    }
                    const CPointBlocks::tagSummary& got = blocks.Block(k, j);
                    ASSERT_EQ(got.dXMin, want.dXMin) << what << " " << k << "/" << j;
                    ASSERT_EQ(got.dXMax, want.dXMax) << what << " " << k << "/" << j;
                    ASSERT_EQ(got.dYMin, want.dYMin) << what << " " << k << "/" << j;
                    ASSERT_EQ(got.dYMax, want.dYMax) << what << " " << k << "/" << j;
                    ASSERT_EQ(blocks.IsAllNumbers(k, j), bAll) << what << " " << k << "/" << j;
                }
            }
            EXPECT_EQ(blocks.GetBlockCount(blocks.GetLevelCount() - 1), 1) << what;
        };
        Load(ar, pts, 0, 1);
        blocks.Sync(ar);
        Check(std::string(Name(kind)) + " one point");
        const std::uint64_t nGeneration = blocks.GetGeneration();
        for (std::size_t n : {2u, 17u, 33u, 1000u, 1024u, 3001u}) {
            Load(ar, pts, static_cast<std::size_t>(ar.GetSize()), n);
            blocks.Sync(ar);
            Check(std::string(Name(kind)) + " appended to " + std::to_string(n));
        }
        EXPECT_EQ(blocks.GetGeneration(), nGeneration) << "appends extend the blocks";
        ar.SetAt(1500, 1e6, -1e6);
        blocks.Sync(ar);
        Check(std::string(Name(kind)) + " changed in place");
        EXPECT_NE(blocks.GetGeneration(), nGeneration) << "a change builds anew";
    }
}

namespace {

// What the walk must find, point by point.
struct Brute {
    const std::vector<tagGraphPoint>& pts;
    const tagGraphAxis& x;
    const tagGraphAxis& y;
    bool Position(int i, int& nX, int& nY) const
    {
        int bx = 0, by = 0;
        nX = CAxisScale::Position(pts[i].x, x, bx);
        nY = CAxisScale::Position(pts[i].y, y, by);
        return bx && by;
    }
};

}  // namespace

TEST(BlockWalkTest, ColumnsSkipsAndExtentsEqualAPointByPointScan)
{
    struct Case {
        Kind kind;
        bool bXLog, bYLog;
        int nWidth;  // pixels over the whole X range: few or many points per column
    };
    const Case cases[] = {
        {Kind::Trace, false, false, 40},   {Kind::Trace, false, false, 700}, {Kind::RandomX, false, false, 300},
        {Kind::Gaps, false, false, 90},    {Kind::Infinite, false, false, 60},
        {Kind::NonPositive, false, true, 50}, {Kind::NonPositive, true, true, 80},
    };
    for (const Case& c : cases) {
        const std::vector<tagGraphPoint> pts = MakePoints(c.kind, 2500, 9);
        CGraphPointArray ar;
        Load(ar, pts, 0, pts.size());
        CPointBlocks blocks;
        blocks.Sync(ar);
        const double dXMax = 2500 * 0.37 + 1;
        const tagGraphAxis xAxis = Axis(c.bXLog ? 0.5 : 0, dXMax, c.nWidth, c.bXLog);
        const tagGraphAxis yAxis = Axis(c.bYLog ? 1 : -100, 250, 200, c.bYLog);
        ASSERT_TRUE(CBlockWalk::IsUsable(xAxis) && CBlockWalk::IsUsable(yAxis));
        const int nBase = 210, nRows = 230;  // a band a little taller than the axis
        CBlockRows rows;
        ASSERT_TRUE(rows.Sync(blocks, ar.GetData(), yAxis, nBase, nRows));
        const CBlockWalk walk(blocks, &rows, ar.GetData(), xAxis, yAxis, nBase, nRows);
        const Brute brute{pts, xAxis, yAxis};
        const std::string name = std::string(Name(c.kind)) + " width " + std::to_string(c.nWidth);
        std::vector<std::uint64_t> got(static_cast<std::size_t>(rows.GetWordCount()));
        int nColumns = 0;
        for (int i = 0; i < static_cast<int>(pts.size()); ++i) {
            int nX = 0, nY = 0;
            const bool bPlaced = brute.Position(i, nX, nY);
            int nWalkX = 0, nWalkY = 0;
            ASSERT_EQ(walk.Position(i, nWalkX, nWalkY), bPlaced) << name << " point " << i;
            if (!bPlaced) {
                int nNext = i;
                while (nNext < static_cast<int>(pts.size()) && !brute.Position(nNext, nX, nY)) ++nNext;
                ASSERT_EQ(walk.SkipWithoutPosition(i), nNext) << name << " point " << i;
                continue;
            }
            ASSERT_EQ(nWalkX, nX);
            // The column of the point, and a wider band of columns.
            for (int nSpread : {0, 3}) {
                const int nLo = nX - nSpread, nHi = nX;
                int nEnd = i;
                double dMin = kInf, dMax = -kInf;
                std::set<int> wantRows;
                int nPX = 0, nPY = 0;
                while (nEnd < static_cast<int>(pts.size()) && brute.Position(nEnd, nPX, nPY) && nPX >= nLo
                       && nPX <= nHi) {
                    dMin = std::min(dMin, pts[nEnd].y);
                    dMax = std::max(dMax, pts[nEnd].y);
                    if (nBase - nPY >= 0 && nBase - nPY < nRows) wantRows.insert(nBase - nPY);
                    ++nEnd;
                }
                std::fill(got.begin(), got.end(), 0);
                double dGotMin = kInf, dGotMax = -kInf;
                ASSERT_EQ(walk.Column(i, nLo, nHi, dGotMin, dGotMax, got.data()), nEnd) << name << " from " << i;
                EXPECT_EQ(dGotMin, dMin) << name << " from " << i;
                EXPECT_EQ(dGotMax, dMax) << name << " from " << i;
                std::set<int> gotRows;
                for (int r = 0; r < nRows; ++r)
                    if ((got[r / 64] >> (r % 64)) & 1) gotRows.insert(r);
                ASSERT_EQ(gotRows, wantRows) << name << " from " << i;
                if (nEnd - i > 2) {
                    double dMinBefore = kInf, dMaxBefore = -kInf;
                    walk.Extent(i, nEnd - 1, dMinBefore, dMaxBefore);
                    double dWantMin = kInf, dWantMax = -kInf;
                    for (int n = i; n < nEnd - 1; ++n) {
                        dWantMin = std::min(dWantMin, pts[n].y);
                        dWantMax = std::max(dWantMax, pts[n].y);
                    }
                    EXPECT_EQ(dMinBefore, dWantMin) << name << " before " << nEnd - 1;
                    EXPECT_EQ(dMaxBefore, dWantMax) << name << " before " << nEnd - 1;
                }
                nColumns += nSpread == 0;
            }
        }
        EXPECT_GT(nColumns, 100) << name;
    }
}

// Ranges that a walk cannot trust fall back to point by point.
TEST(BlockWalkTest, OnlyFiniteIncreasingScalesAreUsable)
{
    EXPECT_TRUE(CBlockWalk::IsUsable(Axis(0, 100, 300, false)));
    EXPECT_TRUE(CBlockWalk::IsUsable(Axis(0.1, 1000, 300, true)));
    EXPECT_FALSE(CBlockWalk::IsUsable(Axis(0, 1000, 300, true))) << "log axis from 0";
    tagGraphAxis nan = Axis(0, 100, 300, false);
    nan.dPixelStep = kNaN;
    EXPECT_FALSE(CBlockWalk::IsUsable(nan));
    tagGraphAxis unscaled;
    EXPECT_FALSE(CBlockWalk::IsUsable(unscaled)) << "no scale computed yet";
}

// The column build gives the vertices of the point-by-point build and the
// same marks in column order, also when it only extends what it kept.
TEST(SeriesPixelsTest, ColumnBuildEqualsThePointByPointBuild)
{
    for (Kind kind : {Kind::Trace, Kind::RandomX, Kind::Gaps}) {
        const std::vector<tagGraphPoint> pts = MakePoints(kind, 6000, 21);
        CGraphPointArray ar;
        CSeriesPixels columns;
        const plat::CRect rcPlot(0, 0, 500, 240);
        std::size_t nLoaded = 0;
        for (std::size_t n : {700u, 701u, 2500u, 6000u}) {
            Load(ar, pts, nLoaded, n);
            nLoaded = n;
            for (double dYMax : {250.0, 400.0}) {
                // Every point inside the plot: far off, stretches become their ends.
                const tagGraphAxis xAxis = Axis(0, pts.size() * 0.37 + 1, rcPlot.Width(), false);
                const tagGraphAxis yAxis = Axis(-100, dYMax, rcPlot.Height(), false);
                CSeriesPixels scan;
                scan.Build(ar.GetData(), ar.GetSize(), xAxis, yAxis, rcPlot, true, 4);
                columns.BuildColumns(ar, xAxis, yAxis, rcPlot, true, 4, 0);
                const std::string name = std::string(Name(kind)) + " " + std::to_string(n);
                EXPECT_EQ(columns.Vertices(), scan.Vertices()) << name;
                EXPECT_EQ(columns.RunStarts(), scan.RunStarts()) << name;
                auto Sorted = [](std::vector<plat::CPoint> v) {
                    std::sort(v.begin(), v.end(), [](plat::CPoint a, plat::CPoint b) {
                        return std::make_pair(a.x, a.y) < std::make_pair(b.x, b.y);
                    });
                    return v;
                };
                EXPECT_EQ(Sorted(columns.Marks()), Sorted(scan.Marks())) << name;
                EXPECT_GT(scan.Marks().size(), 100u) << name;
            }
        }
    }
}
