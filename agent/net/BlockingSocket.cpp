#include "agent/net/BlockingSocket.h"

#include <cerrno>
#include <climits>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

CBlockingSocket::~CBlockingSocket()
{
    CBlockingSocket::Close();
}

int CBlockingSocket::Close()
{
    if (m_socket >= 0) {
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
    for (;;) {
        const ssize_t n = ::recv(m_socket, buffer, size > 0 ? static_cast<size_t>(size) : 0, MSG_PEEK);
        if (n >= 0)
            return static_cast<int>(n);
        if (errno == EINTR)
            continue;
        return (errno == EAGAIN || errno == EWOULDBLOCK) ? 0 : -errno;
    }
}

int CBlockingSocket::Receive(char* buffer, int size)
{
    for (;;) {
        const ssize_t n = ::recv(m_socket, buffer, size > 0 ? static_cast<size_t>(size) : 0, 0);
        if (n >= 0)
            return static_cast<int>(n);
        if (errno == EINTR)
            continue;
        return (errno == EAGAIN || errno == EWOULDBLOCK) ? 0 : -errno;
    }
}

int CBlockingSocket::Send(const char* data, int length)
{
    int sent = 0;
    while (sent < length) {
        // MSG_NOSIGNAL: a peer that reset the connection must give an error, not end the program.
        const ssize_t n = ::send(m_socket, data + sent, static_cast<size_t>(length - sent), MSG_NOSIGNAL);
        if (n >= 0) {
            sent += static_cast<int>(n);
            continue;
        }
        if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)
            return -errno;
        const int error = errno;
        if (WaitForWritable(-1, 0) < 0 && error != EINTR)
            return -error;
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
        // A peer that goes silent in mid-line must not hold the caller for ever.
        if (m_readLineLimitMs >= 0 && WaitMs(POLLIN | POLLPRI, m_readLineLimitMs) == 0)
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

// One receive that is repeated when interrupted and waits when it would block: 0 on close.
int CBlockingSocket::ReceiveSome(char* buffer, int size, int flags)
{
    for (;;) {
        const ssize_t n = ::recv(m_socket, buffer, static_cast<size_t>(size), flags);
        if (n >= 0)
            return static_cast<int>(n);
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return -errno;
        const int waited = WaitForReadable(-1, 0);
        if (waited < 0)
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

// poll rather than select: a descriptor above FD_SETSIZE must not overrun an fd_set.
int CBlockingSocket::WaitMs(short events, int milliseconds)
{
    if (!m_connected || m_socket < 0)
        return 0;
    pollfd entry {m_socket, events, 0};
    const int ready = ::poll(&entry, 1, milliseconds < 0 ? -1 : milliseconds);
    if (ready < 0)
        return errno == EINTR ? 0 : -errno;
    return ready > 0 ? 1 : 0;
}
