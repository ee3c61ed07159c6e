#include "render/SeriesPixels.h"

#include "render/AxisMapper.h"

#include <algorithm>
#include <limits>

CSeriesPixels::tagKey CSeriesPixels::MakeKey(const CGraphPointArray& arPoints, const tagGraphAxis& xAxis,
                                             const tagGraphAxis& yAxis, plat::CRect rcPlot, bool bLines,
                                             int nMarkReach, int nLineReach)
{
    tagKey key;
    key.pData = arPoints.GetData();
    key.nCount = arPoints.GetSize();
    key.nRevision = arPoints.GetRevision();
    const double dScale[8] = {xAxis.dMin, xAxis.dMax, xAxis.dStep, xAxis.dPixelStep,
                              yAxis.dMin, yAxis.dMax, yAxis.dStep, yAxis.dPixelStep};
    std::copy(std::begin(dScale), std::end(dScale), key.dScale);
    key.bLog[0] = xAxis.bLogarithm;
    key.bLog[1] = yAxis.bLogarithm;
    key.rcPlot = rcPlot;
    key.bLines = bLines;
    key.nMarkReach = nMarkReach;
    key.nLineReach = nLineReach;
    return key;
}

void CSeriesPixels::Build(const CGraphPointArray& arPoints, const tagGraphAxis& xAxis, const tagGraphAxis& yAxis,
                          plat::CRect rcPlot, bool bLines, int nMarkReach)
{
    const tagKey key = MakeKey(arPoints, xAxis, yAxis, rcPlot, bLines, nMarkReach, -1);
    // NaN scale values compare unequal, so such a scale is always rebuilt.
    if (key == m_key) return;
    Build(key.pData, key.nCount, xAxis, yAxis, rcPlot, bLines, nMarkReach);
    m_key = key;
}

void CSeriesPixels::BuildLastMarks(const CGraphPointArray& arPoints, const tagGraphAxis& xAxis,
                                   const tagGraphAxis& yAxis, plat::CRect rcPlot, int nMarkReach)
{
    const tagKey key = MakeKey(arPoints, xAxis, yAxis, rcPlot, false, nMarkReach, -2);
    if (key == m_key) return;
    Reset(rcPlot, std::max(nMarkReach, 0));
    const CAxisMapper xMap(xAxis);
    const CAxisMapper yMap(yAxis);
    const tagGraphPoint* pPoints = arPoints.GetData();
    // Backwards, the first time a position is met is its last point.
    for (int i = arPoints.GetSize() - 1; i >= 0; --i) {
        int bValidX = 0, bValidY = 0;
        const int x = rcPlot.left + xMap.Map(pPoints[i].x, bValidX);
        const int y = rcPlot.bottom - yMap.Map(pPoints[i].y, bValidY);
        if (bValidX && bValidY) AddMark(x, y);
    }
    std::reverse(m_arMark.begin(), m_arMark.end());
    m_key = key;
}

void CSeriesPixels::Reset(plat::CRect rcPlot, int nMarkReach)
{
    m_key = tagKey();
    m_arVertex.clear();
    m_arRunStart.clear();
    m_arMark.clear();
    m_arMarkRun.clear();
    m_arMarkColumn.clear();
    m_arMarkColumnRows.clear();
    m_nMarkRowWords = 0;
    m_bMarksAsColumns = false;
    m_bPointsReady = false;
    m_bRunsReady = false;
    if (nMarkReach >= 0) {
        m_rcMarkable = rcPlot;
        m_rcMarkable.InflateRect(nMarkReach, nMarkReach);
        const std::size_t nBits = static_cast<std::size_t>(std::max(m_rcMarkable.Width(), 0))
                                  * static_cast<std::size_t>(std::max(m_rcMarkable.Height(), 0));
        m_arMarked.assign((nBits + 63) / 64, 0);
    }
    m_nMarkRight = std::numeric_limits<int>::min();
    m_bMarkBits = true;
}

void CSeriesPixels::Build(const tagGraphPoint* pPoints, int nCount, const tagGraphAxis& xAxis,
                          const tagGraphAxis& yAxis, plat::CRect rcPlot, bool bLines, int nMarkReach)
{
    Reset(rcPlot, nMarkReach);
    const bool bMarks = nMarkReach >= 0;
    if (CAxisMapper(xAxis).IsLinear() && CAxisMapper(yAxis).IsLinear())
        BuildLinear(pPoints, nCount, xAxis, yAxis, rcPlot, bLines, bMarks);
    else
        BuildGeneral(pPoints, nCount, xAxis, yAxis, rcPlot, bLines, bMarks);
}

