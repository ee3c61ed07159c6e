#pragma once

#include "graph/GraphAxis.h"
#include "graph/VelGraphSeries.h"
#include "graph/VelGraphTitle.h"
#include "platform/Point.h"
#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/WinDef.h"
#include "render/VelGraphDrawer.h"
#include "render/VelGraphLegend.h"

#include <QObject>
#include <memory>

class QWidget;
namespace plat {
class CArchive;
class CDC;
class CToolTipCtrl;
}  // namespace plat

// The model of one chart: two axis records, the series, three titles, the
// legend and the drawer matching the chart type. It is not a widget: the
// host window hands it rectangles, device contexts and mouse events.
//
// Series activation is reported through the seriesActivated signal rather
// than a message to the host's parent, so the model runs and is tested
// without any window; the host window relays the signal to its own users.
// Everything runs on the thread that owns the host window.
class QUINDLE_EXPORT CVelGraph : public QObject {
    Q_OBJECT

public:
    // pWnd: the host window (not owned, may be null); it is repainted after
    // mouse actions that change what is shown.
    CVelGraph(QWidget* pWnd, eGraphStyle eStyle);
    ~CVelGraph() override;
    CVelGraph(const CVelGraph&) = delete;
    CVelGraph& operator=(const CVelGraph&) = delete;

    // Paints titles, legend, frame, axes, grid and series in the layout of
    // the last AdjustLayout; rc is not used.
    virtual void OnDraw(plat::CDC* pDC, plat::CRect rc);
    // Divides rc among margins, titles, legend, label bands and the data
    // area; pDC measures the texts. An empty rc changes nothing.
    void AdjustLayout(plat::CRect rc, plat::CDC* pDC);
    // Runs the property sheet; TRUE when the user confirmed it.
    virtual plat::BOOL OnProperty();
    // Series activation: the shown series under pt becomes the one active.
    virtual void OnMouseMove(plat::UINT nFlags, plat::CPoint pt);
    // TRUE when the click went to the legend.
    virtual plat::BOOL OnLButtonDown(plat::UINT nFlags, plat::CPoint pt);
    // TRUE when the double click was on the legend (which then ran its
    // dialog); FALSE leaves it to the host (the property sheet).
    virtual plat::BOOL OnLButtonDblClk(plat::UINT nFlags, plat::CPoint pt);

    // Drawer. The graph owns its drawer; SetDrawer replaces it with a new
    // object (null is ignored) without changing the chart type.
    void SetDrawer(std::unique_ptr<CVelGraphDrawer> pDrawer);
    CVelGraphDrawer* GetDrawer() const { return m_pDrawer.get(); }
    // A new drawer for a different type; the same type keeps the drawer.
    void SetGraphType(eGraphStyle eStyle);
    eGraphStyle GetGraphType() const { return m_eStyle; }
    void SetToolTip(plat::CToolTipCtrl* pToolTip);
    // The host window (not owned); dialogs of the chart open over it.
    QWidget* GetWnd() const { return m_pWnd; }

    // Series. A bad index throws plat::CInvalidArgException where noted.
    // pX/pY hold nCount values each (may be null only when nCount is 0).
    int AddSeries(plat::UINT nCount, const double* pX, const double* pY);
    // Refills an existing series; beyond the count nothing happens, except
    // that index 0 on an empty graph adds the series. Throws for nIndex < 0.
    void SetSeriesAt(int nIndex, plat::UINT nCount, const double* pX, const double* pY);
    // Appends a point without repainting; returns the point's index. Throws
    // for an index outside the series.
    int AddOneDataOfSeries(int nIndex, double x, double y);
    // Null at or beyond the count; throws for nIndex < 0.
    CVelGraphSeries* GetSeries(int nIndex) const;
    int GetSeriesCount() const { return static_cast<int>(m_arSeries.size()); }
    const CVelGraphSeriesArray* GetSeriesArray() const { return &m_arSeries; }
    // Drops the series and legend entries; without bSeriesOnly the three
    // titles go as well (and stay gone).
    void RemoveAll(plat::BOOL bSeriesOnly);
    // Throws for an index outside the series.
    void ActivateSeries(int nIndex, plat::BOOL bActive);
    // Writes the indexes of the active series, ascending, into pIndexes
    // (room for GetSeriesCount() entries) and returns how many.
    int GetSelectedSeries(int* pIndexes) const;

