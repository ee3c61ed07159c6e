#pragma once

#include "graph/GraphView.h"
#include "graph/VelGraph.h"
#include "platform/Bitmap.h"
#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/ToolTipCtrl.h"
#include "platform/WinDef.h"

#include <QBasicTimer>
#include <QWidget>
#include <memory>
#include <vector>

class CVelButton;

// The window that hosts one chart: it owns the graph, a tooltip control and
// up to three small tool buttons in its top-left corner (graph properties,
// save image, legend properties), paints double-buffered, forwards the
// mouse to the graph and offers the graph's operations, repainting where a
// change shows at once. Series activation reaches its users through the
// seriesActivated signal.
//
// The operator can browse the chart: the mouse wheel zooms X around the
// pointer (with Ctrl: Y), a drag pans, a drag with Shift zooms to the
// rectangle drawn, Ctrl+double click (or Home) shows the whole ranges again.
// While browsing the view wins over the ranges a program sets (say, on every
// new sample): new data does not move what is shown, and the program's
// ranges are kept aside until the view follows again (the follow button,
// End, SetFollowing(true)) and then apply as if they had been set then.
// Following after an X zoom keeps the zoomed span at the live end. Programs
// that set ranges through m_pGraph directly bypass the window: those
// settings count as the program's too, taken up at the next paint. A window
// nobody browses behaves and paints as if browsing did not exist.
class QUINDLE_EXPORT CVelGraphWnd : public QWidget {
    Q_OBJECT

public:
    // Identifiers of the standard tool buttons, left to right: 1001, 1003, 1002.
    static constexpr plat::UINT kIdProperty = 1001;
    static constexpr plat::UINT kIdLegend = 1002;
    static constexpr plat::UINT kIdExportImage = 1003;
    // Browse buttons, shown only while there is something to return from.
    static constexpr plat::UINT kIdFullRange = 1091;
    static constexpr plat::UINT kIdFollow = 1092;
    static constexpr plat::COLORREF kDefaultBkgColor = 0xD9E7E9;

    explicit CVelGraphWnd(QWidget* parent = nullptr);
    ~CVelGraphWnd() override;
    CVelGraphWnd(const CVelGraphWnd&) = delete;
    CVelGraphWnd& operator=(const CVelGraphWnd&) = delete;

    // Places the window in pParentWnd at rect with the control id nID;
    // WS_VISIBLE shows it and WS_BORDER frames it.
    virtual plat::BOOL Create(plat::DWORD dwStyle, const plat::CRect& rect, QWidget* pParentWnd, plat::UINT nID);
    // The window styles that matter here (WS_BORDER); used by Create and by
    // hosts that put the window in a placeholder's place.
    void SetWindowStyle(plat::DWORD dwStyle);
    // The client area: the whole window inside the border, in window coordinates.
    plat::CRect GetClientRect() const;

    // Lays out graph and buttons in the client area.
    void AdjustLayout();
    virtual void AdjustLayout(plat::CRect rc, plat::CDC* pDC);
    // Fills rc with the window's background and paints the chart on it.
    virtual void OnDraw(plat::CDC* pDC, plat::CRect rc);

    // Tool buttons. nIcon, nDisabledIcon (0: none): icon ids, looked up in
    // the library first; a null strTip gives no tooltip. FALSE when nID is
    // taken.
    plat::BOOL AddButton(plat::UINT nIcon, plat::UINT nDisabledIcon, const plat::CString& strTip, plat::UINT nID);
    void InitButtons();
    void ShowButtons(plat::BOOL bShow);
    void ShowButton(plat::UINT nID, plat::BOOL bShow);
    plat::BOOL IsShowButtons() const { return m_bShowButtons; }
    // The button with nID (tool or browse button), null when there is none.
    CVelButton* GetButton(plat::UINT nID) const;
    int GetButtonCount() const { return static_cast<int>(m_arButtons.size()); }
    virtual void OnClickButton(plat::UINT nID);
    // Graph property sheet; TRUE when it was confirmed.
    virtual plat::BOOL OnProperty();
    // Asks for a file name and saves the chart there (SaveImage), telling
    // the user how it went; FALSE when cancelled or failed.
    virtual plat::BOOL OnExportImage();
    // Saves the chart as the window shows it, in the format the suffix
    // names: .bmp (16-bit), .png (24-bit) or .svg (when the library has
    // Qt SVG). FALSE for another suffix or when the file cannot be written;
    // a file that was there before is then left as it was.
    plat::BOOL SaveImage(const plat::CString& strFile);

