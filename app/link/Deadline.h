#pragma once

#include <algorithm>
#include <chrono>

// A point in time on the monotonic clock that every blocking wait of the link
// measures against, so a change of the wall clock can neither stretch a wait
// nor cut it short.
class CDeadline
{
public:
    using Clock = std::chrono::steady_clock;

    explicit CDeadline(std::chrono::milliseconds fromNow)
        : m_end(Clock::now() + fromNow)
    {
    }

    bool IsExpired() const { return Clock::now() >= m_end; }

    // Milliseconds left, rounded up so that a wait on it never ends early;
    // 0 once expired.
    int RemainingMs() const
    {
        const auto left = m_end - Clock::now();
        if (left <= Clock::duration::zero())
            return 0;
        return int(std::chrono::ceil<std::chrono::milliseconds>(left).count());
    }

    Clock::time_point End() const { return m_end; }

private:
    Clock::time_point m_end;
};
