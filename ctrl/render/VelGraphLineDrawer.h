#pragma once

#include "render/MarkMask.h"
#include "render/PerSeries.h"
#include "render/PixelLayer.h"
#include "render/SeriesPixels.h"
#include "render/VelGraphDrawer.h"

// Line graph: the points of a series joined by lines, optionally marked.
//
// A series is reduced to the pixels it can cover (CSeriesPixels) and drawn
// into a layer painted in one go, so a day-long run repaints as fast as a
// short one. Lines and markers of a series share one colour, so the order
// in which their pixels are set does not change the picture.
class QUINDLE_EXPORT CVelGraphLineDrawer : public CVelGraphDrawer {
public:
    explicit CVelGraphLineDrawer(CVelGraph* pGraph);
    ~CVelGraphLineDrawer() override;

    void DrawLegend(plat::CDC* pDC, int nIndex, plat::CRect& rcItem) override;

protected:
    void DrawOneSeries(plat::CDC* pDC, plat::CRect rcPlot, CVelGraphSeries* pSeries, plat::CPoint ptOrigin) override;
    bool ComposesSeries(const CVelGraphSeries* pSeries) override;
    int PointInSeries(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries) override;
    plat::BOOL FindToolTip(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries, plat::CString& strText,
                           plat::CRect& rcTool) override;

private:
    static plat::LOGPEN SeriesPen(const CVelGraphSeries* pSeries);
    // The index of the first point whose marker hot spot holds pt; -1 when none.
    int FindMarker(plat::CRect rcPlot, plat::CPoint pt, const CVelGraphSeries* pSeries) const;
    void DrawWideLines(plat::CDC* pDC, const plat::LOGPEN& pen, const CSeriesPixels& px);
    void DrawMarks(const CSeriesPixels& px, const CMarkerStamp& stamp, const CVelGraphSeries* pSeries,
                   plat::CRect rcPlot);

    CSeriesPixelsCache m_Pixels;
    CPerSeries<CMarkMask> m_Marks;
    CPixelLayer m_Layer;
};
