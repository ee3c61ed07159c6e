#pragma once

#include "platform/Point.h"
#include "platform/QuindleExport.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace plat {
class CDC;
}

// The pixels one point marker paints, captured once by drawing it through a
// DC on a small transparent picture, so that many markers can be put down
// without drawing each again. Aliased drawing on whole pixels is the same
// wherever it happens, so a stamp is exact at any point.
class QUINDLE_EXPORT CMarkerStamp {
public:
    struct tagPixel {
        int dx = 0;
        int dy = 0;
        std::uint32_t argb = 0;  // premultiplied, opaque
    };

    // paint draws the marker around the given centre on the DC; nReach is
    // how far from the centre it may paint, at most.
    static CMarkerStamp Capture(int nReach, const std::function<void(plat::CDC&, plat::CPoint)>& paint);

    // The pixels of one column of the stamp, dyTop to dyBottom inclusive.
    struct tagSpan {
        int dx = 0;
        int dyTop = 0;
        int dyBottom = 0;
        bool operator==(const tagSpan&) const = default;
    };

    const std::vector<tagPixel>& Pixels() const { return m_arPixels; }
    // Set when every pixel has one colour and each column of the stamp is
    // unbroken: a stack of stamps one row apart then covers, per column,
    // one unbroken run, so it can be painted as such.
    bool HasSpans() const { return !m_arSpans.empty(); }
    // Whether every pixel has one colour: then stamps overlapping in any
    // order give the same picture.
    bool IsOneColour() const { return m_bOneColour; }
    // Shortest first, so one spread of rows can grow from span to span.
    const std::vector<tagSpan>& Spans() const { return m_arSpans; }
    // Farthest pixel from the centre, in either direction.
    int Reach() const { return m_nReach; }
    bool IsEmpty() const { return m_arPixels.empty(); }

    // The rows a column of stamps covers, span by span: each set row of
    // pRows (nWords words) becomes the span's rows below it. Calls
    // out(span, pSpread, nSpreadWords, nFirstRow), where bit 0 of
    // pSpread is row nFirstRow + span.dyTop (rows counted as in pRows).
    // Nothing when no row is set. The spans must be within a word long.
    template <class Out>
    void SpreadRows(const std::uint64_t* pRows, int nWords, std::vector<std::uint64_t>& arSpread, Out out) const;

private:
    void FindSpans();

    std::vector<tagPixel> m_arPixels;
    std::vector<tagSpan> m_arSpans;
    int m_nReach = 0;
    bool m_bOneColour = false;
};

template <class Out>
void CMarkerStamp::SpreadRows(const std::uint64_t* pRows, int nWords, std::vector<std::uint64_t>& arSpread,
                              Out out) const
{
    int wFirst = 0;
    while (wFirst < nWords && pRows[wFirst] == 0) ++wFirst;
    if (wFirst == nWords) return;
    int wLast = nWords - 1;
    while (pRows[wLast] == 0) --wLast;
    // Only the words from the first to the last set row, and one for what
    // spreads past it.
    const int nUsed = wLast - wFirst + 1;
    const int nSpreadWords = nUsed + 1;
    arSpread.resize(static_cast<std::size_t>(nSpreadWords));
    std::uint64_t* pSpread = arSpread.data();
    const std::uint64_t* pUsed = pRows + wFirst;
    for (int w = 0; w < nUsed; ++w) pSpread[w] = pUsed[w];
    pSpread[nUsed] = 0;
    // The spans come shortest first, so the spread grows by one row at a
    // time across them.
    int nLength = 1;
    for (const tagSpan& span : m_arSpans) {
        for (const int nSpan = span.dyBottom - span.dyTop + 1; nLength < nSpan; ++nLength) {
            pSpread[nUsed] |= pUsed[nUsed - 1] >> (64 - nLength);
            for (int w = nUsed - 1; w > 0; --w) pSpread[w] |= (pUsed[w] << nLength) | (pUsed[w - 1] >> (64 - nLength));
            pSpread[0] |= pUsed[0] << nLength;
        }
        out(span, static_cast<const std::uint64_t*>(pSpread), nSpreadWords, wFirst * 64);
    }
}
