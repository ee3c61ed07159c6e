#include "ui/RunControl.h"

#include "link/CommPort.h"
#include "run/SystemClock.h"
#include "ui/CommandLine.h"

#include <QCoreApplication>
#include <QSysInfo>

#include <limits>
#include <pwd.h>
#include <unistd.h>
#include <memory>

const char* const CRunControl::kEndStopped = "stopped";
const char* const CRunControl::kEndRunState = "run-state message";
const char* const CRunControl::kEndSignal = "interrupted by signal";
const char* const CRunControl::kEndWindowClosed = "window closed";

namespace {
// The longest a stopping worker takes to hand over its last sample (one
// status query timing out).
constexpr int kLastSampleWaitMs = 7000;
constexpr int kTickMs = 500;

QString UserName()
{
    const QString user = qEnvironmentVariable("USER");
    if (!user.isEmpty()) return user;
    const passwd* pw = getpwuid(getuid());
    return pw ? QString::fromLocal8Bit(pw->pw_name) : QString();
}
}  // namespace

CRunControl::CRunControl(QObject* parent)
    : QObject(parent), m_pClock(&CSystemClock::Instance()), m_pJournal(std::make_unique<CJournalWriter>(*m_pClock))
{
    connect(&m_forwarder, &CSampleForwarder::sampleArrived, this, &CRunControl::OnSample, Qt::QueuedConnection);
    m_tick.setInterval(kTickMs);
    connect(&m_tick, &QTimer::timeout, this, &CRunControl::OnTick);
    m_endTimer.setSingleShot(true);
    m_endTimer.setInterval(kLastSampleWaitMs);
    connect(&m_endTimer, &QTimer::timeout, this, &CRunControl::FinishJournal);
}

CRunControl::~CRunControl()
{
    m_bDestroying = true;
    Shutdown();
}

void CRunControl::SetClock(IRunClock* pClock)
{
    if (m_pJournal->IsOpen()) return;
    m_pClock = pClock ? pClock : &CSystemClock::Instance();
    m_pJournal = std::make_unique<CJournalWriter>(*m_pClock);
}

void CRunControl::SetJournalOptions(const SJournalOptions& options)
{
    m_journalOptions = options;
}

void CRunControl::SetExchangeRunner(ExchangeRunner runner)
{
    m_runner = std::move(runner);
}

int CRunControl::BaudFromText(const QString& text)
{
    long long value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) break;
        value = value * 10 + (c.unicode() - '0');
        if (value > std::numeric_limits<int>::max()) return 0;
    }
    return static_cast<int>(value);
}

void CRunControl::ApplyPortSettings(const QString& portName, const QString& baudText)
{
    CCommPort* port = CCommPort::Instance();
    port->SetPortName(portName);
    port->SetBaudRate(BaudFromText(baudText));
}

bool CRunControl::RunExchange(const std::function<bool()>& exchange)
{
    ++m_nBusy;
    const bool result = m_runner ? m_runner(exchange) : exchange();
    if (--m_nBusy == 0) emit exchangesEnded();
    return result;
}

bool CRunControl::Connect()
{
    CCommPort* port = CCommPort::Instance();
    const bool ok = RunExchange([port] { return port->Open() && port->Handshake(); });
    m_bConnectFailed = !ok;
    m_strConnectProblem = ok ? QString() : port->LastProblem().Explain();
    ApplyPendingStates();
    return ok;
}

CRunControl::EStart CRunControl::Start(int& targetSpeed)
{
    if (m_bConnectFailed) return EStart::NotConnected;
    if (targetSpeed < kMinSpeed || targetSpeed > kMaxSpeed) return EStart::SpeedOutOfRange;
    // The instrument takes at most 2199.
    if (targetSpeed == kMaxSpeed) targetSpeed = kMaxSpeed - 1;

    const int speed = targetSpeed;
    CCommPort* port = CCommPort::Instance();
    // Written by the exchange, read here after it has ended.
    auto ack = std::make_shared<stirrer::EAck>(stirrer::EAck::Unknown);
    m_bMotorRunning = RunExchange([port, speed, ack] {
        *ack = port->SendSpeed(speed);
        return *ack == stirrer::EAck::Taken;
    });
    if (!m_bMotorRunning) {
        // A lost or broken reply does not mean the command was lost: the
        // motor may be turning with nobody polling it.
        if (*ack == stirrer::EAck::Unknown || m_bStopAfterRefusal) {
            m_bMotorRunning = 1;
            StopMotor();
        }
        ApplyPendingStates();
        return EStart::Refused;
    }
    DeliverLastSamples();
    FinishJournal();
    emit runReset();
    m_record.RemoveAll();
    m_nSetPoint = speed;
    m_nMarks = 0;
    m_nStartNs = m_pClock->MonotonicNs();
    m_startWall = m_pClock->WallNow();
    m_linkWatch.Start(m_nStartNs);
    m_bRunOpen = true;
    OpenJournal(speed);
    RecordEvent(EEvent::Start, QStringLiteral("Start"));
    m_tick.start();
    m_worker.SetOwner(&m_forwarder);
    m_worker.Start();
    SetRunning(true);
    ApplyPendingStates();
    return EStart::Started;
}

