#pragma once

#include "graph/GraphAxis.h"
#include "graph/GraphPointArray.h"
#include "platform/Point.h"
#include "platform/QuindleExport.h"
#include "platform/Rect.h"

#include <cstdint>
#include <vector>

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

    const std::vector<plat::CPoint>& Vertices() const { return m_arVertex; }
    // Index of the first vertex of each run; a run ends where the next begins.
    const std::vector<int>& RunStarts() const { return m_arRunStart; }
    const std::vector<plat::CPoint>& Marks() const { return m_arMark; }

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

    void BuildGeneral(const tagGraphPoint* pPoints, int nCount, const tagGraphAxis& xAxis,
                      const tagGraphAxis& yAxis, plat::CRect rcPlot, bool bLines, bool bMarks);
    void BuildLinear(const tagGraphPoint* pPoints, int nCount, const tagGraphAxis& xAxis, const tagGraphAxis& yAxis,
                     plat::CRect rcPlot, bool bLines, bool bMarks);
    void FlushValues(const tagValueColumn& col, const tagGraphAxis& yAxis, int nBottom);
    void Flush(const tagColumn& col);
    void AddVertex(int x, int y);
    void AddMark(int x, int y);

    std::vector<plat::CPoint> m_arVertex;
    std::vector<int> m_arRunStart;
    std::vector<plat::CPoint> m_arMark;
    // One bit per pixel of the marked area, to list each position once.
    std::vector<std::uint64_t> m_arMarked;
    plat::CRect m_rcMarkable;
};
