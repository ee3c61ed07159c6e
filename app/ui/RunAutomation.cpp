#include "ui/RunAutomation.h"

#include "run/DurationText.h"

#include <algorithm>

namespace {

constexpr int kRetryStopMs = 2000;

const char* const kEndProgram = "program finished";
const char* const kEndTimer = "stop after";
const char* const kEndTorque = "torque limit";
const char* const kEndLinkLost = "no valid reply";
const char* const kEndEndPoint = "end point";

}  // namespace

CRunAutomation::CRunAutomation(CRunControl& control, QObject* parent)
    : QObject(parent), m_control(control), m_pEndPoint(std::make_unique<CTorqueEndPoint>())
{
    m_stop = [this](const QString& reason) { return m_control.Stop(reason); };
    m_tick.setInterval(kTickMs);
    connect(&m_tick, &QTimer::timeout, this, &CRunAutomation::OnTick);
    m_retry.setInterval(kRetryStopMs);
    connect(&m_retry, &QTimer::timeout, this, &CRunAutomation::RetryStop);
    connect(&m_control, &CRunControl::runningChanged, this, &CRunAutomation::OnRunningChanged);
    connect(&m_control, &CRunControl::sampleArrived, this, &CRunAutomation::OnSample);
}

CRunAutomation::~CRunAutomation() = default;

void CRunAutomation::SetStopHandler(StopHandler handler)
{
    if (handler) m_stop = std::move(handler);
}

void CRunAutomation::SetProgram(const CSpeedProgram& program)
{
    m_program = program;
}

void CRunAutomation::SetStopAfter(double seconds)
{
    m_dStopAfter = seconds > 0 ? seconds : 0;
}

void CRunAutomation::SetLimits(const CSafetyLimits& limits)
{
    m_limits = limits;
    m_limits.Clamp();
}

void CRunAutomation::SetEndPointRules(const CEndPointRules& rules)
{
    m_rules = rules;
    m_rules.Clamp();
    // Rules set during a run apply to it: the operator often decides what
    // "done" means once the torque is seen climbing. The threshold still
    // waits for the tare at the start.
    if (!m_bActive) return;
    CEndPointRules now = m_rules;
    if (m_bTareAtStart && !m_pEndPoint->IsTared()) now.thresholdOn = false;
    m_pEndPoint->SetRules(now);
}

QString CRunAutomation::CheckStart(int plainRpm) const
{
    if (!HasProgram()) return m_limits.CheckStartRpm(plainRpm);
    for (const ProgramStep& step : m_program.Steps()) {
        const QString problem = m_limits.CheckStartRpm(step.rpm);
        if (!problem.isEmpty()) return problem;
    }
    return QString();
}

int CRunAutomation::StartRpm(int plainRpm) const
{
    if (!HasProgram()) return plainRpm;
    const CProgramRunner runner(m_program);
    return runner.Plan().empty() ? plainRpm : runner.Plan().front().rpm;
}

double CRunAutomation::Elapsed() const
{
    return std::max<qint64>(0, m_control.RunTimeMs()) / 1000.0;
}

std::optional<double> CRunAutomation::RemainingSeconds() const
{
    if (!m_bActive || !m_timer.IsActive()) return std::nullopt;
    return m_timer.Remaining(Elapsed());
}

void CRunAutomation::OnRunningChanged(bool running)
{
    if (!running) {
        m_bActive = false;
        m_pending.clear();
        m_tick.stop();
        return;
    }
    m_retry.stop();
    m_bStopPending = false;
    m_bAlarm = false;
    m_strAlarm.clear();
    m_pending.clear();
    m_pRunner = HasProgram() ? std::make_unique<CProgramRunner>(m_program) : nullptr;
    m_timer = CRunTimer(HasProgram() ? 0 : m_dStopAfter);
    m_pSupervisor = std::make_unique<CSafetySupervisor>(m_limits);
    CEndPointRules rules = m_rules;
    // Until the tare, Δ is the raw torque: the threshold waits for it.
    if (m_bTareAtStart) rules.thresholdOn = false;
    m_pEndPoint = std::make_unique<CTorqueEndPoint>(rules);
    m_bActive = true;
    // Start has already sent the program's first set-point.
    if (m_pRunner) {
        const std::optional<ProgramCommand> first = m_pRunner->Due(0);
        if (first) m_pRunner->Report(!first->stop && first->rpm == m_control.SetPoint());
    }
    m_tick.start();
}

void CRunAutomation::OnSample(int, int torque)
{
    if (!m_bActive) return;
    m_pending.push_back({Elapsed(), torque});
    TakePending();
}

void CRunAutomation::OnTick()
{
    if (!m_bActive || m_bActing || m_control.IsBusy()) return;
    TakePending();
    if (!m_bActive) return;
    const double elapsed = Elapsed();
    if (const std::optional<SafetyVerdict> verdict = m_pSupervisor->OnTick(elapsed)) {
        TakeVerdict(*verdict);
        if (!m_bActive) return;
    }
    Step(elapsed);
}

// What is due at elapsed seconds: the program's next command, the timer.
void CRunAutomation::Step(double elapsed)
{
    RunProgram(elapsed);
    if (m_bActive && m_timer.IsDue(elapsed))
        EndRun(EEnd::TimerElapsed, QStringLiteral("Stop after %1 reached").arg(CDurationText::Format(elapsed)),
               QString::fromLatin1(kEndTimer));
}

