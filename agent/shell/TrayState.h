#pragma once

// What the notification-area icon shows: the tooltip counting the unread messages, the normal icon
// by the online flag, and the blinking while unread messages wait and no poll or user-info request
// is outstanding. The tray class only shows what this decides. Qt-free.

#include <optional>
#include <string>

class CTrayState {
public:
    struct SLook {
        int iconId;
        std::string tooltip;
    };

    // "Sorry, no new message", "1 new message", "<n> new messages".
    static std::string Tooltip(int unreadCount);
    // 167 while online, 170 while not.
    static int NormalIcon(bool online);

    // What UpdateTrayIcon shows: the normal icon and the tooltip. The blink phase is kept; only
    // the next blink tick changes the icon again.
    SLook Update(int unreadCount, bool online) const;
    // One blink tick: the icon to show now (168 for phase 0, 169 for phase 1), or nothing when the
    // icon stays as it is (no unread message, or a request outstanding).
    std::optional<int> BlinkTick(int unreadCount, bool requestInProgress);
    int BlinkPhase() const { return m_blinkPhase; }

private:
    int m_blinkPhase = 0;
};
