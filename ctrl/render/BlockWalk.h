#pragma once

#include "graph/GraphAxis.h"
#include "graph/GraphPointArray.h"
#include "platform/QuindleExport.h"
#include "render/AxisMapper.h"
#include "render/AxisScale.h"
#include "render/BlockRows.h"
#include "render/PointBlocks.h"

#include <algorithm>
#include <bit>
#include <cstdint>

// Walks the points of a series through its block summaries on one scale:
// a stretch of points that all fall into one pixel column costs the blocks
// it spans (about twice the logarithm of its length), not its points. The
// positions it gives are those of CAxisScale::Position; the mapping is
// monotonic, so a block whose extreme values fall into a column lies in it
// as a whole.
class QUINDLE_EXPORT CBlockWalk {
public:
    // pRows: the row sets for the Y scale (nRowBase is the row of Y offset
    // 0); null when no rows are wanted. The blocks must be in step with
    // pPoints.
    CBlockWalk(const CPointBlocks& blocks, const CBlockRows* pRows, const tagGraphPoint* pPoints,
               const tagGraphAxis& xAxis, const tagGraphAxis& yAxis, int nRowBase, int nRows);

    // Whether the walk's guarantees hold on an axis: a finite scale that
    // grows with the value. Other scales need the point-by-point way.
    static bool IsUsable(const tagGraphAxis& axis);

    // Offsets of point i; false when either coordinate has no position.
    bool Position(int i, int& nX, int& nY) const
    {
        int bValidX = 0;
        int bValidY = 0;
        nX = m_xMap.Map(m_pPoints[i].x, bValidX);
        nY = m_yMap.Map(m_pPoints[i].y, bValidY);
        return bValidX && bValidY;
    }
    // The first point from i on that has a position; the size when none.
    int SkipWithoutPosition(int i) const;
    // From point i on, the points that have positions with X offsets in
    // [nLo, nHi]: returns the first point that does not. Their Y extremes
    // widen dYMin and dYMax; with pRows (GetWordCount words), the rows of
    // their positions are added to it.
    int Column(int i, int nLo, int nHi, double& dYMin, double& dYMax, std::uint64_t* pRows) const;
    // Y extremes of the points [nFrom, nTo), which all have positions.
    void Extent(int nFrom, int nTo, double& dYMin, double& dYMax) const;
    // Extent, and with pRows the rows of the points added to it.
    void Range(int nFrom, int nTo, double& dYMin, double& dYMax, std::uint64_t* pRows) const;
    // The band row of a Y value with a position; -1 outside the band.
    int Row(double y) const
    {
        int bValid = 0;
        const int nRow = m_nRowBase - m_yMap.Map(y, bValid);
        return bValid && nRow >= 0 && nRow < m_nRows ? nRow : -1;
    }

    // Row(PointY(i)), looked up when the walk has row sets.
    int PointRow(int i) const { return m_pRows ? m_pRows->PointRow(i) : Row(m_pPoints[i].y); }
    // The Y offset of point i, which has a position.
    int PointYOffset(int i) const
    {
        const int nRow = m_pRows ? m_pRows->PointRow(i) : -1;
        if (nRow >= 0) return m_nRowBase - nRow;
        int bValid = 0;
        return m_yMap.Map(m_pPoints[i].y, bValid);
    }
    double PointX(int i) const { return m_pPoints[i].x; }
    double PointY(int i) const { return m_pPoints[i].y; }
    const CAxisMapper& XMap() const { return m_xMap; }
    const CAxisMapper& YMap() const { return m_yMap; }

private:
    // Every point of the block has a position: numbers, and on a
    // logarithmic axis none below the lowest placed value.
    bool AllPlaced(int k, int j, const CPointBlocks::tagSummary& s) const
    {
        return m_blocks.IsAllNumbers(k, j) && (!m_bXLog || s.dXMin >= CAxisScale::kLogLowest)
               && (!m_bYLog || s.dYMin >= CAxisScale::kLogLowest);
    }
    bool NonePlaced(const CPointBlocks::tagSummary& s) const
    {
        return !s.HasNumbers() || (m_bXLog && s.dXMax < CAxisScale::kLogLowest)
               || (m_bYLog && s.dYMax < CAxisScale::kLogLowest);
    }

    // Visits [i, nEnd): whole aligned blocks that fitsBlock(level, block)
    // takes, otherwise single points that fitsPoint(index) takes; returns
    // where neither did. Once a block is refused, the stop lies inside it,
    // so no larger block is tried again.
    template <class FitsBlock, class FitsPoint>
    int Walk(int i, int nEnd, FitsBlock fitsBlock, FitsPoint fitsPoint) const
    {
        const int nSize = m_blocks.GetSize();
        int nCap = m_blocks.GetLevelCount() - 1;
        while (i < nEnd) {
            const int nAligned = i == 0 ? nCap : std::countr_zero(static_cast<unsigned>(i)) - CPointBlocks::kFirstShift;
            bool bTaken = false;
            for (int k = std::min(nCap, nAligned); k >= 0; --k) {
                const int nShift = CPointBlocks::Shift(k);
                const int j = i >> nShift;
                const int nBlockEnd = static_cast<int>(std::min<std::int64_t>(nSize, (std::int64_t(j) + 1) << nShift));
                if (nBlockEnd <= nEnd && fitsBlock(k, j)) {
                    i = nBlockEnd;
                    bTaken = true;
                    break;
                }
                nCap = k - 1;
            }
            if (bTaken) continue;
            if (!fitsPoint(i)) return i;
            ++i;
        }
        return i;
    }

    void Prefetch(int i, int nLevels) const;
    // Adds the rows of a whole block whose points all have positions.
    void AddBlockRows(int k, int j, const CPointBlocks::tagSummary& s, std::uint64_t* pRows, int nWords) const;

    const CPointBlocks& m_blocks;
    const CBlockRows* m_pRows;
    const tagGraphPoint* m_pPoints;
    CAxisMapper m_xMap;
    CAxisMapper m_yMap;
    bool m_bXLog;
    bool m_bYLog;
    int m_nRowBase;
    int m_nRows;
    // Points in the last column: where the next one likely ends.
    mutable int m_nLastLength = 0;
};
