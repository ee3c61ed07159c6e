#include "ui/HeadlessRun.h"

#include "ui/CommandLine.h"
#include "ui/ResourceIds.h"
#include "ui/RunExport.h"
#include "ui/RunPublishing.h"
#include "ui/RunRecord.h"
#include "ui/SignalPipe.h"
#include "run/JournalStore.h"
#include "run/ProgramFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <climits>
#include <csignal>
#include <unistd.h>

namespace {

// The first count samples of a record.
CRunRecord FirstSamples(const CRunRecord& record, int count)
{
    CRunRecord first;
    for (int i = 0; i < count && i < record.GetCount(); ++i)
        first.Append(static_cast<int>(record.SpeedSamples()[i]), static_cast<int>(record.TorqueSamples()[i]));
    return first;
}

// Time the broker gets to take the last messages when the run ends.
constexpr int kPublishFlushMs = 3000;

}  // namespace

CHeadlessRun::SSettings CHeadlessRun::FromCommandLine(const CCommandLine& cl)
{
    SSettings settings;
    if (!cl.m_strPort.isEmpty()) settings.strPort = cl.m_strPort;
    if (!cl.m_strBaud.isEmpty()) settings.strBaud = cl.m_strBaud;
    settings.nSpeed = cl.m_nSpeed;
    settings.nDurationMs = cl.m_nDurationMs;
    settings.nSamples = cl.m_nSamples;
    settings.strSavePath = cl.m_strSave;
    settings.mqtt = cl.m_mqtt;
    settings.bJournal = !cl.m_bNoJournal;
    settings.strJournalDir = cl.m_strJournalDir;
    settings.strNote = cl.m_strNote;
    settings.automation = cl.m_automation;
    return settings;
}

CHeadlessRun::CHeadlessRun(const SSettings& settings, QIODevice* out, QIODevice* err, QObject* parent)
    : QObject(parent), m_settings(settings), m_pOut(out), m_pErr(err)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CHeadlessRun::OnTimer);
    connect(&m_control, &CRunControl::sampleArrived, this, &CHeadlessRun::OnSample);
    connect(&m_control, &CRunControl::journalWarning, this, &CHeadlessRun::Message);
    connect(&m_control, &CRunControl::journalChanged, this, [this](const QString& path) {
        if (!path.isEmpty()) Message(QStringLiteral("Journal: %1").arg(path));
    });
    CRunControl::SJournalOptions journal;
    journal.bEnabled = m_settings.bJournal;
    journal.strDir = m_settings.strJournalDir.isEmpty() ? CJournalStore::DefaultDir() : m_settings.strJournalDir;
    journal.strNote = m_settings.strNote;
    m_control.SetJournalOptions(journal);
    // Nobody watches a script's run: whatever the reply, make sure the
    // motor is not left turning.
    m_control.SetStopAfterRefusal(true);
    ConfigureAutomation();
}

