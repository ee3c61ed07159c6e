#pragma once

#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/Size.h"

// Where the titles of a chart go: pure rectangle arithmetic of the graph's
// layout (integer divisions truncate toward zero).
class QUINDLE_EXPORT CGraphLayout {
public:
    // The main title (size s, margin m) centred across rcBound, kept inside
    // it, m below the top margin.
    static plat::CRect MainTitleRect(plat::CRect rcBound, int nMarginTop, plat::CSize s, int m);
    // The X title centred under the data area rcData in the band between
    // the plot rcPlot and the bottom of rcBeforeTitles, kept inside rcPlot's
    // sides.
    static plat::CRect XTitleRect(plat::CRect rcData, plat::CRect rcPlot, plat::CRect rcBeforeTitles, plat::CSize s);
    // The Y title (text running upward: s.cx along it, s.cy across) centred
    // on the data area's middle, m inside the left of rcBeforeTitles, kept
    // between rcPlot's top and bottom.
    static plat::CRect YTitleRect(plat::CRect rcData, plat::CRect rcPlot, plat::CRect rcBeforeTitles, plat::CSize s,
                                  int m);
};
