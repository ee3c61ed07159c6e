#include "render/SortedColumns.h"

#include "render/AxisScale.h"
#include "render/BlockWalk.h"

#include <algorithm>
#include <limits>

namespace {
// A column whose stretch changed by more points than this is summed up
// from the blocks again rather than patched point by point.
constexpr int kMaxPatch = 32;

// The first index in [nLo, nHi] where below() turns false (it is true, then
// false), looked for outwards from nGuess: a guess off by d costs about
// 2 log2(d) calls.
template <class Below>
int Seek(int nGuess, int nLo, int nHi, Below below)
{
    nGuess = std::clamp(nGuess, nLo, nHi);
    int a = nLo, b = nHi;  // the answer lies in [a, b]
    if (nGuess < nHi && below(nGuess)) {
        a = nGuess + 1;
        for (int nStep = 1;; nStep *= 2) {
            const int nProbe = a + nStep - 1;
            if (nProbe >= nHi) break;
            if (!below(nProbe)) {
                b = nProbe;
                break;
            }
            a = nProbe + 1;
        }
    } else {
        b = nGuess;
        for (int nStep = 1;; nStep *= 2) {
            const int nProbe = b - nStep;
            if (nProbe < nLo) break;
            if (below(nProbe)) {
                a = nProbe + 1;
                break;
            }
            b = nProbe;
        }
    }
    while (a < b) {
        const int m = a + (b - a) / 2;
        if (below(m)) a = m + 1;
        else b = m;
    }
    return a;
}
}  // namespace

bool CSortedColumns::Applies(const CPointBlocks& blocks, const tagGraphAxis& xAxis, const tagGraphAxis& yAxis)
{
    const int nLevels = blocks.GetLevelCount();
    if (nLevels == 0 || !blocks.IsXSorted() || !blocks.IsAllNumbers(nLevels - 1, 0)) return false;
    // On a logarithmic axis every value must have a place too.
    const CPointBlocks::tagSummary& all = blocks.Block(nLevels - 1, 0);
    return (!xAxis.bLogarithm || all.dXMin >= CAxisScale::kLogLowest)
           && (!yAxis.bLogarithm || all.dYMin >= CAxisScale::kLogLowest);
}

void CSortedColumns::Update(const CBlockWalk& walk, const CPointBlocks& blocks, std::uint64_t nRowsGeneration,
                            int nWords, int nFirst, int nCount, int nMarkFirst, int nMarkLast)
{
    m_nRebuilt = 0;
    m_nPatched = 0;
    const tagLayout layout{nFirst, std::max(nCount, 0), nMarkFirst, nMarkLast, std::max(nWords, 0)};
    if (!(layout == m_layout)) {
        m_layout = layout;
        m_nWords = layout.nWords;
        m_arBound.assign(static_cast<std::size_t>(layout.nCount) + 1, 0);
        m_arColumn.assign(static_cast<std::size_t>(layout.nCount), tagColumn());
        m_arRows.assign(static_cast<std::size_t>(layout.nCount) * m_nWords, 0);
        m_bKept = false;
    }
    // Rebuilt blocks may hold other points: nothing kept is known to hold.
    // The bounds stay as guesses; a wrong guess only costs steps.
    if (blocks.GetGeneration() != m_nGeneration || (m_nWords > 0 && nRowsGeneration != m_nRowsGeneration))
        m_bKept = false;
    m_nGeneration = blocks.GetGeneration();
    m_nRowsGeneration = nRowsGeneration;

    FindBounds(walk, blocks.GetSize());
    for (int c = 0; c < layout.nCount; ++c) {
        const int nFrom = m_arBound[static_cast<std::size_t>(c)];
        const int nTo = m_arBound[static_cast<std::size_t>(c) + 1];
        const int x = nFirst + c;
        const bool bRows = m_nWords > 0 && x >= nMarkFirst && x <= nMarkLast;
        const tagColumn& col = m_arColumn[static_cast<std::size_t>(c)];
        if (m_bKept && col.nFrom == nFrom && col.nTo == nTo) continue;
        if (m_bKept && Patch(walk, c, nFrom, nTo, bRows)) {
            ++m_nPatched;
            continue;
        }
        Rebuild(walk, c, nFrom, nTo, bRows);
        ++m_nRebuilt;
    }
    m_bKept = true;
}

