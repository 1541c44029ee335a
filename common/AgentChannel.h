#pragma once

// How the three programs find a running agent: a per-user local socket named VanduClassWindow in
// $XDG_RUNTIME_DIR (else the temp folder, with the user id in the name). A connection alone means
// "an agent runs"; a second agent also sends "show" so the first one comes to the front, and
// "status" tells whether the agent has finished starting (for whoever waits for it). Plain POSIX
// sockets, watched by the event loop: the agent's start-up loads no networking library for this.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <list>
#include <memory>

#include <sys/types.h>

class QSocketNotifier;
class QTimer;

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
    // A peer that sends this much without ending a line is not speaking the protocol.
    static constexpr int kLineLimit = 256;
    // Nor is one that ends no line for this long after connecting or after its last line: a
    // connection alone has already told it that an agent runs.
    static constexpr int kIdleLimitMs = 10000;
    static constexpr int kBacklog = 16;

    explicit CAgentListener(QObject* parent = nullptr);
    ~CAgentListener() override;

    // Listens on the socket (mode 0700: only this user may connect). A socket file left by a crashed
    // agent is removed, but only after a connection attempt to it has failed, so a live agent is
    // never evicted.
    bool Listen();
    void Close();
    // From now on the status query is answered "ready": start-up is complete.
    void MarkReady() { m_ready = true; }
    // For peers accepted from now on (tests).
    void SetIdleLimit(int ms) { m_idleLimitMs = ms; }

signals:
    void ShowRequested();

private:
    struct SPeer {
        int Fd = -1;
        QByteArray Input;
        QByteArray Output;
        // The peer has stopped sending: it is let go once its replies are out.
        bool Closing = false;
        // Children of the listener, released with deleteLater: a notifier may be dropped from
        // inside its own signal.
        QSocketNotifier* Reader = nullptr;
        QSocketNotifier* Writer = nullptr;
        // Restarted at each line; the peer is dropped when it runs out.
        QTimer* Idle = nullptr;
    };

    void OnNewConnection();
    void Accept(int fd);
    // A peer may be dropped while a signal is handled: the notifiers hold it weakly, and a dropped
    // peer's descriptor is -1.
    void OnReadable(const std::weak_ptr<SPeer>& weak);
    void HandleLines(const std::shared_ptr<SPeer>& peer);
    void Reply(const std::shared_ptr<SPeer>& peer, const char* text);
    void Flush(const std::shared_ptr<SPeer>& peer);
    void Finish(const std::shared_ptr<SPeer>& peer);
    void Drop(const std::shared_ptr<SPeer>& peer);

    int m_fd = -1;
    // The socket file as bound, so that Close removes only our own.
    QByteArray m_path;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    QSocketNotifier* m_notifier = nullptr;
    std::list<std::shared_ptr<SPeer>> m_peers;
    int m_idleLimitMs = kIdleLimitMs;
    bool m_ready = false;
};
