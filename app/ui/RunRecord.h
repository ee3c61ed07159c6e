#pragma once

#include <cstdint>
#include <vector>

// The samples of the current run: displayed speed (rpm) and torque (Ncm),
// appended together on the UI thread, so both arrays always have the same
// length. Emptied at every Start, kept after Stop.
class CRunRecord
{
public:
    void Append(int speed, int torque);
    void RemoveAll();

    int GetCount() const { return static_cast<int>(m_arSpeed.size()); }
    const std::vector<std::uint32_t>& SpeedSamples() const { return m_arSpeed; }
    const std::vector<float>& TorqueSamples() const { return m_arTorque; }

private:
    std::vector<std::uint32_t> m_arSpeed;
    std::vector<float> m_arTorque;
};
