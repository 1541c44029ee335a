#include "agent/shell/WakeupSocket.h"

#include <QTcpServer>
#include <QTcpSocket>

CWakeupSocket::CWakeupSocket(QObject* parent, quint16 port)
    : QObject(parent)
    , m_port(port)
{
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
    // A port chosen by the system stays the agent's for its later listens.
    m_port = m_server->serverPort();
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
