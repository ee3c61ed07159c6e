#pragma once

#include "render/VelGraphDrawer.h"

// Scatter graph: a marker per point and three reference lines per series.
class QUINDLE_EXPORT CVelGraphScatterDrawer : public CVelGraphDrawer {
public:
    explicit CVelGraphScatterDrawer(CVelGraph* pGraph) : CVelGraphDrawer(pGraph) {}

    void DrawLegend(plat::CDC* pDC, int nIndex, plat::CRect& rcItem) override;

protected:
    void DrawOneSeries(plat::CDC* pDC, plat::CRect rcPlot, CVelGraphSeries* pSeries, plat::CPoint ptOrigin) override;
    int PointInSeries(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries) override;
};
