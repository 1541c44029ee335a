#pragma once

// The agent's notification-area icon (icon 101 of the main window): QSystemTrayIcon, which speaks
// StatusNotifierItem to the hosts most desktops run and falls back to an XEmbed tray. It shows the
// icon and tooltip it is given, asks for the window to be toggled on activation (a left
// double-click in an XEmbed tray, the host's "activate" for a StatusNotifierItem) and leaves its
// context menu to the menu it is given, which the host opens on its own request.

#include "agent/shell/TrayState.h"

#include <QObject>

#include <memory>
#include <optional>

class QDBusPendingCall;
class QMenu;
class QSystemTrayIcon;

class CAgentTray : public QObject {
    Q_OBJECT
public:
    explicit CAgentTray(QObject* parent = nullptr);
    ~CAgentTray() override;

    // Whether any notification area can show the icon now.
    static bool IsAvailable();
    // The icon of a resource id at every size a notification area asks for (16 to 48 pixels), and
    // at twice those for screens with a device pixel ratio of 2.
    static constexpr int kIconSizes[] = {16, 22, 24, 32, 44, 48, 64, 96};
    static QIcon IconFor(int iconId);

    // Shows the icon with no tooltip yet; menu is opened on the host's context-menu request.
    void Add(int iconId, QMenu* menu);
    void Remove();
    // UpdateTrayIcon: the tooltip counting the unread messages and the normal icon.
    void Update(int unreadCount, bool online);
    // A blink tick: the next blink icon while messages wait and no request is outstanding.
    void Blink(int unreadCount, bool requestInProgress);
    // Icon and tooltip together, or the icon alone.
    void Show(int iconId, const QString& tooltip);
    void SetIcon(int iconId);

    bool IsAdded() const { return m_icon != nullptr; }
    int IconId() const { return m_iconId; }
    QString Tooltip() const;
    QSystemTrayIcon* Icon() const { return m_icon; }

    // How the host reports the user's activation; the main window toggles on ToggleRequested.
    void HandleActivation(int reason);

signals:
    void ToggleRequested();
    // A StatusNotifierItem host that draws no menu of its own asks for it (an XEmbed tray opens
    // the menu itself).
    void ContextMenuRequested();

private:
    // Which protocol delivers the activations: asked without waiting when the icon is added, at
    // the moment Qt makes the same choice, and the answer read at the first activation.
    void AskWhetherHostSpeaksStatusNotifier();
    bool HostSpeaksStatusNotifier();

    CTrayState m_state;
    QSystemTrayIcon* m_icon = nullptr;
    int m_iconId = 0;
    std::unique_ptr<QDBusPendingCall> m_hostQuery;
    std::optional<bool> m_statusNotifier;
};
