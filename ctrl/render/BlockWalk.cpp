#include "render/BlockWalk.h"

#include <cmath>
#include <limits>

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();

// As offsets from the axis minimum: the values whose X offsets certainly
// lie in [nLo, nHi] (from dLo up to dHi), and those certainly below nLo
// (under dBelow) or above nHi (from dAbove on). Where only mapping each
// value can tell, the ranges are empty (NaN bounds compare false even
// with infinite offsets).
struct tagXBounds {
    double dLo = 1.0;
    double dHi = -1.0;
    double dBelow = std::numeric_limits<double>::quiet_NaN();
    double dAbove = std::numeric_limits<double>::quiet_NaN();
    tagXBounds(const CAxisMapper& map, int nLo, int nHi)
    {
        if (!map.IsLinear()) return;
        constexpr int kMin = std::numeric_limits<int>::min();
        constexpr int kMax = std::numeric_limits<int>::max();
        double dUnused = 0.0;
        if (nLo == kMin) dLo = -kInf;
        else map.SafeRange(nLo, dLo, dUnused);
        if (nHi == kMax) dHi = kInf;
        else map.SafeRange(nHi, dUnused, dHi);
        // A value under the top of the range of nLo - 1 maps to it or below.
        double dFrom = 1.0, dTo = -1.0;
        if (nLo != kMin) map.SafeRange(nLo - 1, dFrom, dTo);
        if (dFrom <= dTo) dBelow = dTo;
        dFrom = 1.0;
        dTo = -1.0;
        if (nHi != kMax) map.SafeRange(nHi + 1, dFrom, dTo);
        if (dFrom <= dTo) dAbove = dFrom;
    }
};
}  // namespace

CBlockWalk::CBlockWalk(const CPointBlocks& blocks, const CBlockRows* pRows, const tagGraphPoint* pPoints,
                       const tagGraphAxis& xAxis, const tagGraphAxis& yAxis, int nRowBase, int nRows)
    : m_blocks(blocks), m_pRows(pRows), m_pPoints(pPoints), m_xMap(xAxis), m_yMap(yAxis),
      m_bXLog(xAxis.bLogarithm != 0), m_bYLog(yAxis.bLogarithm != 0), m_nRowBase(nRowBase), m_nRows(nRows)
{
}

bool CBlockWalk::IsUsable(const tagGraphAxis& axis)
{
    auto Positive = [](double d) { return d > 0.0 && std::isfinite(d); };
    if (axis.bLogarithm) return Positive(axis.dMin) && Positive(axis.dPixelStep);
    return std::isfinite(axis.dMin) && Positive(axis.dStep) && Positive(axis.dPixelStep);
}

int CBlockWalk::SkipWithoutPosition(int i) const
{
    return Walk(
        i, m_blocks.GetSize(), [&](int k, int j) { return NonePlaced(m_blocks.Block(k, j)); },
        [&](int n) {
            int nX = 0, nY = 0;
            return !Position(n, nX, nY);
        });
}

int CBlockWalk::Column(int i, int nLo, int nHi, double& dYMin, double& dYMax, std::uint64_t* pRows) const
{
    const tagXBounds bounds(m_xMap, nLo, nHi);
    const double dXMin = m_xMap.Min();
    const int nWords = pRows && m_pRows ? m_pRows->GetWordCount() : 0;
    auto XWithin = [&](double dFrom, double dTo) {
        if (dFrom - dXMin >= bounds.dLo && dTo - dXMin < bounds.dHi) return true;
        if (dFrom - dXMin < bounds.dBelow || dTo - dXMin >= bounds.dAbove) return false;
        int bValidFrom = 0, bValidTo = 0;
        const int nFrom = m_xMap.Map(dFrom, bValidFrom);
        if (!bValidFrom || nFrom < nLo) return false;
        const int nTo = dTo == dFrom ? nFrom : m_xMap.Map(dTo, bValidTo);
        return (dTo == dFrom || bValidTo) && nTo <= nHi;
    };
    auto FitsBlock = [&](int k, int j) {
        const CPointBlocks::tagSummary& s = m_blocks.Block(k, j);
        if (!AllPlaced(k, j, s) || !XWithin(s.dXMin, s.dXMax)) return false;
        dYMin = std::min(dYMin, s.dYMin);
        dYMax = std::max(dYMax, s.dYMax);
        if (nWords > 0) AddBlockRows(k, j, s, pRows, nWords);
        return true;
    };
    const bool bYNumberIsPlaced = m_yMap.IsLinear();
    const double dYAxisMin = m_yMap.Min();
    double dSameLo = 1.0, dSameHi = -1.0;  // Y offsets of the last point's row
    auto FitsPoint = [&](int n) {
        const tagGraphPoint& pt = m_pPoints[n];
        if (!XWithin(pt.x, pt.x)) return false;
        // On a linear axis every number has a position; its row is only
        // needed for markers, and neighbours often share one.
        const double dy = pt.y - dYAxisMin;
        if (bYNumberIsPlaced && nWords == 0) {
            if (std::isnan(pt.y)) return false;
        } else if (!(dy >= dSameLo && dy < dSameHi)) {
            int bValid = 0;
            const int nPos = m_yMap.Map(pt.y, bValid);
            if (!bValid) return false;
            const int nRow = m_nRowBase - nPos;
            if (nWords > 0 && nRow >= 0 && nRow < m_nRows) pRows[nRow / 64] |= std::uint64_t(1) << (nRow % 64);
            m_yMap.SafeRange(nPos, dSameLo, dSameHi);
        }
        dYMin = std::min(dYMin, pt.y);
        dYMax = std::max(dYMax, pt.y);
        return true;
    };
    // The blocks around both ends of a column are far apart in memory and
    // each read would wait on its own: ask for them all at once.
    int nLevels = 1;
    while (nLevels < m_blocks.GetLevelCount() && (m_nLastLength >> CPointBlocks::Shift(nLevels - 1)) > 0) ++nLevels;
    Prefetch(i, nLevels);
    Prefetch(std::min(i + m_nLastLength, m_blocks.GetSize() - 1), nLevels);
    const int nEnd = Walk(i, m_blocks.GetSize(), FitsBlock, FitsPoint);
    m_nLastLength = nEnd - i;
    return nEnd;
}

