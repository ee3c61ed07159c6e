#include "ui/WindowAutomation.h"

#include "run/DurationText.h"
#include "ui/AlarmBanner.h"
#include "ui/InfoDlg.h"
#include "ui/LiveCharts.h"
#include "ui/LiveSpeedField.h"
#include "ui/ResourceIds.h"
#include "ui/RunStatusStrip.h"

#include <QMessageBox>
#include <QWidget>
#include <algorithm>
#include <cmath>

CWindowAutomation::CWindowAutomation(CRunControl& run, QWidget* parent)
    : QObject(parent), m_run(run), m_pParent(parent), m_automation(run)
{
    m_countdown.setInterval(kCountdownMs);
    connect(&m_countdown, &QTimer::timeout, this, &CWindowAutomation::RefreshCountdown);
    connect(&run, &CRunControl::runningChanged, this, &CWindowAutomation::OnRunningChanged);
    connect(&m_automation, &CRunAutomation::runEnded, this, &CWindowAutomation::OnRunEnded);
    connect(&m_automation, &CRunAutomation::setPointChanged, this, [this](int rpm) {
        if (m_pField) m_pField->SetInEffect(rpm);
    });
    connect(&m_automation, &CRunAutomation::setPointRefused, this, [this](int rpm) {
        if (m_pStrip) m_pStrip->ShowNotice(QStringLiteral("Set-point %1 rpm not taken; tried again at the next step").arg(rpm));
    });
    connect(&m_automation, &CRunAutomation::stopAcknowledged, this, [this] {
        if (m_pStrip) m_pStrip->ShowNotice(QStringLiteral("The stirrer answers again: motor stopped"));
    });
}

void CWindowAutomation::Attach(CRunStatusStrip* strip, CLiveSpeedField* field, CLiveCharts* charts)
{
    m_pStrip = strip;
    m_pField = field;
    m_pCharts = charts;
    if (CAlarmBanner* banner = strip ? strip->Banner() : nullptr) {
        connect(&m_automation, &CRunAutomation::alarmRaised, banner, &CAlarmBanner::Raise);
        connect(banner, &CAlarmBanner::acknowledged, &m_automation, &CRunAutomation::AcknowledgeAlarm);
    }
    RefreshCountdown();
}

std::optional<int> CWindowAutomation::PrepareStart(int plainRpm)
{
    const QString title = vantoc::String(vantoc::IDS_PRODUCT_NAME);
    const QString problem = m_automation.CheckStart(plainRpm);
    if (!problem.isEmpty()) {
        QMessageBox::warning(m_pParent, title, problem);
        return std::nullopt;
    }
    const int rpm = m_automation.StartRpm(plainRpm);
    if (m_automation.Limits().confirmBeforeStart) {
        const QString question = m_automation.HasProgram()
                                     ? QStringLiteral("Start the program \"%1\" at %2 rpm?").arg(m_strProgram).arg(rpm)
                                     : QStringLiteral("Start the motor at %1 rpm?").arg(rpm);
        const auto answer = QMessageBox::question(m_pParent, title, question, QMessageBox::Yes | QMessageBox::No,
                                                  QMessageBox::No);
        if (answer != QMessageBox::Yes) return std::nullopt;
    }
    return rpm;
}

bool CWindowAutomation::IsSpeedManual() const
{
    return !(m_automation.IsActive() && m_automation.Runner());
}

bool CWindowAutomation::ChangeSpeed(int rpm)
{
    if (!m_run.IsRunning() || !IsSpeedManual()) return false;
    if (rpm < CRunControl::kMinSpeed || rpm > CRunControl::kMaxSpeed) {
        CInfoDlg::ShowString(vantoc::IDS_SPEED_RANGE);
        return false;
    }
    const QString problem = m_automation.Limits().CheckStartRpm(rpm);
    if (!problem.isEmpty()) {
        QMessageBox::warning(m_pParent, vantoc::String(vantoc::IDS_PRODUCT_NAME), problem);
        return false;
    }
    switch (m_run.ChangeSpeed(rpm)) {
    case CRunControl::EChange::Taken:
        if (m_pField) m_pField->SetInEffect(m_run.SetPoint());
        return true;
    case CRunControl::EChange::Refused:
        if (m_pStrip) m_pStrip->ShowNotice(QStringLiteral("Speed %1 rpm refused by the stirrer").arg(rpm));
        return false;
    case CRunControl::EChange::Unknown:
        if (m_pStrip) m_pStrip->ShowNotice(QStringLiteral("Speed %1 rpm not acknowledged").arg(rpm));
        return false;
    case CRunControl::EChange::NotRunning:
    case CRunControl::EChange::SpeedOutOfRange:
        break;
    }
    return false;
}

void CWindowAutomation::SetStopAfter(double seconds)
{
    m_dStopAfter = seconds > 0 ? seconds : 0;
    m_automation.SetStopAfter(m_dStopAfter);
    RefreshCountdown();
}

void CWindowAutomation::SetProgram(const CSpeedProgram& program, const QString& name)
{
    m_automation.SetProgram(program);
    m_strProgram = program.IsEmpty() ? QString() : name;
    RefreshCountdown();
}

QString CWindowAutomation::CountdownText() const
{
    if (m_automation.IsActive()) {
        if (const CProgramRunner* runner = m_automation.Runner()) {
            const double left = std::max(0.0, runner->TotalSeconds() - m_automation.Elapsed());
            return QStringLiteral("Program %1: %2 left").arg(m_strProgram, CDurationText::Format(std::ceil(left)));
        }
        if (const std::optional<double> left = m_automation.RemainingSeconds())
            return QStringLiteral("Stops in %1").arg(CDurationText::Format(std::ceil(*left - 1e-9)));
        return QString();
    }
    if (m_automation.HasProgram()) return QStringLiteral("Program %1 loaded").arg(m_strProgram);
    if (m_dStopAfter > 0) return QStringLiteral("Stop after %1").arg(CDurationText::Format(m_dStopAfter));
    return QString();
}

void CWindowAutomation::RefreshCountdown()
{
    if (m_pStrip) m_pStrip->SetCountdown(CountdownText());
}

void CWindowAutomation::OnRunningChanged(bool running)
{
    if (m_pField) {
        m_pField->SetRunning(running ? m_run.SetPoint() : -1);
        m_pField->SetLocked(running && !IsSpeedManual());
    }
    if (m_pCharts) m_pCharts->SetSetPointTrace(running && !IsSpeedManual());
    if (running) m_countdown.start();
    else m_countdown.stop();
    RefreshCountdown();
}

void CWindowAutomation::OnRunEnded(CRunAutomation::EEnd, const QString& text)
{
    if (m_pStrip && !text.isEmpty()) m_pStrip->ShowNotice(text);
    RefreshCountdown();
}
