#pragma once

#include "graph/GraphAxis.h"
#include "platform/QuindleExport.h"

#include <vector>

// One tick of an axis walk: its value, its pixel offset from the axis
// origin and whether it carries a label.
struct tagAxisTick {
    double dValue = 0.0;
    int nOffset = 0;
    bool bMajor = false;
};

// The scale of an axis: rounded tick steps for a pixel length, the tick walk
// and the tests on values it uses. Pure functions over an axis record; the
// drawers paint with them and write the scale fields they compute.
//
// Ranges the range logic should never hand over (max <= min, a logarithmic
// range reaching zero, NaN, infinite or non-positive spacings) still give a
// finite scale with at least one tick step, so painting stays bounded.
class QUINDLE_EXPORT CAxisScale {
public:
    // Writes dStep, nTickCount, dPixelStep and nStepsPerLabel for an axis
    // nLength pixels long and returns nTickCount.
    static int CalculatePixelStep(tagGraphAxis& axis, int nLength);
    // The category scale of a bar graph's X axis: one step per whole unit.
    static int CalculateCategoryStep(tagGraphAxis& axis, int nLength);

    // Rounds a raw step (>= 1) to 1, 2, 5 or 10 times a power of ten and
    // sets the axis' steps per label to match.
    static double CorrectStepValue(double dStep, tagGraphAxis& axis);
    // Distance from dMin up to the first multiple of dStep at or above it.
    static double GetFirstScaleOffset(double dMin, double dStep);
    // Whether dValue is a whole multiple of dUnit, within 1e-7 of a step.
    static int IsMultiple(double dValue, double dUnit);
    // Decimals needed to show dValue exactly (at most kMaxPrecision).
    static int GetPrecision(double dValue);

    // The tick walk over a computed scale: ticks from the first grid value
    // at or above dMin to dMax; on a logarithmic axis the step grows tenfold
    // at every labelled tick. Ticks without a position are left out.
    static std::vector<tagAxisTick> Ticks(const tagGraphAxis& axis);
    // The boundaries of a bar graph's categories (no labels of their own).
    static std::vector<tagAxisTick> CategoryBoundaries(const tagGraphAxis& axis);

    // Offset of a value on a computed scale; bValid 0 when it has no place.
    static int Position(double dValue, const tagGraphAxis& axis, int& bValid);
    static double Value(int nOffset, const tagGraphAxis& axis);

    static constexpr int kMaxPrecision = 15;
    // Values below this have no place on a logarithmic axis.
    static constexpr double kLogLowest = 1e-7;
    // The walk never exceeds this many ticks, whatever the record says.
    static constexpr int kMaxTicks = 100000;

private:
    static int CalculateLinear(tagGraphAxis& axis, int nLength);
    static int CalculateLogarithmic(tagGraphAxis& axis, int nLength);
};
