#include "ui/RunControl.h"

#include "link/CommPort.h"

#include <QCoreApplication>

#include <limits>
#include <memory>

CRunControl::CRunControl(QObject* parent) : QObject(parent)
{
    connect(&m_forwarder, &CSampleForwarder::sampleArrived, this, &CRunControl::OnSample, Qt::QueuedConnection);
}

CRunControl::~CRunControl()
{
    Shutdown();
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
    emit runReset();
    m_record.RemoveAll();
    m_worker.SetOwner(&m_forwarder);
    m_worker.Start();
    SetRunning(true);
    ApplyPendingStates();
    return EStart::Started;
}

bool CRunControl::Stop()
{
    m_worker.RequestStop();
    StopMotor();
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
    m_record.Append(speed, torque);
    emit sampleArrived(speed, torque);
}

void CRunControl::SetRunning(bool running)
{
    if (m_bRunning == int(running)) return;
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
    CCommPort::Instance()->Close();
    CCommPort::ReleaseInstance();
}