// Every limit and rule of a script's run stops the motor: nobody is there
// to answer an alarm.
void CHeadlessRun::ConfigureAutomation()
{
    const CAutomationOptions& options = m_settings.automation;
    CSafetyLimits limits;
    if (options.nMaxSpeed > 0) limits.maxRpm = options.nMaxSpeed;
    limits.torqueLimitNcm = options.dMaxTorqueNcm;
    limits.torqueAction = CSafetyLimits::TorqueAction::StopMotor;
    limits.linkLostSeconds = options.dLinkTimeoutS;
    m_automation.SetLimits(limits);

    CEndPointRules rules;
    rules.plateauOn = options.bPlateau;
    if (options.bPlateau) {
        rules.plateauRate = options.dPlateauRate;
        rules.plateauSeconds = options.dPlateauS;
        rules.trendWindowSeconds = options.dTrendWindowS;
    }
    rules.plateauAction = CEndPointRules::Action::StopMotor;
    rules.thresholdOn = options.dEndTorqueNcm > 0;
    rules.thresholdNcm = options.dEndTorqueNcm;
    rules.thresholdAction = CEndPointRules::Action::StopMotor;
    rules.minRunSeconds = options.dMinTimeS;
    m_automation.SetEndPointRules(rules);
    m_automation.SetTareAtStart(options.bTare);

    m_automation.SetStopHandler([this](const QString& reason) {
        m_strEndReason = reason;
        End();
        return true;  // Finish stops the motor as Stop does, at once
    });
    connect(&m_automation, &CRunAutomation::runEnded, this, &CHeadlessRun::OnRunEnded);
    connect(&m_automation, &CRunAutomation::tared, this, [this](double ncm) {
        Message(QStringLiteral("Torque tared at %1 Ncm").arg(QString::number(ncm, 'f', 1)));
    });
    connect(&m_automation, &CRunAutomation::setPointRefused, this, [this](int rpm) {
        Message(QStringLiteral("The stirrer did not take the set-point %1 rpm; it is sent again.").arg(rpm));
    });
    connect(&m_automation, &CRunAutomation::setPointChanged, this, [this](int rpm) {
        if (m_pPublishing) m_pPublishing->SetSetPoint(rpm);
    });
    connect(&m_automation, &CRunAutomation::alarmRaised, this, [this] {
        if (m_pPublishing) m_pPublishing->SetAlarm(true);
    });
}

void CHeadlessRun::OnRunEnded(CRunAutomation::EEnd why, const QString& text)
{
    m_endedBy = why;
    if (why != CRunAutomation::EEnd::ProgramFinished) Message(text);
}

CHeadlessRun::~CHeadlessRun()
{
    // Before the run control it watches goes.
    m_pPublishing.reset();
}

int CHeadlessRun::Exec()
{
    const int status = Begin();
    if (!m_bStarted) {
        m_control.Shutdown();
        return status;
    }
    if (m_settings.nDurationMs > 0) {
        m_deadline.setRemainingTime(m_settings.nDurationMs);
        OnTimer();
    }
    if (!m_bEnded) m_loop.exec();
    return Finish();
}

// Connect, check and start as the window does; m_bStarted tells whether the
// motor was started, otherwise the result is the exit status.
int CHeadlessRun::Begin()
{
    vantoc::RegisterResources();
    int speed = 0;
    if (const int status = Prepare(speed); status != kExitDone) return status;
    if (!StartPublishing()) return kExitMqttSettings;
    CRunControl::ApplyPortSettings(m_settings.strPort, m_settings.strBaud);
    if (!m_control.Connect()) {
        Message(vantoc::String(vantoc::IDS_CONNECT_FAILED));
        if (!m_control.ConnectionProblem().isEmpty()) Message(m_control.ConnectionProblem());
        return kExitNotConnected;
    }
    // An interrupt during the handshake ends the run before the motor turns.
    QCoreApplication::processEvents();
    if (m_nSignal) return kExitSignalBase + m_nSignal;
    if (m_bRemoteStop) return kExitDone;

    if (m_pPublishing) {
        m_pPublishing->SetSetPoint(speed == CRunControl::kMaxSpeed ? speed - 1 : speed);
        if (m_automation.HasProgram()) m_pPublishing->SetProgramName(QFileInfo(m_settings.automation.strProgram).fileName());
    }
    switch (m_control.Start(speed)) {
    case CRunControl::EStart::Started:
        m_bStarted = true;
        return kExitDone;
    case CRunControl::EStart::NotConnected:
        Message(vantoc::String(vantoc::IDS_CONNECT_FAILED_RESTART));
        return kExitNotConnected;
    case CRunControl::EStart::SpeedOutOfRange:
        Message(vantoc::String(vantoc::IDS_SPEED_RANGE));
        return kExitBadSpeed;
    case CRunControl::EStart::Refused:
        break;
    }
    Message(QStringLiteral("The stirrer did not acknowledge the speed command (%1 rpm); the run was not started.")
                .arg(speed));
    if (m_control.IsMotorRunning()) {
        StopFailedWarning();
        return kExitStopFailed;
    }
    return kExitRefused;
}

