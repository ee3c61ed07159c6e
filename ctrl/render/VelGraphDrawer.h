#pragma once

#include "graph/GraphAxis.h"
#include "platform/LogFont.h"
#include "platform/Point.h"
#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/Size.h"
#include "platform/Bitmap.h"
#include "platform/Font.h"
#include "platform/GdiObject.h"
#include "platform/WinDef.h"
#include "render/FontCache.h"
#include "render/MarkerStamp.h"
#include "render/PlotComposer.h"

#include <memory>
#include <vector>

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
//
// Point tooltips are not registered per point on every paint: the host
// window asks GetToolTip for the point under the mouse, which hit-tests the
// data on the scale and in the plot rectangle of the last paint.
class QUINDLE_EXPORT CVelGraphDrawer {
public:
    // pGraph is the owning graph (not owned here).
    explicit CVelGraphDrawer(CVelGraph* pGraph);
    virtual ~CVelGraphDrawer();
    CVelGraphDrawer(const CVelGraphDrawer&) = delete;
    CVelGraphDrawer& operator=(const CVelGraphDrawer&) = delete;

    // Paints ticks and labels around rcPlot and grid and series inside it
    // (through an off-screen bitmap); nothing for a plot under 5 pixels.
    virtual void Draw(plat::CDC* pDC, plat::CRect rcPlot);
    // Size of a legend swatch.
    virtual plat::CSize GetLegendSize();
    // Paints the swatch of series nIndex at the front of rcItem and may
    // move rcItem.left past it.
    virtual void DrawLegend(plat::CDC* pDC, int nIndex, plat::CRect& rcItem) = 0;

    // The graph's two axis records (not owned).
    void SetAxis(tagGraphAxis* pXAxis, tagGraphAxis* pYAxis);
    // Tooltip control and the window owning it (neither owned); with a null
    // control there are no point tooltips.
    void SetToolTip(plat::CToolTipCtrl* pToolTip, QWidget* pWnd);
    plat::CToolTipCtrl* GetToolTipCtrl() const { return m_pToolTip; }

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
    // Size one scale label takes: "1000" in the scale font.
    plat::CSize GetScaleTextSize(plat::CDC* pDC, tagGraphAxis* pAxis);
    // A point marker of the given shape filled with crColor around pt; the
    // outline is the DC's current pen. Unknown shapes draw nothing.
    void DrawPointStyle(plat::CDC* pDC, eCurvePointStyle eMarker, plat::COLORREF crColor, plat::CPoint pt);

    // The bShow of series nIndex, 0 when there is none.
    int LegendCanShow(int nIndex) const;
    // Index of the first shown series under pt, -1 when none.
    int FindSeriesByPoint(plat::CRect rcPlot, plat::CPoint pt);

    // The tooltip of the point under pt (window coordinates) as the last
    // paint showed it: its text and hot rectangle. FALSE when there is none,
    // no tooltip control is attached or the graph shows no tips.
    plat::BOOL GetToolTip(plat::CPoint pt, plat::CString& strText, plat::CRect& rcTool);

    tagGraphAxis* GetXAxis() const { return m_pXAxis; }
    tagGraphAxis* GetYAxis() const { return m_pYAxis; }
    CVelGraph* GetGraph() const { return m_pGraph; }
    int GetMarkerSize() const { return m_nMarkerSize; }
    const plat::LOGFONT& GetFont() const { return m_lfFont; }
    // The plot rectangle of the last paint in window coordinates (empty
    // before the first one).
    plat::CRect GetLastPlotRect() const { return m_rcLastPlot; }

protected:
    virtual void DrawXAxis(plat::CDC* pDC, plat::CRect rcPlot, int bBuffered);
    virtual void DrawYAxis(plat::CDC* pDC, plat::CRect rcPlot, int bBuffered);
    // The graph's marker lines across rcPlot, before the series.
    virtual void DrawMarkers(plat::CDC* pDC, plat::CRect rcPlot);
    virtual void DrawOneSeries(plat::CDC* pDC, plat::CRect rcPlot, CVelGraphSeries* pSeries,
                               plat::CPoint ptOrigin) = 0;
    // Non-zero when pt (window coordinates) touches the series drawn in rcPlot.
    virtual int PointInSeries(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries) = 0;
    // Computes the axis scale for an axis nLength pixels long; returns the
    // tick count.
    virtual int CalculatePixelStep(tagGraphAxis* pAxis, int nLength);
    // The tooltip of one series at pt, with the last paint's plot rectangle
    // in window coordinates; FALSE when the series shows none there.
    virtual plat::BOOL FindToolTip(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries,
                                   plat::CString& strText, plat::CRect& rcTool);

