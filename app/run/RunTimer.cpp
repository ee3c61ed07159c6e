#include "RunTimer.h"

#include "DurationText.h"

#include <algorithm>
#include <cmath>

CRunTimer::CRunTimer(double seconds)
    : m_dSeconds(std::isfinite(seconds) && seconds > 0 ? seconds : 0)
{
}

double CRunTimer::Remaining(double elapsed) const
{
    if (!IsActive())
        return 0;
    if (!std::isfinite(elapsed))
        return 0;
    return std::clamp(m_dSeconds - elapsed, 0.0, m_dSeconds);
}

bool CRunTimer::IsDue(double elapsed) const
{
    return IsActive() && Remaining(elapsed) <= 0;
}

QString CRunTimer::RemainingText(double elapsed) const
{
    return CDurationText::Format(std::ceil(Remaining(elapsed) - 1e-9));
}
