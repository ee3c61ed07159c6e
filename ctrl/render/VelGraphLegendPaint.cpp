// CVelGraphLegend and CVelLegendItem: area and painting.
#include "platform/DC.h"
#include "render/VelGraphDrawer.h"
#include "render/VelGraphLegend.h"

#include <algorithm>

namespace {
constexpr plat::COLORREF kHandleColor = plat::RGB(0, 0, 192);
}

plat::CSize CVelLegendItem::GetSize(plat::CDC* pDC) const
{
    return pDC->GetTextExtent(m_strLabel);
}

void CVelLegendItem::Draw(plat::CDC* pDC, int nIndex, CVelGraphDrawer* pDrawer, int nGap)
{
    plat::CRect r = m_rcBound;
    if (m_bActivate) {
        const int xm = (r.left + r.right) / 2;
        const int ym = (r.top + r.bottom) / 2;
        const plat::CPoint handles[] = {{r.left, r.top},   {r.left, ym},    {r.left, r.bottom}, {xm, r.bottom},
                                        {r.right, r.bottom}, {r.right, ym}, {r.right, r.top},   {xm, r.top}};
        for (const plat::CPoint& p : handles) pDC->FillSolidRect(plat::CRect(p.x - 1, p.y - 1, p.x + 3, p.y + 3), kHandleColor);
    }
    if (pDrawer) pDrawer->DrawLegend(pDC, nIndex, r);
    r.left += nGap;
    const int nOldMode = pDC->SetBkMode(plat::TRANSPARENT);
    pDC->DrawText(m_strLabel, r, plat::DT_VCENTER);
    pDC->SetBkMode(nOldMode);
}

plat::CSize CVelGraphLegend::GetChildMaxSize(plat::CDC* pDC, int& nCount)
{
    nCount = 0;
    plat::CSize size;
    const int nSwatch = m_pDrawer ? m_pDrawer->GetLegendSize().cx : 0;
    for (int i = 0; i < GetCount(); ++i) {
        if (!Counts(i)) continue;
        const plat::CSize text = m_arItems[i]->GetSize(pDC);
        size.cx = std::max(size.cx, nSwatch + m_nGapY + text.cx);
        size.cy = std::max(size.cy, text.cy);
        ++nCount;
    }
    return size;
}

plat::CRect CVelGraphLegend::CalculateArea(plat::CDC* pDC, plat::CRect& rcRemain, plat::CSize sizeReserve,
                                           int nInflate)
{
    plat::CFont* pOld = pDC->SelectObject(m_Font.Get(m_lfFont));
    int n = 0;
    m_sizeItem = GetChildMaxSize(pDC, n);
    pDC->SelectObject(pOld);
    plat::CRect r = rcRemain;
    plat::CRect rcLegend;
    if (IsVertical()) {
        r.InflateRect(0, nInflate);
        const int nAvail = r.Height() - sizeReserve.cx;
        const int nNeed = m_sizeItem.cy * n + (n - 1) * m_nGapY + m_nMarginTop + m_nMarginBottom;
        int nHeight = nNeed;
        int nWidth = m_nMarginLeft + m_sizeItem.cx + m_nMarginRight;
        if (nNeed > nAvail) {
            nHeight = nAvail;
            if (m_bMultiline) {
                // Rows that fit, at least one; the divisor is never zero
                // since the gap is part of it.
                const int nRowPitch = std::max(m_nGapY + m_sizeItem.cy, 1);
                const int nRows = std::max((m_nGapY - m_nMarginTop - m_nMarginBottom + nAvail) / nRowPitch, 1);
                const int nCols = (n + nRows - 1) / nRows;
                nWidth = m_sizeItem.cx * nCols + (nCols - 1) * m_nGapX + m_nMarginLeft + m_nMarginRight;
            }
        }
        nWidth = std::min(nWidth, r.Width() / 3);
        rcLegend.top = r.top + (nAvail - nHeight) / 2;
        rcLegend.bottom = rcLegend.top + nHeight;
        if (m_ePosition == LEGEND_LEFT) {
            rcLegend.left = r.left;
            rcLegend.right = rcLegend.left + nWidth;
            rcRemain.left = rcLegend.right + m_nGapX;
        } else {
            rcLegend.right = r.right;
            rcLegend.left = rcLegend.right - nWidth;
            rcRemain.right = rcLegend.left - m_nGapX;
        }
    } else {
        r.InflateRect(nInflate, 0);
        const int nAvail = r.Width() - sizeReserve.cy;
        const int nNeed = m_sizeItem.cx * n + (n - 1) * m_nGapX + m_nMarginLeft + m_nMarginRight;
        int nWidth = nNeed;
        int nHeight = m_nMarginTop + m_sizeItem.cy + m_nMarginBottom;
        if (nNeed > nAvail) {
            nWidth = nAvail;
            if (m_bMultiline) {
                const int nColPitch = std::max(m_nGapX + m_sizeItem.cx, 1);
                const int nPerRow = std::max((m_nGapX - m_nMarginLeft - m_nMarginRight + nAvail) / nColPitch, 1);
                const int nRows = (n + nPerRow - 1) / nPerRow;
                nHeight = m_sizeItem.cy * nRows + (nRows - 1) * m_nGapY + m_nMarginTop + m_nMarginBottom;
            }
        }
        nHeight = std::min(nHeight, r.Height() / 3);
        rcLegend.left = r.left + sizeReserve.cy + (nAvail - nWidth) / 2;
        rcLegend.right = rcLegend.left + nWidth;
        if (m_ePosition == LEGEND_TOP) {
            rcLegend.top = r.top;
            rcLegend.bottom = rcLegend.top + nHeight;
            rcRemain.top = rcLegend.bottom + m_nGapY;
        } else {
            rcLegend.bottom = r.bottom;
            rcLegend.top = rcLegend.bottom - nHeight;
            rcRemain.bottom = rcLegend.top - m_nGapY;
        }
    }
    return rcLegend;
}

void CVelGraphLegend::Draw(plat::CDC* pDC)
{
    if (m_bBorder) {
        plat::CPen pen(m_nBorderStyle, m_nBorderWidth, m_crBorder);
        plat::CBrush brush(m_crBkg);
        plat::CPen* pOldPen = pDC->SelectObject(&pen);
        plat::CBrush* pOldBrush = pDC->SelectObject(&brush);
        pDC->Rectangle(m_rcBound);
        pDC->SelectObject(pOldBrush);
        pDC->SelectObject(pOldPen);
    } else {
        pDC->FillSolidRect(m_rcBound, m_crBkg);
    }
    plat::CFont* pOld = pDC->SelectObject(m_Font.Get(m_lfFont));
    for (int i = 0; i < GetCount(); ++i)
        if (Counts(i)) m_arItems[i]->Draw(pDC, i, m_pDrawer, m_nGapY);
    pDC->SelectObject(pOld);
}
