#pragma once

#include <QString>
#include <optional>
#include <vector>

class COpenedRun;

// Minimum, mean and maximum of one quantity over a run's samples.
struct SQuantityStats {
    double dMin = 0;
    double dMean = 0;
    double dMax = 0;
};

// The figures a report gives of a run.
class CRunSummary
{
public:
    static constexpr int kTareSamples = 5;  // a tare without a value: the mean of these before it

    static CRunSummary Of(const COpenedRun& run);

    int Samples() const { return m_nSamples; }
    // Nothing for a run without samples.
    const std::optional<SQuantityStats>& Speed() const { return m_speed; }
    const std::optional<SQuantityStats>& Torque() const { return m_torque; }
    // The last torque minus the last tare; nothing without a tare event or
    // without a sample after it.
    const std::optional<double>& DeltaTorque() const { return m_deltaTorque; }
    const std::optional<double>& Tare() const { return m_tare; }

    // Whether an event's text records a tare ("Tare", "tare 12.4 Ncm").
    static bool IsTareEvent(const QString& text);
    // The tare value an event names in Ncm ("tare 12.4 Ncm" gives 12.4);
    // nothing when it names none.
    static std::optional<double> TareValue(const QString& text);

private:
    int m_nSamples = 0;
    std::optional<SQuantityStats> m_speed;
    std::optional<SQuantityStats> m_torque;
    std::optional<double> m_tare;
    std::optional<double> m_deltaTorque;
};
