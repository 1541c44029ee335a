#pragma once

// The agent's requests: the one-minute scheduler, the six jobs, the wake-up listener, and the
// hand-over of each job's completion from its worker thread to the UI thread (posted as an event
// whose type is the window-message number). The main window owns it and supplies the alert.

#include "agent/lcd/TimeSource.h"
#include "agent/mail/Pop3CountJob.h"
#include "agent/service/ServiceJob.h"
#include "agent/shell/BackgroundTask.h"
#include "agent/shell/ConnectionState.h"
#include "agent/shell/PollScheduler.h"
#include "agent/shell/RemoteLogState.h"

#include <QObject>
#include <QTimer>

#include <functional>

class CAccountInfo;
class CMessageStore;
class CSettingsStore;
class CWakeupSocket;
class IUserPrompts;

class CAgentRequests : public QObject, public IPollOwner, public ICompletionNotifier {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void()> newMessageAlert;
        std::function<void()> updateTrayIcon;
        std::function<void()> loadVendorPicture;
        std::function<void()> repaint;
    };

    CAgentRequests(CSettingsStore& settings, CMessageStore& store, CAccountInfo& account, IUserPrompts& prompts,
        const ITimeSource& clock, Hooks hooks, QObject* parent = nullptr);
    ~CAgentRequests() override;

    // Runs the first tick (a full cycle when reachable), starts the minute timer and the listener.
    void Begin();

    void StartUserInfo() override;
    void StartVendorLogo() override;
    void StartSponsor() override;
    void StartPoll() override;
    void StartMailCount() override;
    void UpdateTrayIcon() override;
    void PollNow() { StartPoll(); }

    // Worker threads call this; it only posts.
    void Notify(int messageId) override;

    bool RequestInProgress() const { return m_requestInProgress; }
    bool AnyJobRunning() const;
    CConnectionState& Connection() { return m_connection; }
    CPollScheduler& Scheduler() { return m_scheduler; }
    void SetFirstShowPending(bool pending) { m_firstShowPending = pending; }

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
    Hooks m_hooks;
    CConnectionState m_connection;
    CRemoteLogState m_remoteLog;
    CServiceJob m_vendorJob;
    CServiceJob m_sponsorJob;
    CServiceJob m_pollJob;
    CServiceJob m_userInfoJob;
    CPop3CountJob m_pop3Job;
    CPollScheduler m_scheduler;
    CWakeupSocket* m_wakeup = nullptr;
    QTimer m_minuteTimer;
    bool m_requestInProgress = false;
    bool m_firstShowPending = false;
};
