#include "graph/ViewRange.h"

#include <algorithm>
#include <cmath>

double CViewRange::ToScale(double v, bool bLog)
{
    return bLog ? std::log10(v) : v;
}

double CViewRange::FromScale(double s, bool bLog)
{
    return bLog ? std::pow(10.0, s) : s;
}

bool CViewRange::IsUsable(const tagViewRange& r, bool bLog)
{
    if (!std::isfinite(r.dMin) || !std::isfinite(r.dMax) || !(r.dMax > r.dMin)) return false;
    if (bLog && !(r.dMin >= kLogLowest)) return false;
    const double s0 = ToScale(r.dMin, bLog);
    const double s1 = ToScale(r.dMax, bLog);
    const double dSpan = s1 - s0;
    // A span that overflowed is no range either.
    if (!std::isfinite(dSpan) || !(dSpan > 0.0)) return false;
    return dSpan >= kMinRelativeSpan * std::max(std::fabs(s0), std::fabs(s1));
}

tagViewRange CViewRange::Zoom(const tagViewRange& r, double dFactor, double dAround, bool bLog)
{
    if (!(dFactor > 0.0) || !std::isfinite(dFactor)) return r;
    const double s0 = ToScale(r.dMin, bLog);
    const double s1 = ToScale(r.dMax, bLog);
    const double a = ToScale(dAround, bLog);
    if (!std::isfinite(a)) return r;
    return {FromScale(a - (a - s0) / dFactor, bLog), FromScale(a + (s1 - a) / dFactor, bLog)};
}

tagViewRange CViewRange::Shift(const tagViewRange& r, double dPart, bool bLog)
{
    const double s0 = ToScale(r.dMin, bLog);
    const double s1 = ToScale(r.dMax, bLog);
    return ShiftBy(r, (s1 - s0) * dPart, bLog);
}

tagViewRange CViewRange::ShiftBy(const tagViewRange& r, double dDelta, bool bLog)
{
    if (!std::isfinite(dDelta)) return r;
    return {FromScale(ToScale(r.dMin, bLog) + dDelta, bLog), FromScale(ToScale(r.dMax, bLog) + dDelta, bLog)};
}

double CViewRange::ValueAt(const tagViewRange& r, double dPart, bool bLog)
{
    const double s0 = ToScale(r.dMin, bLog);
    const double s1 = ToScale(r.dMax, bLog);
    return FromScale(s0 + (s1 - s0) * dPart, bLog);
}

tagViewRange CViewRange::Clamp(const tagViewRange& r, double dLow, double dHigh)
{
    if (!(dHigh > dLow)) return r;
    tagViewRange c = r;
    const double dSpan = c.dMax - c.dMin;
    if (!(dSpan < dHigh - dLow)) return {dLow, dHigh};
    if (c.dMin < dLow) c = {dLow, dLow + dSpan};
    if (c.dMax > dHigh) c = {dHigh - dSpan, dHigh};
    return c;
}

tagViewRange CViewRange::Between(double a, double b)
{
    return {std::min(a, b), std::max(a, b)};
}
