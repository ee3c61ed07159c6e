#include "ui/EndPointView.h"

#include "platform/GdiDefs.h"
#include "ui/AlarmBanner.h"
#include "ui/LiveCharts.h"
#include "ui/RunAutomation.h"
#include "ui/RunControl.h"
#include "ui/TorqueCells.h"

#include <QSettings>

CEndPointView::CEndPointView(CRunControl& run, CRunAutomation& automation, QObject* parent)
    : QObject(parent), m_run(run), m_automation(automation)
{
    connect(&m_automation, &CRunAutomation::endPointReached, this, &CEndPointView::OnEndPoint);
    connect(&m_automation, &CRunAutomation::tared, this, &CEndPointView::Refresh);
    // Samples that waited for an exchange are judged later than they came.
    connect(&m_automation, &CRunAutomation::trendUpdated, this, &CEndPointView::Refresh);
    connect(&m_run, &CRunControl::runningChanged, this, &CEndPointView::Refresh);
}

void CEndPointView::Attach(CTorqueCells* cells, CLiveCharts* charts, CAlarmBanner* banner)
{
    m_pCells = cells;
    m_pCharts = charts;
    m_pBanner = banner;
    // After the automation's and the charts' own: the detector has the
    // sample and the torque chart its point.
    connect(&m_run, &CRunControl::sampleArrived, this, &CEndPointView::OnSample, Qt::UniqueConnection);
    Refresh();
}

bool CEndPointView::Tare()
{
    if (!m_run.IsRunning() || !m_automation.Tare()) return false;
    Refresh();
    return true;
}

void CEndPointView::SetRules(const CEndPointRules& rules)
{
    m_automation.SetEndPointRules(rules);
}

const CEndPointRules& CEndPointView::Rules() const
{
    return m_automation.EndPointRules();
}

void CEndPointView::ShowDelta(bool show)
{
    if (m_pCharts) m_pCharts->ShowDelta(show);
}

CEndPointRules CEndPointView::RememberedRules()
{
    QSettings settings;
    return CEndPointRules::Load(settings);
}

void CEndPointView::RememberRules(const CEndPointRules& rules)
{
    QSettings settings;
    rules.Save(settings);
}

void CEndPointView::OnSample(int, int torque)
{
    const CTorqueEndPoint& detector = m_automation.EndPoint();
    if (m_pCharts && detector.IsTared())
        m_pCharts->UpdateDelta(m_run.Record().GetCount(), static_cast<float>(torque - detector.TareNcm()));
    Refresh();
}

void CEndPointView::OnEndPoint(const EndPointEvent& event)
{
    const QString text = event.Message();
    if (m_pBanner) m_pBanner->Raise(text);
    // The detector counts every sample of the run from 0.
    if (m_pCharts) m_pCharts->AddMarker(event.sampleIndex + 1, text, kMarkerColor, plat::PS_SOLID);
    emit endPointShown(text);
}

void CEndPointView::Refresh()
{
    if (m_pCells) m_pCells->Show(m_automation.EndPoint());
}
