#pragma once

// The wake-up listener: the service opens a TCP connection to port 2026 to make the agent poll at
// once. A connection attempt alone is the signal; nothing is read. After each one the socket is
// closed and listens again. Without it (port taken, no network) the agent polls by timer only.
// A plain POSIX socket watched by the event loop, so that no networking library loads for it.

#include <QObject>

class QSocketNotifier;

class CWakeupSocket : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kPort = 2026;
    static constexpr int kBacklog = 5;

    // port 0 takes any free port (tests).
    explicit CWakeupSocket(QObject* parent = nullptr, quint16 port = kPort);
    ~CWakeupSocket() override;
    // Listens on all local addresses (IPv6 and IPv4 where the system has both).
    bool Listen();
    quint16 Port() const { return m_port; }

signals:
    void WakeupArrived();

private:
    void OnConnection();
    void Close();

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    quint16 m_port = kPort;
};