// Column c starts at the first point whose X offset reaches its offset:
// since X never decreases and the mapping is monotonic, the points before
// it map left of the column, the points from it on at or right of it.
void CSortedColumns::FindBounds(const CBlockWalk& walk, int nSize)
{
    const CAxisMapper& xMap = walk.XMap();
    int nLo = 0;
    for (std::size_t c = 0; c < m_arBound.size(); ++c) {
        const int nOffset = m_layout.nFirst + static_cast<int>(c);
        // Offsets certainly left of the column and certainly in or right of
        // it need no mapping; only those within a hair of its edge do.
        double dLeftLo = 0.0, dLeft = 0.0, dIn = 0.0, dInHi = 0.0;
        xMap.SafeRange(nOffset - 1, dLeftLo, dLeft);
        xMap.SafeRange(nOffset, dIn, dInHi);
        if (!(dLeftLo <= dLeft && dIn <= dInHi)) {
            dLeft = -std::numeric_limits<double>::infinity();
            dIn = std::numeric_limits<double>::infinity();
        }
        auto Below = [&](int i) {
            const double dx = walk.PointX(i) - xMap.Min();
            if (dx <= dLeft) return true;
            if (dx >= dIn) return false;
            int bValid = 0;
            return xMap.Map(walk.PointX(i), bValid) < nOffset;
        };
        nLo = Seek(m_arBound[c], nLo, nSize, Below);
        m_arBound[c] = nLo;
    }
}

void CSortedColumns::Rebuild(const CBlockWalk& walk, int c, int nFrom, int nTo, bool bRows)
{
    tagColumn& col = m_arColumn[static_cast<std::size_t>(c)];
    col.nFrom = nFrom;
    col.nTo = nTo;
    col.dYMin = std::numeric_limits<double>::infinity();
    col.dYMax = -col.dYMin;
    std::uint64_t* pRows = m_arRows.data() + static_cast<std::size_t>(c) * m_nWords;
    std::fill(pRows, pRows + m_nWords, 0);
    if (nFrom < nTo) walk.Range(nFrom, nTo, col.dYMin, col.dYMax, bRows ? pRows : nullptr);
}

// Moves the column's stretch to [nFrom, nTo) by the points that left and
// came, while that is cheaper than the blocks and the kept summary still
// tells the answer: false when the column must be rebuilt.
bool CSortedColumns::Patch(const CBlockWalk& walk, int c, int nFrom, int nTo, bool bRows)
{
    tagColumn& col = m_arColumn[static_cast<std::size_t>(c)];
    if (col.nFrom >= col.nTo || nFrom >= nTo || nFrom >= col.nTo || nTo <= col.nFrom) return false;
    const int nLeftHead = std::max(nFrom - col.nFrom, 0);
    const int nLeftTail = std::max(col.nTo - nTo, 0);
    const int nCameHead = std::max(col.nFrom - nFrom, 0);
    const int nCameTail = std::max(nTo - col.nTo, 0);
    if (nLeftHead + nLeftTail + nCameHead + nCameTail > kMaxPatch) return false;

    // A point that leaves may have held an extreme or the column's only
    // mark on its row: another point near the ends that holds it too
    // settles it, otherwise only the blocks can tell what is left.
    auto CanLeave = [&](int i) {
        const double y = walk.PointY(i);
        if (y <= col.dYMin && !StillThere(nFrom, nTo, [&](int n) { return walk.PointY(n) == col.dYMin; }))
            return false;
        if (y >= col.dYMax && !StillThere(nFrom, nTo, [&](int n) { return walk.PointY(n) == col.dYMax; }))
            return false;
        const int nRow = bRows ? walk.PointRow(i) : -1;
        return nRow < 0 || StillThere(nFrom, nTo, [&](int n) { return walk.PointRow(n) == nRow; });
    };
    for (int i = col.nFrom; i < col.nFrom + nLeftHead; ++i)
        if (!CanLeave(i)) return false;
    for (int i = nTo; i < col.nTo; ++i)
        if (!CanLeave(i)) return false;

    std::uint64_t* pRows = m_arRows.data() + static_cast<std::size_t>(c) * m_nWords;
    auto Comes = [&](int i) {
        const double y = walk.PointY(i);
        col.dYMin = std::min(col.dYMin, y);
        col.dYMax = std::max(col.dYMax, y);
        if (!bRows) return;
        const int nRow = walk.PointRow(i);
        if (nRow >= 0) pRows[nRow / 64] |= std::uint64_t(1) << (nRow % 64);
    };
    for (int i = nFrom; i < nFrom + nCameHead; ++i) Comes(i);
    for (int i = col.nTo; i < nTo; ++i) Comes(i);
    col.nFrom = nFrom;
    col.nTo = nTo;
    return true;
}