    // The whole client area's colour behind the graph, also the buttons'.
    void SetBkgColor(plat::COLORREF cr);
    plat::COLORREF GetBkgColor() const { return m_crBkg; }
    CVelGraph* GetGraph() const { return m_pGraph.get(); }
    plat::CToolTipCtrl* GetToolTipCtrl() { return &m_ToolTip; }

    // Forwarding operations that repaint the window.
    void SetGraphType(eGraphStyle eStyle);
    void SetTitle(const plat::CString& str);
    void SetXTitle(const plat::CString& str);
    void SetYTitle(const plat::CString& str);
    // While browsing, kept aside until the view follows again.
    void SetAxisRange(eGraphAxisType eType, double dMin, double dMax, plat::BOOL bRecalculate);
    // Also shows the whole ranges again.
    void SetAxisLogarithm(eGraphAxisType eType, plat::BOOL b);
    int AddSeries(plat::UINT nCount, const double* pX, const double* pY);
    void SetSeriesAt(int nIndex, plat::UINT nCount, const double* pX, const double* pY);
    // Also shows the whole ranges again: there is nothing left to browse.
    virtual void RemoveAll(plat::BOOL bSeriesOnly);

    // Forwarding operations without repaint.
    void EnableShowTitle(plat::BOOL b) { m_pGraph->EnableShowTitle(b); }
    void EnableShowXTitle(plat::BOOL b) { m_pGraph->EnableShowXTitle(b); }
    void EnableShowYTitle(plat::BOOL b) { m_pGraph->EnableShowYTitle(b); }
    void SetXTitleColor(plat::COLORREF cr) { m_pGraph->SetXTitleColor(cr); }
    void SetYTitleColor(plat::COLORREF cr) { m_pGraph->SetYTitleColor(cr); }
    void SetDrawer(std::unique_ptr<CVelGraphDrawer> pDrawer);
    void SetAxisExtendValue(eGraphAxisType eType, double dValue) { m_pGraph->SetAxisExtendValue(eType, dValue); }
    void EnableAxisAheadExtend(eGraphAxisType eType, plat::BOOL bEnable, int nPart)
    {
        m_pGraph->EnableAxisAheadExtend(eType, bEnable, nPart);
    }
    void SetAxisValueType(eGraphAxisType eType, eAxisValueType eValueType)
    {
        m_pGraph->SetAxisValueType(eType, eValueType);
    }
    void EnableAxisLogarithm(eGraphAxisType eType, plat::BOOL b) { m_pGraph->EnableAxisLogarithm(eType, b); }
    void SetAxisMaxRange(eGraphAxisType eType, double dMin, double dMax) { m_pGraph->SetAxisMaxRange(eType, dMin, dMax); }
    // While browsing, kept aside until the view follows again.
    void EnableAxisRecalculate(eGraphAxisType eType, plat::BOOL b) { m_View.EnableAxisRecalculate(eType, b); }
    void SetAxisPrecision(eGraphAxisType eType, int nPrecision) { m_pGraph->SetAxisPrecision(eType, nPrecision); }
    void SetAxisGrid(eGraphAxisType eType, plat::BOOL bMajor, plat::BOOL bMinor)
    {
        m_pGraph->SetAxisGrid(eType, bMajor, bMinor);
    }
    int AddOneDataOfSeries(int nIndex, double x, double y) { return m_pGraph->AddOneDataOfSeries(nIndex, x, y); }
    CVelGraphSeries* GetSeries(int nIndex) const { return m_pGraph->GetSeries(nIndex); }
    int GetSeriesCount() const { return m_pGraph->GetSeriesCount(); }
    int GetSelectedSeries(int* pIndexes) const { return m_pGraph->GetSelectedSeries(pIndexes); }
    void SetLegendLabel(int nIndex, const plat::CString& str) { m_pGraph->SetLegendLabel(nIndex, str); }
    void EnableSeriesActivate(plat::BOOL b) { m_pGraph->EnableSeriesActivate(b); }
    void EnableSendActivateMsg(plat::BOOL b) { m_pGraph->EnableSendActivateMsg(b); }
    void EnableShowLegend(plat::BOOL b) { m_pGraph->EnableShowLegend(b); }
    void EnableShowMarks(plat::BOOL b) { m_pGraph->EnableShowMarks(b); }
    void ShowMarks(plat::BOOL b) { m_pGraph->ShowMarks(b); }
    void ShowTip(plat::BOOL b) { m_pGraph->ShowTip(b); }
    void AutoSaveProperty(const plat::CString& strFile) { m_pGraph->AutoSaveProperty(strFile); }

