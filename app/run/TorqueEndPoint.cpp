#include "TorqueEndPoint.h"

#include "DurationText.h"

#include <cmath>
#include <numeric>

QString EndPointEvent::Message() const
{
    const QString what = rule == Rule::Plateau ? QStringLiteral("Torque plateau reached")
                                               : QStringLiteral("Torque threshold reached");
    // Whole Ncm, as the instrument reports torque; never "-0".
    const long long delta = std::llround(deltaNcm);
    return QStringLiteral("%1 after %2 (\u0394 %3 Ncm)")
        .arg(what, CDurationText::Format(seconds))
        .arg(delta == 0 ? 0 : delta);
}

CTorqueEndPoint::CTorqueEndPoint(const CEndPointRules& rules)
{
    SetRules(rules);
}

void CTorqueEndPoint::SetRules(const CEndPointRules& rules)
{
    m_rules = rules;
    m_rules.Clamp();
}

std::optional<EndPointEvent> CTorqueEndPoint::AddSample(double seconds, double torqueNcm)
{
    if (!std::isfinite(seconds) || !std::isfinite(torqueNcm))
        return std::nullopt;
    if (!m_window.empty() && seconds < m_window.back().t)
        return std::nullopt;
    if (!m_firstTime)
        m_firstTime = seconds;
    ++m_nSamples;
    m_dLast = torqueNcm;
    m_recent.push_back(torqueNcm);
    if (int(m_recent.size()) > kTareSamples)
        m_recent.pop_front();
    m_window.push_back({seconds, torqueNcm});
    while (m_window.front().t < seconds - m_rules.trendWindowSeconds)
        m_window.pop_front();

    std::optional<EndPointEvent> threshold = CheckThreshold(seconds);
    std::optional<EndPointEvent> plateau = CheckPlateau(seconds);
    if (threshold) {
        if (plateau)
            m_bPlateauFired = false;  // reported at a later sample instead
        return threshold;
    }
    return plateau;
}

std::optional<EndPointEvent> CTorqueEndPoint::CheckThreshold(double seconds)
{
    if (!m_rules.thresholdOn || m_bThresholdFired || seconds < m_rules.minRunSeconds)
        return std::nullopt;
    if (DeltaNcm() < m_rules.thresholdNcm)
        return std::nullopt;
    m_bThresholdFired = true;
    return Event(EndPointEvent::Rule::Threshold, seconds, m_rules.thresholdAction);
}

std::optional<EndPointEvent> CTorqueEndPoint::CheckPlateau(double seconds)
{
    const std::optional<double> rate = RateNcmPerMin();
    if (!rate || std::fabs(*rate) >= m_rules.plateauRate) {
        m_flatSince.reset();
        return std::nullopt;
    }
    if (!m_flatSince)
        m_flatSince = seconds;
    if (!m_rules.plateauOn || m_bPlateauFired || seconds < m_rules.minRunSeconds)
        return std::nullopt;
    if (seconds - *m_flatSince < m_rules.plateauSeconds)
        return std::nullopt;
    m_bPlateauFired = true;
    return Event(EndPointEvent::Rule::Plateau, seconds, m_rules.plateauAction);
}

EndPointEvent CTorqueEndPoint::Event(EndPointEvent::Rule rule, double seconds, CEndPointRules::Action action) const
{
    EndPointEvent e;
    e.rule = rule;
    e.seconds = seconds;
    e.sampleIndex = m_nSamples - 1;
    e.torqueNcm = m_dLast;
    e.deltaNcm = DeltaNcm();
    e.rateNcmPerMin = RateNcmPerMin().value_or(0);
    e.action = action;
    e.rpm = action == CEndPointRules::Action::ChangeSpeed ? m_rules.changeSpeedRpm : 0;
    return e;
}

bool CTorqueEndPoint::Tare()
{
    if (m_recent.empty())
        return false;
    m_dTare = std::accumulate(m_recent.begin(), m_recent.end(), 0.0) / double(m_recent.size());
    m_bTared = true;
    return true;
}

std::optional<double> CTorqueEndPoint::RateNcmPerMin() const
{
    if (m_window.size() < 3 || !m_firstTime)
        return std::nullopt;
    const double newest = m_window.back().t;
    // A small tolerance so that samples a nominal second apart fill it.
    if (newest - *m_firstTime < m_rules.trendWindowSeconds - 1e-9)
        return std::nullopt;
    double meanT = 0;
    double meanY = 0;
    for (const Sample& s : m_window) {
        meanT += s.t - newest;
        meanY += s.torque;
    }
    const double n = double(m_window.size());
    meanT /= n;
    meanY /= n;
    double sxx = 0;
    double sxy = 0;
    for (const Sample& s : m_window) {
        const double dt = s.t - newest - meanT;
        sxx += dt * dt;
        sxy += dt * (s.torque - meanY);
    }
    if (sxx <= 0)
        return std::nullopt;
    return sxy / sxx * 60.0;
}