// Samples are judged in order, and only while no exchange is under way:
// an action taken in the middle of one would nest a second exchange.
void CRunAutomation::TakePending()
{
    if (m_bActing || m_control.IsBusy()) return;
    m_bActing = true;
    // An action's exchange may take further samples meanwhile: they queue
    // up behind and are judged in this same loop.
    for (size_t i = 0; i < m_pending.size() && m_bActive; ++i) {
        const SPending sample = m_pending[i];
        if (std::optional<SafetyVerdict> verdict = m_pSupervisor->OnSample(sample.seconds, sample.torque))
            TakeVerdict(*verdict);
        if (!m_bActive) break;
        const std::optional<EndPointEvent> event = m_pEndPoint->AddSample(sample.seconds, sample.torque);
        if (m_bTareAtStart && !m_pEndPoint->IsTared() && m_pEndPoint->SampleCount() >= CTorqueEndPoint::kTareSamples) {
            Tare();
            m_pEndPoint->SetRules(m_rules);
        }
        const std::optional<double> rate = m_pEndPoint->RateNcmPerMin();
        emit trendUpdated(m_pEndPoint->DeltaNcm(), rate.value_or(0), rate.has_value());
        if (event) TakeEndPoint(*event);
        if (m_bActive) Step(sample.seconds);
    }
    m_pending.clear();
    m_bActing = false;
}

void CRunAutomation::RunProgram(double elapsed)
{
    if (!m_pRunner || !m_bActive) return;
    const std::optional<ProgramCommand> command = m_pRunner->Due(elapsed);
    if (!command) return;
    if (command->stop) {
        m_pRunner->Report(true);
        EndRun(EEnd::ProgramFinished,
               QStringLiteral("Program finished after %1").arg(CDurationText::Format(m_pRunner->TotalSeconds())),
               QString::fromLatin1(kEndProgram));
        return;
    }
    m_pRunner->Report(SendSetPoint(command->rpm));
}

bool CRunAutomation::SendSetPoint(int rpm)
{
    const CRunControl::EChange result = m_control.ChangeSpeed(rpm);
    if (result == CRunControl::EChange::Taken) {
        emit setPointChanged(m_control.SetPoint());
        return true;
    }
    if (result == CRunControl::EChange::Refused || result == CRunControl::EChange::Unknown)
        emit setPointRefused(rpm);
    return false;
}

void CRunAutomation::TakeVerdict(const SafetyVerdict& verdict)
{
    if (verdict.kind == SafetyVerdict::Kind::LinkBack) {
        // The line answers again after a link-lost alarm that did not stop.
        m_control.RecordEvent(CRunControl::EEvent::Alarm, verdict.reason);
        if (verdict.stopMotor)
            EndRun(EEnd::LinkLost, verdict.reason, QString::fromLatin1(kEndLinkLost));
        return;
    }
    if (verdict.alarm) RaiseAlarm(verdict.reason);
    if (!verdict.stopMotor) return;
    if (verdict.kind == SafetyVerdict::Kind::TorqueLimit)
        EndRun(EEnd::TorqueLimit, verdict.reason, QString::fromLatin1(kEndTorque));
    else
        EndRun(EEnd::LinkLost, verdict.reason, QString::fromLatin1(kEndLinkLost));
}

void CRunAutomation::TakeEndPoint(const EndPointEvent& event)
{
    m_control.RecordEvent(CRunControl::EEvent::EndPoint, event.Message());
    emit endPointReached(event);
    switch (event.action) {
    case CEndPointRules::Action::AlertOnly:
        return;
    case CEndPointRules::Action::StopMotor:
        EndRun(EEnd::EndPoint, event.Message(), QString::fromLatin1(kEndEndPoint));
        return;
    case CEndPointRules::Action::ChangeSpeed:
        break;
    }
    const QString problem = m_limits.CheckStartRpm(event.rpm);
    if (!problem.isEmpty()) {
        m_control.RecordEvent(CRunControl::EEvent::Other, problem);
        return;
    }
    // The new speed holds from now on: a program would overwrite it.
    m_pRunner.reset();
    SendSetPoint(event.rpm);
}

void CRunAutomation::RaiseAlarm(const QString& reason)
{
    m_bAlarm = true;
    m_strAlarm = reason;
    m_control.RecordEvent(CRunControl::EEvent::Alarm, reason);
    const SWallTime now = m_control.Clock().WallNow();
    emit alarmRaised(reason, QDateTime::fromMSecsSinceEpoch(now.nMsSinceEpoch, Qt::OffsetFromUTC, now.nUtcOffsetS));
}

void CRunAutomation::AcknowledgeAlarm()
{
    if (!m_bAlarm) return;
    m_bAlarm = false;
    m_strAlarm.clear();
    emit alarmCleared();
}

bool CRunAutomation::Tare()
{
    if (!m_pEndPoint->Tare()) return false;
    const double tare = m_pEndPoint->TareNcm();
    m_control.RecordEvent(CRunControl::EEvent::Tare, QStringLiteral("tare %1 Ncm").arg(QString::number(tare, 'f', 1)));
    emit tared(tare);
    return true;
}

void CRunAutomation::EndRun(EEnd why, const QString& text, const QString& journalReason)
{
    m_bActive = false;
    m_tick.stop();
    const bool stopped = m_stop(journalReason);
    // The line may not take the stop now: keep trying until it does.
    if (!stopped && why == EEnd::LinkLost) {
        m_bStopPending = true;
        m_strStopReason = journalReason;
        m_retry.start();
    }
    emit runEnded(why, text);
}

void CRunAutomation::RetryStop()
{
    if (!m_bStopPending || m_control.IsBusy() || m_control.IsRunning()) return;
    if (!m_control.Stop(m_strStopReason)) return;
    m_bStopPending = false;
    m_retry.stop();
    emit stopAcknowledged();
}
