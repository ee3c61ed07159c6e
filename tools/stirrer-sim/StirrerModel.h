#pragma once

#include "SimSettings.h"

#include <random>

// The simulated motor: the measured speed follows the set-point with a
// first-order lag plus noise; the torque follows the speed and viscosity.
// Not thread-safe; CStirrerSimulator guards it.
class CStirrerModel
{
public:
    explicit CStirrerModel(const SimSettings& settings);

    void SetSetPoint(int rpm);
    int SetPoint() const { return m_nSetPoint; }

    // Moves the motor on by seconds of simulated time.
    void Advance(double seconds);

    // Noisy readings as the instrument reports them, 0 to 65535.
    int MeasuredSpeed();
    int Torque();
    double TrueSpeed() const { return m_dSpeed; }

    void SetTimeConstant(double seconds) { m_dTimeConstant = seconds; }
    void SetViscosity(double viscosity) { m_dViscosity = viscosity; }
    void SetNoise(double rpm) { m_dNoise = rpm; }

private:
    int Clamp(double value) const;
    double Noise(double sigma);

    int m_nSetPoint = 0;
    double m_dSpeed = 0;
    double m_dTimeConstant;
    double m_dViscosity;
    double m_dNoise;
    std::mt19937 m_rng;
};
