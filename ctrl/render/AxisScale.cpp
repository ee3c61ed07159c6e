#include "render/AxisScale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {
// Keeps a far-off position clear of int overflow when offsets are added.
constexpr double kMaxOffset = 1e9;
constexpr double kWholeTolerance = 1e-7;
constexpr int kDefaultWideSpacing = 30;
constexpr int kDefaultNarrowSpacing = 20;
// Beyond this many steps GetFirstScaleOffset reduces with fmod instead of
// stepping down one step at a time.
constexpr double kMaxSubtractions = 10000.0;

int ClampTicks(double d)
{
    if (!(d > -1.0)) return d < 0 ? -1 : 0;  // negatives and NaN
    return static_cast<int>(std::min(d, static_cast<double>(CAxisScale::kMaxTicks)));
}
}  // namespace

int CAxisScale::CalculatePixelStep(tagGraphAxis& axis, int nLength)
{
    return axis.bLogarithm ? CalculateLogarithmic(axis, nLength) : CalculateLinear(axis, nLength);
}

int CAxisScale::CalculateLinear(tagGraphAxis& axis, int nLength)
{
    const int nWide = axis.nWideSpacing > 0 ? axis.nWideSpacing : kDefaultWideSpacing;
    const int nNarrow = axis.nNarrowSpacing > 0 ? axis.nNarrowSpacing : kDefaultNarrowSpacing;
    int k = (2 * nLength) / (nWide + nNarrow);
    if (k < 4) k = nLength / nNarrow;
    else if (k > 60) k = nLength / nWide;
    if (k < 1) k = 1;

    // An empty or reversed range is scaled as one unit from its minimum.
    double dSpan = axis.dMax - axis.dMin;
    if (!(dSpan > 0.0) || !std::isfinite(dSpan)) dSpan = 1.0;

    double dRaw = dSpan / k;
    double dStep = 0.0;
    if (axis.eValueType != AXIS_VALUE_INTEGER && axis.eValueType != AXIS_VALUE_TIME) {
        // Scaled up so the smallest step is one unit of the last decimal shown.
        double f = 1.0;
        int nScaled = 0;
        while (dRaw < 1.0 && nScaled < axis.nPrecision) {
            f *= 10.0;
            dRaw *= 10.0;
            ++nScaled;
        }
        if (dRaw < 1.0) dRaw = 1.0;
        dStep = CorrectStepValue(dRaw, axis);
        if (nScaled > 0) dStep /= f;
    } else {
        if (dRaw < 1.0) dRaw = 1.0;
        dStep = CorrectStepValue(dRaw, axis);
    }

    axis.dStep = dStep;
    axis.nTickCount = ClampTicks(std::trunc(dSpan / dStep));
    axis.dPixelStep = nLength * dStep / dSpan;
    if (axis.eValueType == AXIS_VALUE_TIME && dStep >= 10.0) axis.nStepsPerLabel = 6;
    if (axis.nTickCount < axis.nStepsPerLabel) axis.nStepsPerLabel = 1;
    else if (axis.nTickCount < 2 * axis.nStepsPerLabel) axis.nStepsPerLabel = 2;
    return axis.nTickCount;
}

int CAxisScale::CalculateLogarithmic(tagGraphAxis& axis, int nLength)
{
    double a = std::log10(axis.dMin);
    double b = std::log10(axis.dMax);
    if (!std::isfinite(a)) {
        // No positive minimum: nothing has a place on this axis.
        axis.dStep = 1.0;
        axis.nTickCount = 0;
        axis.dPixelStep = 0.0;
        axis.nStepsPerLabel = 1;
        return 0;
    }
    if (!(b >= a) || !std::isfinite(b)) b = a;  // a reversed range spans the decade of its minimum
    if (b - a < 1.0) {
        a = std::trunc(a);
        b = std::trunc(b) + 0.5;
    }
    const int n = std::max(1, ClampTicks(std::trunc((b - a) * 10.0 + 0.5)));
    axis.nTickCount = n;
    axis.dStep = std::pow(10.0, std::trunc(a - 0.0001));
    axis.dPixelStep = nLength * 10.0 / n;
    axis.nStepsPerLabel = n >= 10 ? 10 : 1;
    return n;
}

int CAxisScale::CalculateCategoryStep(tagGraphAxis& axis, int nLength)
{
    axis.nStepsPerLabel = 1;
    axis.dStep = 1.0;
    axis.nTickCount = ClampTicks(std::trunc(axis.dMax - axis.dMin + 0.5));
    // Under half a unit there is no category (and nothing to divide by).
    axis.dPixelStep = axis.nTickCount > 0 ? static_cast<double>(nLength) / axis.nTickCount : 0.0;
    return axis.nTickCount;
}

