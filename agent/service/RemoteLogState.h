#pragma once

// CRemoteLogState: the two flags the wake-up listener (UI thread) and the poll job (its worker
// thread) share. WakeupSeen: a wake-up connection arrived since the last poll that received message
// IDs. StartupPending: no poll has succeeded and no wake-up has arrived since start; it falls once
// and never rises again. Atomic, since the two threads meet here without any other hand-over.

#include <atomic>

class CRemoteLogState {
public:
    int WakeupSeen() const { return m_wakeupSeen.load(); }
    int StartupPending() const { return m_startupPending.load(); }

    // A connection attempt on the wake-up port.
    void WakeupArrived()
    {
        m_wakeupSeen.store(1);
        m_startupPending.store(0);
    }
    // GetNewMessageIDs answered 200.
    void ClearStartupPending() { m_startupPending.store(0); }
    // Returns WakeupSeen and clears it in one step, so a wake-up arriving meanwhile is not lost.
    int TakeWakeupSeen() { return m_wakeupSeen.exchange(0); }

private:
    std::atomic<int> m_wakeupSeen {0};
    std::atomic<int> m_startupPending {1};
};
