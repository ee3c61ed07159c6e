#include "render/VelGraphLineDrawer.h"

#include "graph/VelGraph.h"
#include "graph/VelGraphSeries.h"

void CVelGraphLineDrawer::DrawLegend(plat::CDC*, int, plat::CRect&)
{
    // The swatch is painted by the render layer's painters (not yet built).
}

void CVelGraphLineDrawer::DrawOneSeries(plat::CDC*, plat::CRect, CVelGraphSeries*, plat::CPoint)
{
    // Series painting belongs to the render layer's painters (not yet built).
}

int CVelGraphLineDrawer::PointInSeries(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries)
{
    // Only markers are hot, and only while the graph draws them.
    if (!m_pGraph->IsShowMarks()) return 0;
    const tagGraphPoint* pPoints = pSeries->arPoints.GetData();
    for (int i = 0; i < pSeries->GetSize(); ++i) {
        plat::CPoint ptMark;
        if (!PointPosition(rcPlot, pPoints[i].x, pPoints[i].y, ptMark)) continue;
        plat::CRect rcHot(ptMark.x, ptMark.y, ptMark.x, ptMark.y);
        rcHot.InflateRect(m_nMarkerSize, m_nMarkerSize);
        if (rcHot.PtInRect(pt)) return 1;
    }
    return 0;
}