void CBlockWalk::AddBlockRows(int k, int j, const CPointBlocks::tagSummary& s, std::uint64_t* pRows,
                              int nWords) const
{
    if (m_pRows->IsRun(k, j)) {
        // The rows from the block's extremes: no row set to read.
        int bValid = 0;
        const int nTop = std::max(m_nRowBase - m_yMap.Map(s.dYMax, bValid), 0);
        const int nBottom = std::min(m_nRowBase - m_yMap.Map(s.dYMin, bValid), m_nRows - 1);
        CBlockRows::SetRun(pRows, nTop, nBottom);
    } else {
        const std::uint64_t* pBlock = m_pRows->Block(k, j);
        for (int w = 0; w < nWords; ++w) pRows[w] |= pBlock[w];
    }
}

void CBlockWalk::Range(int nFrom, int nTo, double& dYMin, double& dYMax, std::uint64_t* pRows) const
{
    const int nWords = pRows && m_pRows ? m_pRows->GetWordCount() : 0;
    if (nWords == 0) {
        Extent(nFrom, nTo, dYMin, dYMax);
        return;
    }
    Walk(
        nFrom, nTo,
        [&](int k, int j) {
            const CPointBlocks::tagSummary& s = m_blocks.Block(k, j);
            dYMin = std::min(dYMin, s.dYMin);
            dYMax = std::max(dYMax, s.dYMax);
            AddBlockRows(k, j, s, pRows, nWords);
            return true;
        },
        [&](int n) {
            const double y = m_pPoints[n].y;
            dYMin = std::min(dYMin, y);
            dYMax = std::max(dYMax, y);
            const int nRow = Row(y);
            if (nRow >= 0) pRows[nRow / 64] |= std::uint64_t(1) << (nRow % 64);
            return true;
        });
}

void CBlockWalk::Prefetch(int i, int nLevels) const
{
    __builtin_prefetch(m_pPoints + i);
    if (i + 4 < m_blocks.GetSize()) __builtin_prefetch(m_pPoints + i + 4);
    for (int k = 0; k < nLevels; ++k) {
        const int j = i >> CPointBlocks::Shift(k);
        __builtin_prefetch(&m_blocks.Block(k, j));
        if (j + 1 < m_blocks.GetBlockCount(k)) __builtin_prefetch(&m_blocks.Block(k, j + 1));
        if (j > 0) __builtin_prefetch(&m_blocks.Block(k, j - 1));
    }
}

void CBlockWalk::Extent(int nFrom, int nTo, double& dYMin, double& dYMax) const
{
    Walk(
        nFrom, nTo,
        [&](int k, int j) {
            const CPointBlocks::tagSummary& s = m_blocks.Block(k, j);
            dYMin = std::min(dYMin, s.dYMin);
            dYMax = std::max(dYMax, s.dYMax);
            return true;
        },
        [&](int n) {
            dYMin = std::min(dYMin, m_pPoints[n].y);
            dYMax = std::max(dYMax, m_pPoints[n].y);
            return true;
        });
}
