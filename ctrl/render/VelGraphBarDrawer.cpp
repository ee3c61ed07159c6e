#include "render/VelGraphBarDrawer.h"

#include "graph/VelGraph.h"
#include "graph/VelGraphSeries.h"
#include "platform/DC.h"
#include "render/AxisScale.h"

#include <algorithm>

namespace {
constexpr plat::COLORREF kGridColor = plat::RGB(212, 208, 200);
constexpr int kMinWideBar = 20;
constexpr int kTipPrecision = 2;
constexpr int kOutside = 4;  // pixels: beyond the widest outline
}  // namespace

void CVelGraphBarDrawer::DrawLegend(plat::CDC*, int, plat::CRect&)
{
    // A bar graph's legend shows labels only.
}

int CVelGraphBarDrawer::CalculatePixelStep(tagGraphAxis* pAxis, int nLength)
{
    if (pAxis == m_pXAxis) return CAxisScale::CalculateCategoryStep(*pAxis, nLength);
    return CVelGraphDrawer::CalculatePixelStep(pAxis, nLength);
}

void CVelGraphBarDrawer::DrawXAxis(plat::CDC* pDC, plat::CRect rcPlot, int bBuffered)
{
    tagGraphAxis& axis = *m_pXAxis;
    if (!bBuffered) CalculatePixelStep(&axis, rcPlot.right - rcPlot.left);
    const int nPrecision = GetPrecision(axis.dStep * axis.nStepsPerLabel);
    plat::CPen penTick(plat::PS_SOLID, 1, 0);
    plat::CPen penGrid(plat::PS_SOLID, 1, kGridColor);
    plat::CPen* pOld = pDC->SelectObject(&penTick);
    int nPrevX = rcPlot.left;
    for (const tagAxisTick& tick : CAxisScale::CategoryBoundaries(axis)) {
        const int x = rcPlot.left + tick.nOffset;
        if (!bBuffered) {
            pDC->MoveTo(x, rcPlot.bottom + 3);
            pDC->LineTo(x, rcPlot.bottom + 4);
            if (tick.bMajor) {
                const plat::CString str =
                    GetValueString(tick.dValue, nPrecision, axis.eValueType, axis.bLogarithm, 1);
                DrawScaleText(pDC, {(nPrevX + x + 1) / 2, rcPlot.bottom + 5}, str, 1);
            }
        }
        if (axis.bMajorGrid) {
            pDC->SelectObject(&penGrid);
            pDC->MoveTo(x, rcPlot.bottom);
            pDC->LineTo(x, rcPlot.top - 3);
            pDC->SelectObject(&penTick);
        }
        nPrevX = x;
    }
    pDC->SelectObject(pOld);
}

plat::CRect CVelGraphBarDrawer::GetDrawBarRect(plat::CRect rcCell)
{
    const int w = rcCell.right - rcCell.left;
    int bw = w / 3;
    if (bw < kMinWideBar) bw = w / 2;
    const int nLeft = rcCell.left + (w - bw) / 2;
    return {nLeft, rcCell.top, nLeft + bw, rcCell.bottom};
}

void CVelGraphBarDrawer::DrawOneBar(plat::CDC* pDC, plat::CRect rcBar, plat::COLORREF crColor, int bActivate)
{
    pDC->FillSolidRect(rcBar, crColor);
    plat::CPen pen(plat::PS_SOLID, bActivate ? 2 : 1, 0);
    plat::CPen* pOld = pDC->SelectObject(&pen);
    pDC->MoveTo(rcBar.left, rcBar.bottom);
    pDC->LineTo(rcBar.left, rcBar.top);
    pDC->LineTo(rcBar.right, rcBar.top);
    pDC->LineTo(rcBar.right, rcBar.bottom);
    pDC->SelectObject(pOld);
}

bool CVelGraphBarDrawer::CellOf(plat::CRect rcPlot, double x, double y, plat::CRect& rcCell) const
{
    if (!(m_pXAxis->dPixelStep > 0.0)) return false;  // no categories
    int bValidRight = 0;
    int bValidTop = 0;
    int bValidLeft = 0;
    rcCell.right = rcPlot.left + GetAxisPosition(x, m_pXAxis, bValidRight);
    rcCell.top = rcPlot.bottom - GetAxisPosition(y, m_pYAxis, bValidTop);
    rcCell.left = rcPlot.left + GetAxisPosition(x - 1, m_pXAxis, bValidLeft);
    rcCell.bottom = rcPlot.bottom;
    return bValidRight && bValidTop && bValidLeft;
}

void CVelGraphBarDrawer::DrawOneSeries(plat::CDC* pDC, plat::CRect rcPlot, CVelGraphSeries* pSeries, plat::CPoint)
{
    const tagGraphPoint* pPoints = pSeries->arPoints.GetData();
    plat::CRect rcLast;
    for (int i = 0; i < pSeries->GetSize(); ++i) {
        plat::CRect rcCell;
        if (!CellOf(rcPlot, pPoints[i].x, pPoints[i].y, rcCell)) continue;
        // A value below the axis minimum has no bar (its top would lie
        // under the plot); a bar wholly outside the plot shows nothing.
        if (rcCell.top > rcCell.bottom || rcCell.right < rcPlot.left || rcCell.left > rcPlot.right) continue;
        plat::CRect rcBar = GetDrawBarRect(rcCell);
        // Edges far outside the plot are brought to just outside it: the
        // visible pixels stay, and a bar a billion pixels high costs no more.
        rcBar.left = std::max(rcBar.left, rcPlot.left - kOutside);
        rcBar.right = std::min(rcBar.right, rcPlot.right + kOutside);
        rcBar.top = std::max(rcBar.top, rcPlot.top - kOutside);
        if (rcBar == rcLast) continue;  // the same bar again paints the same pixels
        DrawOneBar(pDC, rcBar, pSeries->crColor, pSeries->bActivate);
        rcLast = rcBar;
    }
}

int CVelGraphBarDrawer::PointInSeries(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries)
{
    // The whole category cell of a bar is hot, not just the narrowed bar.
    const tagGraphPoint* pPoints = pSeries->arPoints.GetData();
    for (int i = 0; i < pSeries->GetSize(); ++i) {
        plat::CRect rcCell;
        CellOf(rcPlot, pPoints[i].x, pPoints[i].y, rcCell);
        if (rcCell.PtInRect(pt)) return 1;
    }
    return 0;
}

plat::BOOL CVelGraphBarDrawer::FindToolTip(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries,
                                           plat::CString& strText, plat::CRect& rcTool)
{
    const tagGraphPoint* pPoints = pSeries->arPoints.GetData();
    for (int i = 0; i < pSeries->GetSize(); ++i) {
        plat::CRect rcCell;
        if (!CellOf(rcPlot, pPoints[i].x, pPoints[i].y, rcCell) || rcCell.top > rcCell.bottom) continue;
        const plat::CRect rcBar = GetDrawBarRect(rcCell);
        if (!rcBar.PtInRect(pt)) continue;
        rcTool = rcBar;
        strText = QStringLiteral("%1 (%2)").arg(
            pSeries->strTipInfo,
            GetValueString(pPoints[i].y, kTipPrecision, m_pYAxis->eValueType, m_pYAxis->bLogarithm, 0));
        return plat::TRUE;
    }
    return plat::FALSE;
}
