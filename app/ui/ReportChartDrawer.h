#pragma once

#include "render/VelGraphLineDrawer.h"

// The line drawer of printed charts: grid, markers and series go straight
// to the target as lines instead of through a bitmap, so a PDF keeps them
// as vectors. A series is reduced to the first, lowest, highest and last
// point of each pixel column, which draws the same envelope with a few
// thousand lines however long the run.
class CReportChartDrawer : public CVelGraphLineDrawer
{
public:
    explicit CReportChartDrawer(CVelGraph* pGraph);

    void Draw(plat::CDC* pDC, plat::CRect rcPlot) override;

    // Column reduction of one series in window coordinates: for each run of
    // points in the same column, its first, lowest, highest and last point
    // in the order they came (duplicates dropped). Points without a place
    // on the axes are left out.
    std::vector<plat::CPoint> ReducedPath(plat::CRect rcPlot, const CVelGraphSeries& series) const;

protected:
    void DrawOneSeries(plat::CDC* pDC, plat::CRect rcPlot, CVelGraphSeries* pSeries, plat::CPoint ptOrigin) override;
};
