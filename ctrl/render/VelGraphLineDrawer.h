#pragma once

#include "render/VelGraphDrawer.h"

// Line graph: the points of a series joined by lines, optionally marked.
class QUINDLE_EXPORT CVelGraphLineDrawer : public CVelGraphDrawer {
public:
    explicit CVelGraphLineDrawer(CVelGraph* pGraph) : CVelGraphDrawer(pGraph) {}

    void DrawLegend(plat::CDC* pDC, int nIndex, plat::CRect& rcItem) override;

protected:
    void DrawOneSeries(plat::CDC* pDC, plat::CRect rcPlot, CVelGraphSeries* pSeries, plat::CPoint ptOrigin) override;
    int PointInSeries(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries) override;
};