CRunControl::EChange CRunControl::ChangeSpeed(int rpm)
{
    // Not during another exchange: a nested one could land between the
    // Stop's attempts or a Start's command and its bookkeeping.
    if (!m_bRunning || m_nBusy > 0) return EChange::NotRunning;
    if (rpm < kMinSpeed || rpm > kMaxSpeed) return EChange::SpeedOutOfRange;
    const int speed = rpm == kMaxSpeed ? kMaxSpeed - 1 : rpm;
    CCommPort* port = CCommPort::Instance();
    auto ack = std::make_shared<stirrer::EAck>(stirrer::EAck::Unknown);
    RunExchange([port, speed, ack] {
        *ack = port->SendSpeed(speed);
        return *ack == stirrer::EAck::Taken;
    });
    EChange result = EChange::Unknown;
    if (*ack == stirrer::EAck::Taken) {
        result = EChange::Taken;
        m_nSetPoint = speed;
        RecordEvent(EEvent::SetPoint, QStringLiteral("set-point %1 rpm").arg(speed));
    } else if (*ack == stirrer::EAck::Refused) {
        result = EChange::Refused;
        RecordEvent(EEvent::SetPoint, QStringLiteral("set-point %1 rpm refused").arg(speed));
    } else {
        RecordEvent(EEvent::SetPoint, QStringLiteral("set-point %1 rpm not acknowledged").arg(speed));
    }
    ApplyPendingStates();
    return result;
}

bool CRunControl::Stop(const QString& endReason)
{
    m_worker.RequestStop();
    const bool wasRunning = m_bRunning;
    StopMotor();
    if (wasRunning) {
        RecordEvent(EEvent::Stop, QStringLiteral("Stop"));
        if (m_bMotorRunning) RecordEvent(EEvent::StopNotAcknowledged, QStringLiteral("stop not acknowledged"));
        EndJournal(endReason);
    }
    SetRunning(false);
    ApplyPendingStates();
    return !m_bMotorRunning;
}

void CRunControl::StopMotor()
{
    CCommPort* port = CCommPort::Instance();
    for (int attempt = 0; m_bMotorRunning && attempt < kStopAttempts; ++attempt)
        m_bMotorRunning = !RunExchange([port] { return port->SetSpeed(0); });
}

void CRunControl::OnRunState(int motor, int status)
{
    if (m_nBusy > 0) {
        m_pendingStates.emplace_back(motor, status);
        return;
    }
    m_bMotorRunning = motor;
    if (motor == 0 && status == 0) {
        m_worker.RequestStop();
        if (m_bRunning) EndJournal(QString::fromLatin1(kEndRunState));
        SetRunning(false);
    }
}

void CRunControl::ApplyPendingStates()
{
    std::vector<std::pair<int, int>> states;
    states.swap(m_pendingStates);
    for (const auto& [motor, status] : states) OnRunState(motor, status);
}

