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
    // A fixed viscosity in Ncm per 1000 rpm; ends any thickening.
    void SetViscosity(double viscosity);
    void SetNoise(double rpm) { m_dNoise = rpm; }
    // Torque noise in Ncm; below 0 it follows the speed noise and viscosity.
    void SetTorqueNoise(double ncm) { m_dTorqueNoise = ncm; }
    // Starts a thickening afresh (its time counts from the next start of
    // the motor); thickening.on false keeps the viscosity where it is.
    void SetThickening(const SimThickening& thickening);

    // The viscosity now, in Ncm per 1000 rpm.
    double Viscosity() const;

private:
    int Clamp(double value) const;
    double Noise(double sigma);

    int m_nSetPoint = 0;
    double m_dSpeed = 0;
    double m_dTimeConstant;
    double m_dViscosity;
    double m_dNoise;
    double m_dTorqueNoise;
    SimThickening m_thickening;
    double m_dThickenS = 0;  // simulated seconds since the motor first ran
    bool m_bThickening = false;  // the motor has run since the thickening began
    std::mt19937 m_rng;
};
