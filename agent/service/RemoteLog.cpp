#include "agent/service/RemoteLog.h"

#include "agent/lcd/TimeSource.h"
#include "agent/net/HttpClient.h"
#include "agent/net/Url.h"
#include "agent/service/RemoteLogState.h"
#include "agent/service/ServiceCommands.h"
#include "agent/service/ServiceConfig.h"
#include "agent/settings/SettingsStore.h"

namespace {

constexpr int kLastReportMonth = 8;
constexpr int kLastReportYear = 1999;

std::string VersionTag()
{
    return std::string("-v") + kServiceVersion + "-";
}

} // namespace

std::string RemoteLogShortText(const std::string& vanduId, int tcpCheck)
{
    return vanduId + VersionTag() + "OK-" + std::to_string(tcpCheck);
}

std::string RemoteLogLongText(const std::string& vanduId, int wakeupSeen, int connectionType,
    const std::string& proxyName, const std::string& proxyPort, const std::string& ipAddress)
{
    return vanduId + VersionTag() + std::to_string(wakeupSeen) + "-" + std::to_string(connectionType) + "-" + proxyName
        + "-" + proxyPort + "-IP=" + ipAddress;
}

bool IsRemoteLogDateAllowed(std::time_t now, int biasMinutes)
{
    // Local time is universal time minus the bias.
    const std::time_t local = now - static_cast<std::time_t>(biasMinutes) * 60;
    std::tm parts {};
    if (gmtime_r(&local, &parts) == nullptr)
        return false;
    return parts.tm_mon + 1 <= kLastReportMonth && parts.tm_year + 1900 <= kLastReportYear;
}

CRemoteLog::CRemoteLog(CRemoteLogState& state, CSettingsStore& settings, const ITimeSource& clock)
    : m_state(state)
    , m_settings(settings)
    , m_clock(clock)
{
}

std::string CRemoteLog::ReportText(const std::string& ipAddress) const
{
    const int tcpCheck = m_settings.GetTCPCheck() ? 1 : 0;
    const int wakeupSeen = m_state.WakeupSeen();
    if (wakeupSeen || tcpCheck != 1)
        return RemoteLogShortText(m_settings.GetVanduID(), tcpCheck);
    return RemoteLogLongText(m_settings.GetVanduID(), wakeupSeen, m_settings.GetInternetConnectionType(),
        m_settings.GetProxyName(), m_settings.GetProxyPort(), ipAddress);
}

int CRemoteLog::SendRemoteLog(CHttpClient& client, const std::string& ipAddress)
{
    if (!IsRemoteLogDateAllowed(m_clock.Now(), m_clock.BiasMinutes()) || m_state.StartupPending() != 0)
        return 0;
    CUrl url;
    url.Parse(BuildRemoteLog(ServiceCgiBase(), ReportText(ipAddress)));
    std::string body;
    int length = 0;
    return client.Fetch(url, body, length, "GET");
}

void CRemoteLog::UpdateTcpCheck()
{
    const int wakeupSeen = m_state.TakeWakeupSeen();
    if (m_state.StartupPending() == 0)
        m_settings.SetTCPCheck(wakeupSeen ? 1 : 0);
}

void CRemoteLog::ReportPoll(CHttpClient& client, const std::string& ipAddress)
{
    SendRemoteLog(client, ipAddress);
    UpdateTcpCheck();
}
