#pragma once

#include "graph/GraphPointArray.h"
#include "platform/QuindleExport.h"

#include <cstdint>
#include <limits>
#include <vector>

// Summaries of a series' points in aligned blocks, level by level: level k
// holds the blocks of 16 · 2^k consecutive points starting at multiples of
// that size (the last block of a level may hold fewer). They are kept in
// values, not pixels, so they hold whatever the scale; appended points
// update one block per level, so a live series costs the same per sample
// however long it grows.
class QUINDLE_EXPORT CPointBlocks {
public:
    // Extremes over the points whose coordinates are both numbers (none:
    // minimum above maximum). Two to a cache line: a walk reads many.
    struct tagSummary {
        double dXMin = std::numeric_limits<double>::infinity();
        double dXMax = -std::numeric_limits<double>::infinity();
        double dYMin = std::numeric_limits<double>::infinity();
        double dYMax = -std::numeric_limits<double>::infinity();

        bool HasNumbers() const { return dXMin <= dXMax; }
        void Add(const tagGraphPoint& pt);
        void Add(const tagSummary& s);
    };

    // Brings the summaries up to date with the array: points appended since
    // the last call are added; any other change builds them anew.
    void Sync(const CGraphPointArray& arPoints);

    int GetSize() const { return m_nSize; }
    int GetLevelCount() const { return static_cast<int>(m_arLevels.size()); }
    int GetBlockCount(int nLevel) const { return static_cast<int>(m_arLevels[nLevel].size()); }
    const tagSummary& Block(int nLevel, int nBlock) const { return m_arLevels[nLevel][nBlock]; }
    // Whether both coordinates of every point of the block are numbers.
    bool IsAllNumbers(int nLevel, int nBlock) const
    {
        return (m_arAllNumbers[nLevel][static_cast<std::size_t>(nBlock) / 64] >> (nBlock % 64)) & 1;
    }
    // Whether the summaries are those of the array as it is now.
    bool IsInStepWith(const CGraphPointArray& arPoints) const
    {
        return m_nRevision == arPoints.GetRevision() && m_nSize == arPoints.GetSize();
    }
    // Whether every X is a number and none is below the one before it.
    bool IsXSorted() const { return m_bXSorted; }
    // Changes whenever the summaries are built anew rather than extended,
    // so what others derived from the blocks can tell it must start over.
    std::uint64_t GetGeneration() const { return m_nGeneration; }

    // log2 of the points in a block of a level.
    static int Shift(int nLevel) { return kFirstShift + nLevel; }
    static constexpr int kFirstShift = 4;

private:
    void Extend(const tagGraphPoint* pPoints, int nFrom, int nTo);

    std::vector<std::vector<tagSummary>> m_arLevels;
    // A bit per block; apart from the summaries, as it is read for every
    // block a walk looks at.
    std::vector<std::vector<std::uint64_t>> m_arAllNumbers;
    int m_nSize = 0;
    bool m_bXSorted = true;
    double m_dLastX = -std::numeric_limits<double>::infinity();
    std::uint64_t m_nRevision = 0;  // of the array the blocks were built from
    std::uint64_t m_nGeneration = 0;
};