    double CorrectStepValue(double dStep, tagGraphAxis* pAxis);
    static double GetFirstScaleOffset(double dMin, double dStep);
    static int IsMultiple(double dValue, double dUnit);
    static int GetPrecision(double dValue);
    // One scale label anchored at pt: centred below it (bHorizontal) and
    // kept inside the graph's right edge, or ending at it and centred on it.
    void DrawScaleText(plat::CDC* pDC, plat::CPoint pt, const plat::CString& strText, int bHorizontal);

    // Whether the series' pixels all go through the layer a composer gets
    // (CPixelLayer::Begin with Composing()), so the plot can be kept between
    // paints and only its changes written. A drawer that draws anything
    // else over the plot, or draws its grid or markers its own way, says no.
    virtual bool ComposesSeries(const CVelGraphSeries* pSeries);
    // The composer a series is drawn for while the plot is composed,
    // otherwise null.
    CPlotComposer* Composing() const { return m_pComposing; }

    // Window position of a point in rcPlot; false when it has none.
    bool PointPosition(plat::CRect rcPlot, double x, double y, plat::CPoint& pt) const;
    // Whether point tooltips are wanted: a control is attached and the
    // graph shows tips.
    bool WantsToolTips() const;
    // The tooltip text of a point: "%s (%s, %s)" with the series' tip name.
    plat::CString PointTipText(const CVelGraphSeries* pSeries, double x, double y, int nXPrecision,
                               int nYPrecision) const;

    // The pixels of a marker drawn with pen as DrawPointStyle draws it; kept
    // while the same marker keeps being asked for.
    const CMarkerStamp& MarkerStamp(eCurvePointStyle eMarker, plat::COLORREF crFill, const plat::LOGPEN& pen);

    CVelGraph* m_pGraph;
    tagGraphAxis* m_pXAxis = nullptr;
    tagGraphAxis* m_pYAxis = nullptr;
    plat::LOGFONT m_lfFont;  // scale labels
    int m_nMarkerSize = 3;   // half size of a marker and of a tooltip hot spot
    plat::CToolTipCtrl* m_pToolTip = nullptr;
    QWidget* m_pToolWnd = nullptr;
    plat::CRect m_rcLastPlot;  // window coordinates

private:
    // The scale font, rebuilt only when m_lfFont changes.
    plat::CFont* ScaleFont();
    void DrawTick(plat::CDC* pDC, plat::CPoint a, plat::CPoint b, int bBuffered) const;
    void DrawGridLine(plat::CDC* pDC, plat::CRect rcPlot, plat::CPoint a, plat::CPoint b, int bBuffered) const;
    // The pixels a solid one-pixel axis-parallel line from a to b paints
    // (b excluded), filled directly: the same pixels, far fewer calls.
    static void FillLine(plat::CDC* pDC, plat::CPoint a, plat::CPoint b, plat::COLORREF cr);
    // The plot bitmap's background, grid and markers.
    void DrawBase(plat::CDC* pDC, plat::CRect rcBitmap);
    void DrawAllSeries(plat::CDC* pDC, plat::CRect rcBitmap, plat::CPoint ptOrigin);
    bool ComposesPlot();
    CPlotComposer::tagBaseKey BaseKey(plat::CRect rcBitmap) const;

    CFontCache m_Font;
    std::unique_ptr<plat::CBitmap> m_pPlotBitmap;  // reused while the plot keeps its size
    CPlotComposer m_Composer;
    CPlotComposer* m_pComposing = nullptr;
    struct tagStampKey {
        int nMarker;
        int nMarkerSize;
        plat::COLORREF crFill;
        plat::LOGPEN pen;
        bool operator==(const tagStampKey& o) const
        {
            return nMarker == o.nMarker && nMarkerSize == o.nMarkerSize && crFill == o.crFill
                   && pen.lopnStyle == o.pen.lopnStyle && pen.lopnWidth == o.pen.lopnWidth
                   && pen.lopnColor == o.pen.lopnColor;
        }
    };
    std::vector<std::pair<tagStampKey, CMarkerStamp>> m_arStamps;
};
