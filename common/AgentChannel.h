#pragma once

// How the three programs find a running agent: a per-user local socket named VanduClassWindow in
// $XDG_RUNTIME_DIR (else the temp folder, with the user id in the name). A connection alone means
// "an agent runs"; a second agent also sends "show" so the first one comes to the front, and
// "status" tells whether the agent has finished starting (for whoever waits for it).

#include <QObject>
#include <QString>

class QLocalServer;

namespace vandu::channel {

QString SocketPath();

// True when an agent accepts a connection on the socket within timeoutMs.
bool IsAgentRunning(int timeoutMs = 1000);

// Connects, sends "show" and waits (up to timeoutMs) for the agent to answer that its window is
// shown; false when no agent accepted the connection.
bool AskRunningAgentToShow(int timeoutMs = 1000);

} // namespace vandu::channel

// The running agent's end of the channel.
class CAgentListener : public QObject {
    Q_OBJECT
public:
    explicit CAgentListener(QObject* parent = nullptr);
    ~CAgentListener() override;

    // Listens on the socket. A socket file left by a crashed agent is removed, but only after a
    // connection attempt to it has failed, so a live agent is never evicted.
    bool Listen();
    void Close();
    // From now on the status query is answered "ready": start-up is complete.
    void MarkReady() { m_ready = true; }

signals:
    void ShowRequested();

private:
    void OnNewConnection();

    QLocalServer* m_server = nullptr;
    bool m_ready = false;
};
