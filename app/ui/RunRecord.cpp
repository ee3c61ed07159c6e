#include "ui/RunRecord.h"

void CRunRecord::Append(int speed, int torque)
{
    m_arSpeed.push_back(static_cast<std::uint32_t>(speed));
    m_arTorque.push_back(static_cast<float>(torque));
}

void CRunRecord::RemoveAll()
{
    m_arSpeed.clear();
    m_arTorque.clear();
}
