// CSeriesPixels: the column-by-column build over block summaries.
#include "render/SeriesPixels.h"

#include "render/AxisMapper.h"
#include "render/AxisScale.h"
#include "render/BlockWalk.h"

#include <algorithm>
#include <bit>
#include <limits>

void CSeriesPixels::BuildColumns(const CGraphPointArray& arPoints, const tagGraphAxis& xAxis,
                                 const tagGraphAxis& yAxis, plat::CRect rcPlot, bool bLines, int nMarkReach,
                                 int nLineReach)
{
    nLineReach = std::max(nLineReach, 0);
    const tagKey key = MakeKey(arPoints, xAxis, yAxis, rcPlot, bLines, nMarkReach, nLineReach);
    if (key == m_key) return;
    if (!CBlockWalk::IsUsable(xAxis) || !CBlockWalk::IsUsable(yAxis)) {
        Build(key.pData, key.nCount, xAxis, yAxis, rcPlot, bLines, nMarkReach);
        m_key = key;
        return;
    }
    Reset(rcPlot, nMarkReach);
    m_blocks.Sync(arPoints);
    const int nRowBase = rcPlot.bottom - m_rcMarkable.top;
    const int nRows = std::max(m_rcMarkable.Height(), 0);
    const bool bMarks = nMarkReach >= 0;
    if (bMarks && !m_rows.Sync(m_blocks, arPoints.GetData(), yAxis, nRowBase, nRows)) {
        // A band too tall to keep row sets for: point by point.
        Build(key.pData, key.nCount, xAxis, yAxis, rcPlot, bLines, nMarkReach);
        m_key = key;
        return;
    }
    const CBlockWalk walk(m_blocks, bMarks ? &m_rows : nullptr, arPoints.GetData(), xAxis, yAxis, nRowBase, nRows);
    if (CSortedColumns::Applies(m_blocks, xAxis, yAxis))
        WalkSorted(walk, yAxis, rcPlot, bLines, nMarkReach, nLineReach);
    else WalkColumns(walk, rcPlot, bLines, nMarkReach, nLineReach);
    m_key = key;
}

void CSeriesPixels::WalkColumns(const CBlockWalk& walk, plat::CRect rcPlot, bool bLines, int nMarkReach,
                                int nLineReach)
{
    const int nWidth = rcPlot.Width();
    const bool bMarks = nMarkReach >= 0;
    const int nMarkReachOut = std::max(nMarkReach, 0);
    // Beyond these offsets neither a marker nor a line between two points
    // can show in the plot.
    const int nFar = std::max(nMarkReachOut, nLineReach) + 1;
    const int nLeftEdge = -nFar;
    const int nRightEdge = nWidth - 1 + nFar;
    const int nWords = bMarks ? m_rows.GetWordCount() : 0;
    m_arColumnRows.assign(static_cast<std::size_t>(nWords), 0);

    const int nSize = m_blocks.GetSize();
    bool bInRun = false;
    int i = 0;
    while (i < nSize) {
        int nX = 0, nY = 0;
        if (!walk.Position(i, nX, nY)) {
            bInRun = false;
            i = walk.SkipWithoutPosition(i + 1);
            continue;
        }
        const bool bFarLeft = nX < nLeftEdge;
        const bool bFarRight = nX > nRightEdge;
        int nLo = nX, nHi = nX;
        if (bFarLeft) {
            nLo = std::numeric_limits<int>::min();
            nHi = nLeftEdge - 1;
        } else if (bFarRight) {
            nLo = nRightEdge + 1;
            nHi = std::numeric_limits<int>::max();
        }
        const bool bRows = bMarks && nX >= -nMarkReachOut && nX < nWidth + nMarkReachOut;
        if (bRows) std::fill(m_arColumnRows.begin(), m_arColumnRows.end(), 0);
        double dYMin = std::numeric_limits<double>::infinity();
        double dYMax = -dYMin;
        const int nEnd = walk.Column(i, nLo, nHi, dYMin, dYMax, bRows ? m_arColumnRows.data() : nullptr);
        if (bLines) {
            if (!bInRun) m_arRunStart.push_back(static_cast<int>(m_arVertex.size()));
            bInRun = true;
            if (bFarLeft || bFarRight) {
                // Only the ways into and out of the stretch can reach the
                // plot; the line between its ends stays as far off.
                int nLastX = 0, nLastY = 0;
                walk.Position(nEnd - 1, nLastX, nLastY);
                AddVertex(rcPlot.left + nX, rcPlot.bottom - nY);
                AddVertex(rcPlot.left + nLastX, rcPlot.bottom - nLastY);
            } else {
                int nNextX = 0, nNextY = 0;
                const bool bRunEnd = nEnd >= nSize || !walk.Position(nEnd, nNextX, nNextY);
                FlushColumn(walk, i, nEnd, rcPlot.left + nX, dYMin, dYMax, rcPlot.bottom, bRunEnd);
            }
        }
        if (bRows) AddRowMarks(rcPlot.left + nX, m_arColumnRows.data(), nWords);
        i = nEnd;
    }
}

