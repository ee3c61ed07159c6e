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

private:
    void FindSpans();

    std::vector<tagPixel> m_arPixels;
    std::vector<tagSpan> m_arSpans;
    int m_nReach = 0;
    bool m_bOneColour = false;
};
