#include "agent/net/Deadline.h"

#include <climits>

CDeadline CDeadline::After(int limitMs)
{
    CDeadline deadline;
    if (limitMs >= 0) {
        deadline.m_set = true;
        deadline.m_end = Clock::now() + std::chrono::milliseconds(limitMs);
    }
    return deadline;
}

bool CDeadline::Expired() const
{
    return m_set && Clock::now() >= m_end;
}

int CDeadline::RemainingMs() const
{
    if (!m_set)
        return -1;
    const auto left = m_end - Clock::now();
    if (left <= Clock::duration::zero())
        return 0;
    // Rounded up: a wait cut to 0 ms while time is left would spin instead of waiting.
    const long long ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

int CDeadline::Clamp(int waitMs) const
{
    const int left = RemainingMs();
    if (left < 0)
        return waitMs;
    return waitMs < 0 || waitMs > left ? left : waitMs;
}