// The column's vertices as a scan of its points would find them: the
// extremes come from the blocks; only when the last point is an extreme
// value does the column need the extremes before it. bRunEnd: no line
// leaves the column's last point.
CSeriesPixels::tagColumn CSeriesPixels::MakeColumn(const CBlockWalk& walk, int nFrom, int nTo, int x, double dYMin,
                                                   double dYMax, int nBottom, bool bRunEnd)
{
    auto Pixel = [&](double v) {
        int bValid = 0;
        return nBottom - walk.YMap().Map(v, bValid);
    };
    tagColumn col;
    col.x = x;
    col.nFirst = nBottom - walk.PointYOffset(nFrom);
    col.nLast = nBottom - walk.PointYOffset(nTo - 1);
    col.nLow = Pixel(dYMax);
    col.nHigh = Pixel(dYMin);
    col.nCount = nTo - nFrom;
    const int nLastAt = col.nCount - 1;
    if (nLastAt > 0) {
        const double yLast = walk.PointY(nTo - 1);
        if (yLast >= dYMax || yLast <= dYMin) {
            double dMinBefore = std::numeric_limits<double>::infinity();
            double dMaxBefore = -dMinBefore;
            walk.Extent(nFrom, nTo - 1, dMinBefore, dMaxBefore);
            if (yLast >= dYMax && dMaxBefore < yLast && Pixel(dMaxBefore) != col.nLow) col.nLowAt = nLastAt;
            if (yLast <= dYMin && dMinBefore > yLast && Pixel(dMinBefore) != col.nHigh) col.nHighAt = nLastAt;
        }
    }
    if (bRunEnd)
        MarkLastRun(col, nFrom, nTo, [&](int i) { return nBottom - walk.PointYOffset(i); }, Pixel,
                    [&](int a, int b, double& dMin, double& dMax) { walk.Extent(a, b, dMin, dMax); });
    return col;
}

void CSeriesPixels::FlushColumn(const CBlockWalk& walk, int nFrom, int nTo, int x, double dYMin, double dYMax,
                                int nBottom, bool bRunEnd)
{
    Flush(MakeColumn(walk, nFrom, nTo, x, dYMin, dYMax, nBottom, bRunEnd));
}

void CSeriesPixels::AddRowMarks(int x, const std::uint64_t* pRows, int nWords)
{
    if (x > m_nMarkRight && (!m_bMarkBits || m_arMark.empty())) {
        // A column right of every earlier one: its marks are new, and the
        // rows lie in the band.
        m_bMarkBits = false;
        m_nMarkRight = x;
        for (int w = 0; w < nWords; ++w)
            for (std::uint64_t bits = pRows[w]; bits != 0; bits &= bits - 1)
                m_arMark.push_back({x, m_rcMarkable.top + w * 64 + std::countr_zero(bits)});
        return;
    }
    for (int w = 0; w < nWords; ++w) {
        for (std::uint64_t bits = pRows[w]; bits != 0; bits &= bits - 1) {
            const int nRow = w * 64 + std::countr_zero(bits);
            AddMark(x, m_rcMarkable.top + nRow);
        }
    }
}