    // Browsing. Values are axis values; factors above 1 zoom in. Each
    // stops following and returns FALSE when it changed nothing (a range
    // the axis cannot show is refused).
    plat::BOOL ZoomX(double dFactor, double dAroundValue);
    plat::BOOL ZoomY(double dFactor, double dAroundValue);
    // Moves the view by dx and dy (in decades on a logarithmic axis).
    plat::BOOL PanBy(double dx, double dy);
    plat::BOOL ZoomTo(double dXMin, double dXMax, double dYMin, double dYMax);
    // The whole ranges, following: as if never browsed.
    void ResetView();
    bool IsFollowing() const { return m_View.IsFollowing(); }
    // true: follow the live end (keeping an X zoom's span); false: keep
    // what is shown while data arrives.
    void SetFollowing(bool bFollow);
    // Whether the view shows ranges of its own rather than the program's.
    bool IsBrowsing() const { return m_View.IsBrowsing(); }
    // The range the chart shows (or will at the next paint) on the axis.
    void GetViewRange(eGraphAxisType eType, double& dMin, double& dMax) const;
    // Without browsing the mouse and keys do only what they did before.
    void EnableBrowse(bool b);
    bool IsBrowseEnabled() const { return m_bBrowse; }

    // Owned; public because hosts configure the graph through it directly.
    std::unique_ptr<CVelGraph> m_pGraph;

signals:
    // Relayed from the graph while its activation messages are enabled.
    void seriesActivated(int nIndex, bool bActive);
    // The shown ranges or the following state changed through browsing.
    void viewChanged();
    void followingChanged(bool bFollowing);

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

    // The 16-bit bitmap of the window's content.
    plat::BOOL SaveImageToBMP(const plat::CString& strFile);

    // One tool button; the window owns record and button.
    struct tagGraphButton {
        plat::UINT nID = 0;
        std::unique_ptr<CVelButton> pButton;
        int bShow = 1;
    };

    tagGraphButton* FindButton(plat::UINT nID) const;
    void OnSize(int cx, int cy);
    void OnLButtonDblClk(plat::CPoint pt);

    // Browsing (VelGraphWndBrowse.cpp).
    enum class eGesture { None, Pending, Pan, Band };
    bool StartGesture(const QMouseEvent* e);
    void MoveGesture(QPoint pt);
    void EndGesture(QPoint pt);
    void CancelGesture();
    // The value at window position nPos when r is shown in the data area rc.
    double ValueAt(eGraphAxisType eType, const tagViewRange& r, const plat::CRect& rc, int nPos) const;
    // After a browse step that changed something: buttons, repaint, signals.
    void ViewChanged(bool bWasFollowing);
    void PlaceBrowseButtons(int nTop);
    std::unique_ptr<CVelButton> MakeBrowseButton(plat::UINT nIcon, plat::UINT nTip, plat::UINT nID);
    void PaintBand(plat::CDC* pDC) const;

    plat::COLORREF m_crBkg = kDefaultBkgColor;
    // The off-screen picture of the last paint, kept while the size stays.
    plat::CBitmap m_bmpPaintBuffer;
    plat::CToolTipCtrl m_ToolTip;  // shared with the graph's drawer
    int m_bShowButtons = 1;
    int m_nButtonWidth = 22;
    int m_nButtonHeight = 22;
    std::vector<std::unique_ptr<tagGraphButton>> m_arButtons;  // in creation order
    int m_nBorder = 0;  // pixels of the WS_BORDER frame around the client area
    QBasicTimer m_tipTimer;  // the tooltip control's initial delay
    QPoint m_ptTip;          // where the pointer rests

    CGraphView m_View;
    bool m_bBrowse = true;
    eGesture m_eGesture = eGesture::None;
    QPoint m_ptPress;            // where the gesture began
    QPoint m_ptGesture;          // where the pointer is now
    tagViewRange m_PressX;       // the ranges shown when it began
    tagViewRange m_PressY;
    plat::CRect m_rcPressData;   // the data area when it began
    std::unique_ptr<CVelButton> m_pFullRangeButton;  // made at the first browse
    std::unique_ptr<CVelButton> m_pFollowButton;
};
