#include "common/AgentChannel.h"

#include "common/Names.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Only the user who runs the agent may connect.
constexpr mode_t kSocketMode = 0700;
// A reply waiting for a peer that does not read is dropped with the peer beyond this.
constexpr int kOutputLimit = 64 * 1024;
constexpr int kConnectRetryMs = 10;
// Reads per readiness event: a peer that keeps sending does not hold the event loop.
constexpr int kReadsPerEvent = 16;

// The descriptor is closed on every way out of the client calls.
struct ScopedFd {
    explicit ScopedFd(int fd)
        : Fd(fd)
    {
    }
    ~ScopedFd()
    {
        if (Fd >= 0) {
            ::close(Fd);
        }
    }
    ScopedFd(const ScopedFd&) = delete;
    ScopedFd& operator=(const ScopedFd&) = delete;
    int Fd;
};

int RemainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// False when the path does not fit an AF_UNIX address: nobody could listen there either.
bool FillAddress(const QByteArray& path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || static_cast<size_t>(path.size()) >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    return true;
}

sockaddr* AsAddress(sockaddr_un& address)
{
    return reinterpret_cast<sockaddr*>(&address);
}

// Waits for one of events on fd until the deadline; false on timeout or error.
bool WaitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        pollfd entry {fd, events, 0};
        const int ready = ::poll(&entry, 1, RemainingMs(deadline));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

// A connected descriptor, or -1 when nobody accepts a connection on the socket before the deadline.
int ConnectToAgent(Clock::time_point deadline)
{
    sockaddr_un address;
    if (!FillAddress(QFile::encodeName(vandu::channel::SocketPath()), address)) {
        return -1;
    }
    ScopedFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (socket.Fd < 0) {
        return -1;
    }
    for (;;) {
        if (::connect(socket.Fd, AsAddress(address), sizeof address) == 0 || errno == EISCONN) {
            const int fd = socket.Fd;
            socket.Fd = -1;
            return fd;
        }
        if (errno == EINTR) {
            continue;
        }
        // EAGAIN: the agent's queue of connections is full until its event loop comes round.
        const int left = RemainingMs(deadline);
        if (errno != EAGAIN || left == 0) {
            return -1;
        }
        ::poll(nullptr, 0, std::min(left, kConnectRetryMs));
    }
}

bool SendAll(int fd, const QByteArray& bytes, Clock::time_point deadline)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN && WaitFor(fd, POLLOUT, deadline)) {
            continue;
        } else {
            return false;
        }
    }
    return true;
}

// Reads until the first line has ended, the peer has closed or the deadline has passed.
void AwaitLine(int fd, Clock::time_point deadline)
{
    QByteArray received;
    char buffer[64];
    while (!received.contains('\n') && WaitFor(fd, POLLIN, deadline)) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            received.append(buffer, n);
        } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
            return;
        }
    }
}

} // namespace

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
    ScopedFd socket(ConnectToAgent(Clock::now() + std::chrono::milliseconds(timeoutMs)));
    return socket.Fd >= 0;
}

