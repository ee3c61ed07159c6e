#pragma once

#include "platform/Rect.h"
#include "platform/WinDef.h"

#include <limits>

// The chart's enumerations. Their numeric values are part of the library's
// interface (programs and the property file use them), so they stay plain
// enums: an operation given any other value falls back as documented. The
// fixed int type makes every 32-bit value a valid one to hold and compare.

// 0 is the X axis; every operation treats any other value as the Y axis.
enum eGraphAxisType : int {
    GRAPH_AXIS_X = 0,
    GRAPH_AXIS_Y = 1,
};

// Any value other than bar and scatter gets a line drawer.
enum eGraphStyle : int {
    GRAPH_LINE = 0,
    GRAPH_BAR = 1,
    GRAPH_SCATTER = 2,
};

enum eAxisValueType : int {
    AXIS_VALUE_INTEGER = 0,  // whole numbers
    AXIS_VALUE_DECIMAL = 1,  // decimals with the axis precision
    AXIS_VALUE_TIME = 2,     // seconds, shown as h:mm:ss
};

// Marker shape drawn at a series point.
enum eCurvePointStyle : int {
    POINT_NONE = 0,
    POINT_CIRCLE = 1,
    POINT_CROSS = 2,  // the two diagonals of the marker square
    POINT_TRIANGLE_UP = 3,
    POINT_TRIANGLE_DOWN = 4,
    POINT_SQUARE = 5,
    POINT_DIAMOND = 6,
};

// One axis of a chart: current and base range, how the range follows the
// data, grids, value type and the scale data the drawer writes.
struct tagGraphAxis {
    int bDirty = 1;           // label band and range must be laid out again
    int bRecalculate = 1;     // the range follows the data
    double dInitMax = 100.0;  // anchor of the extend grid
    double dInitMin = 0.0;
    int bExtend = 0;          // grow in steps of dExtendValue
    double dExtendValue = 0.0;
    int bAheadExtend = 1;     // keep a lead of dExtendValue / nAheadPart free
    int nAheadPart = 4;
    int bMajorGrid = 1;
    int bMinorGrid = 1;
    eAxisValueType eValueType = AXIS_VALUE_DECIMAL;
    int bLogarithm = 0;
    int bEnableLogarithm = 1;  // the property sheet may switch the log scale on
    double dMaxRangeMin = std::numeric_limits<double>::lowest();  // hard limits
    double dMaxRangeMax = std::numeric_limits<double>::max();
    int nPrecision = 2;  // decimals
    double dMax = 100.0;
    double dMin = 0.0;
    plat::CRect rcArea;  // band of the axis labels
    // Scale, written by the drawer at every paint.
    int nTickCount = 0;
    double dStep = 0.0;
    double dPixelStep = 0.0;
    int nStepsPerLabel = 5;
    int nWideSpacing = 30;    // tick spacing in pixels
    int nNarrowSpacing = 20;
};
