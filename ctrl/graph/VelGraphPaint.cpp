// CVelGraph and CVelGraphTitle: layout and painting.
#include "graph/GraphLayout.h"
#include "graph/VelGraph.h"
#include "graph/VelGraphTitle.h"
#include "platform/DC.h"

namespace {
constexpr int kTitleInset = 3;
constexpr int kTitleExtra = 6;
constexpr int kFrameOutset = 3;
constexpr int kLegendInflate = 3;

bool Shown(const std::unique_ptr<CVelGraphTitle>& p)
{
    return p && p->m_bShow;
}
}  // namespace

plat::CSize CVelGraphTitle::GetSize(plat::CDC* pDC) const
{
    plat::CFont* pOld = pDC->SelectObject(m_Font.Get(m_lfFont));
    plat::CSize size = pDC->GetTextExtent(m_strText);
    pDC->SelectObject(pOld);
    size.cx += kTitleExtra;
    size.cy += kTitleExtra;
    return size;
}

void CVelGraphTitle::Draw(plat::CDC* pDC) const
{
    plat::CRect rc = m_rcBound;
    rc.DeflateRect(kTitleInset, kTitleInset);
    const plat::COLORREF crOld = pDC->SetTextColor(m_crText);
    plat::CFont* pOld = pDC->SelectObject(m_Font.Get(m_lfFont));
    const int nOldMode = pDC->SetBkMode(plat::TRANSPARENT);
    pDC->TextOut(rc.left, rc.top, m_strText);
    pDC->SetBkMode(nOldMode);
    pDC->SelectObject(pOld);
    pDC->SetTextColor(crOld);
}

void CVelGraph::AdjustLayout(plat::CRect rc, plat::CDC* pDC)
{
    if (rc.IsRectEmpty() || !pDC) return;
    m_rcBound = rc;
    plat::CRect P(rc.left + m_nMarginLeft, rc.top + m_nMarginTop, rc.right - m_nMarginRight,
                  rc.bottom - m_nMarginBottom);

    if (Shown(m_pTitle)) {
        const plat::CSize s = m_pTitle->GetSize(pDC);
        const int m = m_pTitle->m_nMargin;
        P.top += s.cy + 2 * m;
        m_pTitle->m_rcBound = CGraphLayout::MainTitleRect(rc, m_nMarginTop, s, m);
    }

    RecalculateAxisRange();

    const plat::CSize sYTitle = Shown(m_pYTitle) ? m_pYTitle->GetSize(pDC) : plat::CSize();
    const plat::CSize sXTitle = Shown(m_pXTitle) ? m_pXTitle->GetSize(pDC) : plat::CSize();
    if (m_Legend.CanShow()) {
        const plat::CSize sx = m_pDrawer->GetScaleTextSize(pDC, &m_XAxis);
        const plat::CSize sy = m_pDrawer->GetScaleTextSize(pDC, &m_YAxis);
        int nYReserve = sy.cx;
        if (Shown(m_pYTitle)) nYReserve = sYTitle.cy + 3 * m_pYTitle->m_nMargin + sy.cx;
        int nXReserve = sx.cy;
        if (Shown(m_pXTitle)) nXReserve = sXTitle.cy + m_pXTitle->m_nMargin + sx.cy;
        const plat::CRect rcLegend =
            m_Legend.CalculateArea(pDC, P, plat::CSize(nXReserve, nYReserve), kLegendInflate);
        m_Legend.SetBound(rcLegend);
    }

    const plat::CRect Q = P;
    if (Shown(m_pYTitle)) P.left += sYTitle.cy + 3 * m_pYTitle->m_nMargin;
    if (Shown(m_pXTitle)) P.bottom -= sXTitle.cy + m_pXTitle->m_nMargin;
    m_rcPlot = P;
    MarkAxesDirty();

    plat::CRect A = P;
    CalculateAxisArea(pDC, A);
    if (Shown(m_pXTitle)) m_pXTitle->m_rcBound = CGraphLayout::XTitleRect(A, P, Q, sXTitle);
    if (Shown(m_pYTitle)) m_pYTitle->m_rcBound = CGraphLayout::YTitleRect(A, P, Q, sYTitle, m_pYTitle->m_nMargin);
}

void CVelGraph::CalculateAxisArea(plat::CDC* pDC, plat::CRect& rc)
{
    if (m_XAxis.bDirty || m_YAxis.bDirty) RecalculateAxisRange();
    for (tagGraphAxis* pAxis : {&m_XAxis, &m_YAxis}) {
        if (!pAxis->bLogarithm || (pAxis->dMin >= 1e-7 && pAxis->dMax >= 1e-7)) continue;
        double dMin = pAxis->dMin;
        double dMax = pAxis->dMax;
        CorrectAxisRange(pAxis, dMin, dMax, pAxis->bLogarithm);
        pAxis->dMin = dMin;
        pAxis->dMax = dMax;
    }
    if (m_YAxis.bDirty) {
        const plat::CSize sy = m_pDrawer->GetScaleTextSize(pDC, &m_YAxis);
        m_YAxis.rcArea = rc;
        m_YAxis.rcArea.right = rc.left + sy.cx;
        m_YAxis.bDirty = 0;
    }
    rc.left = m_YAxis.rcArea.right;
    if (m_XAxis.bDirty) {
        const plat::CSize sx = m_pDrawer->GetScaleTextSize(pDC, &m_XAxis);
        m_XAxis.rcArea = rc;
        m_XAxis.rcArea.top = rc.bottom - sx.cy;
        m_XAxis.bDirty = 0;
    }
    rc.bottom = m_XAxis.rcArea.top;
}

int CVelGraph::GetAxisLabelSize(eGraphAxisType eType, plat::CDC* pDC)
{
    const plat::CSize size = m_pDrawer->GetScaleTextSize(pDC, &AxisRef(eType));
    return eType == GRAPH_AXIS_X ? size.cy : size.cx;
}

void CVelGraph::OnDraw(plat::CDC* pDC, plat::CRect)
{
    if (!pDC) return;
    for (const auto* pTitle : {m_pTitle.get(), m_pXTitle.get(), m_pYTitle.get()})
        if (pTitle && pTitle->m_bShow) pTitle->Draw(pDC);
    if (m_Legend.CanShow()) m_Legend.Draw(pDC);
    plat::CRect A = m_rcPlot;
    CalculateAxisArea(pDC, A);
    DrawFrame(pDC, A);
    m_pDrawer->Draw(pDC, A);
}

void CVelGraph::DrawFrame(plat::CDC* pDC, plat::CRect r)
{
    plat::CPen pen(plat::PS_SOLID, m_nFrameWidth, m_crFrame);
    plat::CBrush brush(m_crBkg);
    plat::CPen* pOldPen = pDC->SelectObject(&pen);
    plat::CBrush* pOldBrush = pDC->SelectObject(&brush);
    r.InflateRect(kFrameOutset, kFrameOutset);
    pDC->Rectangle(r);
    pDC->SelectObject(pOldBrush);
    pDC->SelectObject(pOldPen);
}
