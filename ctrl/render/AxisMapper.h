#pragma once

#include "graph/GraphAxis.h"
#include "render/AxisScale.h"

#include <cmath>

// Value-to-offset mapping of one axis for many points: the same results as
// CAxisScale::Position, with a multiplication instead of the division for
// every value that is not within a hair of a rounding boundary.
class CAxisMapper {
public:
    explicit CAxisMapper(const tagGraphAxis& axis)
        : m_axis(axis), m_dMin(axis.dMin), m_dScale(axis.dPixelStep / axis.dStep),
          m_dInvScale(1.0 / m_dScale), m_bFast(!axis.bLogarithm && std::isfinite(m_dScale))
    {
    }

    // Whether the axis is linear with a usable scale (SafeRange applies).
    bool IsLinear() const { return m_bFast && m_dScale > 0.0; }
    double Min() const { return m_dMin; }

    // The offsets d = v - Min() for which Map(v) is certainly n; empty
    // (lo > hi) when n is too far out to say.
    void SafeRange(int n, double& dLo, double& dHi) const
    {
        if (!IsLinear() || std::abs(n) > kSafeLimit) {
            dLo = 1.0;
            dHi = -1.0;
            return;
        }
        // The margin is far wider than the rounding of the reciprocal.
        dLo = (n - 0.5 + kSafeMargin) * m_dInvScale;
        dHi = (n + 0.5 - kSafeMargin) * m_dInvScale;
    }

    int Map(double v, int& bValid) const
    {
        if (m_bFast) {
            const double t = (v - m_dMin) * m_dScale;
            const double s = v < m_dMin ? t - 0.5 : t + 0.5;
            // NaN fails this test too and takes the exact path.
            if (std::fabs(s) < kFastLimit) {
                const int n = static_cast<int>(s);
                const double dFrac = std::fabs(s - n);
                if (dFrac > kTie && dFrac < 1.0 - kTie) {
                    bValid = 1;
                    return n;
                }
            }
        }
        return CAxisScale::Position(v, m_axis, bValid);
    }

private:
    // The product and the quotient differ by a few units in the last place;
    // below this magnitude that is far less than kTie.
    static constexpr double kFastLimit = 1e8;
    static constexpr double kTie = 1e-6;
    // Inside these bounds Map takes its fast path and agrees with them.
    static constexpr double kSafeMargin = 2e-6;
    static constexpr int kSafeLimit = 10000000;

    const tagGraphAxis& m_axis;
    double m_dMin;
    double m_dScale;
    double m_dInvScale;
    bool m_bFast;
};
