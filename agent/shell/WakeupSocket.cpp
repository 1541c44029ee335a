#include "agent/shell/WakeupSocket.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Closes fd, keeping the errno of the call that failed; -1.
int Abandon(int fd)
{
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
}

// A listening socket on every local address at port, or -1. One IPv6 socket that also takes IPv4
// connections where the system has IPv6, else an IPv4 one. errno tells why on -1.
int ListenOnAllAddresses(quint16 port)
{
    const int one = 1;
    const int zero = 0;
    int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd >= 0) {
        sockaddr_in6 address {};
        address.sin6_family = AF_INET6;
        address.sin6_addr = in6addr_any;
        address.sin6_port = htons(port);
        // Reopened after every wake-up: the connection just closed must not keep the port.
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &zero, sizeof zero);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
            && ::listen(fd, CWakeupSocket::kBacklog) == 0) {
            return fd;
        }
        Abandon(fd);
        if (errno != EAFNOSUPPORT && errno != EADDRNOTAVAIL) {
            return -1;
        }
    }
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(port);
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(fd, CWakeupSocket::kBacklog) != 0) {
        return Abandon(fd);
    }
    return fd;
}

quint16 BoundPort(int fd)
{
    sockaddr_storage address {};
    socklen_t length = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return 0;
    }
    if (address.ss_family == AF_INET6) {
        return ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port);
    }
    return ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
}

} // namespace

CWakeupSocket::CWakeupSocket(QObject* parent, quint16 port)
    : QObject(parent)
    , m_port(port)
{
}

CWakeupSocket::~CWakeupSocket()
{
    Close();
}

bool CWakeupSocket::Listen()
{
    Close();
    m_fd = ListenOnAllAddresses(m_port);
    if (m_fd < 0) {
        // The agent goes on without it; whoever wonders why it is not woken learns it here.
        qWarning("Vandu: no wake-up listener on TCP port %u (%s); polling by timer only", unsigned(m_port),
            std::strerror(errno));
        return false;
    }
    // A port chosen by the system stays the agent's for its later listens.
    m_port = BoundPort(m_fd);
    m_notifier = new QSocketNotifier(static_cast<qintptr>(m_fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CWakeupSocket::OnConnection);
    return true;
}

void CWakeupSocket::Close()
{
    if (m_fd < 0) {
        return;
    }
    // deleteLater: Close runs inside the notifier's own signal.
    m_notifier->setEnabled(false);
    m_notifier->deleteLater();
    m_notifier = nullptr;
    ::close(m_fd);
    m_fd = -1;
}

void CWakeupSocket::OnConnection()
{
    // The kernel completed the handshake; drop the connection unread.
    for (;;) {
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
        } else if (errno != EINTR && errno != ECONNABORTED) {
            break;
        }
    }
    emit WakeupArrived();
    Close();
    Listen();
}
