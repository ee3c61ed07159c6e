#pragma once

#include "platform/WinDef.h"

// A vertical marker line across a chart's plot at one X value (an event
// of the data: a mark, a stop), drawn under the series with a short label
// at the top of the plot.
struct tagGraphMarker {
    double x = 0;
    plat::COLORREF crColor = 0;
    int nPenStyle = 0;        // PS_SOLID, PS_DASH, PS_DOT...
    plat::CString strLabel;   // may be empty
};
