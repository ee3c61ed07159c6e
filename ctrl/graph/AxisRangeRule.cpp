#include "graph/AxisRangeRule.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
// Beyond this many grid steps the boundary is computed instead of walked, so
// a tiny step against a large value cannot stall a paint.
constexpr int kMaxWalkSteps = 100000;
// Enough decimals to write the smallest subnormal double exactly.
constexpr int kMaxDecimals = 340;
}  // namespace

bool CAxisRangeRule::DataRange(const CVelGraphSeriesArray& arSeries, eGraphAxisType eType,
                               const tagGraphAxis& axis, double& dMin, double& dMax)
{
    bool bFound = false;
    for (const auto& pSeries : arSeries) {
        double dLow = 0.0;
        double dHigh = 0.0;
        // The extents leave out NaN and infinities: they have no place on
        // the axis and must not pin an edge.
        if (!pSeries->arPoints.GetExtent(eType == GRAPH_AXIS_X, dLow, dHigh)) continue;
        if (!bFound) {
            dMin = dLow;
            dMax = dHigh;
            bFound = true;
            continue;
        }
        if (dHigh > dMax) dMax = dHigh;
        if (dLow < dMin) dMin = dLow;
    }
    if (dMin < axis.dMaxRangeMin) dMin = axis.dMaxRangeMin;
    if (dMax > axis.dMaxRangeMax) dMax = axis.dMaxRangeMax;
    if (axis.eValueType == AXIS_VALUE_INTEGER) {
        dMin = CorrectValueByPrecision(dMin, 0);
        dMax = CorrectValueByPrecision(dMax, 0);
    } else if (axis.eValueType == AXIS_VALUE_DECIMAL) {
        dMin = CorrectValueByPrecision(dMin, axis.nPrecision);
        dMax = CorrectValueByPrecision(dMax, axis.nPrecision);
    }
    return bFound;
}

double CAxisRangeRule::Lead(const tagGraphAxis& axis)
{
    if (!axis.bAheadExtend || axis.nAheadPart <= 0 || !(axis.dExtendValue > 0.0)) return 0.0;
    return axis.dExtendValue / axis.nAheadPart;
}

bool CAxisRangeRule::StepsOnGrid(const tagGraphAxis& axis)
{
    return axis.bExtend && axis.dExtendValue > 0.0 && std::isfinite(axis.dExtendValue);
}

void CAxisRangeRule::CorrectRange(const tagGraphAxis& axis, double& dMin, double& dMax, plat::BOOL bLogarithm)
{
    const double dLead = Lead(axis);
    double dNewMax = axis.dMax;
    double dNewMin = axis.dMin;

    // Comparisons with NaN are false, so a NaN edge keeps the current one.
    const double dTop = dMax + dLead;
    if (axis.dMax < dTop)
        dNewMax = StepsOnGrid(axis) ? StepPast(axis.dInitMax, axis.dExtendValue, dTop) : dMax;
    const double dBottom = dMin - dLead;
    if (axis.dMin > dBottom)
        dNewMin = StepsOnGrid(axis) ? StepPast(axis.dInitMin, -axis.dExtendValue, dBottom) : dMin;

    if (dNewMin < axis.dMaxRangeMin) dNewMin = axis.dMaxRangeMin;
    if (dNewMax > axis.dMaxRangeMax) dNewMax = axis.dMaxRangeMax;

    if (bLogarithm) {
        if (dNewMin < kLogFloorTest) dNewMin = PowerOfTen(-axis.nPrecision);
        if (dNewMax < kLogFloorTest) dNewMax = PowerOfTen(-axis.nPrecision);
    }
    dMin = dNewMin;
    dMax = dNewMax;
}

double CAxisRangeRule::StepPast(double dStart, double dStep, double dTarget)
{
    if (std::isnan(dTarget) || dStep == 0.0 || !std::isfinite(dStep)) return dTarget;
    const bool bUp = dStep > 0.0;
    auto reached = [&](double v) { return bUp ? v >= dTarget : v <= dTarget; };

    double v = dStart + dStep;
    for (int n = 1; !reached(v); ++n) {
        const double dNext = v + dStep;
        if (n >= kMaxWalkSteps || dNext == v) {
            v = dStart + std::ceil((dTarget - dStart) / dStep) * dStep;
            return reached(v) ? v : dTarget;
        }
        v = dNext;
    }
    return v;
}

double CAxisRangeRule::CorrectValueByPrecision(double v, int nPrecision)
{
    if (!std::isfinite(v)) return v;
    // Through the same fixed-point text the scale labels use, so a rounded
    // edge reads exactly as its label.
    return QString::number(v, 'f', std::clamp(nPrecision, 0, kMaxDecimals)).toDouble();
}

double CAxisRangeRule::PowerOfTen(int n)
{
    double dResult = 1.0;
    double dBase = 10.0;
    for (long long e = std::llabs(static_cast<long long>(n)); e != 0; e >>= 1) {
        if (e & 1) dResult *= dBase;
        dBase *= dBase;
    }
    return n < 0 ? 1.0 / dResult : dResult;
}
