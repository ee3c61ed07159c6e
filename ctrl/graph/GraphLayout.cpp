#include "graph/GraphLayout.h"

#include <algorithm>

plat::CRect CGraphLayout::MainTitleRect(plat::CRect rcBound, int nMarginTop, plat::CSize s, int m)
{
    plat::CRect rc;
    rc.left = rcBound.left + (rcBound.Width() - s.cx) / 2;
    rc.right = rc.left + s.cx;
    rc.left = std::max(rc.left, rcBound.left);
    rc.right = std::min(rc.right, rcBound.right);
    rc.top = rcBound.top + nMarginTop + m;
    rc.bottom = rc.top + s.cy;
    return rc;
}

plat::CRect CGraphLayout::XTitleRect(plat::CRect rcData, plat::CRect rcPlot, plat::CRect rcBeforeTitles, plat::CSize s)
{
    plat::CRect rc;
    rc.left = rcData.left + (rcData.Width() - s.cx) / 2;
    rc.right = rc.left + s.cx;
    rc.left = std::max(rc.left, rcPlot.left);
    rc.right = std::min(rc.right, rcPlot.right);
    rc.top = rcPlot.bottom + (rcBeforeTitles.bottom - rcPlot.bottom - s.cy) / 2;
    rc.bottom = rc.top + s.cy;
    return rc;
}

plat::CRect CGraphLayout::YTitleRect(plat::CRect rcData, plat::CRect rcPlot, plat::CRect rcBeforeTitles, plat::CSize s,
                                     int m)
{
    plat::CRect rc;
    rc.left = rcBeforeTitles.left + m;
    rc.right = rc.left + s.cy;
    const int nTop = rcData.top + (rcData.Height() + s.cx) / 2;
    rc.top = std::max(nTop, rcPlot.top);
    rc.bottom = std::min(nTop + s.cx, rcPlot.bottom);
    return rc;
}
