#pragma once

#include "graph/GraphAxis.h"
#include "graph/GraphPointArray.h"
#include "platform/QuindleExport.h"
#include "render/PointBlocks.h"

#include <cstdint>
#include <vector>

// For each block of a CPointBlocks, the pixel rows its points sit on for
// one Y scale: one bit per row of a band (the rows where a marker can
// show). A whole block's markers in one pixel column are then those bits.
// Built anew when the scale or the band changes, extended as points are
// appended.
class QUINDLE_EXPORT CBlockRows {
public:
    // nBase: the band row of Y offset 0 (offsets grow upwards); nRows: the
    // rows of the band. False (and nothing kept) when the band is taller
    // than kMaxRows, which would make the sets too large to keep.
    bool Sync(const CPointBlocks& blocks, const tagGraphPoint* pPoints, const tagGraphAxis& yAxis, int nBase,
              int nRows);

    int GetWordCount() const { return m_nWords; }
    const std::uint64_t* Block(int nLevel, int nBlock) const
    {
        return m_arLevels[static_cast<std::size_t>(nLevel)].data() + static_cast<std::size_t>(nBlock) * m_nWords;
    }

    // Whether the block's rows are exactly those from the row of its Y
    // maximum to the row of its Y minimum, cut to the band: then they need
    // not be read. Kept apart from the sets, as it is read for every block.
    bool IsRun(int nLevel, int nBlock) const
    {
        return (m_arRun[static_cast<std::size_t>(nLevel)][static_cast<std::size_t>(nBlock) / 64] >> (nBlock % 64)) & 1;
    }
    // The band row of point i; -1 when it has none or lies outside the band.
    int PointRow(int i) const { return m_arPointRow[static_cast<std::size_t>(i)]; }
    // Sets the rows nTop to nBottom (none when nTop > nBottom).
    static void SetRun(std::uint64_t* pRows, int nTop, int nBottom);

    static constexpr int kMaxRows = 4096;  // rows fit an int16_t

    // Changes whenever the sets start over (a new scale, band or blocks),
    // so rows derived from them can tell they no longer hold.
    std::uint64_t GetGeneration() const { return m_nGeneration; }

private:
    void Extend(const CPointBlocks& blocks, const tagGraphPoint* pPoints, const tagGraphAxis& yAxis, int nFrom);
    void MarkRuns(const CPointBlocks& blocks, const tagGraphAxis& yAxis, int nLevel, int nFrom);
    bool FindRun(const CPointBlocks& blocks, const tagGraphAxis& yAxis, int nLevel, int nBlock) const;

    struct tagKey {
        double dMin = 0.0, dStep = 0.0, dPixelStep = 0.0;
        int bLogarithm = 0;
        int nBase = 0, nRows = -1;
        std::uint64_t nGeneration = 0;
        bool operator==(const tagKey&) const = default;
    };
    tagKey m_key;
    int m_nSize = 0;  // points covered
    std::uint64_t m_nGeneration = 0;
    int m_nWords = 0;
    std::vector<std::vector<std::uint64_t>> m_arLevels;
    std::vector<std::vector<std::uint64_t>> m_arRun;  // a bit per block
    // Each point's row, for columns kept between paints that look at the
    // points at their ends again and again.
    std::vector<std::int16_t> m_arPointRow;
};
