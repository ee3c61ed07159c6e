#pragma once

#include "run/EndPointRules.h"
#include "run/ProgramRunner.h"
#include "run/RunTimer.h"
#include "run/SafetyLimits.h"
#include "run/SafetySupervisor.h"
#include "run/SpeedProgram.h"
#include "run/TorqueEndPoint.h"
#include "ui/RunControl.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// What runs a run unattended, for the window and the headless run alike:
// a speed program, the "Stop after" timer, the safety limits and the
// torque end-point rules. No widgets. It watches a CRunControl: each
// sample and a tick (a poll that brings no sample still counts for the
// link-lost time and the program's steps) are read against the run
// control's clock. Set-point commands go through CRunControl::ChangeSpeed,
// so they wait for the exchange lock and never split a status exchange;
// nothing is sent while another exchange is in progress (it is tried at
// the next sample or tick instead).
//
// Use: configure (SetProgram, SetStopAfter, SetLimits, SetEndPointRules,
// SetTareAtStart), check the start speed with CheckStart, start the run
// control at StartRpm; the automation takes over at runningChanged(true)
// and lets go at runningChanged(false). Configuration changes take effect
// at the next Start, except Tare, AcknowledgeAlarm and the end-point rules,
// which apply to the run under way at once.
//
// Journal events it records: each set-point change (by the run control),
// alarms, the tare value and the end point reached.
class CRunAutomation : public QObject
{
    Q_OBJECT
public:
    // Why the automation ended a run.
    enum class EEnd {
        ProgramFinished,  // the program's last step is over
        TimerElapsed,     // "Stop after"
        TorqueLimit,      // the torque limit with the action "stop"
        LinkLost,         // no valid reply for the link-lost time
        EndPoint,         // an end-point rule with the action "stop"
    };
    Q_ENUM(EEnd)

    // Stops the motor as the owner's Stop does; returns whether the motor
    // is known to be stopped. The reason goes into the journal's end line.
    using StopHandler = std::function<bool(const QString& reason)>;

    static constexpr int kTickMs = 500;

    // control must outlive this. Stop by default calls control.Stop(reason).
    explicit CRunAutomation(CRunControl& control, QObject* parent = nullptr);
    ~CRunAutomation() override;

    void SetStopHandler(StopHandler handler);

    // A program to run instead of a single speed; an empty one clears it.
    void SetProgram(const CSpeedProgram& program);
    const CSpeedProgram& Program() const { return m_program; }
    bool HasProgram() const { return !m_program.IsEmpty(); }
    // "Stop after" for a plain run, in seconds; 0 for none. Ignored while
    // a program is loaded (the program has its own end).
    void SetStopAfter(double seconds);
    void SetLimits(const CSafetyLimits& limits);
    const CSafetyLimits& Limits() const { return m_limits; }
    void SetEndPointRules(const CEndPointRules& rules);
    const CEndPointRules& EndPointRules() const { return m_rules; }
    // Tare on the run's fifth sample (the mean of the first five).
    void SetTareAtStart(bool on) { m_bTareAtStart = on; }

    // Empty when a run may start at plainRpm (or with the loaded program);
    // otherwise why not, naming the laboratory's maximum speed.
    QString CheckStart(int plainRpm) const;
    // The speed to give the run control's Start: the program's first
    // set-point while one is loaded, plainRpm otherwise.
    int StartRpm(int plainRpm) const;

    // The mean of the last five samples becomes zero torque; recorded in
    // the journal. False before the first sample of a run.
    bool Tare();
    // Clears a standing alarm (the operator saw it).
    void AcknowledgeAlarm();

    bool IsActive() const { return m_bActive; }
    bool IsAlarmStanding() const { return m_bAlarm; }
    const QString& AlarmReason() const { return m_strAlarm; }
    // Seconds since the run's Start, by the run control's clock.
    double Elapsed() const;
    // "Stop after": seconds left, or nothing when no timer runs.
    std::optional<double> RemainingSeconds() const;
    // The detector of the current or last run: tare, Δ and rate.
    const CTorqueEndPoint& EndPoint() const { return *m_pEndPoint; }
    // The runner of the current or last run; null without a program.
    const CProgramRunner* Runner() const { return m_pRunner.get(); }

signals:
    // An alarm (torque limit or link lost) stands from now until
    // AcknowledgeAlarm; time is the wall-clock time it was raised.
    void alarmRaised(const QString& reason, const QDateTime& time);
    void alarmCleared();
    // An end-point rule fired; event.sampleIndex is the firing sample
    // (0-based), event.Message() the operator's text.
    void endPointReached(const EndPointEvent& event);
    // The set-point now in force, after an acknowledged command.
    void setPointChanged(int rpm);
    // A set-point command was refused or not acknowledged; a program
    // retries it at its next step.
    void setPointRefused(int rpm);
    void tared(double ncm);
    // After each sample was judged: Δ torque (torque minus the tare) and
    // the trend in Ncm/min, known once the samples span the trend window.
    void trendUpdated(double deltaNcm, double rateNcmPerMin, bool rateKnown);
    // The automation ended the run (after the stop handler ran); text is
    // for the operator ("torque limit reached: ...").
    void runEnded(CRunAutomation::EEnd why, const QString& text);
    // After a link-lost stop that the line did not take: the motor is
    // known to be stopped at last (the attempts go on until then).
    void stopAcknowledged();

private:
    void OnRunningChanged(bool running);
    void OnSample(int speed, int torque);
    void OnTick();
    void Step(double elapsed);
    void RunProgram(double elapsed);
    void TakeVerdict(const SafetyVerdict& verdict);
    void TakeEndPoint(const EndPointEvent& event);
    bool SendSetPoint(int rpm);
    void RaiseAlarm(const QString& reason);
    void EndRun(EEnd why, const QString& text, const QString& journalReason);
    void RetryStop();
    void TakePending();

    struct SPending {
        double seconds;
        int torque;
    };

    CRunControl& m_control;
    StopHandler m_stop;
    CSpeedProgram m_program;
    double m_dStopAfter = 0;
    CSafetyLimits m_limits;
    CEndPointRules m_rules;
    bool m_bTareAtStart = false;

    std::unique_ptr<CProgramRunner> m_pRunner;
    std::unique_ptr<CSafetySupervisor> m_pSupervisor;
    std::unique_ptr<CTorqueEndPoint> m_pEndPoint;
    CRunTimer m_timer{0};
    QTimer m_tick;
    QTimer m_retry;               // link-lost stop attempts after the run
    std::vector<SPending> m_pending;  // samples that came during an exchange
    QString m_strStopReason;
    bool m_bActive = false;
    bool m_bActing = false;       // guards against re-entry from a nested event loop
    bool m_bStopPending = false;  // the link-lost stop is not acknowledged yet
    bool m_bAlarm = false;
    QString m_strAlarm;
};
