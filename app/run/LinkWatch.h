#pragma once

#include <QtGlobal>

// Tells when the stirrer has given no valid reply for a while and when it
// answers again, from the monotonic times of the samples. Pure; the owner
// asks it on a timer and on every sample.
class CLinkWatch
{
public:
    static constexpr qint64 kSilentNs = 3'000'000'000;
    enum class EChange { None, Lost, Back };

    // The run starts now: silence counts from here.
    void Start(qint64 nowNs);
    void Stop() { m_bActive = false; }
    // A valid sample arrived.
    EChange OnSample(qint64 nowNs);
    // The time passed: Lost once when the silence grew past 3 s.
    EChange Check(qint64 nowNs);

    bool IsLost() const { return m_bLost; }
    // Age of the last sample (or of the start when none yet).
    qint64 SilenceNs(qint64 nowNs) const { return m_bActive ? nowNs - m_nLastNs : 0; }

private:
    bool m_bActive = false;
    bool m_bLost = false;
    qint64 m_nLastNs = 0;
};
