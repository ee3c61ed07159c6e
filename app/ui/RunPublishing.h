#pragma once

#include "net/MqttPublisher.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include "ui/RunControl.h"

// Feeds the runs of a CRunControl to the laboratory's broker: the state
// (idle or running with its start, set-point and program), the samples the
// owner passes on, and the Start and Stop events. A remote stop comes back
// as remoteStop on the UI thread; what the owner does with it is its own
// affair, and nothing else from the network reaches the run. Lives on the
// UI thread.
class CRunPublishing : public QObject
{
    Q_OBJECT
public:
    // Starts publishing at once: the state "idle" first, or "running" with
    // the run's start when made during a run.
    CRunPublishing(CRunControl& control, CMqttPublisher::SConfig config, QObject* parent = nullptr);
    // The same, with the set-point of the run under way (or of the next).
    CRunPublishing(CRunControl& control, CMqttPublisher::SConfig config, int setPoint, QObject* parent = nullptr);
    // Ends as Finish(0) would.
    ~CRunPublishing() override;

    // The set-point and program of the next run, told before its Start.
    void SetSetPoint(int rpm) { m_nSetPoint = rpm; }
    void SetProgramName(const QString& name) { m_strProgram = name; }
    // While an alarm stands the retained state of a run is "alarm".
    void SetAlarm(bool on);

    // The n-th sample of the run (from 1), as printed or shown.
    void Sample(int number, int speed, int torque);
    // An event of the run's journal.
    void Event(const QString& kind, const QString& text);
    // A stop asked for over MQTT: published once, as "remote-stop" with the
    // remote text alone, and written to the run's journal.
    void RecordRemoteStop(const QString& said);
    // Gives the connection at most flushMs to deliver what is queued, then
    // disconnects cleanly.
    void Finish(int flushMs);

    CMqttPublisher& Publisher() { return m_publisher; }

signals:
    void remoteStop(const QString& text);
    void problem(const QString& text);
    void linkChanged(CMqttPublisher::ELink link);

private:
    void OnRunningChanged(bool running);
    void OnEventRecorded(int afterSamples, CRunControl::EEvent kind, const QString& text);
    QDateTime RunStart() const;

    CRunControl& m_control;
    CMqttPublisher m_publisher;
    QDateTime m_start;
    QElapsedTimer m_elapsed;
    qint64 m_nElapsedBeforeMs = 0;  // of a run under way when made
    int m_nSetPoint = 0;
    QString m_strProgram;
};
