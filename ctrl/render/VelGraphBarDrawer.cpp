#include "render/VelGraphBarDrawer.h"

#include "graph/VelGraphSeries.h"

void CVelGraphBarDrawer::DrawLegend(plat::CDC*, int, plat::CRect&)
{
    // A bar graph's legend shows labels only.
}

void CVelGraphBarDrawer::DrawOneSeries(plat::CDC*, plat::CRect, CVelGraphSeries*, plat::CPoint)
{
    // Series painting belongs to the render layer's painters (not yet built).
}

int CVelGraphBarDrawer::PointInSeries(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries)
{
    // The whole category cell of a bar is hot, not just the narrowed bar.
    const tagGraphPoint* pPoints = pSeries->arPoints.GetData();
    int bValid = 0;
    for (int i = 0; i < pSeries->GetSize(); ++i) {
        const double x = pPoints[i].x;
        const plat::CRect rcCell(rcPlot.left + GetAxisPosition(x - 1, m_pXAxis, bValid),
                                 rcPlot.bottom - GetAxisPosition(pPoints[i].y, m_pYAxis, bValid),
                                 rcPlot.left + GetAxisPosition(x, m_pXAxis, bValid), rcPlot.bottom);
        if (rcCell.PtInRect(pt)) return 1;
    }
    return 0;
}
