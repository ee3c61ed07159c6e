#pragma once

#include "platform/LogFont.h"
#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

#include <QImage>
#include <cstdint>
#include <vector>

// The plot's picture kept between paints: a base (background, grid lines,
// graph markers) with masks of one colour each over it, in drawing order.
// While the base and the masks' colours stay the same, a paint writes only
// the pixels whose masks changed. A live chart's next sample changes a few
// dozen pixels of a plot whose series cover tens of thousands.
class QUINDLE_EXPORT CPlotComposer {
public:
    struct tagMarkerKey {
        int x = 0;
        plat::COLORREF crColor = 0;
        int nPenStyle = 0;
        plat::CString strLabel;
        bool operator==(const tagMarkerKey&) const = default;
    };
    // What the base is drawn from: equal keys draw equal bases.
    struct tagBaseKey {
        int nWidth = 0;
        int nHeight = 0;
        plat::COLORREF crBack = 0;
        std::vector<int> arXGrid;  // offsets of the grid's columns
        std::vector<int> arYGrid;  // and of its rows
        std::vector<tagMarkerKey> arMarkers;
        plat::LOGFONT lfFont;  // of the markers' labels
        bool operator==(const tagBaseKey& o) const;
    };

    // Starts a paint whose base is described by key. True when the base
    // differs from the last paint's (or nothing is kept): the caller then
    // draws the base into the plot itself, and Finish writes every mask
    // over it.
    bool Begin(const tagBaseKey& key);
    // Whether the base must be drawn into BaseImage() before Finish: only
    // a paint that writes the changes reads it.
    bool NeedsBase() const { return !m_bWhole && !m_bBaseDrawn; }
    QImage& BaseImage();
    void SetBaseDrawn() { m_bBaseDrawn = true; }

    // The next mask: columns nLeft to nRight of a column-major mask with
    // nWords words per column. The columns are cleared as they are taken.
    void AddMask(std::uint32_t argb, std::uint64_t* pMask, int nWords, int nLeft, int nRight);
    // Writes the paint into the plot's pixels (nStride pixels a row), which
    // must hold what the last Finish left there unless Begin asked for the
    // whole plot; otherwise the base must have been drawn (NeedsBase).
    void Finish(std::uint32_t* pPlot, int nStride);
    // Keeps nothing: the next paint draws the whole plot.
    void Forget();

    // Pixels written by the last Finish, the whole plot's when it wrote
    // everything (for tests and benchmarks).
    long GetWrittenCount() const { return m_nWritten; }

    // Sets the pixels of mask columns nLeft to nRight to argb, clearing
    // the columns when bClear.
    static void PutMask(std::uint64_t* pMask, int nWords, int nLeft, int nRight, int nHeight, std::uint32_t* pBits,
                        int nStride, std::uint32_t argb, bool bClear);

private:
    struct tagMask {
        std::uint32_t argb = 0;
        std::vector<std::uint64_t> arBits;  // nWidth columns of m_nWords words
    };
    bool SameColours() const;
    void WriteChanges(std::uint32_t* pPlot, int nStride);
    void WritePixel(int x, int y, std::uint32_t* pPlot, int nStride);

    tagBaseKey m_key;
    bool m_bKept = false;
    bool m_bWhole = true;
    bool m_bBaseDrawn = false;
    bool m_bBroken = false;
    QImage m_base;
    int m_nWords = 0;
    std::vector<tagMask> m_arOld;
    std::vector<tagMask> m_arNew;
    std::size_t m_nNew = 0;  // masks of this paint in m_arNew
    long m_nWritten = 0;
};
