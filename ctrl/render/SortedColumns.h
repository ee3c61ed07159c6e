#pragma once

#include "graph/GraphAxis.h"
#include "platform/QuindleExport.h"
#include "render/PointBlocks.h"

#include <algorithm>
#include <cstdint>
#include <vector>

class CBlockWalk;

// The pixel columns of a series whose X values never decrease and whose
// points all have positions: each column then holds one stretch of
// consecutive points. Between paints each stretch is found again from
// where it was in a few steps, and a column keeps its Y extremes and its
// marker rows while its stretch only gains or loses a few points at its
// ends. A live chart whose X range grows by a sample at every paint so
// costs about the plot's width, however long the run.
class QUINDLE_EXPORT CSortedColumns {
public:
    struct tagColumn {
        int nFrom = 0;  // the column's points are [nFrom, nTo)
        int nTo = 0;
        double dYMin = 0.0;  // their Y extremes, when there are any
        double dYMax = 0.0;
    };

    // Whether a series and a scale can be kept this way.
    static bool Applies(const CPointBlocks& blocks, const tagGraphAxis& xAxis, const tagGraphAxis& yAxis);

    // Brings the nCount columns at X offsets nFirst on up to date with the
    // walk's points and scale. The columns at offsets nMarkFirst to
    // nMarkLast also keep their band rows (nWords words each, none when 0);
    // nRowsGeneration is that of the row sets the walk reads.
    void Update(const CBlockWalk& walk, const CPointBlocks& blocks, std::uint64_t nRowsGeneration, int nWords,
                int nFirst, int nCount, int nMarkFirst, int nMarkLast);

    int GetCount() const { return static_cast<int>(m_arColumn.size()); }
    const tagColumn& Column(int c) const { return m_arColumn[static_cast<std::size_t>(c)]; }
    const std::uint64_t* Rows(int c) const { return m_arRows.data() + static_cast<std::size_t>(c) * m_nWords; }
    // Points left of the first column are [0, LeftEnd()); right of the
    // last one, [RightStart(), size).
    int LeftEnd() const { return m_arBound.empty() ? 0 : m_arBound.front(); }
    int RightStart() const { return m_arBound.empty() ? 0 : m_arBound.back(); }

    // Columns recomputed from the blocks in the last update, and columns
    // patched at their ends (for tests and benchmarks).
    int GetRebuiltCount() const { return m_nRebuilt; }
    int GetPatchedCount() const { return m_nPatched; }

private:
    struct tagLayout {
        int nFirst = 0, nCount = -1, nMarkFirst = 0, nMarkLast = -1, nWords = 0;
        bool operator==(const tagLayout&) const = default;
    };

    void FindBounds(const CBlockWalk& walk, int nSize);
    void Rebuild(const CBlockWalk& walk, int c, int nFrom, int nTo, bool bRows);
    bool Patch(const CBlockWalk& walk, int c, int nFrom, int nTo, bool bRows);
    // Whether a point of [nFrom, nTo) near either end passes the test.
    // Dense columns have many points on each row and at each extreme, so
    // one is usually close by.
    template <class Test>
    static bool StillThere(int nFrom, int nTo, Test test)
    {
        const int nHeadEnd = std::min(nTo, nFrom + kRowScan);
        for (int i = nFrom; i < nHeadEnd; ++i)
            if (test(i)) return true;
        for (int i = nTo - 1; i >= std::max(nHeadEnd, nTo - kRowScan); --i)
            if (test(i)) return true;
        return false;
    }
    // Points looked at from each end of a stretch.
    static constexpr int kRowScan = 24;

    tagLayout m_layout;
    std::uint64_t m_nGeneration = 0;  // of the blocks the columns hold
    std::uint64_t m_nRowsGeneration = 0;
    bool m_bKept = false;  // whether the columns hold anything to build on
    // m_arBound[c]: the first point at or right of column c's offset.
    std::vector<int> m_arBound;
    std::vector<tagColumn> m_arColumn;
    int m_nWords = 0;
    std::vector<std::uint64_t> m_arRows;
    int m_nRebuilt = 0;
    int m_nPatched = 0;
};
