#include "render/AxisScale.h"
#include "render/BlockRows.h"
#include "render/BlockWalk.h"
#include "render/PointBlocks.h"
#include "render/SeriesPixels.h"
#include "render/SortedColumns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

tagGraphAxis Axis(double dMin, double dMax, int nLength, bool bLog = false)
{
    tagGraphAxis axis;
    axis.dMin = dMin;
    axis.dMax = dMax;
    axis.bLogarithm = bLog ? 1 : 0;
    CAxisScale::CalculatePixelStep(axis, nLength);
    return axis;
}

// A speed-like trace one sample a second: steps, a first-order approach,
// noise; rounded to whole rpm when bWhole, as the instrument reports, so
// many points share a column's extremes.
struct Trace {
    std::mt19937 rng{17};
    std::normal_distribution<double> noise{0.0, 3.0};
    double v = 0.0;
    bool bWhole = false;
    tagGraphPoint Next(int i)
    {
        const double dTarget = 300.0 + 150.0 * ((i / 400) % 5);
        v += (dTarget - v) * 0.05;
        const double y = v + noise(rng);
        return {static_cast<double>(i + 1), bWhole ? std::round(y) : y};
    }
};

// The columns, extremes and rows a point-by-point scan finds.
struct Expected {
    std::vector<int> arFrom, arTo;
    std::vector<double> arMin, arMax;
    std::vector<std::vector<int>> arRows;
};

Expected Scan(const CGraphPointArray& ar, const tagGraphAxis& xAxis, const tagGraphAxis& yAxis, int nFirst,
              int nCount, int nBase, int nRows)
{
    Expected e;
    for (int c = 0; c < nCount; ++c) {
        int nFrom = -1, nTo = -1;
        double dMin = kInf, dMax = -kInf;
        std::vector<int> arRows;
        for (int i = 0; i < ar.GetSize(); ++i) {
            int bx = 0, by = 0;
            const int nX = CAxisScale::Position(ar.GetAt(i).x, xAxis, bx);
            if (nX != nFirst + c) continue;
            if (nFrom < 0) nFrom = i;
            nTo = i + 1;
            dMin = std::min(dMin, ar.GetAt(i).y);
            dMax = std::max(dMax, ar.GetAt(i).y);
            const int nRow = nBase - CAxisScale::Position(ar.GetAt(i).y, yAxis, by);
            if (nRow >= 0 && nRow < nRows) arRows.push_back(nRow);
        }
        std::sort(arRows.begin(), arRows.end());
        arRows.erase(std::unique(arRows.begin(), arRows.end()), arRows.end());
        e.arFrom.push_back(nFrom);
        e.arTo.push_back(nTo);
        e.arMin.push_back(dMin);
        e.arMax.push_back(dMax);
        e.arRows.push_back(arRows);
    }
    return e;
}

// Keeps columns over a growing array and checks every one against a scan.
struct Kept {
    CGraphPointArray ar;
    CPointBlocks blocks;
    CBlockRows rows;
    CSortedColumns columns;
    static constexpr int kWidth = 120;
    static constexpr int kFirst = -3;
    static constexpr int kBase = 104;  // rows of a 100-row plot and 4 around it
    static constexpr int kRows = 108;

    void Update(const tagGraphAxis& xAxis, const tagGraphAxis& yAxis)
    {
        blocks.Sync(ar);
        ASSERT_TRUE(rows.Sync(blocks, ar.GetData(), yAxis, kBase, kRows));
        ASSERT_TRUE(CSortedColumns::Applies(blocks, xAxis, yAxis));
        const CBlockWalk walk(blocks, &rows, ar.GetData(), xAxis, yAxis, kBase, kRows);
        columns.Update(walk, blocks, rows.GetGeneration(), rows.GetWordCount(), kFirst, kWidth + 6, -1, kWidth);
    }
    void Check(const tagGraphAxis& xAxis, const tagGraphAxis& yAxis, const std::string& what)
    {
        const int nCount = kWidth + 6;
        const Expected e = Scan(ar, xAxis, yAxis, kFirst, nCount, kBase, kRows);
        ASSERT_EQ(columns.GetCount(), nCount) << what;
        for (int c = 0; c < nCount; ++c) {
            const CSortedColumns::tagColumn& col = columns.Column(c);
            const std::string at = what + ", column " + std::to_string(kFirst + c);
            if (e.arFrom[c] < 0) {
                ASSERT_EQ(col.nFrom, col.nTo) << at;
                continue;
            }
            ASSERT_EQ(col.nFrom, e.arFrom[c]) << at;
            ASSERT_EQ(col.nTo, e.arTo[c]) << at;
            ASSERT_EQ(col.dYMin, e.arMin[c]) << at;
            ASSERT_EQ(col.dYMax, e.arMax[c]) << at;
            const int x = kFirst + c;
            if (x < -1 || x > kWidth) continue;  // no rows kept outside the marked columns
            std::vector<int> arGot;
            for (int r = 0; r < kRows; ++r)
                if ((columns.Rows(c)[r / 64] >> (r % 64)) & 1) arGot.push_back(r);
            ASSERT_EQ(arGot, e.arRows[c]) << at;
        }
    }
};

}  // namespace

