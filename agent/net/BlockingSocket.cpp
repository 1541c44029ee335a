#include "agent/net/BlockingSocket.h"

#include <cerrno>
#include <climits>
#include <linux/sockios.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

CBlockingSocket::~CBlockingSocket()
{
    CBlockingSocket::Close();
}

int CBlockingSocket::Close()
{
    if (m_socket >= 0) {
        // Lingering protects data the peer has not acknowledged yet. With none left it would only
        // wait for the acknowledgement of the closing FIN: a round trip on every exchange (tens
        // of microseconds on loopback when the peer runs on another core). The FIN goes out alike.
        int unacknowledged = 0;
        if (::ioctl(m_socket, SIOCOUTQ, &unacknowledged) == 0 && unacknowledged == 0) {
            const linger off {0, 0};
            ::setsockopt(m_socket, SOL_SOCKET, SO_LINGER, &off, sizeof off);
        }
        ::shutdown(m_socket, SHUT_RDWR);
        ::close(m_socket);
        m_socket = -1;
        m_connected = 0;
    }
    return 1;
}

void CBlockingSocket::Attach(int fd)
{
    Close();
    m_socket = fd;
    m_connected = fd >= 0 ? 1 : 0;
}

int CBlockingSocket::Peek(char* buffer, int size)
{
    return ReceiveSome(buffer, size, MSG_PEEK);
}

int CBlockingSocket::Receive(char* buffer, int size)
{
    return ReceiveSome(buffer, size, 0);
}

// The send itself never blocks: a peer that stops reading is waited for in WaitForWritable, which
// the deadline bounds.
int CBlockingSocket::Send(const char* data, int length)
{
    int sent = 0;
    while (sent < length) {
        // MSG_NOSIGNAL: a peer that reset the connection must give an error, not end the program.
        const ssize_t n
            = ::send(m_socket, data + sent, static_cast<size_t>(length - sent), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0) {
            sent += static_cast<int>(n);
            continue;
        }
        if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)
            return -errno;
        const int error = errno;
        if (WaitForWritable(-1, 0) < 0 && error != EINTR)
            return -error;
        if (m_deadline.Expired())
            return -ETIMEDOUT;
    }
    return sent;
}

// Never takes a byte beyond the terminator from the connection, so the body stays there for
// Receive. Peeking first and then taking exactly the line's bytes keeps that with two receive
// calls per line instead of one per byte.
int CBlockingSocket::ReadLine(char* buffer, int count)
{
    int stored = 0;
    while (stored < count) {
        // A peer that goes silent in mid-line, or trickles it, must not hold the caller for ever.
        if ((m_readLineLimitMs >= 0 || m_deadline.IsSet()) && WaitMs(POLLIN | POLLPRI, m_readLineLimitMs) == 0)
            return 0;
        const int available = ReceiveSome(buffer + stored, count - stored, MSG_PEEK);
        if (available <= 0)
            return available;
        int take = available;
        for (int i = 0; i < available; ++i) {
            if (buffer[stored + i] == m_lineTerminator) {
                take = i + 1;
                break;
            }
        }
        const int got = ReceiveSome(buffer + stored, take, 0);
        if (got <= 0)
            return got;
        stored += got;
        if (buffer[stored - 1] == m_lineTerminator)
            break;
    }
    return stored;
}

// One receive, repeated when interrupted: the count, 0 on close, or -errno. The receive itself
// never blocks; when nothing has arrived it waits for data (an urgent byte that woke a wait for
// "readable or exceptional" must not leave it blocked), at most the read limit and never past the
// deadline, and gives 0 as on a close when that time runs out. In non-blocking mode it gives 0 at once.
int CBlockingSocket::ReceiveSome(char* buffer, int size, int flags)
{
    for (;;) {
        const ssize_t n = ::recv(m_socket, buffer, size > 0 ? static_cast<size_t>(size) : 0, flags | MSG_DONTWAIT);
        if (n >= 0)
            return static_cast<int>(n);
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return -errno;
        if (m_flags & 1)
            return 0;
        const int waited = WaitMs(POLLIN, m_readLineLimitMs);
        if (waited <= 0)
            return waited;
    }
}

int CBlockingSocket::WaitReadable(int seconds, int microseconds)
{
    return Wait(POLLIN | POLLPRI, seconds, microseconds);
}

int CBlockingSocket::WaitForReadable(int seconds, int microseconds)
{
    return Wait(POLLIN, seconds, microseconds);
}

int CBlockingSocket::WaitForWritable(int seconds, int microseconds)
{
    return Wait(POLLOUT, seconds, microseconds);
}

int CBlockingSocket::WaitForException(int seconds, int microseconds)
{
    return Wait(POLLPRI, seconds, microseconds);
}

int CBlockingSocket::Wait(short events, int seconds, int microseconds)
{
    if (seconds < 0)
        return WaitMs(events, -1);
    const long long ms = static_cast<long long>(seconds) * 1000 + microseconds / 1000;
    return WaitMs(events, static_cast<int>(ms > INT_MAX ? INT_MAX : ms));
}

// poll rather than select: a descriptor above FD_SETSIZE must not overrun an fd_set. A signal
// does not cut the wait short; the deadline does: once it has passed, every wait times out at once.
int CBlockingSocket::WaitMs(short events, int milliseconds)
{
    if (!m_connected || m_socket < 0)
        return 0;
    const CDeadline wait = CDeadline::After(milliseconds);
    for (bool first = true;; first = false) {
        if (m_deadline.Expired() || (!first && wait.Expired()))
            return 0;
        pollfd entry {m_socket, events, 0};
        const int ready = ::poll(&entry, 1, m_deadline.Clamp(wait.RemainingMs()));
        if (ready > 0)
            return 1;
        if (ready < 0 && errno != EINTR)
            return -errno;
    }
}
