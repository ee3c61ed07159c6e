#pragma once

#include <QtGlobal>

// A wall-clock instant: milliseconds since the Unix epoch and the local
// offset from UTC in force at that instant.
struct SWallTime {
    qint64 nMsSinceEpoch = 0;
    int nUtcOffsetS = 0;
};

// The two clocks a run reads: a monotonic one for elapsed time (never jumps
// with a clock change) and the calendar for the time printed beside each
// sample. Tests hand in their own.
class IRunClock
{
public:
    virtual ~IRunClock() = default;
    virtual qint64 MonotonicNs() const = 0;
    virtual SWallTime WallNow() const = 0;
};
