#pragma once

#include "run/RunClock.h"

// The machine's clocks: CLOCK_MONOTONIC and CLOCK_REALTIME with the local
// time zone's offset.
class CSystemClock : public IRunClock
{
public:
    qint64 MonotonicNs() const override;
    SWallTime WallNow() const override;

    // One shared instance; it has no state.
    static IRunClock& Instance();
};
