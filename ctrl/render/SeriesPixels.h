#pragma once

#include "graph/GraphAxis.h"
#include "graph/GraphPointArray.h"
#include "platform/Point.h"
#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "render/BlockRows.h"
#include "render/PerSeries.h"
#include "render/PointBlocks.h"
#include "render/SortedColumns.h"

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

class CAxisMapper;
class CBlockWalk;

// The pixels of one series on the current scale, reduced so that painting
// costs what the plot's size allows rather than what the run's length is:
//
// - Consecutive points in the same pixel column become at most four
//   vertices: the first, the lowest and highest (in an order that keeps the
//   last point's pixel painted exactly when the full polyline paints it)
//   and the last. A one-pixel polyline through them covers the same pixels
//   as the polyline through every point.
// - A marker position is listed once, however many points land on it, and
//   only when a marker of the given reach there can show in the plot.
//
// Points without a position (no place on a logarithmic axis, NaN) end a run
// of the polyline; the next point with a position starts a new one.
class QUINDLE_EXPORT CSeriesPixels {
public:
    // rcPlot: where the scale's origin lies (X offsets from its left edge,
    // Y offsets up from its bottom edge); also the visible area. nMarkReach
    // < 0: no marker positions wanted.
    void Build(const tagGraphPoint* pPoints, int nCount, const tagGraphAxis& xAxis, const tagGraphAxis& yAxis,
               plat::CRect rcPlot, bool bLines, int nMarkReach);
    // Build for a point array, skipped when neither the points nor the
    // scale nor the request changed since the last one.
    void Build(const CGraphPointArray& arPoints, const tagGraphAxis& xAxis, const tagGraphAxis& yAxis,
               plat::CRect rcPlot, bool bLines, int nMarkReach);

    // Marker positions only, each once, at its last point and in the order
    // of those points: painted so, markers of several colours cover each
    // other as they do when every point is painted in turn. Skipped like
    // Build when nothing changed.
    void BuildLastMarks(const CGraphPointArray& arPoints, const tagGraphAxis& xAxis, const tagGraphAxis& yAxis,
                        plat::CRect rcPlot, int nMarkReach);

    // The same vertices and marker positions for markers of one colour,
    // whose order therefore does not matter (they come column by column),
    // at a cost that depends on the plot's width and the logarithm of the
    // point count rather than on the count: the points are walked through
    // block summaries kept between builds, extended as points are appended.
    // Runs of points far beyond the left or right edge become their first
    // and last vertex: lines between them cannot reach the plot.
    // nLineReach: how far from its line the pen paints.
    void BuildColumns(const CGraphPointArray& arPoints, const tagGraphAxis& xAxis, const tagGraphAxis& yAxis,
                      plat::CRect rcPlot, bool bLines, int nMarkReach, int nLineReach);

    // When the last column build saw arPoints as they are and their X
    // never decreases: the points whose X offsets lie in [nLo, nHi], as
    // [nFirst, nEnd), found by bisection. False when that is not known.
    bool FindXRange(const CGraphPointArray& arPoints, const tagGraphAxis& xAxis, int nLo, int nHi, int& nFirst,
                    int& nEnd) const;

    const std::vector<plat::CPoint>& Vertices() const { return m_arVertex; }
    // Index of the first vertex of each run; a run ends where the next begins.
    const std::vector<int>& RunStarts() const { return m_arRunStart; }
    const std::vector<plat::CPoint>& Marks() const;
    // The same marker positions as stacks one row apart: nCount positions
    // from (x, y) down. A column's marks mostly form a few such stacks.
    struct tagMarkRun {
        int x = 0;
        int y = 0;
        int nCount = 0;
        bool operator==(const tagMarkRun&) const = default;
    };
    const std::vector<tagMarkRun>& MarkRuns() const;
    // From the kept column build, the same marks column by column: the
    // rows of column x from MarkRowTop() down, one bit each, in
    // MarkRowWords() words from MarkColumnRows(). Empty for other builds.
    struct tagMarkColumn {
        int x = 0;
        int nAt = 0;
    };
    const std::vector<tagMarkColumn>& MarkColumns() const { return m_arMarkColumn; }
    const std::uint64_t* MarkColumnRows(const tagMarkColumn& col) const { return m_arMarkColumnRows.data() + col.nAt; }
    int MarkRowWords() const { return m_nMarkRowWords; }
    int MarkRowTop() const { return m_rcMarkable.top; }

private:
    struct tagColumn {
        int x = 0;
        int nFirst = 0, nLast = 0, nLow = 0, nHigh = 0;
        int nCount = 0;
        int nLowAt = 0, nHighAt = 0;  // where each extreme was first reached
    };

