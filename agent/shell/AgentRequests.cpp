#include "agent/shell/AgentRequests.h"

#include "agent/lcd/MessageText.h"
#include "agent/settings/SettingsStore.h"
#include "agent/shell/WindowMessages.h"
#include "agent/store/AccountInfo.h"
#include "agent/store/MessageStore.h"
#include "common/UserPrompts.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

constexpr const char* kLoginRejected = "Vandu ID and/or Password Invalid.\nPlease change your settings.";
constexpr const char* kEnterIdHint = "Right click and select Properties to enter your ID and Password.";

} // namespace

CAgentRequests::CAgentRequests(CSettingsStore& settings, CMessageStore& store, CAccountInfo& account,
    IUserPrompts& prompts, const ITimeSource& clock, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_store(store)
    , m_account(account)
    , m_prompts(prompts)
    , m_connection(settings)
    , m_scheduler(*this, m_connection, settings)
{
    m_vendorJob.SetNotify(this, WM_VENDORLOGO_DONE);
    m_sponsorJob.SetNotify(this, WM_SPONSOR_DONE);
    m_pollJob.SetNotify(this, WM_MESSAGES_DONE);
    m_pollJob.SetRemoteLogState(&m_remoteLog, &clock);
    m_userInfoJob.SetNotify(this, WM_USERINFO_DONE);
    m_pop3Job.SetNotify(this, WM_MAILCOUNT_DONE);
    m_pop3Job.SetConnectedMessage(WM_MAILCOUNT_CONNECTED);
    m_userInfoJob.SetInputs(&m_store, &m_settings, &m_connection, &m_account);

    m_minuteTimer.setInterval(kMinuteIntervalMs);
    connect(&m_minuteTimer, &QTimer::timeout, this, &CAgentRequests::MinuteTick);
}

// Jobs still running at exit are not waited for by the agent (it ends the process once its state
// is saved); here, outside that path, the job destructors wait for their threads.
CAgentRequests::~CAgentRequests() = default;

void CAgentRequests::Begin()
{
    m_scheduler.Tick();
    m_minuteTimer.start();
}

void CAgentRequests::WakeupArrived()
{
    m_remoteLog.WakeupArrived();
    PollNow();
}

bool CAgentRequests::AnyJobRunning() const
{
    return m_vendorJob.IsRunning() || m_sponsorJob.IsRunning() || m_pollJob.IsRunning() || m_userInfoJob.IsRunning()
        || m_pop3Job.IsRunning();
}

void CAgentRequests::StartServiceJob(CServiceJob& job, int kind)
{
    job.SetInputs(&m_store, &m_settings, &m_connection, &m_account);
    job.SetKind(kind);
    job.Start();
}

void CAgentRequests::StartUserInfo()
{
    if (m_firstShowPending && !m_settings.IsPasswordSaved()) {
        return;
    }
    m_requestInProgress = true;
    StartServiceJob(m_userInfoJob, REQUEST_USERINFO);
    UpdateTrayIcon();
}

void CAgentRequests::StartVendorLogo()
{
    StartServiceJob(m_vendorJob, REQUEST_VENDORLOGO);
}

void CAgentRequests::StartSponsor()
{
    StartServiceJob(m_sponsorJob, REQUEST_SPONSOR);
}

void CAgentRequests::StartPoll()
{
    m_requestInProgress = true;
    StartServiceJob(m_pollJob, REQUEST_POLL);
    UpdateTrayIcon();
}

void CAgentRequests::StartMailCount()
{
    if (!m_settings.GetPopEnabled()) {
        return;
    }
    m_pop3Job.SetAccount(m_settings.GetPopServer(), m_settings.GetPopUser(), m_settings.GetPopPassword(),
        m_settings.GetPopSecurity(), m_settings.GetPopPortNumber());
    m_pop3Job.Start();
}

void CAgentRequests::UpdateTrayIcon()
{
    emit TrayIconUpdateNeeded();
}

void CAgentRequests::Notify(int messageId)
{
    QCoreApplication::postEvent(this, new QEvent(static_cast<QEvent::Type>(messageId)));
}

bool CAgentRequests::event(QEvent* event)
{
    switch (static_cast<int>(event->type())) {
    case WM_USERINFO_DONE:
        m_userInfoJob.ClearBusy();
        OnUserInfoDone();
        return true;
    case WM_MESSAGES_DONE:
        m_pollJob.ClearBusy();
        OnMessagesDone();
        return true;
    case WM_SPONSOR_DONE:
        m_sponsorJob.ClearBusy();
        if (m_sponsorJob.NewItem()) {
            emit SponsorArrived();
        }
        return true;
    case WM_VENDORLOGO_DONE:
        m_vendorJob.ClearBusy();
        if (m_vendorJob.NewItem()) {
            emit VendorPictureArrived();
        }
        emit RepaintNeeded();
        return true;
    case WM_CLICKLOG_DONE:
        return true;
    case WM_MAILCOUNT_CONNECTED:
        OnMailCount(m_settings.GetPopEnabled() ? CMessageText::kMailChecking : CMessageText::kMailOff);
        return true;
    case WM_MAILCOUNT_DONE:
        m_pop3Job.ClearBusy();
        OnMailCount(m_settings.GetPopEnabled() ? m_pop3Job.Count() : CMessageText::kMailOff);
        return true;
    default:
        return QObject::event(event);
    }
}

void CAgentRequests::OnUserInfoDone()
{
    m_requestInProgress = false;
    if (m_account.GetLoginOk() == 0) {
        if (!m_settings.GetVanduID().empty()) {
            m_prompts.Warn(kLoginRejected);
        }
        m_store.SetStatusOverride(true, kEnterIdHint);
    }
    m_store.Redraw();
    emit RepaintNeeded();
}

void CAgentRequests::OnMessagesDone()
{
    m_scheduler.PollCompleted();
    if (m_pollJob.NewMessages()) {
        emit NewMessagesArrived();
    } else {
        UpdateTrayIcon();
    }
    emit RepaintNeeded();
    m_requestInProgress = false;
}

void CAgentRequests::OnMailCount(int display)
{
    m_store.SetMailStatus(display);
    m_store.RefreshStatus();
    m_store.Redraw();
}
