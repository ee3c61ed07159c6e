#pragma once

#include "platform/Point.h"

#include <QPoint>
#include <vector>

namespace plat {

// The pixels GDI's one-pixel pens paint, with the pen styles' dash runs.
class CLineRaster {
public:
    // style: PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT or PS_DASHDOTDOT.
    explicit CLineRaster(int style);

    // Appends the pixels of the line from a to b without b itself (a line to
    // the point it starts on paints nothing). Dash runs continue from the
    // previous segment until ResetPattern.
    void Line(CPoint a, CPoint b, std::vector<QPoint>& out);
    void ResetPattern() { m_run = 0; m_left = FirstRunLength(); }

private:
    int FirstRunLength() const;
    bool NextPixelOn();

    int m_style;
    std::size_t m_run = 0;  // index into the style's runs; even runs are drawn
    int m_left = 0;         // pixels left in the current run
};

}  // namespace plat
