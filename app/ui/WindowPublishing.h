#pragma once

#include "net/MqttPublisher.h"
#include "net/MqttSettings.h"

#include <QObject>
#include <QString>
#include <memory>

class CRunControl;
class CRunPublishing;

// The main window's publishing to the laboratory's broker: the same
// CRunPublishing as the headless run, made from the network settings and
// made anew whenever they change, so that new settings apply at once
// (the old connection ends cleanly, the new one reconnects). Every sample
// the run records is published. UI thread.
class CWindowPublishing : public QObject
{
    Q_OBJECT
public:
    // Time the old connection gets to deliver what waits when the
    // settings change or the window closes.
    static constexpr int kFlushMs = 2000;

    // control is not owned and must outlive this.
    explicit CWindowPublishing(CRunControl& control, QObject* parent = nullptr);
    ~CWindowPublishing() override;

    // Ends any publishing, then publishes with the settings when they are
    // enabled. False with *error set when they cannot be used: nothing is
    // published then. portName gives the default topic prefix.
    bool Apply(const SMqttSettings& settings, const QString& portName, QString* error);
    // Ends publishing; the retained state says "offline", as the last will
    // would: nobody publishes for the stirrer any more.
    void Finish(int flushMs = kFlushMs);

    // The set-point of the next Start (rpm).
    void SetSetPoint(int rpm);
    // While an alarm stands, a run's state is "alarm" (also under new
    // settings).
    void SetAlarm(bool on);
    bool IsAlarm() const { return m_bAlarm; }
    bool IsPublishing() const { return m_pPublishing != nullptr; }
    const SMqttSettings& Settings() const { return m_settings; }
    // Null while nothing is published.
    CMqttPublisher* Publisher() const;
    CRunPublishing* Publishing() const { return m_pPublishing.get(); }

signals:
    // A new publisher, or null when publishing ended.
    void publisherChanged(CMqttPublisher* pPublisher);
    // Relayed from the publishing, on the UI thread.
    void remoteStop(const QString& text);
    void problem(const QString& text);

private:
    void OnSample(int speed, int torque);

    CRunControl& m_control;
    SMqttSettings m_settings;
    std::unique_ptr<CRunPublishing> m_pPublishing;
    int m_nSetPoint = 0;
    bool m_bAlarm = false;
};
