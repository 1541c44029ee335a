#pragma once

// CConnectionState: the online flag the service jobs write (a command answered: online; the server
// unreachable: offline) and the reachability test run before requests. Only the dial-up connection
// type (InternetConnectionType 1) is actually checked, through CDialupMonitor, and that answer also
// becomes the online flag; every other type counts as reachable without a check.

#include "agent/net/DialupMonitor.h"

#include <atomic>

class CSettingsStore;

// Whether requests may be started now; the scheduler's view of the connection.
class IInternetReachability {
public:
    virtual ~IInternetReachability() = default;
    virtual bool IsInternetReachable() = 0;
};

class CConnectionState : public IInternetReachability {
public:
    static constexpr int kDialupConnectionType = 1;

    explicit CConnectionState(CSettingsStore& settings);
    CConnectionState(CSettingsStore& settings, const CDialupRoots& roots);

    // Called on the UI thread (minute timer, checks before the synchronous account operations).
    bool IsInternetReachable() override;

    // Written by the jobs' worker threads and read by the UI thread for the tray icon.
    bool IsOnline() const { return m_online.load(); }
    void SetOnline(bool online) { m_online.store(online); }

private:
    CSettingsStore& m_settings;
    CDialupMonitor m_dialup;
    std::atomic<bool> m_online {false};
};
