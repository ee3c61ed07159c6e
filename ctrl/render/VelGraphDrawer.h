#pragma once

#include "graph/GraphAxis.h"
#include "platform/LogFont.h"
#include "platform/Point.h"
#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/Size.h"
#include "platform/WinDef.h"

class QWidget;
class CVelGraph;
class CVelGraphSeries;
namespace plat {
class CDC;
class CToolTipCtrl;
}  // namespace plat

// The painter of a graph's plot area (axes, ticks, grid, series) and the
// mapping between axis values and pixel offsets. A graph owns exactly one;
// programs may install their own subclass through CVelGraph::SetDrawer.
class QUINDLE_EXPORT CVelGraphDrawer {
public:
    // pGraph is the owning graph (not owned here).
    explicit CVelGraphDrawer(CVelGraph* pGraph);
    virtual ~CVelGraphDrawer();
    CVelGraphDrawer(const CVelGraphDrawer&) = delete;
    CVelGraphDrawer& operator=(const CVelGraphDrawer&) = delete;

    virtual void Draw(plat::CDC* pDC, plat::CRect rcPlot);
    // Size of a legend swatch.
    virtual plat::CSize GetLegendSize();
    // Paints the swatch of series nIndex at the front of rcItem and may
    // move rcItem.left past it.
    virtual void DrawLegend(plat::CDC* pDC, int nIndex, plat::CRect& rcItem) = 0;

    // The graph's two axis records (not owned).
    void SetAxis(tagGraphAxis* pXAxis, tagGraphAxis* pYAxis);
    // Tooltip control and the window owning its tools (neither owned); with
    // a null control no tooltips are registered.
    void SetToolTip(plat::CToolTipCtrl* pToolTip, QWidget* pWnd);

    // Pixel offset of a value from the axis origin (X: right of the plot's
    // left edge, Y: up from its bottom edge). bValid is 0 for a value with
    // no place on a logarithmic axis. Uses the scale of the last paint.
    int GetAxisPosition(double dValue, const tagGraphAxis* pAxis, int& bValid) const;
    double GetAxisValue(int nOffset, const tagGraphAxis* pAxis) const;
    // Text of a value: exponent form for log scale labels and values beyond
    // a million, whole numbers, h:mm:ss for time, else nPrecision decimals
    // (trailing zeros cut when bTrim).
    static plat::CString GetValueString(double dValue, int nPrecision, eAxisValueType eType, int bLogarithm,
                                        int bTrim);

    // The bShow of series nIndex, 0 when there is none.
    int LegendCanShow(int nIndex) const;
    // Index of the first shown series under pt, -1 when none.
    int FindSeriesByPoint(plat::CRect rcPlot, plat::CPoint pt);

    tagGraphAxis* GetXAxis() const { return m_pXAxis; }
    tagGraphAxis* GetYAxis() const { return m_pYAxis; }
    CVelGraph* GetGraph() const { return m_pGraph; }

protected:
    virtual void DrawOneSeries(plat::CDC* pDC, plat::CRect rcPlot, CVelGraphSeries* pSeries,
                               plat::CPoint ptOrigin) = 0;
    // Non-zero when pt (window coordinates) touches the series drawn in rcPlot.
    virtual int PointInSeries(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries) = 0;

    // Window position of a point in rcPlot; false when it has none.
    bool PointPosition(plat::CRect rcPlot, double x, double y, plat::CPoint& pt) const;

    CVelGraph* m_pGraph;
    tagGraphAxis* m_pXAxis = nullptr;
    tagGraphAxis* m_pYAxis = nullptr;
    plat::LOGFONT m_lfFont;  // scale labels
    int m_nMarkerSize = 3;   // half size of a marker and of a tooltip hot spot
    plat::CToolTipCtrl* m_pToolTip = nullptr;
    QWidget* m_pToolWnd = nullptr;
};
