#include "agent/shell/TrayState.h"

#include "agent/skin/FaceLayout.h"

namespace {

// The notification area takes at most 63 characters and a terminator.
constexpr size_t kTooltipLimit = 63;

} // namespace

std::string CTrayState::Tooltip(int unreadCount)
{
    if (unreadCount <= 0) {
        return std::string("Sorry, no new message").substr(0, kTooltipLimit);
    }
    return std::to_string(unreadCount) + (unreadCount == 1 ? " new message" : " new messages");
}

int CTrayState::NormalIcon(bool online)
{
    return online ? vandu::face::kTrayOnlineIcon : vandu::face::kTrayOfflineIcon;
}

CTrayState::SLook CTrayState::Update(int unreadCount, bool online) const
{
    return {NormalIcon(online), Tooltip(unreadCount)};
}

std::optional<int> CTrayState::BlinkTick(int unreadCount, bool requestInProgress)
{
    if (unreadCount <= 0 || requestInProgress) {
        return std::nullopt;
    }
    m_blinkPhase = m_blinkPhase == 0 ? 1 : 0;
    return m_blinkPhase == 1 ? vandu::face::kTrayBlinkIcon1 : vandu::face::kTrayBlinkIcon0;
}
