#pragma once

#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/Size.h"
#include "platform/WinDef.h"

// One legend entry: the label of the series with the same index and the
// rectangle the entry got at the last layout.
namespace plat {
class CDC;
}
class CVelGraphDrawer;

class QUINDLE_EXPORT CVelLegendItem {
public:
    CVelLegendItem() = default;
    virtual ~CVelLegendItem() = default;

    void SetLabel(const plat::CString& str) { m_strLabel = str; }
    plat::CString GetLabel() const { return m_strLabel; }
    void SetBound(const plat::CRect& rc) { m_rcBound = rc; }
    plat::CRect GetBound() const { return m_rcBound; }
    void EnableActivate(int b) { m_bActivate = b; }
    int IsActivate() const { return m_bActivate; }

    // Extent of the label in the DC's current font.
    plat::CSize GetSize(plat::CDC* pDC) const;
    // Selection handles when active, the drawer's swatch, then the label
    // nGap pixels behind it.
    void Draw(plat::CDC* pDC, int nIndex, CVelGraphDrawer* pDrawer, int nGap);

    plat::CString m_strLabel;
    plat::CRect m_rcBound;
    int m_bActivate = 0;  // selected by a click; drawn with handles
};