// WalkColumns for a series whose columns are kept between builds: the
// same vertices, and the same marks as runs.
void CSeriesPixels::WalkSorted(const CBlockWalk& walk, const tagGraphAxis& yAxis, plat::CRect rcPlot, bool bLines,
                               int nMarkReach, int nLineReach)
{
    const int nWidth = rcPlot.Width();
    const bool bMarks = nMarkReach >= 0;
    const int nMarkReachOut = std::max(nMarkReach, 0);
    const int nFar = std::max(nMarkReachOut, nLineReach) + 1;
    const int nWords = bMarks ? m_rows.GetWordCount() : 0;
    m_sorted.Update(walk, m_blocks, m_rows.GetGeneration(), nWords, -nFar, nWidth + 2 * nFar, -nMarkReachOut,
                    nWidth - 1 + nMarkReachOut);
    m_bMarksAsColumns = true;
    m_nMarkRowWords = nWords;
    const int nSize = m_blocks.GetSize();
    if (nSize == 0) return;
    if (bLines) m_arRunStart.push_back(0);
    if (bLines) AddStretch(walk, rcPlot, 0, m_sorted.LeftEnd());
    const tagFlushKey key{m_blocks.GetGeneration(),
                          {yAxis.dMin, yAxis.dMax, yAxis.dStep, yAxis.dPixelStep},
                          yAxis.bLogarithm,
                          rcPlot,
                          nFar};
    if (!(key == m_flushKey) || m_arFlushed.size() != static_cast<std::size_t>(m_sorted.GetCount())) {
        m_flushKey = key;
        m_arFlushed.assign(static_cast<std::size_t>(m_sorted.GetCount()), tagFlushed());
    }
    for (int c = 0; c < m_sorted.GetCount(); ++c) {
        const CSortedColumns::tagColumn& col = m_sorted.Column(c);
        if (col.nFrom >= col.nTo) continue;
        const int x = rcPlot.left - nFar + c;
        if (bLines) {
            tagFlushed& flushed = m_arFlushed[static_cast<std::size_t>(c)];
            const bool bRunEnd = col.nTo == nSize;
            if (flushed.nFrom != col.nFrom || flushed.nTo != col.nTo || flushed.bRunEnd != bRunEnd)
                flushed = {col.nFrom, col.nTo, bRunEnd,
                           MakeColumn(walk, col.nFrom, col.nTo, x, col.dYMin, col.dYMax, rcPlot.bottom, bRunEnd)};
            Flush(flushed.col);
        }
        if (nWords > 0 && x - rcPlot.left >= -nMarkReachOut && x - rcPlot.left < nWidth + nMarkReachOut)
            AddMarkColumn(x, m_sorted.Rows(c), nWords);
    }
    if (bLines) AddStretch(walk, rcPlot, m_sorted.RightStart(), nSize);
}

// A stretch far off the plot: only the ways into and out of it can reach
// the plot, so its first and last point stand for it.
void CSeriesPixels::AddStretch(const CBlockWalk& walk, plat::CRect rcPlot, int nFrom, int nTo)
{
    if (nFrom >= nTo) return;
    int nX = 0, nY = 0;
    walk.Position(nFrom, nX, nY);
    AddVertex(rcPlot.left + nX, rcPlot.bottom - nY);
    walk.Position(nTo - 1, nX, nY);
    AddVertex(rcPlot.left + nX, rcPlot.bottom - nY);
}

void CSeriesPixels::AddMarkColumn(int x, const std::uint64_t* pRows, int nWords)
{
    if (std::all_of(pRows, pRows + nWords, [](std::uint64_t w) { return w == 0; })) return;
    m_arMarkColumn.push_back({x, static_cast<int>(m_arMarkColumnRows.size())});
    m_arMarkColumnRows.insert(m_arMarkColumnRows.end(), pRows, pRows + nWords);
}

// The set rows of a column as runs of consecutive rows.
void CSeriesPixels::AddRowRuns(std::vector<tagMarkRun>& arRuns, int x, int yTop, const std::uint64_t* pRows,
                               int nWords)
{
    const int nBits = nWords * 64;
    int r = 0;
    while (r < nBits) {
        // The next set row from r on.
        int w = r / 64;
        std::uint64_t bits = pRows[w] & (~std::uint64_t(0) << (r % 64));
        while (bits == 0 && ++w < nWords) bits = pRows[w];
        if (bits == 0) return;
        const int nTop = w * 64 + std::countr_zero(bits);
        // The next clear row after it.
        w = nTop / 64;
        bits = ~pRows[w] & (~std::uint64_t(0) << (nTop % 64));
        while (bits == 0 && ++w < nWords) bits = ~pRows[w];
        const int nEnd = bits == 0 ? nBits : w * 64 + std::countr_zero(bits);
        arRuns.push_back({x, yTop + nTop, nEnd - nTop});
        r = nEnd;
    }
}

bool CSeriesPixels::FindXRange(const CGraphPointArray& arPoints, const tagGraphAxis& xAxis, int nLo, int nHi,
                               int& nFirst, int& nEnd) const
{
    if (!m_blocks.IsInStepWith(arPoints) || !m_blocks.IsXSorted() || !CBlockWalk::IsUsable(xAxis)) return false;
    const int nLevels = m_blocks.GetLevelCount();
    // Every X must have a position for the offsets to be in order.
    if (xAxis.bLogarithm && (nLevels == 0 || m_blocks.Block(nLevels - 1, 0).dXMin < CAxisScale::kLogLowest))
        return false;
    const CAxisMapper xMap(xAxis);
    const tagGraphPoint* pPoints = arPoints.GetData();
    auto FirstFrom = [&](int nOffset) {
        int a = 0, b = arPoints.GetSize();
        while (a < b) {
            const int m = a + (b - a) / 2;
            int bValid = 0;
            if (xMap.Map(pPoints[m].x, bValid) < nOffset) a = m + 1;
            else b = m;
        }
        return a;
    };
    nFirst = FirstFrom(nLo);
    nEnd = nHi == std::numeric_limits<int>::max() ? arPoints.GetSize() : FirstFrom(nHi + 1);
    return true;
}
