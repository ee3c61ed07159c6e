#pragma once

#include "SafetyLimits.h"

#include <QString>
#include <optional>

// What the supervisor asks of the caller after a sample or a tick.
struct SafetyVerdict
{
    enum class Kind { TorqueLimit, LinkLost, LinkBack };
    Kind kind = Kind::TorqueLimit;
    bool alarm = false;      // show the banner, beep, journal it
    bool stopMotor = false;  // stop as Stop does
    QString reason;          // for the banner, the journal and stderr
};

// Watches a run against the safety limits. It has no clock: the caller
// feeds valid status samples and, at every poll, the elapsed seconds.
// Each limit speaks once per crossing: the torque limit again only after
// the torque fell below it, the link-lost alarm again only after the line
// answered.
class CSafetySupervisor
{
public:
    explicit CSafetySupervisor(const CSafetyLimits& limits);

    // A valid status reply at elapsed seconds: torque in Ncm.
    std::optional<SafetyVerdict> OnSample(double elapsed, double torqueNcm);
    // A poll at elapsed seconds (with or without a valid reply).
    std::optional<SafetyVerdict> OnTick(double elapsed);

    // True from the link-lost alarm until the line answers: the caller keeps
    // trying to stop the motor meanwhile.
    bool IsLinkLost() const { return m_bLinkLost; }
    int SampleCount() const { return m_nSamples; }

private:
    CSafetyLimits m_limits;
    double m_dLastValid = 0;
    int m_nSamples = 0;
    bool m_bTorqueOver = false;
    bool m_bLinkLost = false;
};
