#pragma once

#include "graph/GraphAxis.h"
#include "graph/VelGraphSeries.h"
#include "platform/QuindleExport.h"

// How an axis range follows the data: the data range clipped and rounded,
// then widened (never narrowed) either exactly to the data or to the next
// boundary of the extend grid, clipped to the hard limits and kept positive
// on a logarithmic scale. Pure functions over an axis record; the graph's
// range operations are built on them.
class QUINDLE_EXPORT CAxisRangeRule {
public:
    // Below this an edge of a logarithmic axis is lifted to 10^-precision.
    static constexpr double kLogFloorTest = 1e-5;

    // Extent of one coordinate (x for the X axis, y otherwise) over every
    // point of every series, hidden ones included, then clipped to the axis'
    // hard limits and rounded by its value type. dMin/dMax come in holding
    // the fallback used when there is no point. Returns whether a point was
    // seen. Points whose coordinate is NaN or infinite are not data.
    static bool DataRange(const CVelGraphSeriesArray& arSeries, eGraphAxisType eType,
                          const tagGraphAxis& axis, double& dMin, double& dMax);

    // Turns a data range (in) into the axis range (out) from the axis'
    // current range; the axis itself is not changed.
    static void CorrectRange(const tagGraphAxis& axis, double& dMin, double& dMax, plat::BOOL bLogarithm);

    // The lead kept free ahead of the data; 0 unless a positive extend step
    // and a positive divisor are set.
    static double Lead(const tagGraphAxis& axis);
    // Whether the range grows on the extend grid: only with a positive step.
    static bool StepsOnGrid(const tagGraphAxis& axis);

    // The first grid value start + k*step (k >= 1) at or beyond dTarget,
    // walking up for a positive step and down for a negative one. Ends for
    // any input: a step too small to move the value gives dTarget itself.
    static double StepPast(double dStart, double dStep, double dTarget);

    // Rounds v to nPrecision decimals the way the fixed-point formatter of
    // the value texts does: an exact tie rounds away from zero (2.5 -> 3,
    // 0.125 -> 0.13). A negative precision counts as 0; NaN and infinities
    // come back unchanged.
    static double CorrectValueByPrecision(double v, int nPrecision);

    // 10^n by repeated squaring, the reciprocal for a negative n.
    static double PowerOfTen(int n);
};
