#pragma once

#include "platform/QuindleExport.h"

// One axis' range as the operator browses it.
struct tagViewRange {
    double dMin = 0.0;
    double dMax = 0.0;
    bool operator==(const tagViewRange&) const = default;
};

// Zooming and shifting one axis range and reading values off it. On a
// logarithmic axis the arithmetic runs on the decades, the way the scale is
// drawn, so a zoom keeps the value under the pointer there too.
class QUINDLE_EXPORT CViewRange {
public:
    // The narrowest span kept, relative to the larger edge (on the decades
    // for a logarithmic axis): below it the scale has nothing left to show.
    static constexpr double kMinRelativeSpan = 1e-9;
    // The lowest edge a logarithmic view may have: the scale places nothing
    // below it.
    static constexpr double kLogLowest = 1e-7;

    // Finite, ascending, not narrower than the minimum span and, on a
    // logarithmic axis, above kLogLowest.
    static bool IsUsable(const tagViewRange& r, bool bLog);
    // dFactor > 1 zooms in (the span shrinks by it), below 1 out; the value
    // dAround stays where it was on the axis.
    static tagViewRange Zoom(const tagViewRange& r, double dFactor, double dAround, bool bLog);
    // Moves the range by dPart of its span (positive: towards larger values).
    static tagViewRange Shift(const tagViewRange& r, double dPart, bool bLog);
    // Moves the range by dDelta in values (in decades on a logarithmic axis).
    static tagViewRange ShiftBy(const tagViewRange& r, double dDelta, bool bLog);
    // The value dPart of the way from dMin to dMax (0 at dMin, 1 at dMax).
    static double ValueAt(const tagViewRange& r, double dPart, bool bLog);
    // Keeps r inside [dLow, dHigh]: moved inside when it fits, cut to the
    // limits when it is wider.
    static tagViewRange Clamp(const tagViewRange& r, double dLow, double dHigh);
    // The range between two values in either order.
    static tagViewRange Between(double a, double b);

private:
    static double ToScale(double v, bool bLog);
    static double FromScale(double s, bool bLog);
};
