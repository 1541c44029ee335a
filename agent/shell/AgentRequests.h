#pragma once

// The agent's requests: the one-minute scheduler, the six jobs, the wake-up listener, and the
// hand-over of each job's completion from its worker thread to the UI thread (posted as an event
// whose type is the window-message number). The main window owns it and answers its signals
// (the alert, the tray icon, the pictures, repaints).

#include "agent/lcd/TimeSource.h"
#include "agent/mail/Pop3CountJob.h"
#include "agent/service/RemoteLogState.h"
#include "agent/service/ServiceJob.h"
#include "agent/shell/BackgroundTask.h"
#include "agent/shell/ConnectionState.h"
#include "agent/shell/PollScheduler.h"

#include <QObject>
#include <QTimer>

class CAccountInfo;
class CMessageStore;
class CSettingsStore;
class IUserPrompts;

class CAgentRequests : public QObject, public IPollOwner, public ICompletionNotifier {
    Q_OBJECT
public:
    CAgentRequests(CSettingsStore& settings, CMessageStore& store, CAccountInfo& account, IUserPrompts& prompts,
        const ITimeSource& clock, QObject* parent = nullptr);
    ~CAgentRequests() override;

    // Runs the first tick (a full cycle when reachable) and starts the minute timer.
    void Begin();
    // The minute timer's handler, also for tests.
    void MinuteTick() { m_scheduler.Tick(); }

    void StartUserInfo() override;
    void StartVendorLogo() override;
    void StartSponsor() override;
    void StartPoll() override;
    void StartMailCount() override;
    void UpdateTrayIcon() override;
    void PollNow() { StartPoll(); }
    // A connection attempt on the wake-up port: tell the next report, then poll.
    void WakeupArrived();

    // Worker threads call this; it only posts.
    void Notify(int messageId) override;

    bool RequestInProgress() const { return m_requestInProgress; }
    bool AnyJobRunning() const;
    CConnectionState& Connection() { return m_connection; }
    CPollScheduler& Scheduler() { return m_scheduler; }
    // The user-info job, whose synchronous account operations the dialogs call.
    CServiceJob& UserInfoJob() { return m_userInfoJob; }
    CServiceJob& SponsorJob() { return m_sponsorJob; }
    CServiceJob& PollJob() { return m_pollJob; }
    void SetFirstShowPending(bool pending) { m_firstShowPending = pending; }
    bool IsFirstShowPending() const { return m_firstShowPending; }

signals:
    // A poll brought new messages.
    void NewMessagesArrived();
    // The tray icon is to show the counts and the online state again.
    void TrayIconUpdateNeeded();
    // The vendor job stored a new picture.
    void VendorPictureArrived();
    // The sponsor job stored a new sponsor picture.
    void SponsorArrived();
    void RepaintNeeded();

protected:
    bool event(QEvent* event) override;

private:
    void StartServiceJob(CServiceJob& job, int kind);
    void OnUserInfoDone();
    void OnMessagesDone();
    void OnMailCount(int display);

    CSettingsStore& m_settings;
    CMessageStore& m_store;
    CAccountInfo& m_account;
    IUserPrompts& m_prompts;
    CConnectionState m_connection;
    CRemoteLogState m_remoteLog;
    CServiceJob m_vendorJob;
    CServiceJob m_sponsorJob;
    CServiceJob m_pollJob;
    CServiceJob m_userInfoJob;
    CPop3CountJob m_pop3Job;
    CPollScheduler m_scheduler;
    QTimer m_minuteTimer;
    bool m_requestInProgress = false;
    bool m_firstShowPending = false;
};
