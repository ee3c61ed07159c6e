#include "ui/LiveCharts.h"

#include "graph/VelGraphWnd.h"
#include "platform/DialogTemplate.h"
#include "platform/GdiDefs.h"
#include "run/OpenedRun.h"
#include "run/RunJournal.h"
#include "ui/Palette.h"
#include "ui/ResourceIds.h"
#include "ui/RunControl.h"

#include <algorithm>

namespace {

constexpr plat::COLORREF kSpeedColor = 0x800000;   // dark blue
constexpr plat::COLORREF kSetPointColor = 0x0080FF;  // orange
constexpr plat::COLORREF kTorqueColor = 0x008000;  // green
constexpr double kYMaxRange = 900000000000.0;
constexpr double kXMaxRange = 1000000.0;
constexpr double kTopMargin = 0.025;

QString CurrentRunName()
{
    return QStringLiteral("Current run");
}

}  // namespace

CLiveCharts::CLiveCharts(CVelGraphWnd* pSpeedChart, CVelGraphWnd* pTorqueChart, QObject* parent)
    : QObject(parent), m_pSpeedChart(pSpeedChart), m_pTorqueChart(pTorqueChart), m_strCurrentName(CurrentRunName())
{
}

QWidget* CLiveCharts::CreateChart(const plat::CDialogItemTemplate& item, QWidget* parent)
{
    if (item.nId != kIdSpeedChart && item.nId != kIdTorqueChart) return nullptr;
    auto* pChart = new CVelGraphWnd(parent);
    pChart->SetWindowStyle(item.dwStyle);
    return pChart;
}

void CLiveCharts::SetUp()
{
    SetUpChart(m_pTorqueChart, vantoc::IDS_TORQUE_X_TITLE, vantoc::IDS_TORQUE_Y_TITLE);
    SetUpChart(m_pSpeedChart, vantoc::IDS_SPEED_X_TITLE, vantoc::IDS_SPEED_Y_TITLE);
}

void CLiveCharts::SetUpChart(CVelGraphWnd* pChart, unsigned nXTitle, unsigned nYTitle)
{
    CVelGraph* pGraph = pChart->m_pGraph.get();
    pChart->SetBkgColor(vantoc::kBackground);
    pGraph->SetAxisValueType(GRAPH_AXIS_Y, AXIS_VALUE_INTEGER);
    pGraph->ShowMarks(plat::TRUE);
    pGraph->EnableShowMarks(plat::TRUE);
    pGraph->EnableShowLegend(plat::FALSE);
    pChart->ShowButtons(plat::FALSE);
    pGraph->EnableSeriesActivate(plat::FALSE);
    pGraph->EnableAxisRecalculate(GRAPH_AXIS_X, plat::FALSE);
    pGraph->EnableAxisRecalculate(GRAPH_AXIS_Y, plat::TRUE);
    pGraph->SetAxisMaxRange(GRAPH_AXIS_Y, 0, kYMaxRange);
    pGraph->SetAxisMaxRange(GRAPH_AXIS_X, 0, kXMaxRange);
    pChart->SetGraphType(GRAPH_LINE);
    pGraph->SetAxisGrid(GRAPH_AXIS_X, plat::TRUE, plat::TRUE);
    pGraph->SetAxisGrid(GRAPH_AXIS_Y, plat::TRUE, plat::TRUE);
    pGraph->EnableShowTitle(plat::FALSE);
    pGraph->EnableShowXTitle(plat::TRUE);
    pGraph->EnableShowYTitle(plat::TRUE);
    pGraph->SetXTitleColor(vantoc::kLightText);
    pGraph->SetYTitleColor(vantoc::kLightText);
    pChart->SetXTitle(vantoc::String(nXTitle));
    pChart->SetYTitle(vantoc::String(nYTitle));
    pChart->AdjustLayout();
}

void CLiveCharts::Reset()
{
    m_fTorqueMin = 0;
    m_fTorqueMax = kInitialMax;
    m_fSpeedMin = 0;
    m_fSpeedMax = kInitialMax;
    m_nSpeedSamples = 0;
    m_nXExtent = 1;
    m_deltaX.clear();
    m_deltaY.clear();
    m_pTorqueChart->RemoveAll(plat::TRUE);
    m_pSpeedChart->RemoveAll(plat::TRUE);
    m_nPlaced = 0;
    m_strCurrentName = CurrentRunName();
    if (m_overlays.Count() > 0) {
        PlaceOverlays();
        ApplyRanges(0);
    }
}

void CLiveCharts::UpdateSpeed(int nSamples, float fSpeed)
{
    m_fSpeedMin = std::min(m_fSpeedMin, fSpeed);
    m_fSpeedMax = std::max(m_fSpeedMax, fSpeed);
    m_nSpeedSamples = nSamples;
    AddPoint(m_pSpeedChart, nSamples, fSpeed, POINT_TRIANGLE_UP, kSpeedColor);
}

