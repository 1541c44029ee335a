#pragma once

// CPollScheduler: the agent's one-minute clock. Each Tick decides what is due: while the Internet
// is reachable a poll every poll interval (4 minutes, 10 with TCPCheck, 1 after a poll that ended
// offline), a mail count every PopPeriod minutes, and a full cycle (user info, vendor logo,
// sponsor, poll, mail count) on the first reachable tick, after every return of the connection and
// every 60 minutes. Runs on the UI thread only; the owner starts the jobs.

class CSettingsStore;
class IInternetReachability;

// What the scheduler drives: the main window's job starts and its tray icon.
class IPollOwner {
public:
    virtual ~IPollOwner() = default;
    virtual void StartUserInfo() = 0;
    virtual void StartVendorLogo() = 0;
    virtual void StartSponsor() = 0;
    virtual void StartPoll() = 0;
    virtual void StartMailCount() = 0;
    virtual void UpdateTrayIcon() = 0;
};

class CPollScheduler {
public:
    static constexpr unsigned kCycleMinutes = 60;
    static constexpr int kPollMinutes = 4;
    static constexpr int kPollMinutesWithTcpCheck = 10;
    static constexpr int kPollMinutesOffline = 1;

    // The poll interval starts from the TCPCheck setting.
    CPollScheduler(IPollOwner& owner, IInternetReachability& reachability, CSettingsStore& settings);

    // One minute passed.
    void Tick();
    // After the ID changed: counter 0 and a full cycle at once, without a reachability test.
    void RestartCycle();

    // Clamped to at least one minute.
    void SetPollInterval(int minutes);
    // What a completed poll sets: 1 when the Internet is not reachable now, else 10 with TCPCheck, else 4.
    void PollCompleted();
    // The interval the TCPCheck setting asks for (10 or 4).
    int RegularPollInterval() const;

    int PollInterval() const { return m_pollInterval; }
    // The PopPeriod setting, read at each use so that a change applies from the next minute.
    int MailPeriod() const;
    unsigned Counter() const { return m_counter; }
    bool IsFirstPassPending() const { return m_firstPassPending; }

private:
    void RunFullCycle();
    void RunMinute();

    IPollOwner& m_owner;
    IInternetReachability& m_reachability;
    CSettingsStore& m_settings;
    unsigned m_counter = 0;
    bool m_firstPassPending = true;
    int m_pollInterval = kPollMinutes;
};
