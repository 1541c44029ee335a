#pragma once

// The wake-up listener: the service opens a TCP connection to port 2026 to make the agent poll at
// once. A connection attempt alone is the signal; nothing is read. After each one the socket is
// closed and listens again. Without it (port taken, no network) the agent polls by timer only.

#include <QObject>

class QTcpServer;

class CWakeupSocket : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kPort = 2026;

    // port 0 takes any free port (tests).
    explicit CWakeupSocket(QObject* parent = nullptr, quint16 port = kPort);
    // Listens on all local addresses.
    bool Listen();
    quint16 Port() const { return m_port; }

signals:
    void WakeupArrived();

private:
    void OnConnection();

    QTcpServer* m_server = nullptr;
    quint16 m_port = kPort;
};