// The application's step: a sample is appended and the X range grows by
// one sample. Most columns then gain or lose a point at their ends and are
// patched; the result always equals a scan, with ties at the extremes.
TEST(SortedColumnsTest, LiveStepsPatchColumnsAndEqualAScan)
{
    for (bool bWhole : {false, true}) {
        Kept k;
        Trace trace;
        trace.bWhole = bWhole;
        for (int i = 0; i < 3000; ++i) {
            const tagGraphPoint p = trace.Next(i);
            k.ar.Add(p.x, p.y);
        }
        const tagGraphAxis yAxis = Axis(0, 1000, 100);
        int nPatched = 0, nRebuilt = 0;
        for (int nStep = 0; nStep < 60; ++nStep) {
            const int n = k.ar.GetSize();
            const tagGraphAxis xAxis = Axis(0, n + 1, Kept::kWidth);
            k.Update(xAxis, yAxis);
            k.Check(xAxis, yAxis, (bWhole ? "whole rpm, step " : "step ") + std::to_string(nStep));
            if (nStep > 0) {
                nPatched += k.columns.GetPatchedCount();
                nRebuilt += k.columns.GetRebuiltCount();
            }
            const tagGraphPoint p = trace.Next(n);
            k.ar.Add(p.x, p.y);
        }
        EXPECT_GT(nPatched, 59 * Kept::kWidth / 4) << "columns patched at their ends";
        EXPECT_LT(nRebuilt, nPatched / 4) << "few columns summed up again";
    }
}

// Every other kind of change keeps the columns exact: ranges that jump,
// a new Y scale, a point changed in place, a logarithmic axis, bulk
// appends and a shorter series.
TEST(SortedColumnsTest, OtherChangesEqualAScan)
{
    Kept k;
    Trace trace;
    for (int i = 0; i < 2000; ++i) {
        const tagGraphPoint p = trace.Next(i);
        k.ar.Add(p.x, p.y);
    }
    struct Step {
        const char* pszName;
        std::function<void()> change;
        double dXMin, dXMax, dYMin, dYMax;
        bool bYLog;
    };
    const std::vector<Step> steps = {
        {"whole range", [] {}, 0, 2001, 0, 1000, false},
        {"zoomed into the middle", [] {}, 700.5, 760.25, 0, 1000, false},
        {"panned right", [] {}, 900, 959.75, 0, 1000, false},
        {"zoomed out past both ends", [] {}, -500, 2600, 0, 1000, false},
        {"new Y scale", [] {}, -500, 2600, 200, 600, false},
        {"Y range cutting the trace", [] {}, 0, 2001, 350, 420, false},
        {"a point changed in the middle", [&] { k.ar.SetAt(1000, 1001.0, 999.0); }, 0, 2001, 0, 1000, false},
        {"logarithmic Y axis", [] {}, 0, 2001, 10, 2000, true},
        {"many appends", [&] {
             for (int i = 2000; i < 2700; ++i) {
                 const tagGraphPoint p = trace.Next(i);
                 k.ar.Add(p.x, p.y);
             }
         }, 0, 2701, 10, 2000, true},
        {"fewer points", [&] {
             std::vector<double> x, y;
             for (int i = 0; i < 500; ++i) {
                 x.push_back(i * 4.0);
                 y.push_back(400 + 100 * std::sin(i * 0.1));
             }
             k.ar.Assign(500, x.data(), y.data());
         }, 0, 2001, 0, 1000, false},
    };
    for (const Step& s : steps) {
        s.change();
        const tagGraphAxis xAxis = Axis(s.dXMin, s.dXMax, Kept::kWidth);
        const tagGraphAxis yAxis = Axis(s.dYMin, s.dYMax, 100, s.bYLog);
        k.Update(xAxis, yAxis);
        k.Check(xAxis, yAxis, s.pszName);
    }
}