double CAxisScale::CorrectStepValue(double dStep, tagGraphAxis& axis)
{
    if (dStep > 7.0 && dStep < 10.0) {
        axis.nStepsPerLabel = 5;
        return 10.0;
    }
    const double dLog = std::log10(dStep);
    const double e = std::trunc(dLog);
    double m = std::trunc(std::pow(10.0, dLog - e) + 0.5);
    int nSteps = 5;
    if (m == 3.0) {
        m = 2.0;
    } else if (m == 4.0 || m == 6.0 || m == 7.0) {
        m = 5.0;
        nSteps = 4;
    } else if (m == 8.0 || m == 9.0) {
        m = 10.0;
    }
    axis.nStepsPerLabel = nSteps;
    return m * std::pow(10.0, e);
}

double CAxisScale::GetFirstScaleOffset(double dMin, double dStep)
{
    if (!(dStep > 0.0) || !std::isfinite(dMin)) return 0.0;
    const double dAbs = std::fabs(dMin);
    const double q = dAbs / dStep;
    if (q - std::trunc(q + kWholeTolerance) < kWholeTolerance) return 0.0;
    if (dAbs < kWholeTolerance) return dMin;
    double r = dAbs;
    if (q > kMaxSubtractions) {
        r = std::fmod(dAbs, dStep);
        if (r == 0.0) r = dStep;
    } else {
        while (r > dStep) r -= dStep;
    }
    return dMin > 0 ? dStep - r : r;
}

int CAxisScale::IsMultiple(double dValue, double dUnit)
{
    const double q = std::fabs(dValue) / dUnit;
    return q - std::trunc(q + kWholeTolerance) < kWholeTolerance ? 1 : 0;
}

int CAxisScale::GetPrecision(double dValue)
{
    if (!std::isfinite(dValue)) return 0;
    if (std::fabs(dValue - std::trunc(dValue)) <= kWholeTolerance) return 0;
    std::int64_t m = 1;
    int n = 0;
    // Steps that are not decimal fractions (1/3) would never come out whole.
    while (n < kMaxPrecision) {
        m *= 10;
        ++n;
        const double d = static_cast<double>(m) * dValue;
        if (std::fabs(d - std::trunc(d)) <= kWholeTolerance) break;
    }
    return n;
}

std::vector<tagAxisTick> CAxisScale::Ticks(const tagGraphAxis& axis)
{
    std::vector<tagAxisTick> ticks;
    const double dFirst = GetFirstScaleOffset(axis.dMin, axis.dStep);
    double dLabelStep = axis.dStep * axis.nStepsPerLabel;
    double dStep = axis.dStep;
    double v = axis.dMin;
    const int nLast = std::min(axis.nTickCount, kMaxTicks);
    for (int i = 0; i <= nLast; ++i) {
        v += i == 0 ? dFirst : dStep;
        if (v - axis.dMax > 1e-6) break;
        int bValid = 0;
        const int nOffset = Position(v, axis, bValid);
        if (!bValid) continue;
        const bool bMajor = IsMultiple(v, dLabelStep);
        if (bMajor && axis.bLogarithm) {
            dStep *= 10.0;  // the next decade
            dLabelStep *= 10.0;
        }
        ticks.push_back({v, nOffset, bMajor});
    }
    return ticks;
}

std::vector<tagAxisTick> CAxisScale::CategoryBoundaries(const tagGraphAxis& axis)
{
    std::vector<tagAxisTick> ticks;
    if (axis.nTickCount <= 0) return ticks;
    const double dFirst = GetFirstScaleOffset(axis.dMin, axis.dStep);
    double v = axis.dMin;
    const int nLast = std::min(axis.nTickCount, kMaxTicks);
    for (int i = 0; i <= nLast; ++i) {
        v += i == 0 ? dFirst : axis.dStep;
        if (v - axis.dMax > 1e-6) break;
        int bValid = 0;
        const int nOffset = Position(v, axis, bValid);
        if (!bValid) continue;
        // Every boundary after the first closes the category left of it.
        ticks.push_back({v, nOffset, i > 0});
    }
    return ticks;
}

int CAxisScale::Position(double dValue, const tagGraphAxis& axis, int& bValid)
{
    bValid = 1;
    double dOffset = 0.0;
    if (axis.bLogarithm) {
        if (!(dValue >= kLogLowest)) {
            bValid = 0;
            return -1;
        }
        const double dLogMin = std::log10(axis.dMin);
        if (!std::isfinite(dLogMin)) {
            bValid = 0;  // no positive minimum: nothing has a place
            return -1;
        }
        dOffset = (std::log10(dValue) - dLogMin) * axis.dPixelStep + 0.5;
    } else {
        const double t = (dValue - axis.dMin) / axis.dStep * axis.dPixelStep;
        dOffset = dValue < axis.dMin ? t - 0.5 : t + 0.5;
    }
    // Without a computed scale (or for NaN) there is no position.
    if (std::isnan(dOffset)) {
        bValid = 0;
        return -1;
    }
    return static_cast<int>(std::trunc(std::clamp(dOffset, -kMaxOffset, kMaxOffset)));
}

double CAxisScale::Value(int nOffset, const tagGraphAxis& axis)
{
    if (axis.dPixelStep == 0.0) return axis.dMin;
    if (axis.bLogarithm) return std::pow(10.0, std::log10(axis.dMin) + nOffset / axis.dPixelStep);
    return axis.dStep / axis.dPixelStep * nOffset + axis.dMin;
}
