#include "render/VelGraphScatterDrawer.h"

#include "graph/VelGraph.h"
#include "graph/VelGraphSeries.h"
#include "platform/DC.h"

namespace {
constexpr plat::COLORREF kOuterRangeColor = plat::RGB(255, 0, 0);
constexpr plat::COLORREF kMiddleRangeColor = plat::RGB(0, 255, 0);
constexpr int kTipPrecision = 2;
}  // namespace

CVelGraphScatterDrawer::CVelGraphScatterDrawer(CVelGraph* pGraph) : CVelGraphDrawer(pGraph) {}

CVelGraphScatterDrawer::~CVelGraphScatterDrawer() = default;

void CVelGraphScatterDrawer::DrawLegend(plat::CDC* pDC, int nIndex, plat::CRect& rcItem)
{
    const CVelGraphSeries* pSeries = nIndex >= 0 ? m_pGraph->GetSeries(nIndex) : nullptr;
    if (!pSeries) return;
    DrawPointStyle(pDC, pSeries->ePointStyle, pSeries->crColor, rcItem.CenterPoint());
}

void CVelGraphScatterDrawer::DrawOneSeries(plat::CDC* pDC, plat::CRect rcPlot, CVelGraphSeries* pSeries,
                                           plat::CPoint)
{
    // The marker outline is whatever pen the DC holds.
    plat::LOGPEN pen;
    if (const plat::CPen* pCurrent = pDC->GetCurrentPen(); pCurrent && pCurrent->Log()) pen = *pCurrent->Log();
    const CMarkerStamp& stamp = MarkerStamp(pSeries->ePointStyle, pSeries->crColor, pen);
    if (!stamp.IsEmpty()) {
        CSeriesPixels& px = m_Pixels.For(pSeries);
        m_Layer.Begin(rcPlot, pDC);
        if (stamp.IsOneColour()) {
            // Order does not matter: the column build and whole columns of marks.
            px.BuildColumns(pSeries->arPoints, *m_pXAxis, *m_pYAxis, rcPlot, false, stamp.Reach(), 0);
            for (const CSeriesPixels::tagMarkColumn& col : px.MarkColumns())
                m_Layer.StampRows(stamp, col.x, px.MarkRowTop(), px.MarkColumnRows(col), px.MarkRowWords());
            if (px.MarkColumns().empty())
                for (const CSeriesPixels::tagMarkRun& run : px.MarkRuns())
                    m_Layer.StampColumn(stamp, {run.x, run.y}, run.nCount);
        } else {
            // The outline covers neighbours' fill: the order of the points counts.
            px.BuildLastMarks(pSeries->arPoints, *m_pXAxis, *m_pYAxis, rcPlot, stamp.Reach());
            for (const plat::CPoint& pt : px.Marks()) m_Layer.Stamp(stamp, pt);
        }
        m_Layer.Paint(pDC);
    }
    DrawReferenceLine(pDC, rcPlot, pSeries->dRange1, kOuterRangeColor);
    DrawReferenceLine(pDC, rcPlot, pSeries->dRange3, kOuterRangeColor);
    DrawReferenceLine(pDC, rcPlot, pSeries->dRange2, kMiddleRangeColor);
}

// Drawn also for a value without a position: it then lies just below the plot.
void CVelGraphScatterDrawer::DrawReferenceLine(plat::CDC* pDC, plat::CRect rcPlot, double dValue,
                                               plat::COLORREF crColor)
{
    plat::CPen pen(plat::PS_SOLID, 1, crColor);
    plat::CPen* pOld = pDC->SelectObject(&pen);
    int bValid = 0;
    const int y = rcPlot.bottom - GetAxisPosition(dValue, m_pYAxis, bValid);
    pDC->MoveTo(rcPlot.left, y);
    pDC->LineTo(rcPlot.right, y);
    pDC->SelectObject(pOld);
}

int CVelGraphScatterDrawer::PointInSeries(plat::CRect, plat::CPoint, CVelGraphSeries*)
{
    // Scatter points are never picked by the mouse.
    return 0;
}

plat::BOOL CVelGraphScatterDrawer::FindToolTip(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries,
                                               plat::CString& strText, plat::CRect& rcTool)
{
    const tagGraphPoint* pPoints = pSeries->arPoints.GetData();
    for (int i = 0; i < pSeries->GetSize(); ++i) {
        plat::CPoint ptMark;
        if (!PointPosition(rcPlot, pPoints[i].x, pPoints[i].y, ptMark)) continue;
        plat::CRect rcHot(ptMark.x, ptMark.y, ptMark.x, ptMark.y);
        rcHot.InflateRect(m_nMarkerSize, m_nMarkerSize);
        if (!rcHot.PtInRect(pt)) continue;
        rcTool = rcHot;
        strText = PointTipText(pSeries, pPoints[i].x, pPoints[i].y, kTipPrecision, kTipPrecision);
        return plat::TRUE;
    }
    return plat::FALSE;
}
