#include "render/PlotComposer.h"

#include <algorithm>
#include <bit>
#include <cstring>

bool CPlotComposer::tagBaseKey::operator==(const tagBaseKey& o) const
{
    return nWidth == o.nWidth && nHeight == o.nHeight && crBack == o.crBack && arXGrid == o.arXGrid
           && arYGrid == o.arYGrid && arMarkers == o.arMarkers
           && std::memcmp(&lfFont, &o.lfFont, sizeof lfFont) == 0;
}

bool CPlotComposer::Begin(const tagBaseKey& key)
{
    m_bWhole = !m_bKept || !(key == m_key);
    if (m_bWhole) {
        // The base goes into the plot itself; the kept one is out of date.
        m_bBaseDrawn = false;
        m_key = key;
    }
    m_nWords = (std::max(key.nHeight, 0) + 63) / 64;
    m_nNew = 0;
    return m_bWhole;
}

QImage& CPlotComposer::BaseImage()
{
    if (m_base.width() != m_key.nWidth || m_base.height() != m_key.nHeight)
        m_base = QImage(std::max(m_key.nWidth, 0), std::max(m_key.nHeight, 0), QImage::Format_RGB32);
    return m_base;
}

void CPlotComposer::AddMask(std::uint32_t argb, std::uint64_t* pMask, int nWords, int nLeft, int nRight)
{
    if (m_nNew == m_arNew.size()) m_arNew.emplace_back();
    tagMask& mask = m_arNew[m_nNew++];
    mask.argb = argb;
    mask.arBits.assign(static_cast<std::size_t>(std::max(m_key.nWidth, 0)) * m_nWords, 0);
    nLeft = std::max(nLeft, 0);
    nRight = std::min(nRight, m_key.nWidth - 1);
    // A mask of another height cannot be composed: the next paint starts
    // again from the whole plot.
    if (nWords != m_nWords) m_bBroken = true;
    if (nWords != m_nWords || nLeft > nRight) return;
    const std::size_t nFrom = static_cast<std::size_t>(nLeft) * nWords;
    const std::size_t nCount = static_cast<std::size_t>(nRight - nLeft + 1) * nWords;
    std::copy_n(pMask + nFrom, nCount, mask.arBits.data() + nFrom);
    std::fill_n(pMask + nFrom, nCount, 0);
}

void CPlotComposer::Finish(std::uint32_t* pPlot, int nStride)
{
    m_arNew.resize(m_nNew);
    // Without the base, uncovered pixels cannot be restored: this paint
    // leaves the plot as it is, and the next one draws it whole.
    if (NeedsBase()) m_bBroken = true;
    if (m_bBroken && !m_bWhole) {
        m_nWritten = 0;
    } else if (m_bWhole) {
        for (tagMask& mask : m_arNew)
            PutMask(mask.arBits.data(), m_nWords, 0, m_key.nWidth - 1, m_key.nHeight, pPlot, nStride, mask.argb,
                    false);
        m_nWritten = static_cast<long>(m_key.nWidth) * m_key.nHeight;
    } else {
        WriteChanges(pPlot, nStride);
    }
    std::swap(m_arOld, m_arNew);
    m_bKept = !m_bBroken;
    m_bBroken = false;
}

void CPlotComposer::Forget()
{
    m_bKept = false;
    m_arOld.clear();
}

bool CPlotComposer::SameColours() const
{
    return std::equal(m_arOld.begin(), m_arOld.end(), m_arNew.begin(), m_arNew.end(),
                      [](const tagMask& a, const tagMask& b) { return a.argb == b.argb; });
}

// A pixel needs writing where a mask changed; when the masks are others
// than last time, wherever any of them, old or new, covers it.
void CPlotComposer::WriteChanges(std::uint32_t* pPlot, int nStride)
{
    m_nWritten = 0;
    const bool bSame = SameColours();
    const std::size_t nSize = static_cast<std::size_t>(std::max(m_key.nWidth, 0)) * m_nWords;
    for (std::size_t i = 0; i < nSize; ++i) {
        std::uint64_t changed = 0;
        if (bSame) {
            for (std::size_t m = 0; m < m_arNew.size(); ++m) changed |= m_arOld[m].arBits[i] ^ m_arNew[m].arBits[i];
        } else {
            for (const tagMask& mask : m_arOld) changed |= mask.arBits[i];
            for (const tagMask& mask : m_arNew) changed |= mask.arBits[i];
        }
        const int x = static_cast<int>(i / m_nWords);
        const int nRow = static_cast<int>(i % m_nWords) * 64;
        for (; changed != 0; changed &= changed - 1) WritePixel(x, nRow + std::countr_zero(changed), pPlot, nStride);
    }
}

void CPlotComposer::WritePixel(int x, int y, std::uint32_t* pPlot, int nStride)
{
    if (y >= m_key.nHeight) return;
    const std::size_t nWord = static_cast<std::size_t>(x) * m_nWords + y / 64;
    const std::uint64_t bit = std::uint64_t(1) << (y % 64);
    std::uint32_t v = reinterpret_cast<const std::uint32_t*>(m_base.constScanLine(y))[x];
    for (const tagMask& mask : m_arNew)
        if (mask.arBits[nWord] & bit) v = mask.argb;
    pPlot[static_cast<std::size_t>(y) * nStride + x] = v;
    ++m_nWritten;
}

namespace {
// Turns 64 words of 64 bits around their diagonal: bit j of word i becomes
// bit i of word j.
void Transpose64(std::uint64_t a[64])
{
    std::uint64_t m = 0x00000000FFFFFFFFull;
    for (int j = 32; j != 0; j >>= 1, m ^= m << j) {
        for (int k = 0; k < 64; k = ((k | j) + 1) & ~j) {
            const std::uint64_t t = ((a[k] >> j) ^ a[k | j]) & m;
            a[k] ^= t << j;
            a[k | j] ^= t;
        }
    }
}
}  // namespace

// The mask holds columns; the picture is stored row by row. Tiles of 64
// columns by 64 rows are turned around, so pixels go down as runs along
// rows, one after the other in memory.
void CPlotComposer::PutMask(std::uint64_t* pMask, int nWords, int nLeft, int nRight, int nHeight,
                            std::uint32_t* pBits, int nStride, std::uint32_t argb, bool bClear)
{
    std::uint64_t tile[64];
    for (int x0 = nLeft; x0 <= nRight; x0 += 64) {
        const int nColumns = std::min(64, nRight - x0 + 1);
        for (int w = 0; w < nWords; ++w) {
            std::uint64_t nAny = 0;
            std::uint64_t* pWord = pMask + static_cast<std::size_t>(x0) * nWords + w;
            for (int i = 0; i < nColumns; ++i, pWord += nWords) {
                tile[i] = *pWord;
                nAny |= *pWord;
                if (bClear) *pWord = 0;
            }
            if (nAny == 0) continue;
            std::fill(tile + nColumns, tile + 64, 0);
            Transpose64(tile);
            const int nRows = std::min(64, nHeight - w * 64);
            for (int j = 0; j < nRows; ++j) {
                std::uint32_t* pRow = pBits + static_cast<std::size_t>(w * 64 + j) * nStride + x0;
                for (std::uint64_t bits = tile[j]; bits != 0;) {
                    // One run of set bits at a time.
                    const int nFirst = std::countr_zero(bits);
                    const int nLength = std::countr_one(bits >> nFirst);
                    std::fill_n(pRow + nFirst, nLength, argb);
                    bits = nFirst + nLength >= 64 ? 0 : bits & (~std::uint64_t(0) << (nFirst + nLength));
                }
            }
        }
    }
}
