#include "render/PointBlocks.h"

#include <algorithm>
#include <cmath>

void CPointBlocks::tagSummary::Add(const tagGraphPoint& pt)
{
    if (std::isnan(pt.x) || std::isnan(pt.y)) return;
    dXMin = std::min(dXMin, pt.x);
    dXMax = std::max(dXMax, pt.x);
    dYMin = std::min(dYMin, pt.y);
    dYMax = std::max(dYMax, pt.y);
}

void CPointBlocks::tagSummary::Add(const tagSummary& s)
{
    dXMin = std::min(dXMin, s.dXMin);
    dXMax = std::max(dXMax, s.dXMax);
    dYMin = std::min(dYMin, s.dYMin);
    dYMax = std::max(dYMax, s.dYMax);
}

void CPointBlocks::Sync(const CGraphPointArray& arPoints)
{
    const int nSize = arPoints.GetSize();
    // The revision stays while points are only appended.
    const bool bAppended = arPoints.GetRevision() == m_nRevision && nSize >= m_nSize;
    if (!bAppended) {
        m_arLevels.clear();
        m_arAllNumbers.clear();
        m_nSize = 0;
        m_bXSorted = true;
        m_dLastX = -std::numeric_limits<double>::infinity();
        m_nRevision = arPoints.GetRevision();
        ++m_nGeneration;
    }
    if (nSize > m_nSize) Extend(arPoints.GetData(), m_nSize, nSize);
}

namespace {
// Sizes a bit array for nBits bits; bits added are set.
void ResizeSet(std::vector<std::uint64_t>& arBits, std::size_t nOldBits, std::size_t nBits)
{
    arBits.resize((nBits + 63) / 64, ~std::uint64_t(0));
    for (std::size_t b = nOldBits; b < nBits && b % 64 != 0; ++b) arBits[b / 64] |= std::uint64_t(1) << (b % 64);
}

void SetBit(std::vector<std::uint64_t>& arBits, std::size_t n, bool bOn)
{
    const std::uint64_t mask = std::uint64_t(1) << (n % 64);
    arBits[n / 64] = bOn ? (arBits[n / 64] | mask) : (arBits[n / 64] & ~mask);
}
}  // namespace

void CPointBlocks::Extend(const tagGraphPoint* pPoints, int nFrom, int nTo)
{
    if (m_arLevels.empty()) {
        m_arLevels.emplace_back();
        m_arAllNumbers.emplace_back();
    }
    std::vector<tagSummary>& arFirst = m_arLevels[0];
    const std::size_t nOldBlocks = arFirst.size();
    arFirst.resize(static_cast<std::size_t>(((nTo - 1) >> Shift(0)) + 1));
    ResizeSet(m_arAllNumbers[0], nOldBlocks, arFirst.size());
    for (int i = nFrom; i < nTo; ++i) {
        const std::size_t j = static_cast<std::size_t>(i >> Shift(0));
        arFirst[j].Add(pPoints[i]);
        if (std::isnan(pPoints[i].x) || std::isnan(pPoints[i].y)) SetBit(m_arAllNumbers[0], j, false);
        // NaN compares false and so ends the order for good.
        m_bXSorted = m_bXSorted && pPoints[i].x >= m_dLastX;
        m_dLastX = pPoints[i].x;
    }
    m_nSize = nTo;

    // Each level pairs the blocks of the one below, up to a single block.
    for (int k = 1; m_arLevels[k - 1].size() > 1; ++k) {
        if (static_cast<int>(m_arLevels.size()) <= k) {
            m_arLevels.emplace_back();
            m_arAllNumbers.emplace_back();
        }
        const std::vector<tagSummary>& arBelow = m_arLevels[k - 1];
        std::vector<tagSummary>& arLevel = m_arLevels[k];
        arLevel.resize((arBelow.size() + 1) / 2);
        m_arAllNumbers[k].resize((arLevel.size() + 63) / 64);
        for (std::size_t j = static_cast<std::size_t>(nFrom >> Shift(k)); j < arLevel.size(); ++j) {
            arLevel[j] = arBelow[2 * j];
            bool bAll = IsAllNumbers(k - 1, static_cast<int>(2 * j));
            if (2 * j + 1 < arBelow.size()) {
                arLevel[j].Add(arBelow[2 * j + 1]);
                bAll = bAll && IsAllNumbers(k - 1, static_cast<int>(2 * j + 1));
            }
            SetBit(m_arAllNumbers[k], j, bAll);
        }
    }
}
