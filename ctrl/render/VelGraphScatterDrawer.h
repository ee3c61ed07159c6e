#pragma once

#include "render/PixelLayer.h"
#include "render/SeriesPixels.h"
#include "render/VelGraphDrawer.h"

// Scatter graph: a marker per point and three reference lines per series.
// Markers are put down as stamps, each position once: in columns when they
// are of one colour, otherwise in the order of each position's last point.
class QUINDLE_EXPORT CVelGraphScatterDrawer : public CVelGraphDrawer {
public:
    explicit CVelGraphScatterDrawer(CVelGraph* pGraph);
    ~CVelGraphScatterDrawer() override;

    void DrawLegend(plat::CDC* pDC, int nIndex, plat::CRect& rcItem) override;

protected:
    void DrawOneSeries(plat::CDC* pDC, plat::CRect rcPlot, CVelGraphSeries* pSeries, plat::CPoint ptOrigin) override;
    int PointInSeries(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries) override;
    plat::BOOL FindToolTip(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries, plat::CString& strText,
                           plat::CRect& rcTool) override;

private:
    void DrawReferenceLine(plat::CDC* pDC, plat::CRect rcPlot, double dValue, plat::COLORREF crColor);

    CSeriesPixelsCache m_Pixels;
    CPixelLayer m_Layer;
};