void CLiveCharts::UpdateTorque(int nSamples, float fTorque)
{
    m_fTorqueMin = std::min(m_fTorqueMin, fTorque);
    m_fTorqueMax = std::max(m_fTorqueMax, fTorque);
    m_nXExtent = std::max(m_nSpeedSamples, nSamples) + 1;
    AddPoint(m_pTorqueChart, nSamples, fTorque, POINT_DIAMOND, kTorqueColor);
    ApplyRanges(m_nXExtent - 1);
}

void CLiveCharts::ApplyRanges(int nSamples)
{
    float fSpeedMin = m_fSpeedMin;
    float fSpeedMax = m_fSpeedMax;
    float fTorqueMin = m_fTorqueMin;
    float fTorqueMax = m_fTorqueMax;
    double dMin = 0;
    double dMax = 0;
    if (m_overlays.YRange(true, dMin, dMax)) {
        fSpeedMin = std::min(fSpeedMin, float(dMin));
        fSpeedMax = std::max(fSpeedMax, float(dMax));
    }
    if (m_bDeltaShown && !m_deltaY.empty()) {
        fTorqueMin = std::min(fTorqueMin, m_fDeltaMin);
        fTorqueMax = std::max(fTorqueMax, m_fDeltaMax);
    }
    if (m_overlays.YRange(false, dMin, dMax)) {
        fTorqueMin = std::min(fTorqueMin, float(dMin));
        fTorqueMax = std::max(fTorqueMax, float(dMax));
    }
    const int nXExtent = std::max(nSamples, m_overlays.XExtent()) + 1;
    SetRanges(m_pSpeedChart, fSpeedMin, fSpeedMax, nXExtent);
    SetRanges(m_pTorqueChart, fTorqueMin, fTorqueMax, nXExtent);
}

void CLiveCharts::UpdateDelta(int nSamples, float fDelta)
{
    if (m_deltaY.empty()) {
        m_fDeltaMin = fDelta;
        m_fDeltaMax = fDelta;
    }
    m_fDeltaMin = std::min(m_fDeltaMin, fDelta);
    m_fDeltaMax = std::max(m_fDeltaMax, fDelta);
    m_deltaX.push_back(nSamples);
    m_deltaY.push_back(fDelta);
    if (!m_bDeltaShown) return;
    // The Δ series follows the current run's torque series.
    const int index = CurrentSeries() + 1;
    if (m_pTorqueChart->GetSeriesCount() == index + 1)
        m_pTorqueChart->m_pGraph->AddOneDataOfSeries(index, nSamples, fDelta);
    else PutDeltaSeries();
    ApplyRanges(m_nXExtent - 1);
}

void CLiveCharts::ShowDelta(bool bShow)
{
    if (m_bDeltaShown == bShow) return;
    m_bDeltaShown = bShow;
    PutDeltaSeries();
    ApplyRanges(m_nXExtent - 1);
}

// The series after the current run's torque series holds the Δ points
// while shown and none while hidden; it exists only once the torque
// series does.
void CLiveCharts::PutDeltaSeries()
{
    const int index = CurrentSeries() + 1;
    const int nCount = m_pTorqueChart->GetSeriesCount();
    if (nCount < index) return;
    const plat::UINT nPoints = m_bDeltaShown ? static_cast<plat::UINT>(m_deltaX.size()) : 0;
    if (nCount == index) {
        if (nPoints == 0) return;
        m_pTorqueChart->AddSeries(nPoints, m_deltaX.data(), m_deltaY.data());
        CVelGraphSeries* pSeries = m_pTorqueChart->m_pGraph->GetSeries(index);
        pSeries->SetPointStyle(POINT_NONE);
        pSeries->SetColor(kDeltaColor);
        return;
    }
    m_pTorqueChart->SetSeriesAt(index, nPoints, m_deltaX.data(), m_deltaY.data());
}

void CLiveCharts::UpdateSetPoint(int nSamples, float fRpm)
{
    // The trace follows the current run's series, behind no overlay.
    const int index = CurrentSeries() + 1;
    if (m_pSpeedChart->GetSeriesCount() < index) return;
    m_fSpeedMin = std::min(m_fSpeedMin, fRpm);
    m_fSpeedMax = std::max(m_fSpeedMax, fRpm);
    const double x = nSamples, y = fRpm;
    if (m_pSpeedChart->GetSeriesCount() > index) {
        m_pSpeedChart->m_pGraph->AddOneDataOfSeries(index, x, y);
        return;
    }
    m_pSpeedChart->AddSeries(1, &x, &y);
    CVelGraphSeries* pSeries = m_pSpeedChart->m_pGraph->GetSeries(index);
    pSeries->SetPointStyle(POINT_NONE);
    pSeries->SetPenStyle(plat::PS_DASH);
    pSeries->SetColor(kSetPointColor);
}

double CLiveCharts::RangeTop(float fMin, float fMax)
{
    return fMax + (fMax - fMin) * kTopMargin;
}