void CSeriesPixels::BuildGeneral(const tagGraphPoint* pPoints, int nCount, const tagGraphAxis& xAxis,
                                 const tagGraphAxis& yAxis, plat::CRect rcPlot, bool bLines, bool bMarks)
{
    const CAxisMapper xMap(xAxis);
    const CAxisMapper yMap(yAxis);
    tagColumn col;
    bool bInRun = false;
    int nColumnFrom = 0;
    auto EndRun = [&](int nEnd) {
        if (bInRun && bLines) {
            FinishRun(col, nColumnFrom, nEnd, pPoints, yMap, rcPlot.bottom);
            Flush(col);
        }
        bInRun = false;
    };
    for (int i = 0; i < nCount; ++i) {
        int bValidX = 0;
        int bValidY = 0;
        const int x = rcPlot.left + xMap.Map(pPoints[i].x, bValidX);
        const int y = rcPlot.bottom - yMap.Map(pPoints[i].y, bValidY);
        if (!bValidX || !bValidY) {
            EndRun(i);
            continue;
        }
        if (bMarks) AddMark(x, y);
        if (!bLines) continue;
        if (!bInRun) {
            m_arRunStart.push_back(static_cast<int>(m_arVertex.size()));
            bInRun = true;
            col = tagColumn{x, y, y, y, y, 1, 0, 0};
            nColumnFrom = i;
            continue;
        }
        if (x != col.x) {
            Flush(col);
            col = tagColumn{x, y, y, y, y, 1, 0, 0};
            nColumnFrom = i;
            continue;
        }
        if (y < col.nLow) {
            col.nLow = y;
            col.nLowAt = col.nCount;
        }
        if (y > col.nHigh) {
            col.nHigh = y;
            col.nHighAt = col.nCount;
        }
        col.nLast = y;
        ++col.nCount;
    }
    EndRun(nCount);
}

void CSeriesPixels::FinishRun(tagColumn& col, int nFrom, int nTo, const tagGraphPoint* pPoints,
                              const CAxisMapper& yMap, int nBottom)
{
    auto Pixel = [&](double v) {
        int bValid = 0;
        return nBottom - yMap.Map(v, bValid);
    };
    MarkLastRun(col, nFrom, nTo, [&](int i) { return Pixel(pPoints[i].y); }, Pixel,
                [&](int a, int b, double& dMin, double& dMax) {
                    for (int i = a; i < b; ++i) {
                        dMin = std::min(dMin, pPoints[i].y);
                        dMax = std::max(dMax, pPoints[i].y);
                    }
                });
}

