#pragma once

#include "EndPointRules.h"

#include <QString>
#include <deque>
#include <optional>
#include <vector>

// A rule that fired, at the sample that made it fire.
struct EndPointEvent
{
    enum class Rule { Plateau, Threshold };
    Rule rule = Rule::Plateau;
    double seconds = 0;   // the sample's time from the run's start
    int sampleIndex = 0;  // 0-based, counting every sample fed
    double torqueNcm = 0;
    double deltaNcm = 0;  // torque minus the tare
    double rateNcmPerMin = 0;
    CEndPointRules::Action action = CEndPointRules::Action::AlertOnly;
    int rpm = 0;          // the new speed for Action::ChangeSpeed

    // "Torque plateau reached after 0:41:10 (Δ 23 Ncm)"
    QString Message() const;
};

// The torque end-point assistant: tare, trend and rules. No clock and no
// widgets: the caller feeds each valid sample with its time in seconds
// from the run's start (increasing). Each rule fires once per run.
class CTorqueEndPoint
{
public:
    static constexpr int kTareSamples = 5;

    explicit CTorqueEndPoint(const CEndPointRules& rules = CEndPointRules());

    void SetRules(const CEndPointRules& rules);
    const CEndPointRules& Rules() const { return m_rules; }

    // Feeds one sample; returns the rule it made fire, if any (the
    // threshold first when both fire at the same sample; the other one
    // fires at a later sample).
    std::optional<EndPointEvent> AddSample(double seconds, double torqueNcm);

    // The mean of the last five samples (fewer at the run's start) becomes
    // zero. False, and nothing changes, before the first sample.
    bool Tare();
    bool IsTared() const { return m_bTared; }
    double TareNcm() const { return m_dTare; }
    // The last torque minus the tare (the torque itself before a tare).
    double DeltaNcm() const { return m_dLast - m_dTare; }

    // Least-squares slope over the trend window in Ncm/min; nothing until
    // the samples span the whole window.
    std::optional<double> RateNcmPerMin() const;

    int SampleCount() const { return m_nSamples; }

private:
    struct Sample
    {
        double t;
        double torque;
    };

    std::optional<EndPointEvent> CheckThreshold(double seconds);
    std::optional<EndPointEvent> CheckPlateau(double seconds);
    EndPointEvent Event(EndPointEvent::Rule rule, double seconds, CEndPointRules::Action action) const;

    CEndPointRules m_rules;
    std::deque<Sample> m_window;      // samples within the trend window
    std::deque<double> m_recent;      // the last kTareSamples torques
    std::optional<double> m_firstTime;
    std::optional<double> m_flatSince;
    double m_dLast = 0;
    double m_dTare = 0;
    int m_nSamples = 0;
    bool m_bTared = false;
    bool m_bPlateauFired = false;
    bool m_bThresholdFired = false;
};
