#include "render/VelGraphLineDrawer.h"

#include "graph/VelGraph.h"
#include "graph/VelGraphSeries.h"
#include "platform/DC.h"
#include "render/AxisMapper.h"

#include <typeinfo>
#include <vector>

CVelGraphLineDrawer::CVelGraphLineDrawer(CVelGraph* pGraph) : CVelGraphDrawer(pGraph) {}

CVelGraphLineDrawer::~CVelGraphLineDrawer() = default;

void CVelGraphLineDrawer::DrawLegend(plat::CDC* pDC, int nIndex, plat::CRect& rcItem)
{
    const CVelGraphSeries* pSeries = nIndex >= 0 ? m_pGraph->GetSeries(nIndex) : nullptr;
    if (!pSeries) return;
    const int nSwatch = GetLegendSize().cx;
    const int ym = (rcItem.top + rcItem.bottom) / 2;
    plat::CPen pen(pSeries->nPenStyle, pSeries->nWidth, pSeries->crColor);
    plat::CPen* pOld = pDC->SelectObject(&pen);
    pDC->MoveTo(rcItem.left, ym);
    pDC->LineTo(rcItem.left + nSwatch, ym);
    DrawPointStyle(pDC, pSeries->ePointStyle, pSeries->crColor, {rcItem.left + nSwatch / 2, ym});
    pDC->SelectObject(pOld);
    rcItem.left += nSwatch;
}

// An active series is drawn a pixel wider.
plat::LOGPEN CVelGraphLineDrawer::SeriesPen(const CVelGraphSeries* pSeries)
{
    plat::LOGPEN pen;
    pen.lopnStyle = static_cast<plat::UINT>(pSeries->nPenStyle);
    pen.lopnWidth = pSeries->nWidth + (pSeries->bActivate ? 1 : 0);
    pen.lopnColor = pSeries->crColor;
    return pen;
}

void CVelGraphLineDrawer::DrawOneSeries(plat::CDC* pDC, plat::CRect rcPlot, CVelGraphSeries* pSeries,
                                        plat::CPoint)
{
    const plat::LOGPEN pen = SeriesPen(pSeries);
    const bool bNoPen = (pen.lopnStyle & plat::PS_STYLE_MASK) == plat::PS_NULL;
    const bool bThin = pen.lopnWidth <= 1;

    const bool bMarks = m_pGraph->IsShowMarks() && pSeries->bShowMark;
    const CMarkerStamp* pStamp = bMarks ? &MarkerStamp(pSeries->ePointStyle, pSeries->crColor, pen) : nullptr;
    if (pStamp && pStamp->IsEmpty()) pStamp = nullptr;

    CSeriesPixels& px = m_Pixels.For(pSeries);
    // A wide pen paints up to its width from a vertex (joins included).
    px.BuildColumns(pSeries->arPoints, *m_pXAxis, *m_pYAxis, rcPlot, !bNoPen, pStamp ? pStamp->Reach() : -1,
                    bThin ? 0 : pen.lopnWidth + 1);

    m_Layer.Begin(rcPlot, pDC, Composing());
    m_Layer.SetColor(pSeries->crColor);
    if (!bNoPen && bThin) {
        m_Layer.SetPenStyle(static_cast<int>(pen.lopnStyle));
        const std::vector<plat::CPoint>& arVertex = px.Vertices();
        const std::vector<int>& arStart = px.RunStarts();
        for (std::size_t r = 0; r < arStart.size(); ++r) {
            const int nEnd = r + 1 < arStart.size() ? arStart[r + 1] : static_cast<int>(arVertex.size());
            m_Layer.ResetPattern();
            m_Layer.Polyline(arVertex.data() + arStart[r], nEnd - arStart[r]);
        }
    }
    if (pStamp) DrawMarks(px, *pStamp, pSeries, rcPlot);
    else m_Marks.For(pSeries).Forget();
    m_Layer.Paint(pDC);
    if (!bNoPen && !bThin) DrawWideLines(pDC, pen, px);
}

void CVelGraphLineDrawer::DrawMarks(const CSeriesPixels& px, const CMarkerStamp& stamp, const CVelGraphSeries* pSeries,
                                    plat::CRect rcPlot)
{
    CMarkMask& kept = m_Marks.For(pSeries);
    const bool bColumns = !px.MarkColumns().empty();
    if (bColumns && CMarkMask::Fits(stamp)) {
        // The marks kept from the last paint, stamped again where they changed.
        kept.Update(px, stamp, rcPlot);
        m_Layer.OrMask(stamp.Pixels().front().argb, kept.Bits(), kept.Words());
        return;
    }
    kept.Forget();
    if (bColumns) {
        // A column of marks goes in one step.
        for (const CSeriesPixels::tagMarkColumn& col : px.MarkColumns())
            m_Layer.StampRows(stamp, col.x, px.MarkRowTop(), px.MarkColumnRows(col), px.MarkRowWords());
    } else {
        // A stack of marks one row apart goes in one step.
        for (const CSeriesPixels::tagMarkRun& run : px.MarkRuns())
            m_Layer.StampColumn(stamp, {run.x, run.y}, run.nCount);
    }
}

