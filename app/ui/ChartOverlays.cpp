#include "ui/ChartOverlays.h"

#include "graph/VelGraphWnd.h"
#include "run/OpenedRun.h"

#include <algorithm>

namespace {

constexpr plat::COLORREF kHues[CChartOverlays::kMaxOverlays] = {
    plat::RGB(230, 126, 34), plat::RGB(142, 68, 173), plat::RGB(22, 160, 133), plat::RGB(192, 57, 43),
    plat::RGB(90, 90, 90),
};
constexpr int kHuePercent = 55;  // the rest is the background's

int Mix(int a, int b)
{
    return (a * kHuePercent + b * (100 - kHuePercent)) / 100;
}

// A series as it stands, to be put back after the overlays.
struct SKeptSeries {
    std::vector<double> x;
    std::vector<double> y;
    plat::COLORREF crColor = 0;
    eCurvePointStyle eStyle = POINT_NONE;
    int nPenStyle = 0;
    int nWidth = 1;
    int bShow = 1;
    int bShowMark = 1;
    plat::CString strTip;
    plat::CString strLabel;
};

SKeptSeries Keep(CVelGraph* pGraph, int index)
{
    const CVelGraphSeries* s = pGraph->GetSeries(index);
    SKeptSeries kept;
    const int n = s->arPoints.GetSize();
    kept.x.reserve(size_t(n));
    kept.y.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        kept.x.push_back(s->arPoints.GetAt(i).x);
        kept.y.push_back(s->arPoints.GetAt(i).y);
    }
    kept.crColor = s->crColor;
    kept.eStyle = s->ePointStyle;
    kept.nPenStyle = s->nPenStyle;
    kept.nWidth = s->nWidth;
    kept.bShow = s->bShow;
    kept.bShowMark = s->bShowMark;
    kept.strTip = s->strTipInfo;
    if (const CVelLegendItem* item = pGraph->GetLegend().GetItem(index)) kept.strLabel = item->GetLabel();
    return kept;
}

void PutBack(CVelGraph* pGraph, const SKeptSeries& kept)
{
    const int index = pGraph->AddSeries(plat::UINT(kept.x.size()), kept.x.data(), kept.y.data());
    CVelGraphSeries* s = pGraph->GetSeries(index);
    s->crColor = kept.crColor;
    s->ePointStyle = kept.eStyle;
    s->nPenStyle = kept.nPenStyle;
    s->nWidth = kept.nWidth;
    s->bShow = kept.bShow;
    s->bShowMark = kept.bShowMark;
    s->strTipInfo = kept.strTip;
    pGraph->SetLegendLabel(index, kept.strLabel);
}

}  // namespace

bool CChartOverlays::Add(const QString& name, const COpenedRun& run)
{
    if (Count() >= kMaxOverlays) return false;
    SOverlay overlay;
    overlay.strName = name;
    const size_t n = run.Samples().size();
    overlay.x.reserve(n);
    overlay.speed.reserve(n);
    overlay.torque.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        overlay.x.push_back(double(i + 1));
        overlay.speed.push_back(run.Samples()[i].nSpeed);
        overlay.torque.push_back(run.Samples()[i].nTorque);
    }
    m_overlays.push_back(std::move(overlay));
    return true;
}

void CChartOverlays::Remove(int index)
{
    if (index < 0 || index >= Count()) return;
    m_overlays.erase(m_overlays.begin() + index);
}

QStringList CChartOverlays::Names() const
{
    QStringList names;
    for (const SOverlay& o : m_overlays) names << o.strName;
    return names;
}

int CChartOverlays::XExtent() const
{
    size_t extent = 0;
    for (const SOverlay& o : m_overlays) extent = std::max(extent, o.x.size());
    return int(extent);
}

bool CChartOverlays::YRange(bool bSpeed, double& dMin, double& dMax) const
{
    bool any = false;
    for (const SOverlay& o : m_overlays) {
        const std::vector<double>& ys = bSpeed ? o.speed : o.torque;
        if (ys.empty()) continue;
        const auto [lo, hi] = std::minmax_element(ys.begin(), ys.end());
        dMin = any ? std::min(dMin, *lo) : *lo;
        dMax = any ? std::max(dMax, *hi) : *hi;
        any = true;
    }
    return any;
}

void CChartOverlays::Place(CVelGraphWnd* pChart, bool bSpeed, int nPlaced) const
{
    CVelGraph* pGraph = pChart->m_pGraph.get();
    std::vector<SKeptSeries> kept;
    for (int i = std::max(0, nPlaced); i < pGraph->GetSeriesCount(); ++i) kept.push_back(Keep(pGraph, i));
    const std::vector<tagGraphMarker> markers = pGraph->GetMarkers();
    pGraph->RemoveAll(plat::TRUE);
    for (int i = 0; i < Count(); ++i) {
        const SOverlay& o = m_overlays[size_t(i)];
        const std::vector<double>& ys = bSpeed ? o.speed : o.torque;
        const int index = pGraph->AddSeries(plat::UINT(o.x.size()), o.x.data(), ys.data());
        CVelGraphSeries* s = pGraph->GetSeries(index);
        s->SetColor(FadedColor(i, pGraph->GetBkgColor()));
        s->SetPointStyle(POINT_NONE);
        s->EnableShowMark(plat::FALSE);
        s->SetTipInfo(o.strName);
        pGraph->SetLegendLabel(index, o.strName);
    }
    for (const SKeptSeries& k : kept) PutBack(pGraph, k);
    for (const tagGraphMarker& m : markers) pGraph->AddMarker(m.x, m.crColor, m.nPenStyle, m.strLabel);
    // A legend here names runs; no entry is picked until the user clicks one.
    for (int i = 0; i < pGraph->GetLegend().GetCount(); ++i) pGraph->GetLegend().GetItem(i)->EnableActivate(0);
    pGraph->GetLegend().EnableShow(Count() > 0);
    pGraph->GetLegend().SetPosition(LEGEND_TOP);
    pChart->AdjustLayout();
    pChart->update();
}

plat::COLORREF CChartOverlays::FadedColor(int index, plat::COLORREF crBackground)
{
    const plat::COLORREF hue = kHues[std::clamp(index, 0, kMaxOverlays - 1)];
    return plat::RGB(Mix(plat::GetRValue(hue), plat::GetRValue(crBackground)),
                     Mix(plat::GetGValue(hue), plat::GetGValue(crBackground)),
                     Mix(plat::GetBValue(hue), plat::GetBValue(crBackground)));
}
