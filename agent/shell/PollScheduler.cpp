#include "agent/shell/PollScheduler.h"

#include "agent/settings/SettingsStore.h"
#include "agent/shell/ConnectionState.h"

CPollScheduler::CPollScheduler(IPollOwner& owner, IInternetReachability& reachability, CSettingsStore& settings)
    : m_owner(owner)
    , m_reachability(reachability)
    , m_settings(settings)
{
    m_pollInterval = RegularPollInterval();
}

void CPollScheduler::Tick()
{
    if (!m_reachability.IsInternetReachable()) {
        // Nothing is started while offline; the first reachable tick runs a full cycle.
        m_counter = 0;
        m_firstPassPending = true;
    } else if (m_firstPassPending) {
        m_firstPassPending = false;
        RunFullCycle();
    } else {
        RunMinute();
    }
    m_owner.UpdateTrayIcon();
}

void CPollScheduler::RunMinute()
{
    ++m_counter;
    if (m_counter >= kCycleMinutes) {
        m_counter = 0;
        RunFullCycle();
        return;
    }
    if (m_counter % static_cast<unsigned>(m_pollInterval) == 0)
        m_owner.StartPoll();
    if (m_counter % static_cast<unsigned>(MailPeriod()) == 0)
        m_owner.StartMailCount();
}

void CPollScheduler::RestartCycle()
{
    m_counter = 0;
    RunFullCycle();
}

void CPollScheduler::RunFullCycle()
{
    m_owner.StartUserInfo();
    m_owner.StartVendorLogo();
    m_owner.StartSponsor();
    m_owner.StartPoll();
    m_owner.StartMailCount();
}

void CPollScheduler::SetPollInterval(int minutes)
{
    // A zero or negative interval would divide by zero on the next tick.
    m_pollInterval = minutes < 1 ? 1 : minutes;
}

void CPollScheduler::PollCompleted()
{
    SetPollInterval(m_reachability.IsInternetReachable() ? RegularPollInterval() : kPollMinutesOffline);
}

int CPollScheduler::RegularPollInterval() const
{
    return m_settings.GetTCPCheck() ? kPollMinutesWithTcpCheck : kPollMinutes;
}

int CPollScheduler::MailPeriod() const
{
    const int period = m_settings.GetPopPeriod();
    return period < 1 ? 1 : period;
}