    // A column on a linear scale, tracked in values: pixels are computed
    // only when it ends (the mapping is monotonic, so extremes stay extremes).
    struct tagValueColumn {
        int x = 0;
        double dFirst = 0, dLast = 0, dMin = 0, dMax = 0;
        double dPrevMin = 0, dPrevMax = 0;  // the extremes before the last point
        int nCount = 0;
        int nMinAt = 0, nMaxAt = 0;
        void Start(int nx, double v)
        {
            x = nx;
            dFirst = dLast = dMin = dMax = dPrevMin = dPrevMax = v;
            nCount = 1;
            nMinAt = nMaxAt = 0;
        }
        void Add(double v)
        {
            if (v < dMin) {
                dPrevMin = dMin;
                dMin = v;
                nMinAt = nCount;
            }
            if (v > dMax) {
                dPrevMax = dMax;
                dMax = v;
                nMaxAt = nCount;
            }
            dLast = v;
            ++nCount;
        }
    };

    struct tagKey;
    static tagKey MakeKey(const CGraphPointArray& arPoints, const tagGraphAxis& xAxis, const tagGraphAxis& yAxis,
                          plat::CRect rcPlot, bool bLines, int nMarkReach, int nLineReach);
    void Reset(plat::CRect rcPlot, int nMarkReach);
    void WalkColumns(const CBlockWalk& walk, plat::CRect rcPlot, bool bLines, int nMarkReach, int nLineReach);
    void FlushColumn(const CBlockWalk& walk, int nFrom, int nTo, int x, double dYMin, double dYMax, int nBottom,
                     bool bRunEnd);
    // bRunEnd: no line leaves the column's last point.
    static tagColumn MakeColumn(const CBlockWalk& walk, int nFrom, int nTo, int x, double dYMin, double dYMax,
                                int nBottom, bool bRunEnd);
    // At the end of a run: when the points that end the column sit on one
    // pixel, the lines between them paint nothing, so an extreme pixel no
    // point before them reaches stays unpainted, as when the last point
    // alone reaches it. pixelOf(i): the Y pixel of point i; pixel(v): of a
    // value; extent(a, b, min, max): the Y extremes of points [a, b).
    template <class PixelOf, class Pixel, class Extent>
    static void MarkLastRun(tagColumn& col, int nFrom, int nTo, PixelOf pixelOf, Pixel pixel, Extent extent)
    {
        const int nLastAt = col.nCount - 1;
        if (nLastAt == 0 || (col.nLast != col.nLow && col.nLast != col.nHigh)) return;
        int nRun = nTo - 1;
        while (nRun > nFrom && pixelOf(nRun - 1) == col.nLast) --nRun;
        double dMinBefore = std::numeric_limits<double>::infinity();
        double dMaxBefore = -dMinBefore;
        if (nRun > nFrom) extent(nFrom, nRun, dMinBefore, dMaxBefore);
        if (col.nLast == col.nLow && (nRun == nFrom || pixel(dMaxBefore) != col.nLow)) col.nLowAt = nLastAt;
        if (col.nLast == col.nHigh && (nRun == nFrom || pixel(dMinBefore) != col.nHigh)) col.nHighAt = nLastAt;
    }
    void AddRowMarks(int x, const std::uint64_t* pRows, int nWords);
    void AddMarkColumn(int x, const std::uint64_t* pRows, int nWords);
    static void AddRowRuns(std::vector<tagMarkRun>& arRuns, int x, int yTop, const std::uint64_t* pRows, int nWords);
    void WalkSorted(const CBlockWalk& walk, const tagGraphAxis& yAxis, plat::CRect rcPlot, bool bLines,
                    int nMarkReach, int nLineReach);
    void AddStretch(const CBlockWalk& walk, plat::CRect rcPlot, int nFrom, int nTo);
    void BuildGeneral(const tagGraphPoint* pPoints, int nCount, const tagGraphAxis& xAxis,
                      const tagGraphAxis& yAxis, plat::CRect rcPlot, bool bLines, bool bMarks);
    void BuildLinear(const tagGraphPoint* pPoints, int nCount, const tagGraphAxis& xAxis, const tagGraphAxis& yAxis,
                     plat::CRect rcPlot, bool bLines, bool bMarks);
    static int ScanColumn(const tagGraphPoint* pPoints, int i, int nCount, double dXMin, double dXLo, double dXHi,
                          double dYMin, double dYLo, double dYHi, tagValueColumn& col);
    // pRunEnd: the points, when the column ends a run at nEnd.
    void FlushValues(const tagValueColumn& col, const tagGraphAxis& yAxis, int nBottom,
                     const tagGraphPoint* pRunEnd = nullptr, int nEnd = 0);
    static void FinishRun(tagColumn& col, int nFrom, int nTo, const tagGraphPoint* pPoints, const CAxisMapper& yMap,
                          int nBottom);
    void Flush(const tagColumn& col);
    void AddVertex(int x, int y);
    void AddMark(int x, int y);

