#include "render/VelGraphScatterDrawer.h"

void CVelGraphScatterDrawer::DrawLegend(plat::CDC*, int, plat::CRect&)
{
    // The marker swatch is painted by the render layer's painters (not yet built).
}

void CVelGraphScatterDrawer::DrawOneSeries(plat::CDC*, plat::CRect, CVelGraphSeries*, plat::CPoint)
{
    // Series painting belongs to the render layer's painters (not yet built).
}

int CVelGraphScatterDrawer::PointInSeries(plat::CRect, plat::CPoint, CVelGraphSeries*)
{
    // Scatter points are never picked by the mouse.
    return 0;
}