    void SetBkgColor(plat::COLORREF cr);
    plat::COLORREF GetBkgColor() const { return m_crBkg; }
    void EnableShowLegend(plat::BOOL b) { m_bEnableLegend = b; }
    plat::BOOL IsEnableShowLegend() const { return m_bEnableLegend; }
    plat::BOOL CanShowLegend() const { return m_Legend.CanShow(); }
    void EnableShowMarks(plat::BOOL b) { m_bEnableShowMarks = b; }
    plat::BOOL IsEnableShowMarks() const { return m_bEnableShowMarks; }
    void ShowMarks(plat::BOOL b) { m_bShowMarks = b; }
    plat::BOOL IsShowMarks() const { return m_bShowMarks; }
    void ShowTip(plat::BOOL b) { m_bShowTip = b; }
    plat::BOOL IsShowTip() const { return m_bShowTip; }
    void EnableSeriesActivate(plat::BOOL b) { m_bSeriesActivate = b; }
    plat::BOOL IsSeriesActivate() const { return m_bSeriesActivate; }
    void EnableSendActivateMsg(plat::BOOL b) { m_bSendActivateMsg = b; }
    plat::BOOL IsSendActivateMsg() const { return m_bSendActivateMsg; }
    plat::CString GetPropertyFileName() const { return m_strPropertyFile; }
    // Names the property file (any path; nothing is added to it) and loads
    // it at once; a confirmed property sheet rewrites it. A missing or
    // broken file is ignored without a word.
    void AutoSaveProperty(const plat::CString& strFile);

    // Title setters do nothing once the titles are gone (RemoveAll(FALSE)).
    void SetTitle(const plat::CString& str);
    void SetXTitle(const plat::CString& str);
    void SetYTitle(const plat::CString& str);
    void EnableShowTitle(plat::BOOL b);
    void EnableShowXTitle(plat::BOOL b);
    void EnableShowYTitle(plat::BOOL b);
    void SetXTitleColor(plat::COLORREF cr);
    void SetYTitleColor(plat::COLORREF cr);
    // Null once the titles are gone.
    CVelGraphTitle* GetTitleObject() const { return m_pTitle.get(); }
    CVelGraphTitle* GetXTitleObject() const { return m_pXTitle.get(); }
    CVelGraphTitle* GetYTitleObject() const { return m_pYTitle.get(); }

    tagGraphAxis* GetAxis(eGraphAxisType eType);
    const tagGraphAxis* GetAxis(eGraphAxisType eType) const;
    // Sets the current range; with bRecalculate also the base range, and
    // the range follows the data only then.
    void SetAxisRange(eGraphAxisType eType, double dMin, double dMax, plat::BOOL bRecalculate);
    void GetAxisRange(eGraphAxisType eType, double& dMin, double& dMax) const;
    void EnableAxisRecalculate(eGraphAxisType eType, plat::BOOL b);
    void SetAxisMaxRange(eGraphAxisType eType, double dMin, double dMax);
    // Also switches the extend stepping on; the step must be positive.
    void SetAxisExtendValue(eGraphAxisType eType, double dValue);
    void EnableAxisAheadExtend(eGraphAxisType eType, plat::BOOL bEnable, int nPart);
    void SetAxisValueType(eGraphAxisType eType, eAxisValueType eValueType);
    void SetAxisLogarithm(eGraphAxisType eType, plat::BOOL b);
    void EnableAxisLogarithm(eGraphAxisType eType, plat::BOOL b);
    void SetAxisGrid(eGraphAxisType eType, plat::BOOL bMajor, plat::BOOL bMinor);
    void SetAxisPrecision(eGraphAxisType eType, int nPrecision);

    plat::CRect GetBound() const { return m_rcBound; }
    plat::CRect GetPlotRect() const { return m_rcPlot; }
    // The data area: between the X label band's ends, from the plot top
    // down to the X label band.
    plat::CRect GetInlineRect() const;

    CVelGraphLegend& GetLegend() { return m_Legend; }
    const CVelGraphLegend& GetLegend() const { return m_Legend; }
    void SetLegendLabel(int nIndex, const plat::CString& str) { m_Legend.SetLabel(nIndex, str); }
    plat::BOOL OnLegendProperty();

