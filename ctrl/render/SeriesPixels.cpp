#include "render/SeriesPixels.h"

#include "render/AxisMapper.h"

#include <algorithm>

void CSeriesPixels::Build(const tagGraphPoint* pPoints, int nCount, const tagGraphAxis& xAxis,
                          const tagGraphAxis& yAxis, plat::CRect rcPlot, bool bLines, int nMarkReach)
{
    m_arVertex.clear();
    m_arRunStart.clear();
    m_arMark.clear();
    const bool bMarks = nMarkReach >= 0;
    if (bMarks) {
        m_rcMarkable = rcPlot;
        m_rcMarkable.InflateRect(nMarkReach, nMarkReach);
        const std::size_t nBits = static_cast<std::size_t>(std::max(m_rcMarkable.Width(), 0))
                                  * static_cast<std::size_t>(std::max(m_rcMarkable.Height(), 0));
        m_arMarked.assign((nBits + 63) / 64, 0);
    }

    const CAxisMapper xMap(xAxis);
    const CAxisMapper yMap(yAxis);
    tagColumn col;
    bool bInRun = false;
    for (int i = 0; i < nCount; ++i) {
        int bValidX = 0;
        int bValidY = 0;
        const int x = rcPlot.left + xMap.Map(pPoints[i].x, bValidX);
        const int y = rcPlot.bottom - yMap.Map(pPoints[i].y, bValidY);
        if (!bValidX || !bValidY) {
            if (bInRun && bLines) Flush(col);
            bInRun = false;
            continue;
        }
        if (bMarks) AddMark(x, y);
        if (!bLines) continue;
        if (!bInRun) {
            m_arRunStart.push_back(static_cast<int>(m_arVertex.size()));
            bInRun = true;
            col = tagColumn{x, y, y, y, y, 1, 0, 0};
            continue;
        }
        if (x != col.x) {
            Flush(col);
            col = tagColumn{x, y, y, y, y, 1, 0, 0};
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
    if (bInRun && bLines) Flush(col);
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
    const std::size_t nBit = static_cast<std::size_t>(y - m_rcMarkable.top) * m_rcMarkable.Width()
                             + static_cast<std::size_t>(x - m_rcMarkable.left);
    std::uint64_t& word = m_arMarked[nBit / 64];
    const std::uint64_t mask = std::uint64_t(1) << (nBit % 64);
    if (word & mask) return;
    word |= mask;
    m_arMark.push_back({x, y});
}
