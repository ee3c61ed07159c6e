#pragma once

#include "render/VelGraphDrawer.h"

// Bar graph: one bar per point in whole-number categories along the X axis.
class QUINDLE_EXPORT CVelGraphBarDrawer : public CVelGraphDrawer {
public:
    explicit CVelGraphBarDrawer(CVelGraph* pGraph) : CVelGraphDrawer(pGraph) {}

    void DrawLegend(plat::CDC* pDC, int nIndex, plat::CRect& rcItem) override;

protected:
    void DrawOneSeries(plat::CDC* pDC, plat::CRect rcPlot, CVelGraphSeries* pSeries, plat::CPoint ptOrigin) override;
    int PointInSeries(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries) override;
};