    // Value <-> host window position, on the scale of the last paint.
    int GetPositionByValue(eGraphAxisType eType, double dValue) const;
    double GetValueByPosition(eGraphAxisType eType, int nPos) const;
    plat::CString GetValueStringByPosition(eGraphAxisType eType, int nPos) const;

    // The range the axis would get from the data now, with the given log
    // flag; the axis is not changed.
    void CalculateActualAxisRange(eGraphAxisType eType, double& dMin, double& dMax, plat::BOOL bLogarithm) const;

signals:
    // A series became active (true) or stopped being active (false); sent
    // synchronously while activation messages are enabled.
    void seriesActivated(int nIndex, bool bActive);

protected:
    // The property file: loading keeps every value read before a failure
    // and the old value of everything after it; saving goes through a
    // temporary file, so a failed write leaves the previous file as it was.
    // Both do nothing once the titles are gone.
    void ReadProperty(const plat::CString& strFile);
    void SaveProperty(const plat::CString& strFile);
    // Signature, the twelve flags, the three title records and the legend's
    // block. Throws plat::CArchiveException when the data ends early.
    void SerializeProperty(plat::CArchive& ar);

    virtual void CreateDrawer(eGraphStyle eStyle);
    // Frame and background of the data area r, 3 pixels outside it.
    virtual void DrawFrame(plat::CDC* pDC, plat::CRect r);
    // Lays the two label bands into rc and shrinks it to the data area.
    void CalculateAxisArea(plat::CDC* pDC, plat::CRect& rc);
    // One scale label's height for the X axis, its width for the Y axis.
    int GetAxisLabelSize(eGraphAxisType eType, plat::CDC* pDC);

    // Each axis with bRecalculate widens to its data; axes without data keep
    // their range.
    void RecalculateAxisRange();
    plat::BOOL CalculateAxisRange(eGraphAxisType eType, double& dMin, double& dMax) const;
    void CorrectAxisRange(const tagGraphAxis* pAxis, double& dMin, double& dMax, plat::BOOL bLogarithm) const;
    void CorrectAxisRange(tagGraphAxis* pAxis, double dMin, double dMax);
    static double CorrectValueByPrecision(double dValue, int nPrecision);

    // Where mouse movement activates series.
    plat::CRect GetActivationRect() const;
    void InvalidateHost(const plat::CRect& rc) const;
    void InvalidateHost() const;
    void MarkAxesDirty();

    plat::CString m_strSignature = QStringLiteral("Zentravolk Graph 1.0");
    QWidget* m_pWnd;
    plat::CString m_strPropertyFile;
    eGraphStyle m_eStyle;
    std::unique_ptr<CVelGraphDrawer> m_pDrawer;
    std::unique_ptr<CVelGraphTitle> m_pTitle;
    std::unique_ptr<CVelGraphTitle> m_pXTitle;
    std::unique_ptr<CVelGraphTitle> m_pYTitle;
    tagGraphAxis m_XAxis;
    tagGraphAxis m_YAxis;
    int m_bEnableLegend = 1;  // enables the show-legend box of the property sheet
    CVelGraphLegend m_Legend;
    int m_bEnableShowMarks = 1;
    int m_bShowMarks = 1;
    int m_bShowTip = 1;
    int m_bXAutoCalc = 0;  // last state of the axis pages' automatic-range boxes
    int m_bYAutoCalc = 0;
    plat::CRect m_rcBound;  // given to the last layout
    plat::CRect m_rcPlot;   // left for axes and data after margins, titles, legend
    int m_nMarginLeft = 5;
    int m_nMarginTop = 5;
    int m_nMarginRight = 5;
    int m_nMarginBottom = 5;
    int m_nFrameWidth = 1;
    plat::COLORREF m_crFrame = plat::RGB(32, 32, 32);
    plat::COLORREF m_crBkg = plat::RGB(234, 234, 234);
    CVelGraphSeriesArray m_arSeries;
    int m_bSeriesActivate = 0;
    int m_bSendActivateMsg = 0;

private:
    tagGraphAxis& AxisRef(eGraphAxisType eType) { return eType == GRAPH_AXIS_X ? m_XAxis : m_YAxis; }
    const tagGraphAxis& AxisRef(eGraphAxisType eType) const { return eType == GRAPH_AXIS_X ? m_XAxis : m_YAxis; }
    void CheckSeriesIndex(int nIndex) const;
    void InstallDrawer(std::unique_ptr<CVelGraphDrawer> pDrawer);
};
