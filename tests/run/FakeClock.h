#pragma once

#include "run/RunClock.h"

// A clock the test moves by hand.
class CFakeClock : public IRunClock
{
public:
    qint64 MonotonicNs() const override { return m_nMonoNs; }
    SWallTime WallNow() const override { return {m_nWallMs, m_nOffsetS}; }

    void Advance(qint64 ms)
    {
        m_nMonoNs += ms * 1'000'000;
        m_nWallMs += ms;
    }

    qint64 m_nMonoNs = 5'000'000'000;
    qint64 m_nWallMs = 1796649405123;  // 2026-12-07T13:16:45.123Z
    int m_nOffsetS = 3600;
};
