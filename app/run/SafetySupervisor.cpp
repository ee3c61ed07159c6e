#include "SafetySupervisor.h"

#include <cmath>

CSafetySupervisor::CSafetySupervisor(const CSafetyLimits& limits)
    : m_limits(limits)
{
    m_limits.Clamp();
}

std::optional<SafetyVerdict> CSafetySupervisor::OnSample(double elapsed, double torqueNcm)
{
    ++m_nSamples;
    m_dLastValid = elapsed;
    if (m_bLinkLost) {
        m_bLinkLost = false;
        return SafetyVerdict{SafetyVerdict::Kind::LinkBack, false, true,
                             QStringLiteral("the stirrer answers again after %1 s; motor stopped")
                                 .arg(QString::number(elapsed, 'f', 0))};
    }
    const double limit = m_limits.torqueLimitNcm;
    if (limit <= 0)
        return std::nullopt;
    if (torqueNcm < limit) {
        m_bTorqueOver = false;
        return std::nullopt;
    }
    if (m_bTorqueOver)
        return std::nullopt;
    m_bTorqueOver = true;
    const bool stop = m_limits.torqueAction == CSafetyLimits::TorqueAction::StopMotor;
    return SafetyVerdict{SafetyVerdict::Kind::TorqueLimit, true, stop,
                         QStringLiteral("torque limit reached: %1 Ncm at sample %2")
                             .arg(QString::number(torqueNcm, 'g', 6))
                             .arg(m_nSamples)};
}

std::optional<SafetyVerdict> CSafetySupervisor::OnTick(double elapsed)
{
    const double limit = m_limits.linkLostSeconds;
    if (limit <= 0 || m_bLinkLost || elapsed - m_dLastValid < limit)
        return std::nullopt;
    m_bLinkLost = true;
    return SafetyVerdict{SafetyVerdict::Kind::LinkLost, true, true,
                         QStringLiteral("no valid reply from the stirrer for %1 s")
                             .arg(QString::number(limit, 'g', 6))};
}