bool AskRunningAgentToShow(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    ScopedFd socket(ConnectToAgent(deadline));
    if (socket.Fd < 0) {
        return false;
    }
    const bool sent = SendAll(socket.Fd, QByteArray(names::kShowCommand) + '\n', deadline);
    // The running agent answers once its window is up, so this agent ends after that.
    if (sent) {
        AwaitLine(socket.Fd, deadline);
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
    const QByteArray path = QFile::encodeName(vandu::channel::SocketPath());
    sockaddr_un address;
    if (!FillAddress(path, address)) {
        return false;
    }
    ScopedFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (socket.Fd < 0) {
        return false;
    }
    // Linux gives the socket file the mode of the unbound socket, less the umask: private at once.
    ::fchmod(socket.Fd, kSocketMode);
    int bound = ::bind(socket.Fd, AsAddress(address), sizeof address);
    if (bound != 0 && errno == EADDRINUSE && !vandu::channel::IsAgentRunning(500)) {
        // Nobody answers on the socket: a crashed agent left it behind.
        ::unlink(path.constData());
        bound = ::bind(socket.Fd, AsAddress(address), sizeof address);
    }
    if (bound != 0) {
        return false;
    }
    struct stat file { };
    if (::chmod(path.constData(), kSocketMode) != 0 || ::listen(socket.Fd, kBacklog) != 0
        || ::stat(path.constData(), &file) != 0) {
        ::unlink(path.constData());
        return false;
    }
    m_fd = socket.Fd;
    socket.Fd = -1;
    m_path = path;
    m_device = file.st_dev;
    m_inode = file.st_ino;
    m_notifier = new QSocketNotifier(static_cast<qintptr>(m_fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CAgentListener::OnNewConnection);
    return true;
}

void CAgentListener::Close()
{
    while (!m_peers.empty()) {
        Drop(std::shared_ptr<SPeer>(m_peers.front()));
    }
    if (m_fd < 0) {
        return;
    }
    m_notifier->setEnabled(false);
    m_notifier->deleteLater();
    m_notifier = nullptr;
    ::close(m_fd);
    m_fd = -1;
    // Only our own socket file: another agent may have taken the name since.
    struct stat file { };
    if (::lstat(m_path.constData(), &file) == 0 && file.st_dev == m_device && file.st_ino == m_inode) {
        ::unlink(m_path.constData());
    }
}

void CAgentListener::OnNewConnection()
{
    for (;;) {
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            Accept(fd);
        } else if (errno != EINTR && errno != ECONNABORTED) {
            return;
        }
    }
}

void CAgentListener::Accept(int fd)
{
    auto peer = std::make_shared<SPeer>();
    peer->Fd = fd;
    peer->Reader = new QSocketNotifier(static_cast<qintptr>(fd), QSocketNotifier::Read, this);
    connect(peer->Reader, &QSocketNotifier::activated, this,
        [this, weak = std::weak_ptr<SPeer>(peer)] { OnReadable(weak); });
    peer->Idle = new QTimer(this);
    peer->Idle->setSingleShot(true);
    connect(peer->Idle, &QTimer::timeout, this, [this, weak = std::weak_ptr<SPeer>(peer)] {
        if (std::shared_ptr<SPeer> idle = weak.lock()) {
            Drop(idle);
        }
    });
    peer->Idle->start(m_idleLimitMs);
    m_peers.push_back(std::move(peer));
}

void CAgentListener::OnReadable(const std::weak_ptr<SPeer>& weak)
{
    std::shared_ptr<SPeer> peer = weak.lock();
    char buffer[512];
    for (int reads = 0; reads < kReadsPerEvent && peer && peer->Fd >= 0 && !peer->Closing; ++reads) {
        const ssize_t n = ::recv(peer->Fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        }
        if (n <= 0) {
            // The peer has finished (or failed): answer what it asked, then let it go.
            Finish(peer);
            return;
        }
        peer->Input.append(buffer, n);
        HandleLines(peer);
        if (peer->Fd < 0) {
            return;
        }
        if (peer->Input.size() > kLineLimit) {
            Drop(peer);
            return;
        }
    }
}

void CAgentListener::HandleLines(const std::shared_ptr<SPeer>& peer)
{
    qsizetype end = 0;
    while ((end = peer->Input.indexOf('\n')) >= 0) {
        const QByteArray line = peer->Input.left(end).trimmed();
        peer->Input.remove(0, end + 1);
        peer->Idle->start(m_idleLimitMs);
        if (line == vandu::names::kShowCommand) {
            // Showing the window may run the event loop, which may drop the peer meanwhile.
            emit ShowRequested();
            if (peer->Fd < 0) {
                return;
            }
            Reply(peer, vandu::names::kShownReply);
        } else if (line == vandu::names::kStatusQuery) {
            Reply(peer, m_ready ? vandu::names::kReadyReply : vandu::names::kStartingReply);
        }
        if (peer->Fd < 0) {
            return;
        }
    }
}

void CAgentListener::Reply(const std::shared_ptr<SPeer>& peer, const char* text)
{
    peer->Output.append(text).append('\n');
    if (peer->Output.size() > kOutputLimit) {
        Drop(peer);
        return;
    }
    Flush(peer);
}

void CAgentListener::Flush(const std::shared_ptr<SPeer>& peer)
{
    while (!peer->Output.isEmpty()) {
        const ssize_t n = ::send(
            peer->Fd, peer->Output.constData(), static_cast<size_t>(peer->Output.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            peer->Output.remove(0, n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!peer->Writer) {
                peer->Writer = new QSocketNotifier(static_cast<qintptr>(peer->Fd), QSocketNotifier::Write, this);
                connect(peer->Writer, &QSocketNotifier::activated, this, [this, weak = std::weak_ptr<SPeer>(peer)] {
                    if (std::shared_ptr<SPeer> waiting = weak.lock()) {
                        Flush(waiting);
                    }
                });
            }
            peer->Writer->setEnabled(true);
            return;
        } else {
            Drop(peer);
            return;
        }
    }
    if (peer->Writer) {
        peer->Writer->setEnabled(false);
    }
    if (peer->Closing) {
        Drop(peer);
    }
}

void CAgentListener::Finish(const std::shared_ptr<SPeer>& peer)
{
    peer->Closing = true;
    peer->Reader->setEnabled(false);
    if (peer->Output.isEmpty()) {
        Drop(peer);
    }
}

void CAgentListener::Drop(const std::shared_ptr<SPeer>& peer)
{
    if (peer->Fd < 0) {
        return;
    }
    for (QSocketNotifier* notifier : {peer->Reader, peer->Writer}) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
    // Dropped from inside its own timeout, too.
    peer->Idle->stop();
    peer->Idle->deleteLater();
    peer->Reader = nullptr;
    peer->Writer = nullptr;
    peer->Idle = nullptr;
    ::close(peer->Fd);
    peer->Fd = -1;
    m_peers.remove(peer);
}
