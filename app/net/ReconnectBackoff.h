#pragma once

// The wait before the next attempt to reach the broker: 1 s after the first
// failure, doubling after each further one, never above 60 s; a working
// connection starts it over.
class CReconnectBackoff
{
public:
    static constexpr int kFirstMs = 1000;
    static constexpr int kMaxMs = 60000;

    // The wait after one more failure, in milliseconds.
    int Next();
    void Reset() { m_nNextMs = kFirstMs; }

private:
    int m_nNextMs = kFirstMs;
};
