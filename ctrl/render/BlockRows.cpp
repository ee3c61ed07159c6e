#include "render/BlockRows.h"

#include "render/AxisMapper.h"

#include <algorithm>
#include <array>

bool CBlockRows::Sync(const CPointBlocks& blocks, const tagGraphPoint* pPoints, const tagGraphAxis& yAxis,
                      int nBase, int nRows)
{
    if (nRows > kMaxRows) {
        m_key = tagKey();
        m_arLevels.clear();
        m_arRun.clear();
        m_arPointRow.clear();
        m_nSize = 0;
        ++m_nGeneration;
        return false;
    }
    const tagKey key{yAxis.dMin, yAxis.dStep, yAxis.dPixelStep, yAxis.bLogarithm,
                     nBase,      nRows,       blocks.GetGeneration()};
    // A NaN in the scale compares unequal and starts over every time.
    if (!(key == m_key) || blocks.GetSize() < m_nSize) {
        m_key = key;
        m_nWords = (std::max(nRows, 0) + 63) / 64;
        m_arLevels.clear();
        m_arRun.clear();
        m_arPointRow.clear();
        m_nSize = 0;
        ++m_nGeneration;
    }
    if (blocks.GetSize() > m_nSize) Extend(blocks, pPoints, yAxis, m_nSize);
    return true;
}

void CBlockRows::Extend(const CPointBlocks& blocks, const tagGraphPoint* pPoints, const tagGraphAxis& yAxis,
                        int nFrom)
{
    const int nLevels = blocks.GetLevelCount();
    m_arLevels.resize(static_cast<std::size_t>(nLevels));
    m_arRun.resize(static_cast<std::size_t>(nLevels));
    for (int k = 0; k < nLevels; ++k) {
        m_arLevels[k].resize(static_cast<std::size_t>(blocks.GetBlockCount(k)) * m_nWords, 0);
        m_arRun[k].resize((static_cast<std::size_t>(blocks.GetBlockCount(k)) + 63) / 64, 0);
    }

    const CAxisMapper yMap(yAxis);
    const int nTo = blocks.GetSize();
    std::vector<std::uint64_t>& arFirst = m_arLevels[0];
    m_arPointRow.resize(static_cast<std::size_t>(nTo), -1);
    for (int i = nFrom; i < nTo; ++i) {
        int bValid = 0;
        const int nRow = m_key.nBase - yMap.Map(pPoints[i].y, bValid);
        if (!bValid || nRow < 0 || nRow >= m_key.nRows) continue;
        m_arPointRow[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(nRow);
        const std::size_t nWord = static_cast<std::size_t>(i >> CPointBlocks::Shift(0)) * m_nWords + nRow / 64;
        arFirst[nWord] |= std::uint64_t(1) << (nRow % 64);
    }
    m_nSize = nTo;
    MarkRuns(blocks, yAxis, 0, nFrom);

    for (int k = 1; k < nLevels; ++k) {
        const std::vector<std::uint64_t>& arBelow = m_arLevels[k - 1];
        std::vector<std::uint64_t>& arLevel = m_arLevels[k];
        const std::size_t nBelow = static_cast<std::size_t>(blocks.GetBlockCount(k - 1));
        for (std::size_t j = static_cast<std::size_t>(nFrom >> CPointBlocks::Shift(k));
             j < static_cast<std::size_t>(blocks.GetBlockCount(k)); ++j) {
            std::uint64_t* pTo = arLevel.data() + j * m_nWords;
            const std::uint64_t* pLeft = arBelow.data() + 2 * j * m_nWords;
            const bool bRight = 2 * j + 1 < nBelow;
            for (int w = 0; w < m_nWords; ++w) pTo[w] = pLeft[w] | (bRight ? pLeft[m_nWords + w] : 0);
        }
        MarkRuns(blocks, yAxis, k, nFrom);
    }
}

void CBlockRows::MarkRuns(const CPointBlocks& blocks, const tagGraphAxis& yAxis, int nLevel, int nFrom)
{
    std::vector<std::uint64_t>& arRun = m_arRun[static_cast<std::size_t>(nLevel)];
    for (int j = nFrom >> CPointBlocks::Shift(nLevel); j < blocks.GetBlockCount(nLevel); ++j) {
        const std::uint64_t mask = std::uint64_t(1) << (j % 64);
        std::uint64_t& word = arRun[static_cast<std::size_t>(j) / 64];
        word = FindRun(blocks, yAxis, nLevel, j) ? (word | mask) : (word & ~mask);
    }
}

// Compares the block's set with the run its extremes give.
bool CBlockRows::FindRun(const CPointBlocks& blocks, const tagGraphAxis& yAxis, int nLevel, int nBlock) const
{
    const CPointBlocks::tagSummary& s = blocks.Block(nLevel, nBlock);
    if (!blocks.IsAllNumbers(nLevel, nBlock) || !s.HasNumbers()) return false;
    const CAxisMapper yMap(yAxis);
    int bValidTop = 0, bValidBottom = 0;
    const int nTop = std::max(m_key.nBase - yMap.Map(s.dYMax, bValidTop), 0);
    const int nBottom = std::min(m_key.nBase - yMap.Map(s.dYMin, bValidBottom), m_key.nRows - 1);
    if (!bValidTop || !bValidBottom) return false;
    std::array<std::uint64_t, kMaxRows / 64> arRun{};
    SetRun(arRun.data(), nTop, nBottom);
    return std::equal(arRun.begin(), arRun.begin() + m_nWords, Block(nLevel, nBlock));
}

void CBlockRows::SetRun(std::uint64_t* pRows, int nTop, int nBottom)
{
    if (nTop > nBottom) return;
    const int nFirst = nTop / 64;
    const int nLast = nBottom / 64;
    for (int w = nFirst; w <= nLast; ++w) {
        std::uint64_t mask = ~std::uint64_t(0);
        if (w == nFirst) mask &= ~std::uint64_t(0) << (nTop % 64);
        if (w == nLast && nBottom % 64 != 63) mask &= (std::uint64_t(1) << (nBottom % 64 + 1)) - 1;
        pRows[w] |= mask;
    }
}