    struct tagKey {
        const tagGraphPoint* pData = nullptr;
        int nCount = -1;
        std::uint64_t nRevision = 0;
        double dScale[8] = {};
        int bLog[2] = {};
        plat::CRect rcPlot;
        bool bLines = false;
        int nMarkReach = 0;
        int nLineReach = -1;  // -1: built point by point; -2: last marks
        bool operator==(const tagKey&) const = default;
    };
    tagKey m_key;
    // Kept between builds for BuildColumns.
    CPointBlocks m_blocks;
    CBlockRows m_rows;
    std::vector<std::uint64_t> m_arColumnRows;

    CSortedColumns m_sorted;
    // WalkSorted's columns as last made, used again while their stretch,
    // the points (no change but appends) and the Y scale stay: a live
    // chart's X range moves only some columns' ends at each sample.
    struct tagFlushKey {
        std::uint64_t nGeneration = 0;
        double dYScale[4] = {};
        int bYLog = 0;
        plat::CRect rcPlot;
        int nFar = 0;
        bool operator==(const tagFlushKey&) const = default;
    };
    struct tagFlushed {
        int nFrom = 0;
        int nTo = -1;
        bool bRunEnd = false;
        tagColumn col;
    };
    tagFlushKey m_flushKey;
    std::vector<tagFlushed> m_arFlushed;

    std::vector<plat::CPoint> m_arVertex;
    std::vector<int> m_arRunStart;
    // The marks are made either as positions or as columns of rows; the
    // other forms are derived when first asked for.
    mutable std::vector<plat::CPoint> m_arMark;
    mutable std::vector<tagMarkRun> m_arMarkRun;
    std::vector<tagMarkColumn> m_arMarkColumn;
    std::vector<std::uint64_t> m_arMarkColumnRows;
    int m_nMarkRowWords = 0;
    bool m_bMarksAsColumns = false;
    mutable bool m_bPointsReady = false;
    mutable bool m_bRunsReady = false;
    // One bit per pixel of the marked area, to list each position once.
    std::vector<std::uint64_t> m_arMarked;
    // Column by column, marks left of none before need no bit: the bits
    // are filled in from the list once a column comes round again.
    int m_nMarkRight = 0;
    bool m_bMarkBits = true;
    plat::CRect m_rcMarkable;
};

// The reduced pixels of the last few series painted.
using CSeriesPixelsCache = CPerSeries<CSeriesPixels>;
