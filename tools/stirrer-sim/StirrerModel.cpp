#include "StirrerModel.h"

#include <algorithm>
#include <cmath>

CStirrerModel::CStirrerModel(const SimSettings& settings)
    : m_dTimeConstant(settings.timeConstantS)
    , m_dViscosity(settings.viscosity)
    , m_dNoise(settings.noiseRpm)
    , m_dTorqueNoise(settings.torqueNoiseNcm)
    , m_thickening(settings.thickening)
    , m_rng(settings.seed)
{
}

void CStirrerModel::SetViscosity(double viscosity)
{
    m_dViscosity = viscosity;
    m_thickening.on = false;
}

void CStirrerModel::SetThickening(const SimThickening& thickening)
{
    if (!thickening.on) {
        m_dViscosity = Viscosity();
        m_thickening.on = false;
        return;
    }
    m_thickening = thickening;
    m_dThickenS = 0;
    m_bThickening = false;
}

double CStirrerModel::Viscosity() const
{
    if (!m_thickening.on)
        return m_dViscosity;
    const SimThickening& k = m_thickening;
    if (k.tauS <= 0)
        return k.toNcm;
    return k.toNcm + (k.fromNcm - k.toNcm) * std::exp(-m_dThickenS / k.tauS);
}

void CStirrerModel::SetSetPoint(int rpm)
{
    m_nSetPoint = std::clamp(rpm, 0, 65535);
    if (m_nSetPoint > 0)
        m_bThickening = true;
}

void CStirrerModel::Advance(double seconds)
{
    if (seconds <= 0)
        return;
    if (m_bThickening)
        m_dThickenS += seconds;
    const double target = m_nSetPoint;
    if (m_dTimeConstant <= 0) {
        m_dSpeed = target;
        return;
    }
    m_dSpeed += (target - m_dSpeed) * (1.0 - std::exp(-seconds / m_dTimeConstant));
}

int CStirrerModel::MeasuredSpeed()
{
    // A stopped motor reads exactly 0, as the instrument does.
    if (m_nSetPoint == 0 && m_dSpeed < 0.5)
        return 0;
    return Clamp(m_dSpeed + Noise(m_dNoise));
}

int CStirrerModel::Torque()
{
    const double viscosity = Viscosity();
    const double torque = viscosity * m_dSpeed / 1000.0;
    const double sigma = m_dTorqueNoise >= 0 ? m_dTorqueNoise : m_dNoise * viscosity / 1000.0;
    return Clamp(torque + Noise(sigma));
}

int CStirrerModel::Clamp(double value) const
{
    return int(std::clamp(std::lround(value), 0L, 65535L));
}

double CStirrerModel::Noise(double sigma)
{
    if (sigma <= 0)
        return 0;
    return std::normal_distribution<double>(0.0, sigma)(m_rng);
}
