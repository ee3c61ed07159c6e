#pragma once

#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/WinDef.h"

// One legend entry: the label of the series with the same index and the
// rectangle the entry got at the last layout.
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

    plat::CString m_strLabel;
    plat::CRect m_rcBound;
    int m_bActivate = 0;  // selected by a click; drawn with handles
};