// Only series that never go back in X and whose points all have a place
// are kept this way.
TEST(SortedColumnsTest, AppliesOnlyToOrderedPlacedSeries)
{
    struct Case {
        const char* pszName;
        std::vector<tagGraphPoint> pts;
        bool bYLog;
        bool bApplies;
    };
    const double kNaN = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"ordered, equal X allowed", {{1, 5}, {2, 6}, {2, 7}, {3, 1}}, false, true},
        {"X going back", {{1, 5}, {3, 6}, {2, 7}}, false, false},
        {"NaN Y", {{1, 5}, {2, kNaN}, {3, 7}}, false, false},
        {"NaN X", {{1, 5}, {kNaN, 6}, {3, 7}}, false, false},
        {"zero on a logarithmic axis", {{1, 5}, {2, 0}, {3, 7}}, true, false},
        {"positive on a logarithmic axis", {{1, 5}, {2, 0.5}, {3, 7}}, true, true},
        {"infinite Y", {{1, 5}, {2, kInf}, {3, 7}}, false, true},
    };
    for (const Case& c : cases) {
        CGraphPointArray ar;
        for (const tagGraphPoint& p : c.pts) ar.Add(p.x, p.y);
        CPointBlocks blocks;
        blocks.Sync(ar);
        EXPECT_EQ(CSortedColumns::Applies(blocks, Axis(0, 10, 100), Axis(0.1, 10, 100, c.bYLog)), c.bApplies)
            << c.pszName;
    }
    // Order once lost stays lost while points are appended, and returns
    // with new points.
    CGraphPointArray ar;
    ar.Add(2, 1);
    ar.Add(1, 1);
    CPointBlocks blocks;
    blocks.Sync(ar);
    ar.Add(3, 1);
    blocks.Sync(ar);
    EXPECT_FALSE(blocks.IsXSorted());
    const double x[] = {1, 2, 3};
    const double y[] = {1, 1, 1};
    ar.Assign(3, x, y);
    blocks.Sync(ar);
    EXPECT_TRUE(blocks.IsXSorted());
}

// The kept build gives the point-by-point build's vertices and marks,
// the marks also as runs, through the application's live steps.
TEST(SortedColumnsTest, SeriesPixelsOfLiveStepsEqualThePointByPointBuild)
{
    CGraphPointArray ar;
    Trace trace;
    trace.bWhole = true;
    for (int i = 0; i < 5000; ++i) {
        const tagGraphPoint p = trace.Next(i);
        ar.Add(p.x, p.y);
    }
    CSeriesPixels kept;
    const plat::CRect rcPlot(10, 20, 410, 220);
    for (int nStep = 0; nStep < 40; ++nStep) {
        const int n = ar.GetSize();
        const tagGraphAxis xAxis = Axis(0, n + 1, rcPlot.Width());
        const tagGraphAxis yAxis = Axis(0, 1000 + nStep / 10 * 50, rcPlot.Height());
        CSeriesPixels scan;
        scan.Build(ar.GetData(), n, xAxis, yAxis, rcPlot, true, 4);
        kept.BuildColumns(ar, xAxis, yAxis, rcPlot, true, 4, 0);
        const std::string what = "step " + std::to_string(nStep);
        ASSERT_EQ(kept.Vertices(), scan.Vertices()) << what;
        ASSERT_EQ(kept.RunStarts(), scan.RunStarts()) << what;
        auto Sorted = [](std::vector<plat::CPoint> v) {
            std::sort(v.begin(), v.end(), [](plat::CPoint a, plat::CPoint b) {
                return std::make_pair(a.x, a.y) < std::make_pair(b.x, b.y);
            });
            return v;
        };
        ASSERT_EQ(Sorted(kept.Marks()), Sorted(scan.Marks())) << what;
        int nInRuns = 0;
        for (const CSeriesPixels::tagMarkRun& run : kept.MarkRuns()) {
            ASSERT_GT(run.nCount, 0) << what;
            nInRuns += run.nCount;
        }
        EXPECT_EQ(nInRuns, static_cast<int>(scan.Marks().size())) << what;
        EXPECT_LT(kept.MarkRuns().size(), kept.Marks().size()) << what << ": stacks come as runs";
        const tagGraphPoint p = trace.Next(n);
        ar.Add(p.x, p.y);
    }
}
