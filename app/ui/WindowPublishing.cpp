#include "ui/WindowPublishing.h"

#include "ui/RunControl.h"
#include "ui/RunPublishing.h"

CWindowPublishing::CWindowPublishing(CRunControl& control, QObject* parent) : QObject(parent), m_control(control)
{
    connect(&m_control, &CRunControl::sampleArrived, this, &CWindowPublishing::OnSample);
}

CWindowPublishing::~CWindowPublishing()
{
    Finish(0);
}

bool CWindowPublishing::Apply(const SMqttSettings& settings, const QString& portName, QString* error)
{
    CMqttPublisher::SConfig config;
    if (settings.IsEnabled() && !CMqttPublisher::Prepare(settings, portName, &config, error)) return false;
    Finish();
    m_settings = settings;
    if (!settings.IsEnabled()) return true;
    m_pPublishing = std::make_unique<CRunPublishing>(m_control, config, m_nSetPoint);
    if (m_bAlarm) m_pPublishing->SetAlarm(true);
    connect(m_pPublishing.get(), &CRunPublishing::remoteStop, this, &CWindowPublishing::remoteStop);
    connect(m_pPublishing.get(), &CRunPublishing::problem, this, &CWindowPublishing::problem);
    emit publisherChanged(&m_pPublishing->Publisher());
    return true;
}

void CWindowPublishing::Finish(int flushMs)
{
    if (!m_pPublishing) return;
    std::unique_ptr<CRunPublishing> ending = std::move(m_pPublishing);
    emit publisherChanged(nullptr);
    ending->Publisher().PublishState({mqtt_messages::EState::Offline, {}, 0, {}});
    ending->Finish(flushMs);
}

void CWindowPublishing::SetSetPoint(int rpm)
{
    m_nSetPoint = rpm;
    if (m_pPublishing) m_pPublishing->SetSetPoint(rpm);
}

void CWindowPublishing::SetAlarm(bool on)
{
    m_bAlarm = on;
    if (m_pPublishing) m_pPublishing->SetAlarm(on);
}

CMqttPublisher* CWindowPublishing::Publisher() const
{
    return m_pPublishing ? &m_pPublishing->Publisher() : nullptr;
}

void CWindowPublishing::OnSample(int speed, int torque)
{
    if (m_pPublishing) m_pPublishing->Sample(m_control.Record().GetCount(), speed, torque);
}