void CLiveCharts::AddPoint(CVelGraphWnd* pChart, double x, double y, eCurvePointStyle eStyle, plat::COLORREF crColor)
{
    const int index = CurrentSeries();
    if (pChart->GetSeriesCount() > index) {
        pChart->m_pGraph->AddOneDataOfSeries(index, x, y);
        return;
    }
    pChart->AddSeries(1, &x, &y);
    StyleCurrent(pChart, eStyle, crColor);
}

void CLiveCharts::StyleCurrent(CVelGraphWnd* pChart, eCurvePointStyle eStyle, plat::COLORREF crColor)
{
    const int index = CurrentSeries();
    CVelGraphSeries* pSeries = pChart->m_pGraph->GetSeries(index);
    if (!pSeries) return;
    pSeries->SetPointStyle(eStyle);
    pSeries->SetColor(crColor);
    pChart->SetLegendLabel(index, m_strCurrentName);
}

void CLiveCharts::SetRanges(CVelGraphWnd* pChart, float fMin, float fMax, int nXExtent)
{
    pChart->SetAxisRange(GRAPH_AXIS_Y, fMin, RangeTop(fMin, fMax), plat::TRUE);
    pChart->SetAxisRange(GRAPH_AXIS_X, 0, nXExtent, plat::TRUE);
    // The chart paints every pixel itself: no erasing needed.
    pChart->update();
}

void CLiveCharts::AddMarker(double x, const QString& label, plat::COLORREF crColor, int nPenStyle)
{
    for (CVelGraphWnd* pChart : {m_pSpeedChart, m_pTorqueChart}) {
        pChart->m_pGraph->AddMarker(x, crColor, nPenStyle, label);
        pChart->update();
    }
}

void CLiveCharts::ShowRun(const COpenedRun& run)
{
    Reset();
    m_strCurrentName = run.FileName();
    const std::vector<SRunSample>& samples = run.Samples();
    const size_t n = samples.size();
    if (n > 0) {
        std::vector<double> xs(n);
        std::vector<double> speeds(n);
        std::vector<double> torques(n);
        for (size_t i = 0; i < n; ++i) {
            xs[i] = double(i + 1);
            speeds[i] = samples[i].nSpeed;
            torques[i] = samples[i].nTorque;
            m_fSpeedMin = std::min(m_fSpeedMin, float(speeds[i]));
            m_fSpeedMax = std::max(m_fSpeedMax, float(speeds[i]));
            m_fTorqueMin = std::min(m_fTorqueMin, float(torques[i]));
            m_fTorqueMax = std::max(m_fTorqueMax, float(torques[i]));
        }
        m_pSpeedChart->m_pGraph->AddSeries(plat::UINT(n), xs.data(), speeds.data());
        StyleCurrent(m_pSpeedChart, POINT_TRIANGLE_UP, kSpeedColor);
        m_pTorqueChart->m_pGraph->AddSeries(plat::UINT(n), xs.data(), torques.data());
        StyleCurrent(m_pTorqueChart, POINT_DIAMOND, kTorqueColor);
    }
    m_nSpeedSamples = int(n);
    ApplyRanges(int(n));
    for (const SRunEvent& e : run.Events())
        if (e.strText != QLatin1String("Start") && e.strText != QLatin1String("Stop"))
            AddMarker(e.nAfterSamples, e.strText, kMarkColor, plat::PS_SOLID);
}

bool CLiveCharts::AddOverlay(const QString& name, const COpenedRun& run)
{
    if (!m_overlays.Add(name, run)) return false;
    PlaceOverlays();
    ApplyRanges(m_nSpeedSamples);
    return true;
}

void CLiveCharts::RemoveOverlay(int index)
{
    if (index < 0 || index >= m_overlays.Count()) return;
    m_overlays.Remove(index);
    PlaceOverlays();
    ApplyRanges(m_nSpeedSamples);
}

void CLiveCharts::PlaceOverlays()
{
    m_overlays.Place(m_pSpeedChart, true, m_nPlaced);
    m_overlays.Place(m_pTorqueChart, false, m_nPlaced);
    m_nPlaced = m_overlays.Count();
}

void CLiveCharts::Follow(const CRunControl& run)
{
    connect(&run, &CRunControl::eventRecorded, this,
            [this](int afterSamples, CRunControl::EEvent kind, const QString& text) {
                if (kind == CRunControl::EEvent::Mark) AddMarker(afterSamples, text, kMarkColor, plat::PS_SOLID);
                else if (kind == CRunControl::EEvent::LinkLost)
                    AddMarker(afterSamples, QString(), kSilenceColor, plat::PS_DOT);
            });
    connect(&run, &CRunControl::runReset, this, &CLiveCharts::Reset);
    connect(&run, &CRunControl::sampleArrived, this, [this, &run](int speed, int torque) {
        const int nSamples = run.Record().GetCount();
        UpdateSpeed(nSamples, static_cast<float>(speed));
        if (m_bSetPointTrace) UpdateSetPoint(nSamples, static_cast<float>(run.SetPoint()));
        UpdateTorque(nSamples, static_cast<float>(torque));
    });
}
