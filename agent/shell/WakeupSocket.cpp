#include "agent/shell/WakeupSocket.h"

#include <QTcpServer>
#include <QTcpSocket>

CWakeupSocket::CWakeupSocket(QObject* parent)
    : QObject(parent)
{
    bool ok = false;
    const uint port = qEnvironmentVariable("VANDU_WAKEUP_PORT").toUInt(&ok);
    if (ok && port > 0 && port < 65536) {
        m_port = static_cast<quint16>(port);
    }
}

bool CWakeupSocket::Listen()
{
    delete m_server;
    m_server = new QTcpServer(this);
    m_server->setMaxPendingConnections(5);
    if (!m_server->listen(QHostAddress::Any, m_port)) {
        delete m_server;
        m_server = nullptr;
        return false;
    }
    connect(m_server, &QTcpServer::newConnection, this, &CWakeupSocket::OnConnection);
    return true;
}

void CWakeupSocket::OnConnection()
{
    // The kernel completed the handshake; drop the connection unread.
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        socket->abort();
        socket->deleteLater();
    }
    emit WakeupArrived();
    m_server->close();
    m_server->deleteLater();
    m_server = nullptr;
    Listen();
}
