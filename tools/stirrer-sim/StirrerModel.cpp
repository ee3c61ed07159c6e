#include "StirrerModel.h"

#include <algorithm>
#include <cmath>

CStirrerModel::CStirrerModel(const SimSettings& settings)
    : m_dTimeConstant(settings.timeConstantS)
    , m_dViscosity(settings.viscosity)
    , m_dNoise(settings.noiseRpm)
    , m_rng(settings.seed)
{
}

void CStirrerModel::SetSetPoint(int rpm)
{
    m_nSetPoint = std::clamp(rpm, 0, 65535);
}

void CStirrerModel::Advance(double seconds)
{
    if (seconds <= 0)
        return;
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
    const double torque = m_dViscosity * m_dSpeed / 1000.0;
    return Clamp(torque + Noise(m_dNoise * m_dViscosity / 1000.0));
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