// The same result as BuildGeneral with less work per point: a point whose
// x offset lies inside the range known to map to the current column needs
// no x mapping, and its y only for a marker; the column keeps values.
void CSeriesPixels::BuildLinear(const tagGraphPoint* pPoints, int nCount, const tagGraphAxis& xAxis,
                                const tagGraphAxis& yAxis, plat::CRect rcPlot, bool bLines, bool bMarks)
{
    const CAxisMapper xMap(xAxis);
    const CAxisMapper yMap(yAxis);
    const double dXMin = xMap.Min();
    tagValueColumn col;
    bool bInRun = false;
    const double dYMin = yMap.Min();
    double dXLo = 1.0, dXHi = -1.0;  // offsets of the current column
    double dYLo = 1.0, dYHi = -1.0;  // offsets of the marked run of pixels in it
    int nRunLo = 0, nRunHi = -1;
    auto SetYRange = [&] {
        double dUnused = 0.0;
        if (!bMarks) {
            // Without markers a y only has to be a number.
            dYLo = -std::numeric_limits<double>::infinity();
            dYHi = std::numeric_limits<double>::infinity();
            return;
        }
        yMap.SafeRange(nRunLo, dYLo, dUnused);
        yMap.SafeRange(nRunHi, dUnused, dYHi);
    };
    auto EndRun = [&](int nEnd) {
        if (bInRun && bLines) FlushValues(col, yAxis, rcPlot.bottom, pPoints, nEnd);
        bInRun = false;
        dXLo = dYLo = 1.0;
        dXHi = dYHi = -1.0;
    };
    for (int i = 0; i < nCount; ++i) {
        if (bInRun) i = ScanColumn(pPoints, i, nCount, dXMin, dXLo, dXHi, dYMin, dYLo, dYHi, col);
        if (i >= nCount) break;
        const double dx = pPoints[i].x - dXMin;
        const double y = pPoints[i].y;
        if (dx >= dXLo && dx < dXHi) {
            // Same column. Its marked pixels hold a run known in offsets: a
            // y inside it needs no pixel; dense columns fill the run quickly.
            const double dy = y - dYMin;
            if (!(dy >= dYLo && dy < dYHi)) {
                int bValidY = 0;
                const int nPos = yMap.Map(y, bValidY);
                if (!bValidY) {
                    EndRun(i);
                    continue;
                }
                if (bMarks) {
                    AddMark(col.x, rcPlot.bottom - nPos);
                    // The run follows the data: it grows by neighbours and
                    // starts again where the data jumped to.
                    if (nPos == nRunHi + 1) nRunHi = nPos;
                    else if (nPos == nRunLo - 1) nRunLo = nPos;
                    else if (nPos < nRunLo || nPos > nRunHi) nRunLo = nRunHi = nPos;
                    SetYRange();
                }
            }
            col.Add(y);
            continue;
        }
        int bValidX = 0;
        int bValidY = 0;
        const int nXPos = xMap.Map(pPoints[i].x, bValidX);
        const int nYPos = yMap.Map(y, bValidY);
        if (!bValidX || !bValidY) {
            EndRun(i);
            continue;
        }
        const int x = rcPlot.left + nXPos;
        if (bMarks) AddMark(x, rcPlot.bottom - nYPos);
        xMap.SafeRange(nXPos, dXLo, dXHi);
        nRunLo = nRunHi = nYPos;
        SetYRange();
        if (!bInRun) {
            m_arRunStart.push_back(static_cast<int>(m_arVertex.size()));
            bInRun = true;
            col.Start(x, y);
        } else if (x != col.x) {
            if (bLines) FlushValues(col, yAxis, rcPlot.bottom);
            col.Start(x, y);
        } else {
            col.Add(y);
        }
    }
    EndRun(nCount);
    if (!bLines) m_arRunStart.clear();
}

// The points from i on that stay in the column and in its known pixel run,
// folded into the column with everything held in registers; returns the
// first point that needs more.
int CSeriesPixels::ScanColumn(const tagGraphPoint* pPoints, int i, int nCount, double dXMin, double dXLo,
                              double dXHi, double dYMin, double dYLo, double dYHi, tagValueColumn& col)
{
    double dMin = col.dMin, dMax = col.dMax, dPrevMin = col.dPrevMin, dPrevMax = col.dPrevMax;
    int nMinAt = col.nMinAt, nMaxAt = col.nMaxAt, n = col.nCount;
    const int nStart = i;
    for (; i < nCount; ++i) {
        const double dx = pPoints[i].x - dXMin;
        const double y = pPoints[i].y;
        const double dy = y - dYMin;
        if (!(dx >= dXLo && dx < dXHi && dy >= dYLo && dy < dYHi)) break;
        if (y < dMin) {
            dPrevMin = dMin;
            dMin = y;
            nMinAt = n;
        }
        if (y > dMax) {
            dPrevMax = dMax;
            dMax = y;
            nMaxAt = n;
        }
        ++n;
    }
    if (i == nStart) return i;
    col.dMin = dMin;
    col.dMax = dMax;
    col.dPrevMin = dPrevMin;
    col.dPrevMax = dPrevMax;
    col.nMinAt = nMinAt;
    col.nMaxAt = nMaxAt;
    col.nCount = n;
    col.dLast = pPoints[i - 1].y;
    return i;
}

