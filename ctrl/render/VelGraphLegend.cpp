#include "render/VelGraphLegend.h"

#include "graph/VelGraph.h"
#include "platform/Archive.h"
#include "platform/InvalidArgException.h"
#include "render/VelGraphDrawer.h"
#include "render/VelGraphLegendDlg.h"

#include <algorithm>
#include <string>

CVelGraphLegend::CVelGraphLegend()
{
    m_lfFont.lfHeight = 13;
    m_lfFont.lfWeight = plat::FW_BOLD;
    m_lfFont.SetFaceName("Microsoft Sans Serif");
}

CVelGraphLegend::~CVelGraphLegend() = default;

int CVelGraphLegend::OnProperty(CVelGraph* pGraph)
{
    const auto it = std::find_if(m_arItems.begin(), m_arItems.end(), [](const auto& p) { return p->IsActivate(); });
    if (it == m_arItems.end() || !pGraph) return 0;
    const int nIndex = static_cast<int>(it - m_arItems.begin());
    // An entry without its series has nothing to edit.
    CVelGraphSeries* pSeries = pGraph->GetSeries(nIndex);
    if (!pSeries) return 0;

    CVelGraphLegendDlg dlg(pGraph->GetWnd());
    dlg.m_strLabel = (*it)->GetLabel();
    dlg.m_crColor = pSeries->crColor;
    dlg.m_nWidth = pSeries->nWidth;
    dlg.m_nPointStyle = pSeries->ePointStyle;
    if (dlg.DoModal() != plat::IDOK) return 0;

    (*it)->SetLabel(dlg.m_strLabel);
    pSeries->crColor = dlg.m_crColor;
    pSeries->nWidth = dlg.m_nWidth;
    pSeries->ePointStyle = static_cast<eCurvePointStyle>(dlg.m_nPointStyle);
    return 1;
}

void CVelGraphLegend::Serialize(plat::CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<plat::LONG>(m_bShow) << static_cast<plat::LONG>(m_ePosition)
           << static_cast<plat::LONG>(m_bMultiline);
        return;
    }
    plat::LONG n = 0;
    ar >> n;
    m_bShow = n;
    ar >> n;
    // A position no legend can take is not stored.
    if (n >= LEGEND_LEFT && n <= LEGEND_BOTTOM) m_ePosition = static_cast<eLegendPosition>(n);
    ar >> n;
    m_bMultiline = n;
}

int CVelGraphLegend::AddOneLegend(const plat::CString& strLabel)
{
    auto pItem = std::make_unique<CVelLegendItem>();
    pItem->SetLabel(strLabel);
    if (m_arItems.empty()) pItem->EnableActivate(1);
    m_arItems.push_back(std::move(pItem));
    return GetCount() - 1;
}

int CVelGraphLegend::AddOneLegend()
{
    return AddOneLegend(plat::CString());
}

void CVelGraphLegend::CheckIndex(int nIndex) const
{
    if (nIndex < 0) throw plat::CInvalidArgException("legend index " + std::to_string(nIndex));
}

void CVelGraphLegend::RemoveOneLegend(int nIndex)
{
    CheckIndex(nIndex);
    if (nIndex >= GetCount()) return;
    m_arItems.erase(m_arItems.begin() + nIndex);
}

void CVelGraphLegend::SetLabel(int nIndex, const plat::CString& strLabel)
{
    CheckIndex(nIndex);
    if (nIndex >= GetCount()) return;
    m_arItems[nIndex]->SetLabel(strLabel);
}

void CVelGraphLegend::RemoveAll()
{
    m_arItems.clear();
}

CVelLegendItem* CVelGraphLegend::GetItem(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCount()) return nullptr;
    return m_arItems[nIndex].get();
}

bool CVelGraphLegend::Counts(int nIndex) const
{
    return m_pDrawer && m_pDrawer->LegendCanShow(nIndex);
}

void CVelGraphLegend::SetBound(const plat::CRect& rc)
{
    m_rcBound = rc;
    const int nInnerRight = rc.right - m_nMarginRight;
    const int nInnerBottom = rc.bottom - m_nMarginBottom;
    int x = rc.left + m_nMarginLeft;
    int y = rc.top + m_nMarginTop;
    bool bFull = false;
    for (int i = 0; i < GetCount(); ++i) {
        if (!Counts(i)) continue;
        CVelLegendItem& item = *m_arItems[i];
        if (bFull) {
            item.SetBound(plat::CRect());
            continue;
        }
        const int nRight = std::min(x + m_sizeItem.cx, nInnerRight);
        const int nBottom = std::min(y + m_sizeItem.cy, nInnerBottom);
        item.SetBound(plat::CRect(x, y, nRight, nBottom));
        if (IsVertical()) {
            y = nBottom + m_nGapY;
            if (y + m_sizeItem.cy <= nInnerBottom) continue;
            if (m_bMultiline) {
                y = rc.top + m_nMarginTop;
                x = nRight + m_nGapX;
                bFull = x > nInnerRight;
            } else {
                bFull = y > nInnerBottom;
            }
        } else {
            x = nRight + m_nGapX;
            if (x + m_sizeItem.cx <= nInnerRight) continue;
            if (m_bMultiline) {
                y = nBottom + m_nGapY;
                x = rc.left + m_nMarginLeft;
                bFull = y > nInnerBottom;
            } else {
                bFull = x > nInnerRight;
            }
        }
    }
}

void CVelGraphLegend::OnLButtonDown(plat::UINT, plat::CPoint pt)
{
    for (int i = 0; i < GetCount(); ++i) {
        CVelLegendItem& item = *m_arItems[i];
        item.EnableActivate(Counts(i) && item.GetBound().PtInRect(pt) ? 1 : 0);
    }
}
