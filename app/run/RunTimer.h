#pragma once

#include <QString>

// "Stop after" for a plain run: counts down from a duration. No clock: the
// caller feeds the seconds elapsed since Start.
class CRunTimer
{
public:
    // seconds: the run's length, above 0; anything else never comes due.
    explicit CRunTimer(double seconds);

    bool IsActive() const { return m_dSeconds > 0; }
    // Seconds left, 0 once due.
    double Remaining(double elapsed) const;
    bool IsDue(double elapsed) const;
    // "h:mm:ss", rounded up so that 0:00:00 shows only when the run stops.
    QString RemainingText(double elapsed) const;

private:
    double m_dSeconds;
};
