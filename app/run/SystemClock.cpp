#include "run/SystemClock.h"

#include <ctime>

qint64 CSystemClock::MonotonicNs() const
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

SWallTime CSystemClock::WallNow() const
{
    timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local {};
    localtime_r(&ts.tv_sec, &local);
    return {qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1'000'000, int(local.tm_gmtoff)};
}

IRunClock& CSystemClock::Instance()
{
    static CSystemClock clock;
    return clock;
}
