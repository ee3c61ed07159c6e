#include "ui/RunReportChart.h"

#include "graph/VelGraph.h"
#include "platform/DC.h"
#include "platform/GdiDefs.h"
#include "run/OpenedRun.h"
#include "ui/LiveCharts.h"
#include "ui/Palette.h"
#include "ui/ReportChartDrawer.h"
#include "ui/ResourceIds.h"

#include <algorithm>
#include <vector>

namespace {

constexpr plat::COLORREF kSpeedColor = 0x800000;   // as the live charts
constexpr plat::COLORREF kTorqueColor = 0x008000;
constexpr plat::COLORREF kMarkColor = plat::RGB(255, 191, 0);

}  // namespace

void CRunReportChart::Paint(plat::CDC* pDC, plat::CRect rc, const COpenedRun& run, EQuantity eQuantity)
{
    const bool bSpeed = eQuantity == EQuantity::Speed;
    CVelGraph graph(nullptr, GRAPH_LINE);
    graph.SetDrawer(std::make_unique<CReportChartDrawer>(&graph));
    graph.SetAxisValueType(GRAPH_AXIS_Y, AXIS_VALUE_INTEGER);
    graph.EnableAxisRecalculate(GRAPH_AXIS_X, plat::FALSE);
    graph.EnableAxisRecalculate(GRAPH_AXIS_Y, plat::FALSE);
    graph.SetAxisGrid(GRAPH_AXIS_X, plat::TRUE, plat::FALSE);
    graph.SetAxisGrid(GRAPH_AXIS_Y, plat::TRUE, plat::FALSE);
    graph.EnableShowTitle(plat::FALSE);
    graph.EnableShowXTitle(plat::TRUE);
    graph.EnableShowYTitle(plat::TRUE);
    // The window's look: the scale's labels are light, on the window's colour.
    graph.SetXTitleColor(vantoc::kLightText);
    graph.SetYTitleColor(vantoc::kLightText);
    graph.SetXTitle(vantoc::String(bSpeed ? vantoc::IDS_SPEED_X_TITLE : vantoc::IDS_TORQUE_X_TITLE));
    graph.SetYTitle(vantoc::String(bSpeed ? vantoc::IDS_SPEED_Y_TITLE : vantoc::IDS_TORQUE_Y_TITLE));

    const std::vector<SRunSample>& samples = run.Samples();
    std::vector<double> xs(samples.size());
    std::vector<double> ys(samples.size());
    double dMin = 0;
    double dMax = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        xs[i] = double(i + 1);
        ys[i] = bSpeed ? samples[i].nSpeed : samples[i].nTorque;
        dMin = std::min(dMin, ys[i]);
        dMax = std::max(dMax, ys[i]);
    }
    if (!samples.empty()) {
        graph.AddSeries(plat::UINT(samples.size()), xs.data(), ys.data());
        CVelGraphSeries* pSeries = graph.GetSeries(0);
        pSeries->SetColor(bSpeed ? kSpeedColor : kTorqueColor);
        pSeries->SetPointStyle(bSpeed ? POINT_TRIANGLE_UP : POINT_DIAMOND);
    }
    for (const SRunEvent& e : run.Events())
        if (e.strText != QLatin1String("Start") && e.strText != QLatin1String("Stop"))
            graph.AddMarker(e.nAfterSamples, kMarkColor, plat::PS_SOLID, e.strText);
    graph.SetAxisMaxRange(GRAPH_AXIS_Y, -1e12, 1e12);
    graph.SetAxisMaxRange(GRAPH_AXIS_X, 0, 1e12);
    const double dTop = dMax > dMin ? CLiveCharts::RangeTop(float(dMin), float(dMax)) : dMin + 1;
    graph.SetAxisRange(GRAPH_AXIS_Y, dMin, dTop, plat::TRUE);
    graph.SetAxisRange(GRAPH_AXIS_X, 0, double(samples.size() + 1), plat::TRUE);
    pDC->FillSolidRect(rc, vantoc::kBackground);
    graph.AdjustLayout(rc, pDC);
    graph.OnDraw(pDC, rc);
}
