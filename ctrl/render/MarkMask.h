#pragma once

#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "render/MarkerStamp.h"

#include <cstdint>
#include <vector>

class CSeriesPixels;

// The markers of one series as a mask of pixel columns kept between
// paints. A live chart's marker rows change in a few columns at each
// sample; only the columns their stamps reach are stamped again.
class QUINDLE_EXPORT CMarkMask {
public:
    // Whether marks of this stamp can be kept so: one colour in unbroken
    // columns, short enough to spread within a word.
    static bool Fits(const CMarkerStamp& stamp);

    // Brings the mask up to date with the mark columns of px (a column
    // build), for a layer over rcArea.
    void Update(const CSeriesPixels& px, const CMarkerStamp& stamp, plat::CRect rcArea);
    // Keeps nothing: the next update stamps every column.
    void Forget();

    // rcArea's width of columns, Words() words each.
    const std::uint64_t* Bits() const { return m_arBits.data(); }
    int Words() const { return m_nWords; }
    // Columns stamped again by the last update (for tests and benchmarks).
    int GetRestampedCount() const { return m_nRestamped; }

private:
    struct tagKey {
        plat::CRect rcArea;
        int nRowTop = 0;
        int nRowWords = -1;
        int nReach = 0;
        std::vector<CMarkerStamp::tagSpan> arSpans;
        bool operator==(const tagKey&) const = default;
    };
    void FindChanges(const CSeriesPixels& px, int nReach);
    void Dirty(int x, int nReach);
    void Restamp(const CSeriesPixels& px, const CMarkerStamp& stamp);

    tagKey m_key;
    int m_nWidth = 0;
    int m_nWords = 0;
    std::vector<std::uint64_t> m_arBits;
    // The mark columns the mask holds: their X and their rows.
    std::vector<int> m_arX;
    std::vector<std::uint64_t> m_arRows;
    std::vector<char> m_arDirty;
    std::vector<int> m_arDirtyBefore;  // dirty columns left of each column
    std::vector<std::uint64_t> m_arSpread;
    int m_nRestamped = 0;
};
