#pragma once

#include "platform/LogFont.h"
#include "platform/Point.h"
#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/Size.h"
#include "platform/WinDef.h"
#include "render/FontCache.h"
#include "render/VelLegendItem.h"

#include <memory>
#include <vector>

namespace plat {
class CArchive;
class CDC;
}
class CVelGraph;
class CVelGraphDrawer;

enum eLegendPosition {
    LEGEND_LEFT = 0,
    LEGEND_TOP = 1,
    LEGEND_RIGHT = 2,
    LEGEND_BOTTOM = 3,
};

// The legend of a graph: one entry per series, in series order, placed in a
// band beside the plot. An entry counts only while the drawer says its
// series exists and is shown.
class QUINDLE_EXPORT CVelGraphLegend {
public:
    CVelGraphLegend();
    virtual ~CVelGraphLegend();
    CVelGraphLegend(const CVelGraphLegend&) = delete;
    CVelGraphLegend& operator=(const CVelGraphLegend&) = delete;

    // Painting of background, border and entries (with the drawer's swatch).
    virtual void Draw(plat::CDC* pDC);
    // Runs the legend dialog for the selected entry; 1 when confirmed.
    virtual int OnProperty(CVelGraph* pGraph);
    // Writes or reads show flag, position and multiline flag (4 bytes each);
    // entries are not stored. Throws plat::CArchiveException when the data
    // ends early.
    virtual void Serialize(plat::CArchive& ar);

    // Not owned; the graph sets it whenever its drawer changes.
    void SetDrawer(CVelGraphDrawer* pDrawer) { m_pDrawer = pDrawer; }
    CVelGraphDrawer* GetDrawer() const { return m_pDrawer; }
    void EnableShow(int b) { m_bShow = b; }
    int CanShow() const { return m_bShow; }
    void SetPosition(eLegendPosition e) { m_ePosition = e; }
    eLegendPosition GetPosition() const { return m_ePosition; }
    void EnableMultiline(int b) { m_bMultiline = b; }
    int CanMultiline() const { return m_bMultiline; }
    void SetBkgColor(plat::COLORREF cr) { m_crBkg = cr; }
    plat::COLORREF GetBkgColor() const { return m_crBkg; }
    plat::CRect GetBound() const { return m_rcBound; }

    // Appends an entry and returns its index; the first entry of an empty
    // legend starts selected.
    int AddOneLegend(const plat::CString& strLabel);
    int AddOneLegend();
    // An index at or beyond the count is ignored; a negative one throws
    // plat::CInvalidArgException.
    void RemoveOneLegend(int nIndex);
    void SetLabel(int nIndex, const plat::CString& strLabel);
    void RemoveAll();
    int GetCount() const { return static_cast<int>(m_arItems.size()); }
    // Null for an index outside the entries.
    CVelLegendItem* GetItem(int nIndex) const;

    // Stores the legend rectangle and places the counted entries in it,
    // m_sizeItem apiece, in columns (left/right) or rows (top/bottom).
    void SetBound(const plat::CRect& rcLegend);
    // Selects the counted entry under pt and deselects the others.
    void OnLButtonDown(plat::UINT nFlags, plat::CPoint pt);

    // Whether entry nIndex takes part in layout, painting and selection.
    bool Counts(int nIndex) const;

    // The legend rectangle for the counted entries at m_ePosition inside
    // rcRemain, which loses that band; sizeReserve.cx is the height kept
    // under the plot, .cy the width kept left of it. Sets m_sizeItem.
    plat::CRect CalculateArea(plat::CDC* pDC, plat::CRect& rcRemain, plat::CSize sizeReserve, int nInflate);

    // The layout reads and the legend dialog edits these directly.
    CVelGraphDrawer* m_pDrawer = nullptr;
    int m_bShow = 0;
    plat::CRect m_rcBound;
    plat::CSize m_sizeItem;  // largest entry, from the last area computation
    eLegendPosition m_ePosition = LEGEND_RIGHT;
    int m_bMultiline = 1;
    std::vector<std::unique_ptr<CVelLegendItem>> m_arItems;  // index = series index
    plat::LOGFONT m_lfFont;  // label font
    int m_nMarginLeft = 5;
    int m_nMarginTop = 5;
    int m_nMarginRight = 5;
    int m_nMarginBottom = 5;
    int m_nGapY = 6;   // between rows, swatch and label, and a top/bottom legend and the plot
    int m_nGapX = 10;  // between columns, and a left/right legend and the plot
    plat::COLORREF m_crBkg = plat::RGB(233, 231, 217);
    int m_bBorder = 1;
    plat::COLORREF m_crBorder = 0x808080;
    int m_nBorderStyle = 0;  // solid
    int m_nBorderWidth = 2;

protected:
    // Largest entry (swatch, gap, label) of the counted entries with the
    // legend font selected; nCount gets their number.
    plat::CSize GetChildMaxSize(plat::CDC* pDC, int& nCount);

private:
    void CheckIndex(int nIndex) const;
    CFontCache m_Font;  // made from m_lfFont
    bool IsVertical() const { return m_ePosition == LEGEND_LEFT || m_ePosition == LEGEND_RIGHT; }
};