// The program or the speed, checked before the port is touched, so that a
// wrong argument sends nothing; speed is what Start is to send.
int CHeadlessRun::Prepare(int& speed)
{
    const CAutomationOptions& options = m_settings.automation;
    if (!options.strProgram.isEmpty()) {
        CSpeedProgram::Error error;
        const CSpeedProgram program = CProgramFile::Load(options.strProgram, m_automation.Limits().maxRpm, &error);
        if (program.IsEmpty()) {
            const QString why = error.Message();
            Message(why.contains(options.strProgram) ? why : QStringLiteral("%1: %2").arg(options.strProgram, why));
            return kExitBadProgram;
        }
        m_automation.SetProgram(program);
        speed = m_automation.StartRpm(0);
        return kExitDone;
    }
    if (m_settings.nSpeed < CRunControl::kMinSpeed || m_settings.nSpeed > CRunControl::kMaxSpeed) {
        Message(vantoc::String(vantoc::IDS_SPEED_RANGE));
        return kExitBadSpeed;
    }
    const QString problem = m_automation.CheckStart(m_settings.nSpeed);
    if (!problem.isEmpty()) {
        Message(problem);
        return kExitBadSpeed;
    }
    speed = m_settings.nSpeed;
    return kExitDone;
}

// Stop as the window does, take the samples still on their way, save, and
// report the most serious outcome: a motor that may still turn first.
int CHeadlessRun::Finish()
{
    QString reason = QString::fromLatin1(m_nSignal ? CRunControl::kEndSignal : CRunControl::kEndStopped);
    if (!m_nSignal && !m_strEndReason.isEmpty()) reason = m_strEndReason;
    const bool stopped = m_control.Stop(reason);
    // Joins the worker; the sample of a status query that was already on the
    // line when the run ended is then waiting in the queue.
    m_control.Shutdown();
    QCoreApplication::sendPostedEvents(&m_control, QEvent::MetaCall);

    const bool saved = m_settings.strSavePath.isEmpty() || Save();
    // The state "idle" and the last samples get a moment to reach the broker.
    if (m_pPublishing) m_pPublishing->Finish(kPublishFlushMs);
    // A silent line cannot take the stop either: its own status says more.
    const bool linkLost = m_endedBy == CRunAutomation::EEnd::LinkLost;
    if (!stopped) {
        StopFailedWarning();
        if (!linkLost) return kExitStopFailed;
    }
    if (linkLost) return kExitLinkLost;
    if (!saved) return kExitSaveFailed;
    if (m_endedBy == CRunAutomation::EEnd::TorqueLimit) return kExitTorqueLimit;
    return m_nSignal ? kExitSignalBase + m_nSignal : kExitDone;
}

void CHeadlessRun::OnSample()
{
    if (m_settings.nSamples > 0 && m_nAccepted >= m_settings.nSamples) return;
    const CRunRecord& record = m_control.Record();
    if (m_nAccepted >= record.GetCount()) return;
    const int i = m_nAccepted++;
    Print(CRunExport::Row(i + 1, record.SpeedSamples()[i], record.TorqueSamples()[i]));
    if (m_pPublishing)
        m_pPublishing->Sample(i + 1, static_cast<int>(record.SpeedSamples()[i]),
                              static_cast<int>(record.TorqueSamples()[i]));
    if (m_settings.nSamples > 0 && m_nAccepted >= m_settings.nSamples) End();
}

// QTimer takes at most INT_MAX ms, so a long run re-arms it until the deadline.
void CHeadlessRun::OnTimer()
{
    if (m_bEnded) return;
    const qint64 remaining = m_deadline.remainingTime();
    if (remaining <= 0) {
        End();
        return;
    }
    m_timer.start(static_cast<int>(std::min<qint64>(remaining, INT_MAX)));
}

