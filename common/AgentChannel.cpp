#include "common/AgentChannel.h"

#include "common/Names.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace vandu::channel {

QString SocketPath()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists()) {
        return runtime + QLatin1Char('/') + QLatin1String(names::kWindowClass);
    }
    return QDir::tempPath() + QLatin1Char('/') + QLatin1String(names::kWindowClass) + QLatin1Char('-')
        + QString::number(getuid());
}

bool IsAgentRunning(int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    const bool running = socket.waitForConnected(timeoutMs);
    socket.abort();
    return running;
}

bool AskRunningAgentToShow(int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    socket.write(QByteArray(names::kShowCommand) + '\n');
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    // The running agent answers once its window is up, so this agent ends after that.
    if (sent && !socket.canReadLine()) {
        socket.waitForReadyRead(timeoutMs);
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(timeoutMs);
    }
    return sent;
}

} // namespace vandu::channel

CAgentListener::CAgentListener(QObject* parent)
    : QObject(parent)
{
}

CAgentListener::~CAgentListener()
{
    Close();
}

bool CAgentListener::Listen()
{
    Close();
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString path = vandu::channel::SocketPath();
    if (!m_server->listen(path)) {
        if (m_server->serverError() != QAbstractSocket::AddressInUseError || vandu::channel::IsAgentRunning(500)) {
            return false;
        }
        // Nobody answers on the socket: a crashed agent left it behind.
        QLocalServer::removeServer(path);
        if (!m_server->listen(path)) {
            return false;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, &CAgentListener::OnNewConnection);
    return true;
}

void CAgentListener::Close()
{
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
}

void CAgentListener::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QByteArray line = socket->readLine().trimmed();
                if (line == vandu::names::kShowCommand) {
                    emit ShowRequested();
                    socket->write(QByteArray(vandu::names::kShownReply) + '\n');
                    socket->flush();
                } else if (line == vandu::names::kStatusQuery) {
                    socket->write(
                        QByteArray(m_ready ? vandu::names::kReadyReply : vandu::names::kStartingReply) + '\n');
                    socket->flush();
                }
            }
        });
    }
}
