#pragma once

#include "render/VelGraphDrawer.h"

// Bar graph: one bar per point in whole-number categories along the X axis;
// the category between x - 1 and x carries the bar of a point at x.
class QUINDLE_EXPORT CVelGraphBarDrawer : public CVelGraphDrawer {
public:
    explicit CVelGraphBarDrawer(CVelGraph* pGraph) : CVelGraphDrawer(pGraph) {}

    void DrawLegend(plat::CDC* pDC, int nIndex, plat::CRect& rcItem) override;

    // The bar inside a category cell: a third of the cell, or half of it
    // when a third is under 20 pixels; centred, as tall as the cell.
    static plat::CRect GetDrawBarRect(plat::CRect rcCell);

protected:
    void DrawOneSeries(plat::CDC* pDC, plat::CRect rcPlot, CVelGraphSeries* pSeries, plat::CPoint ptOrigin) override;
    int PointInSeries(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries) override;
    plat::BOOL FindToolTip(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries, plat::CString& strText,
                           plat::CRect& rcTool) override;
    void DrawXAxis(plat::CDC* pDC, plat::CRect rcPlot, int bBuffered) override;
    int CalculatePixelStep(tagGraphAxis* pAxis, int nLength) override;

    // Filled in crColor, outlined left, top and right in black (2 pixels
    // wide when active); the bottom edge is not outlined.
    void DrawOneBar(plat::CDC* pDC, plat::CRect rcBar, plat::COLORREF crColor, int bActivate);

private:
    // The category cell of a point (full width), false when a coordinate
    // has no position or there are no categories.
    bool CellOf(plat::CRect rcPlot, double x, double y, plat::CRect& rcCell) const;
};