void CHeadlessRun::Interrupt(int signalNumber)
{
    if (m_nSignal || m_bEnded) return;
    m_nSignal = signalNumber;
    if (m_bStarted) Message(QStringLiteral("Interrupted: stopping the motor and saving the samples recorded so far."));
    else Message(QStringLiteral("Interrupted before the motor was started."));
    End();
}

void CHeadlessRun::RemoteStop(const QString& text)
{
    if (m_bRemoteStop || m_nSignal || m_bEnded) return;
    m_bRemoteStop = true;
    const QString said = text.isEmpty() ? QStringLiteral("(no message)") : text;
    Message(QStringLiteral("Stop requested over MQTT: %1").arg(said));
    if (m_pPublishing) m_pPublishing->RecordRemoteStop(said);
    End();
}

// Checks the broker settings before anything is sent anywhere, then
// publishes in the background; false when they cannot be used.
bool CHeadlessRun::StartPublishing()
{
    if (!m_settings.mqtt.IsEnabled()) return true;
    CMqttPublisher::SConfig config;
    QString error;
    if (!CMqttPublisher::Prepare(m_settings.mqtt, m_settings.strPort, &config, &error)) {
        Message(error);
        return false;
    }
    m_pPublishing = std::make_unique<CRunPublishing>(m_control, config);
    connect(m_pPublishing.get(), &CRunPublishing::problem, this, &CHeadlessRun::Message);
    connect(m_pPublishing.get(), &CRunPublishing::remoteStop, this, &CHeadlessRun::RemoteStop);
    return true;
}

void CHeadlessRun::OnSignal(int signalNumber)
{
    if (signalNumber == SIGUSR1) {
        m_control.Mark(QStringLiteral("mark"));
        return;
    }
    Interrupt(signalNumber);
}

void CHeadlessRun::End()
{
    m_bEnded = true;
    m_timer.stop();
    m_loop.quit();
}

bool CHeadlessRun::Save()
{
    const CRunRecord& record = m_control.Record();
    const QByteArray bytes = record.GetCount() == m_nAccepted
        ? CRunExport::Format(record)
        : CRunExport::Format(FirstSamples(record, m_nAccepted));
    QString reason;
    if (!CRunExport::Write(m_settings.strSavePath, bytes, &reason)) {
        Message(CRunExport::FailureMessage(m_settings.strSavePath, reason));
        return false;
    }
    Message(QStringLiteral("Saved %1 samples to %2").arg(m_nAccepted).arg(m_settings.strSavePath));
    return true;
}

void CHeadlessRun::Print(const QByteArray& row)
{
    // A reader that went away loses the rows; the run and its file go on.
    if (m_pOut) m_pOut->write(row);
}

void CHeadlessRun::StopFailedWarning()
{
    Message(QStringLiteral("Warning: the stirrer did not acknowledge the stop command after %1 attempts; "
                           "the motor may still be turning.")
                .arg(CRunControl::kStopAttempts));
}

void CHeadlessRun::Message(const QString& text)
{
    if (m_pErr) m_pErr->write(text.toLocal8Bit() + '\n');
}

int CHeadlessRun::Main(int& argc, char** argv, const CCommandLine& cl)
{
    QCoreApplication app(argc, argv);
    return Run(cl);
}

int CHeadlessRun::Run(const CCommandLine& cl)
{
    // A closed standard output (`| head`) must not end the process with the
    // motor turning.
    std::signal(SIGPIPE, SIG_IGN);
    QFile out;
    QFile err;
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    // A lost terminal ends the run like SIGTERM (unless nohup ignores it).
    // A full disk or a file size limit fails the journal's write instead.
    std::signal(SIGXFSZ, SIG_IGN);
    CSignalPipe interrupts({SIGINT, SIGTERM, SIGHUP, SIGUSR1});
    CHeadlessRun run(FromCommandLine(cl), &out, &err);
    connect(&interrupts, &CSignalPipe::signalled, &run, &CHeadlessRun::OnSignal);
    return run.Exec();
}
