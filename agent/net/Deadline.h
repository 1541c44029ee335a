#pragma once

// CDeadline: the moment by which a whole dialogue (an HTTP exchange, a POP3 count) must be over,
// whatever its single waits allow. Every wait of the dialogue is cut to what is left, so a peer
// that trickles one byte within each idle limit cannot hold the caller past it. A default
// CDeadline never expires.

#include <chrono>

class CDeadline {
public:
    using Clock = std::chrono::steady_clock;

    CDeadline() = default;
    // limitMs from now; a negative limit never expires.
    static CDeadline After(int limitMs);

    bool IsSet() const { return m_set; }
    bool Expired() const;
    // Whole milliseconds left, rounded up (0 once expired); -1 when it never expires.
    int RemainingMs() const;
    // The wait to use instead of waitMs (negative: without limit) so as not to pass the deadline.
    int Clamp(int waitMs) const;

private:
    bool m_set = false;
    Clock::time_point m_end {};
};
