#include "ui/ReportChartDrawer.h"

#include "graph/VelGraph.h"
#include "graph/VelGraphSeries.h"
#include "platform/DC.h"
#include "platform/Pen.h"

#include <algorithm>

namespace {

constexpr int kMinPlotSide = 5;
// Point markers only where they stay apart: at most one per this many pixels.
constexpr int kPixelsPerMarker = 6;

void AppendColumn(std::vector<plat::CPoint>& path, const plat::CPoint* column, int count)
{
    // First, then the extreme that came first, the other extreme, last.
    int lo = 0;
    int hi = 0;
    for (int i = 1; i < count; ++i) {
        if (column[i].y < column[lo].y) lo = i;
        if (column[i].y > column[hi].y) hi = i;
    }
    int order[4] = {0, std::min(lo, hi), std::max(lo, hi), count - 1};
    for (int k = 0; k < 4; ++k) {
        if (k > 0 && order[k] == order[k - 1]) continue;
        const plat::CPoint pt = column[order[k]];
        if (!path.empty() && path.back() == pt) continue;
        path.push_back(pt);
    }
}

}  // namespace

CReportChartDrawer::CReportChartDrawer(CVelGraph* pGraph) : CVelGraphLineDrawer(pGraph)
{
}

void CReportChartDrawer::Draw(plat::CDC* pDC, plat::CRect rcPlot)
{
    if (rcPlot.Width() < kMinPlotSide || rcPlot.Height() < kMinPlotSide) return;
    m_rcLastPlot = rcPlot;
    DrawXAxis(pDC, rcPlot, 0);
    DrawYAxis(pDC, rcPlot, 0);
    pDC->SaveDC();
    pDC->IntersectClipRect(rcPlot);
    pDC->FillSolidRect(rcPlot, m_pGraph->GetBkgColor());
    DrawXAxis(pDC, rcPlot, 1);
    DrawYAxis(pDC, rcPlot, 1);
    if (!m_pGraph->GetMarkers().empty()) DrawMarkers(pDC, rcPlot);
    for (const auto& pSeries : *m_pGraph->GetSeriesArray())
        if (pSeries->bShow) DrawOneSeries(pDC, rcPlot, pSeries.get(), rcPlot.TopLeft());
    pDC->RestoreDC(-1);
}

std::vector<plat::CPoint> CReportChartDrawer::ReducedPath(plat::CRect rcPlot, const CVelGraphSeries& series) const
{
    std::vector<plat::CPoint> path;
    std::vector<plat::CPoint> column;
    const CGraphPointArray& points = series.arPoints;
    for (int i = 0; i < points.GetSize(); ++i) {
        plat::CPoint pt;
        if (!PointPosition(rcPlot, points.GetAt(i).x, points.GetAt(i).y, pt)) continue;
        if (!column.empty() && column.back().x != pt.x) {
            AppendColumn(path, column.data(), int(column.size()));
            column.clear();
        }
        column.push_back(pt);
    }
    if (!column.empty()) AppendColumn(path, column.data(), int(column.size()));
    return path;
}

void CReportChartDrawer::DrawOneSeries(plat::CDC* pDC, plat::CRect rcPlot, CVelGraphSeries* pSeries, plat::CPoint)
{
    const std::vector<plat::CPoint> path = ReducedPath(rcPlot, *pSeries);
    if (path.empty()) return;
    plat::CPen pen(pSeries->nPenStyle, std::max(1, pSeries->nWidth), pSeries->crColor);
    plat::CPen* pOld = pDC->SelectObject(&pen);
    if (path.size() > 1) pDC->Polyline(path.data(), int(path.size()));
    const int nPoints = pSeries->arPoints.GetSize();
    if (pSeries->bShowMark && m_pGraph->IsShowMarks() && nPoints * kPixelsPerMarker <= rcPlot.Width())
        for (const plat::CPoint& pt : path) DrawPointStyle(pDC, pSeries->ePointStyle, pSeries->crColor, pt);
    pDC->SelectObject(pOld);
}
