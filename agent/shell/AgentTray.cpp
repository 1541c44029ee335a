#include "agent/shell/AgentTray.h"

#include "agent/shell/ResourceIconEngine.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QIcon>
#include <QSystemTrayIcon>

#include <map>

namespace {

constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";

} // namespace

CAgentTray::CAgentTray(QObject* parent)
    : QObject(parent)
{
}

CAgentTray::~CAgentTray()
{
    Remove();
}

bool CAgentTray::IsAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

QIcon CAgentTray::IconFor(int iconId)
{
    std::map<int, QString> files;
    for (int size : kIconSizes) {
        files[size] = QStringLiteral(":/icons/%1-%2.png").arg(iconId).arg(size);
    }
    // Decoded size by size when drawn: most of these pictures are never shown.
    return QIcon(new CResourceIconEngine(files));
}

// Qt talks to a StatusNotifierItem host when one is registered with the watcher, as we ask here.
// The question goes out without waiting: a synchronous call would hold the first frame for a
// round trip to the session bus.
void CAgentTray::AskWhetherHostSpeaksStatusNotifier()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(QString::fromLatin1(kWatcherService),
        QString::fromLatin1(kWatcherPath), QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QString::fromLatin1(kWatcherService) << QStringLiteral("IsStatusNotifierHostRegistered");
    // A watcher that is not running is an answer, not something for the bus to start.
    get.setAutoStartService(false);
    m_hostQuery = std::make_unique<QDBusPendingCall>(bus.asyncCall(get));
}

bool CAgentTray::HostSpeaksStatusNotifier()
{
    if (!m_statusNotifier) {
        bool registered = false;
        if (m_hostQuery) {
            // Answered long before a person can click; a watcher that is not there answers an error.
            m_hostQuery->waitForFinished();
            const QDBusMessage reply = m_hostQuery->reply();
            registered = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
                && qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant().toBool();
            m_hostQuery.reset();
        }
        m_statusNotifier = registered;
    }
    return *m_statusNotifier;
}

void CAgentTray::Add(int iconId, QMenu* menu)
{
    if (m_icon) {
        return;
    }
    m_icon = new QSystemTrayIcon(IconFor(iconId), this);
    m_statusNotifier.reset();
    AskWhetherHostSpeaksStatusNotifier();
    m_iconId = iconId;
    m_icon->setContextMenu(menu);
    connect(m_icon, &QSystemTrayIcon::activated, this,
        [this](QSystemTrayIcon::ActivationReason reason) { HandleActivation(reason); });
    m_icon->show();
}

void CAgentTray::Remove()
{
    if (!m_icon) {
        return;
    }
    m_icon->hide();
    delete m_icon;
    m_icon = nullptr;
}

void CAgentTray::Update(int unreadCount, bool online)
{
    const CTrayState::SLook look = m_state.Update(unreadCount, online);
    Show(look.iconId, QString::fromStdString(look.tooltip));
}

void CAgentTray::Blink(int unreadCount, bool requestInProgress)
{
    if (const std::optional<int> icon = m_state.BlinkTick(unreadCount, requestInProgress)) {
        SetIcon(*icon);
    }
}

void CAgentTray::Show(int iconId, const QString& tooltip)
{
    if (!m_icon) {
        return;
    }
    SetIcon(iconId);
    m_icon->setToolTip(tooltip);
}

void CAgentTray::SetIcon(int iconId)
{
    if (!m_icon || iconId == m_iconId) {
        return;
    }
    m_iconId = iconId;
    m_icon->setIcon(IconFor(iconId));
}

QString CAgentTray::Tooltip() const
{
    return m_icon ? m_icon->toolTip() : QString();
}

void CAgentTray::HandleActivation(int reason)
{
    // An XEmbed tray reports the first click of a double-click as a trigger too: only the
    // double-click toggles there. A StatusNotifierItem host has no double-click; its activation
    // arrives as a trigger.
    if (reason == QSystemTrayIcon::DoubleClick || (reason == QSystemTrayIcon::Trigger && HostSpeaksStatusNotifier())) {
        emit ToggleRequested();
    }
    if (reason == QSystemTrayIcon::Context && HostSpeaksStatusNotifier()) {
        emit ContextMenuRequested();
    }
}
