#include "ui/LiveCharts.h"

#include "graph/VelGraphWnd.h"
#include "platform/DialogTemplate.h"
#include "platform/GdiDefs.h"
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

}  // namespace

CLiveCharts::CLiveCharts(CVelGraphWnd* pSpeedChart, CVelGraphWnd* pTorqueChart, QObject* parent)
    : QObject(parent), m_pSpeedChart(pSpeedChart), m_pTorqueChart(pTorqueChart)
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
    SetRanges(m_pSpeedChart, m_fSpeedMin, m_fSpeedMax, m_nXExtent);
    SetTorqueRange(m_nXExtent);
}

void CLiveCharts::SetTorqueRange(int nXExtent)
{
    float fMin = m_fTorqueMin;
    float fMax = m_fTorqueMax;
    if (m_bDeltaShown && !m_deltaY.empty()) {
        fMin = std::min(fMin, m_fDeltaMin);
        fMax = std::max(fMax, m_fDeltaMax);
    }
    SetRanges(m_pTorqueChart, fMin, fMax, nXExtent);
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
    // The torque series is series 0; the Δ series follows it.
    if (m_pTorqueChart->GetSeriesCount() == 2) m_pTorqueChart->m_pGraph->AddOneDataOfSeries(1, nSamples, fDelta);
    else PutDeltaSeries();
    SetTorqueRange(m_nXExtent);
}

void CLiveCharts::ShowDelta(bool bShow)
{
    if (m_bDeltaShown == bShow) return;
    m_bDeltaShown = bShow;
    PutDeltaSeries();
    SetTorqueRange(m_nXExtent);
}

// Series 1 of the torque chart holds the Δ points while shown and none
// while hidden; it exists only once the torque series does.
void CLiveCharts::PutDeltaSeries()
{
    const int nCount = m_pTorqueChart->GetSeriesCount();
    if (nCount == 0) return;
    const plat::UINT nPoints = m_bDeltaShown ? static_cast<plat::UINT>(m_deltaX.size()) : 0;
    if (nCount == 1) {
        if (nPoints == 0) return;
        m_pTorqueChart->AddSeries(nPoints, m_deltaX.data(), m_deltaY.data());
        CVelGraphSeries* pSeries = m_pTorqueChart->m_pGraph->GetSeries(1);
        pSeries->SetPointStyle(POINT_NONE);
        pSeries->SetColor(kDeltaColor);
        return;
    }
    m_pTorqueChart->SetSeriesAt(1, nPoints, m_deltaX.data(), m_deltaY.data());
}

void CLiveCharts::UpdateSetPoint(int nSamples, float fRpm)
{
    if (m_pSpeedChart->GetSeriesCount() < 1) return;
    m_fSpeedMin = std::min(m_fSpeedMin, fRpm);
    m_fSpeedMax = std::max(m_fSpeedMax, fRpm);
    const double x = nSamples, y = fRpm;
    if (m_pSpeedChart->GetSeriesCount() > 1) {
        m_pSpeedChart->m_pGraph->AddOneDataOfSeries(1, x, y);
        return;
    }
    m_pSpeedChart->AddSeries(1, &x, &y);
    CVelGraphSeries* pSeries = m_pSpeedChart->m_pGraph->GetSeries(1);
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
    if (pChart->GetSeriesCount() > 0) {
        pChart->m_pGraph->AddOneDataOfSeries(0, x, y);
        return;
    }
    pChart->AddSeries(1, &x, &y);
    CVelGraphSeries* pSeries = pChart->m_pGraph->GetSeries(0);
    pSeries->SetPointStyle(eStyle);
    pSeries->SetColor(crColor);
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

void CLiveCharts::ShowJournal(const CRunJournal& journal)
{
    Reset();
    int n = 0;
    for (const SJournalSample& s : journal.Samples()) {
        ++n;
        UpdateSpeed(n, static_cast<float>(s.nSpeed));
        UpdateTorque(n, static_cast<float>(s.nTorque));
    }
    for (const SJournalEvent& e : journal.Events())
        if (e.strText != QLatin1String("Start") && e.strText != QLatin1String("Stop"))
            AddMarker(e.nAfterSamples, e.strText, kMarkColor, plat::PS_SOLID);
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
