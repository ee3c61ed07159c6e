#include "graph/VelGraphSeries.h"

void CVelGraphSeries::GetAt(int nPoint, double& x, double& y) const
{
    const tagGraphPoint& pt = arPoints.GetAt(nPoint);
    x = pt.x;
    y = pt.y;
}

void CVelGraphSeries::SetRange(double d1, double d2, double d3)
{
    dRange1 = d1;
    dRange2 = d2;
    dRange3 = d3;
}

void CVelGraphSeries::GetRange(double& d1, double& d2, double& d3) const
{
    d1 = dRange1;
    d2 = dRange2;
    d3 = dRange3;
}
