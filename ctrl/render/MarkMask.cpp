#include "render/MarkMask.h"

#include "render/PixelLayer.h"
#include "render/SeriesPixels.h"

#include <algorithm>

bool CMarkMask::Fits(const CMarkerStamp& stamp)
{
    return stamp.HasSpans() && stamp.Reach() <= CPixelLayer::kMaxSpreadReach;
}

void CMarkMask::Forget()
{
    m_key = tagKey();
}

void CMarkMask::Update(const CSeriesPixels& px, const CMarkerStamp& stamp, plat::CRect rcArea)
{
    const tagKey key{rcArea, px.MarkRowTop(), px.MarkRowWords(), stamp.Reach(), stamp.Spans()};
    m_nWidth = std::max(rcArea.Width(), 0);
    if (!(key == m_key)) {
        m_key = key;
        m_nWords = (std::max(rcArea.Height(), 0) + 63) / 64;
        m_arBits.assign(static_cast<std::size_t>(m_nWidth) * m_nWords, 0);
        m_arDirty.assign(static_cast<std::size_t>(m_nWidth), 1);
        m_arX.clear();
        m_arRows.clear();
    } else {
        m_arDirty.assign(static_cast<std::size_t>(m_nWidth), 0);
        FindChanges(px, stamp.Reach());
    }
    Restamp(px, stamp);
    // Keep what the mask now holds.
    m_arX.clear();
    m_arRows.clear();
    for (const CSeriesPixels::tagMarkColumn& col : px.MarkColumns()) {
        m_arX.push_back(col.x);
        const std::uint64_t* pRows = px.MarkColumnRows(col);
        m_arRows.insert(m_arRows.end(), pRows, pRows + px.MarkRowWords());
    }
}

// Columns whose marks came, went or changed rows: both lists run left to
// right.
void CMarkMask::FindChanges(const CSeriesPixels& px, int nReach)
{
    const std::vector<CSeriesPixels::tagMarkColumn>& arNew = px.MarkColumns();
    const int nWords = px.MarkRowWords();
    std::size_t i = 0, j = 0;
    while (i < m_arX.size() || j < arNew.size()) {
        if (j == arNew.size() || (i < m_arX.size() && m_arX[i] < arNew[j].x)) {
            Dirty(m_arX[i++], nReach);
        } else if (i == m_arX.size() || arNew[j].x < m_arX[i]) {
            Dirty(arNew[j++].x, nReach);
        } else {
            const std::uint64_t* pOld = m_arRows.data() + i * static_cast<std::size_t>(nWords);
            if (!std::equal(pOld, pOld + nWords, px.MarkColumnRows(arNew[j]))) Dirty(arNew[j].x, nReach);
            ++i;
            ++j;
        }
    }
}

void CMarkMask::Dirty(int x, int nReach)
{
    const int lx = x - m_key.rcArea.left;
    const int nFrom = std::max(lx - nReach, 0);
    const int nTo = std::min(lx + nReach, m_nWidth - 1);
    for (int c = nFrom; c <= nTo; ++c) m_arDirty[static_cast<std::size_t>(c)] = 1;
}

// Clears the dirty columns and stamps into them every mark that reaches them.
void CMarkMask::Restamp(const CSeriesPixels& px, const CMarkerStamp& stamp)
{
    m_arDirtyBefore.assign(static_cast<std::size_t>(m_nWidth) + 1, 0);
    for (int c = 0; c < m_nWidth; ++c) {
        const bool bDirty = m_arDirty[static_cast<std::size_t>(c)] != 0;
        m_arDirtyBefore[static_cast<std::size_t>(c) + 1] = m_arDirtyBefore[static_cast<std::size_t>(c)] + bDirty;
        if (bDirty) std::fill_n(m_arBits.data() + static_cast<std::size_t>(c) * m_nWords, m_nWords, 0);
    }
    m_nRestamped = m_arDirtyBefore.back();
    if (m_nRestamped == 0) return;
    const int r = stamp.Reach();
    const int nHeight = m_key.rcArea.Height();
    const int nRowTop = px.MarkRowTop() - m_key.rcArea.top;
    for (const CSeriesPixels::tagMarkColumn& col : px.MarkColumns()) {
        const int lx = col.x - m_key.rcArea.left;
        const int nFrom = std::clamp(lx - r, 0, m_nWidth);
        const int nTo = std::clamp(lx + r + 1, 0, m_nWidth);
        if (m_arDirtyBefore[static_cast<std::size_t>(nTo)] == m_arDirtyBefore[static_cast<std::size_t>(nFrom)])
            continue;
        stamp.SpreadRows(px.MarkColumnRows(col), px.MarkRowWords(), m_arSpread,
                         [&](const CMarkerStamp::tagSpan& span, const std::uint64_t* pSpread, int nSpreadWords,
                             int nFirstRow) {
                             const int c = lx + span.dx;
                             if (c < 0 || c >= m_nWidth || !m_arDirty[static_cast<std::size_t>(c)]) return;
                             CPixelLayer::OrShifted(m_arBits.data() + static_cast<std::size_t>(c) * m_nWords,
                                                    m_nWords, nHeight, pSpread, nSpreadWords,
                                                    nRowTop + nFirstRow + span.dyTop);
                         });
    }
}