void CRunControl::DeliverLastSamples()
{
    // The previous worker may have queued one last sample after its stop
    // request; hand it over before the reset clears the record, or it
    // would count as the first sample of the new run.
    m_worker.RequestStop();
    m_worker.WaitForEnd();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void CRunControl::OnSample(int speed, int torque)
{
    if (m_linkWatch.OnSample(m_pClock->MonotonicNs()) == CLinkWatch::EChange::Back)
        RecordEvent(EEvent::LinkBack, QStringLiteral("line back"));
    m_record.Append(speed, torque);
    // Journaled before anyone shows or prints it: what was seen was kept.
    if (m_pJournal->IsOpen()) Report(m_pJournal->AppendSample(m_record.GetCount(), m_nSetPoint, speed, torque));
    emit sampleArrived(speed, torque);
    // The stopping worker's last sample is in: the run is complete.
    if (m_bEndPending) FinishJournal();
}

void CRunControl::OnTick()
{
    if (m_bRunning && m_linkWatch.Check(m_pClock->MonotonicNs()) == CLinkWatch::EChange::Lost)
        RecordEvent(EEvent::LinkLost, QStringLiteral("no valid reply for 3 s"));
    m_pJournal->SyncIfDue();
}

void CRunControl::RecordEvent(EEvent kind, const QString& text)
{
    if (!m_bRunOpen) return;
    if (m_pJournal->IsOpen()) Report(m_pJournal->AppendEvent(text, m_nSetPoint));
    emit eventRecorded(m_record.GetCount(), kind, text);
}

QString CRunControl::NextMarkText() const
{
    return QStringLiteral("Mark %1").arg(m_nMarks + 1);
}

QString CRunControl::Mark(const QString& note)
{
    if (!m_bRunOpen) return QString();
    const QString text = note.trimmed().isEmpty() ? NextMarkText() : note.trimmed();
    ++m_nMarks;
    RecordEvent(EEvent::Mark, text);
    return text;
}

qint64 CRunControl::SilenceMs() const
{
    if (!m_bRunning) return -1;
    return m_linkWatch.SilenceNs(m_pClock->MonotonicNs()) / 1'000'000;
}

void CRunControl::OpenJournal(int setPoint)
{
    if (!m_journalOptions.bEnabled) return;
    SJournalHeader header;
    header.strProgram = CCommandLine::Version();
    header.strHost = QSysInfo::machineHostName();
    header.strUser = UserName();
    header.strPort = CCommPort::Instance()->PortName();
    header.nBaud = CCommPort::Instance()->BaudRate();
    header.nSetPoint = setPoint;
    header.strOperator = m_journalOptions.strOperator;
    header.strSample = m_journalOptions.strSample;
    header.strNote = m_journalOptions.strNote;
    QString error;
    if (m_pJournal->Open(m_journalOptions.strDir, header, &error)) emit journalChanged(m_pJournal->Path());
    else emit journalWarning(QStringLiteral("The run journal could not be opened (%1). The run goes on without it.").arg(error));
}

void CRunControl::Report(CJournalWriter::EWrite result)
{
    if (result != CJournalWriter::EWrite::FailedNow) return;
    emit journalWarning(QStringLiteral("The run journal %1 could not be written: %2. The run goes on; writing is "
                                       "retried and the gap is recorded.")
                            .arg(m_pJournal->Path(), m_pJournal->LastError()));
}

qint64 CRunControl::RunTimeMs() const
{
    if (m_nStartNs == 0) return -1;
    return ((m_bRunning ? m_pClock->MonotonicNs() : m_nEndNs) - m_nStartNs) / 1'000'000;
}

void CRunControl::EndJournal(const QString& reason)
{
    // The tick keeps syncing the journal until its end line.
    m_linkWatch.Stop();
    m_strEndReason = reason.isEmpty() ? QString::fromLatin1(kEndStopped) : reason;
    m_bEndPending = true;
    if (m_worker.HasThread()) m_endTimer.start();
    else FinishJournal();
}

void CRunControl::FinishJournal()
{
    m_endTimer.stop();
    if (!m_bRunOpen) return;
    const QString reason = m_strEndReason.isEmpty() ? QString::fromLatin1(kEndWindowClosed) : m_strEndReason;
    m_strEndReason.clear();
    m_bEndPending = false;
    m_bRunOpen = false;
    m_tick.stop();
    m_linkWatch.Stop();
    if (!m_pJournal->IsOpen()) return;
    const CJournalWriter::EWrite result = m_pJournal->Finish(reason);
    if (m_bDestroying) return;
    Report(result);
    emit journalChanged(QString());
}

void CRunControl::SetRunning(bool running)
{
    if (m_bRunning == int(running)) return;
    if (!running) m_nEndNs = m_pClock->MonotonicNs();
    m_bRunning = running;
    emit runningChanged(running);
}

void CRunControl::Shutdown()
{
    if (m_bShutDown) return;
    m_bShutDown = true;
    // The worker hands samples over without waiting, so this join cannot
    // wait on the UI thread. Even after a run-state stop the thread is
    // joined, so the port outlives every exchange.
    m_worker.RequestStop();
    m_worker.WaitForEnd();
    // The last sample still on its way belongs to the run and its journal;
    // not while this object is being destroyed, when the receivers may be
    // half gone.
    if (!m_bDestroying) QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    FinishJournal();
    CCommPort::Instance()->Close();
    CCommPort::ReleaseInstance();
}
