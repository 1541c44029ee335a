#include "agent/shell/ConnectionState.h"

#include "agent/settings/SettingsStore.h"

CConnectionState::CConnectionState(CSettingsStore& settings)
    : CConnectionState(settings, CDialupRoots::System())
{
}

CConnectionState::CConnectionState(CSettingsStore& settings, const CDialupRoots& roots)
    : m_settings(settings)
    , m_dialup(roots)
{
}

bool CConnectionState::IsInternetReachable()
{
    if (m_settings.GetInternetConnectionType() != kDialupConnectionType)
        return true;
    const bool connected = m_dialup.IsDialupConnected() != 0;
    m_online.store(connected);
    return connected;
}