void CSeriesPixels::FlushValues(const tagValueColumn& col, const tagGraphAxis& yAxis, int nBottom,
                               const tagGraphPoint* pRunEnd, int nEnd)
{
    const CAxisMapper yMap(yAxis);
    int bValid = 0;
    auto Pixel = [&](double v) { return nBottom - yMap.Map(v, bValid); };
    tagColumn c;
    c.x = col.x;
    c.nFirst = Pixel(col.dFirst);
    c.nLast = Pixel(col.dLast);
    c.nLow = Pixel(col.dMax);  // the top of the column
    c.nHigh = Pixel(col.dMin);
    c.nCount = col.nCount;
    const int nLastAt = col.nCount - 1;
    // A new extreme value at the last point is a new pixel only if the
    // extreme before it maps elsewhere.
    const bool bNewLow = col.nMaxAt == nLastAt && nLastAt > 0 && Pixel(col.dPrevMax) != c.nLow;
    const bool bNewHigh = col.nMinAt == nLastAt && nLastAt > 0 && Pixel(col.dPrevMin) != c.nHigh;
    c.nLowAt = bNewLow ? nLastAt : 0;
    c.nHighAt = bNewHigh ? nLastAt : 0;
    if (pRunEnd) FinishRun(c, nEnd - col.nCount, nEnd, pRunEnd, yMap, nBottom);
    Flush(c);
}

void CSeriesPixels::AddVertex(int x, int y)
{
    if (!m_arVertex.empty() && static_cast<int>(m_arVertex.size()) > m_arRunStart.back()) {
        const plat::CPoint& last = m_arVertex.back();
        if (last.x == x && last.y == y) return;
    }
    m_arVertex.push_back({x, y});
}

// The column's points as vertices: the first, the two extremes, the last.
// Vertical segments cover every pixel between the extremes; only whether
// the last pixel is painted depends on the order: the full polyline leaves
// it out exactly when the last point is a new extreme reached only there.
void CSeriesPixels::Flush(const tagColumn& col)
{
    const int x = col.x;
    AddVertex(x, col.nFirst);
    if (col.nCount == 1) return;
    const int nLastAt = col.nCount - 1;
    const bool bNewLow = col.nLast == col.nLow && col.nLowAt == nLastAt;
    const bool bNewHigh = col.nLast == col.nHigh && col.nHighAt == nLastAt;
    if (bNewHigh) {
        AddVertex(x, col.nLow);
    } else if (bNewLow) {
        AddVertex(x, col.nHigh);
    } else if (col.nLast == col.nHigh) {
        AddVertex(x, col.nHigh);
        AddVertex(x, col.nLow);
    } else {
        AddVertex(x, col.nLow);
        AddVertex(x, col.nHigh);
    }
    AddVertex(x, col.nLast);
}

void CSeriesPixels::AddMark(int x, int y)
{
    if (!m_rcMarkable.PtInRect({x, y})) return;
    if (!m_bMarkBits) {
        m_bMarkBits = true;
        const std::vector<plat::CPoint> arKnown = std::move(m_arMark);
        m_arMark.clear();
        for (const plat::CPoint& pt : arKnown) AddMark(pt.x, pt.y);
    }
    const std::size_t nBit = static_cast<std::size_t>(y - m_rcMarkable.top) * m_rcMarkable.Width()
                             + static_cast<std::size_t>(x - m_rcMarkable.left);
    std::uint64_t& word = m_arMarked[nBit / 64];
    const std::uint64_t mask = std::uint64_t(1) << (nBit % 64);
    if (word & mask) return;
    word |= mask;
    m_arMark.push_back({x, y});
}

const std::vector<plat::CPoint>& CSeriesPixels::Marks() const
{
    if (m_bMarksAsColumns && !m_bPointsReady) {
        m_arMark.clear();
        for (const tagMarkRun& run : MarkRuns())
            for (int k = 0; k < run.nCount; ++k) m_arMark.push_back({run.x, run.y + k});
        m_bPointsReady = true;
    }
    return m_arMark;
}

const std::vector<CSeriesPixels::tagMarkRun>& CSeriesPixels::MarkRuns() const
{
    if (m_bRunsReady) return m_arMarkRun;
    m_arMarkRun.clear();
    if (m_bMarksAsColumns) {
        for (const tagMarkColumn& col : m_arMarkColumn)
            AddRowRuns(m_arMarkRun, col.x, m_rcMarkable.top, MarkColumnRows(col), m_nMarkRowWords);
    } else {
        for (const plat::CPoint& pt : m_arMark) {
            if (!m_arMarkRun.empty()) {
                tagMarkRun& last = m_arMarkRun.back();
                if (last.x == pt.x && last.y + last.nCount == pt.y) {
                    ++last.nCount;
                    continue;
                }
            }
            m_arMarkRun.push_back({pt.x, pt.y, 1});
        }
    }
    m_bRunsReady = true;
    return m_arMarkRun;
}
