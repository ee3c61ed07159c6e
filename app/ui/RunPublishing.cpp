#include "ui/RunPublishing.h"

#include "ui/RunControl.h"

#include <QMetaEnum>
#include <algorithm>

CRunPublishing::CRunPublishing(CRunControl& control, CMqttPublisher::SConfig config, QObject* parent)
    : CRunPublishing(control, std::move(config), 0, parent)
{
}

CRunPublishing::CRunPublishing(CRunControl& control, CMqttPublisher::SConfig config, int setPoint, QObject* parent)
    : QObject(parent), m_control(control), m_publisher(std::move(config)), m_nSetPoint(setPoint)
{
    connect(&m_control, &CRunControl::runningChanged, this, &CRunPublishing::OnRunningChanged);
    connect(&m_control, &CRunControl::eventRecorded, this, &CRunPublishing::OnEventRecorded);
    // The publisher signals from its network thread; these arrive queued.
    connect(&m_publisher, &CMqttPublisher::stopRequested, this, &CRunPublishing::remoteStop, Qt::QueuedConnection);
    connect(&m_publisher, &CMqttPublisher::problem, this, &CRunPublishing::problem, Qt::QueuedConnection);
    connect(&m_publisher, &CMqttPublisher::linkChanged, this, &CRunPublishing::linkChanged, Qt::QueuedConnection);
    if (m_control.IsRunning()) {
        m_start = RunStart();
        m_nElapsedBeforeMs = std::max<qint64>(0, m_control.RunTimeMs());
        m_elapsed.start();
        m_publisher.PublishState({mqtt_messages::EState::Running, m_start, m_nSetPoint, m_strProgram});
    } else {
        m_publisher.PublishState({mqtt_messages::EState::Idle, {}, 0, {}});
    }
    m_publisher.Start();
}

CRunPublishing::~CRunPublishing()
{
    Finish(0);
}

void CRunPublishing::OnRunningChanged(bool running)
{
    if (running) {
        m_start = RunStart();
        m_nElapsedBeforeMs = 0;
        m_elapsed.start();
        m_publisher.PublishState({mqtt_messages::EState::Running, m_start, m_nSetPoint, m_strProgram});
        Event(QStringLiteral("start"), QStringLiteral("Started at %1 rpm").arg(m_nSetPoint));
        return;
    }
    m_publisher.PublishState({mqtt_messages::EState::Idle, {}, 0, {}});
    Event(QStringLiteral("stop"), QStringLiteral("Stopped"));
}

// Start and Stop are published with the state change above, a remote stop
// by RecordRemoteStop; every other journal event goes out as it is recorded.
void CRunPublishing::OnEventRecorded(int, CRunControl::EEvent kind, const QString& text)
{
    if (kind == CRunControl::EEvent::Start || kind == CRunControl::EEvent::Stop
        || kind == CRunControl::EEvent::RemoteStop)
        return;
    const char* key = QMetaEnum::fromType<CRunControl::EEvent>().valueToKey(static_cast<int>(kind));
    Event(QString::fromLatin1(key ? key : "Other").toLower(), text);
}

// The run control's own start, so that the state and the journal agree.
QDateTime CRunPublishing::RunStart() const
{
    return QDateTime::fromMSecsSinceEpoch(m_control.StartWall().nMsSinceEpoch, Qt::UTC);
}

void CRunPublishing::SetAlarm(bool on)
{
    if (!m_control.IsRunning()) return;
    const auto state = on ? mqtt_messages::EState::Alarm : mqtt_messages::EState::Running;
    m_publisher.PublishState({state, m_start, m_nSetPoint, m_strProgram});
}

void CRunPublishing::Sample(int number, int speed, int torque)
{
    mqtt_messages::SSample sample;
    sample.nNumber = number;
    sample.time = QDateTime::currentDateTimeUtc();
    sample.dElapsedS = m_elapsed.isValid() ? (m_nElapsedBeforeMs + m_elapsed.elapsed()) / 1000.0 : 0.0;
    sample.nSetPoint = m_nSetPoint;
    sample.nSpeed = speed;
    sample.nTorque = torque;
    m_publisher.PublishSample(sample);
}

void CRunPublishing::Event(const QString& kind, const QString& text)
{
    m_publisher.PublishEvent(kind, text);
}

void CRunPublishing::RecordRemoteStop(const QString& said)
{
    Event(QStringLiteral("remote-stop"), said);
    m_control.RecordEvent(CRunControl::EEvent::RemoteStop, QStringLiteral("Stop requested over MQTT: %1").arg(said));
}

void CRunPublishing::Finish(int flushMs)
{
    m_publisher.Stop(flushMs);
}