bool CVelGraphLineDrawer::ComposesSeries(const CVelGraphSeries* pSeries)
{
    // A drawer derived from this one may draw the series otherwise.
    if (typeid(*this) != typeid(CVelGraphLineDrawer)) return false;
    // Wide pens are Qt's strokes, drawn straight over the plot.
    const plat::LOGPEN pen = SeriesPen(pSeries);
    return (pen.lopnStyle & plat::PS_STYLE_MASK) == plat::PS_NULL || pen.lopnWidth <= 1;
}

// Pens wider than a pixel are Qt's strokes; each run goes as one polyline
// (near parts only, so far-off points cannot overflow the rasteriser).
void CVelGraphLineDrawer::DrawWideLines(plat::CDC* pDC, const plat::LOGPEN& log, const CSeriesPixels& px)
{
    plat::CPen pen;
    pen.CreatePenIndirect(&log);
    plat::CPen* pOld = pDC->SelectObject(&pen);
    const std::vector<plat::CPoint>& arVertex = px.Vertices();
    const std::vector<int>& arStart = px.RunStarts();
    std::vector<plat::CPoint> arLine;
    auto Flush = [&] {
        if (arLine.size() >= 2) pDC->Polyline(arLine.data(), static_cast<int>(arLine.size()));
        arLine.clear();
    };
    for (std::size_t r = 0; r < arStart.size(); ++r) {
        const int nEnd = r + 1 < arStart.size() ? arStart[r + 1] : static_cast<int>(arVertex.size());
        for (int i = arStart[r]; i + 1 < nEnd; ++i) {
            plat::CPoint a = arVertex[i];
            plat::CPoint b = arVertex[i + 1];
            if (!m_Layer.ClipToReach(a, b)) {
                Flush();
                continue;
            }
            if (arLine.empty() || arLine.back() != a) {
                Flush();
                arLine.push_back(a);
            }
            arLine.push_back(b);
        }
        Flush();
    }
    pDC->SelectObject(pOld);
}

int CVelGraphLineDrawer::FindMarker(plat::CRect rcPlot, plat::CPoint pt, const CVelGraphSeries* pSeries) const
{
    // Asked on every mouse move: the mapping of many points without divisions.
    const CAxisMapper xMap(*m_pXAxis);
    const CAxisMapper yMap(*m_pYAxis);
    const tagGraphPoint* pPoints = pSeries->arPoints.GetData();
    // A series in X order: only the points a few columns around the
    // pointer can be hit.
    int nFirst = 0, nEnd = pSeries->GetSize();
    if (const CSeriesPixels* pPixels = m_Pixels.Find(pSeries)) {
        const int nX = pt.x - rcPlot.left;
        if (!pPixels->FindXRange(pSeries->arPoints, *m_pXAxis, nX - m_nMarkerSize + 1, nX + m_nMarkerSize, nFirst,
                                 nEnd)) {
            nFirst = 0;
            nEnd = pSeries->GetSize();
        }
    }
    for (int i = nFirst; i < nEnd; ++i) {
        int bValidX = 0;
        int bValidY = 0;
        const int x = rcPlot.left + xMap.Map(pPoints[i].x, bValidX);
        const int y = rcPlot.bottom - yMap.Map(pPoints[i].y, bValidY);
        if (!bValidX || !bValidY) continue;
        plat::CRect rcHot(x, y, x, y);
        rcHot.InflateRect(m_nMarkerSize, m_nMarkerSize);
        if (rcHot.PtInRect(pt)) return i;
    }
    return -1;
}

int CVelGraphLineDrawer::PointInSeries(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries)
{
    // Only markers are hot, and only while the graph draws them.
    if (!m_pGraph->IsShowMarks()) return 0;
    return FindMarker(rcPlot, pt, pSeries) >= 0 ? 1 : 0;
}

plat::BOOL CVelGraphLineDrawer::FindToolTip(plat::CRect rcPlot, plat::CPoint pt, CVelGraphSeries* pSeries,
                                            plat::CString& strText, plat::CRect& rcTool)
{
    // Tips belong to drawn markers.
    if (!m_pGraph->IsShowMarks() || !pSeries->bShowMark) return plat::FALSE;
    const int nPoint = FindMarker(rcPlot, pt, pSeries);
    if (nPoint < 0) return plat::FALSE;
    const tagGraphPoint& point = pSeries->arPoints.GetAt(nPoint);
    plat::CPoint ptMark;
    PointPosition(rcPlot, point.x, point.y, ptMark);
    rcTool.SetRect(ptMark.x, ptMark.y, ptMark.x, ptMark.y);
    rcTool.InflateRect(m_nMarkerSize, m_nMarkerSize);
    strText = PointTipText(pSeries, point.x, point.y, m_pXAxis->nPrecision, m_pYAxis->nPrecision);
    return plat::TRUE;
}
