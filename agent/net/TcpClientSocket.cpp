#include "agent/net/TcpClientSocket.h"

#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Port in host order, or -1 when the text names no port.
int LookUpPort(const std::string& port)
{
    if (port.empty())
        return -1;
    if (std::isdigit(static_cast<unsigned char>(port[0]))) {
        long value = 0;
        for (std::size_t i = 0; i < port.size() && std::isdigit(static_cast<unsigned char>(port[i])); ++i) {
            value = value * 10 + (port[i] - '0');
            if (value > 65535)
                return -1;
        }
        return static_cast<int>(value);
    }
    servent entry {};
    servent* found = nullptr;
    char buffer[1024];
    if (getservbyname_r(port.c_str(), "tcp", &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr)
        return -1;
    return ntohs(static_cast<std::uint16_t>(found->s_port));
}

// IPv4 address in network order; false when the text names no reachable address.
bool LookUpAddress(const std::string& host, in_addr& address)
{
    if (host.empty())
        return false;
    if (std::isdigit(static_cast<unsigned char>(host[0]))) {
        address.s_addr = inet_addr(host.c_str());
        return address.s_addr != INADDR_NONE;
    }
    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &result) != 0 || result == nullptr)
        return false;
    address = reinterpret_cast<sockaddr_in*>(result->ai_addr)->sin_addr;
    freeaddrinfo(result);
    return true;
}

void SetOptions(int fd)
{
    const linger lingerOption {1, 5};
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &lingerOption, sizeof lingerOption);
    setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

} // namespace

int CTcpClientSocket::Connect(const std::string& host, const std::string& port)
{
    Close();
    // With a deadline the connect runs in the background, so that an address that never answers
    // costs no more than the time left rather than the system's minutes of retries.
    const bool background = Deadline().IsSet();
    m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (background ? SOCK_NONBLOCK : 0), 0);
    if (m_socket < 0)
        return -1;
    SetOptions(m_socket);

    // An unknown port or address is not tried: no connect can reach it.
    const int portNumber = LookUpPort(port);
    sockaddr_in target {};
    target.sin_family = AF_INET;
    if (portNumber < 0 || !LookUpAddress(host, target.sin_addr))
        return -EADDRNOTAVAIL;
    target.sin_port = htons(static_cast<std::uint16_t>(portNumber));

    if (::connect(m_socket, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
        if (errno != EINTR && errno != EINPROGRESS)
            return -errno;
        // An interrupted connect also goes on in the background: wait for its outcome.
        const int error = AwaitConnect();
        if (error != 0)
            return -error;
    }
    const bool nonBlocking = (m_flags & 1) != 0;
    if (nonBlocking != background)
        fcntl(m_socket, F_SETFL, nonBlocking ? O_NONBLOCK : 0); // a fresh socket has no other status flag

    m_port = target.sin_port;
    m_hostText = host;
    m_portText = port;
    m_connected = 1;
    return m_socket;
}

// 0 once connected, else the connect's error (ETIMEDOUT when the deadline passed first).
int CTcpClientSocket::AwaitConnect()
{
    pollfd entry {m_socket, POLLOUT, 0};
    for (;;) {
        if (Deadline().Expired())
            return ETIMEDOUT;
        const int limit = Deadline().Clamp(-1);
        const int ready = ::poll(&entry, 1, limit);
        if (ready > 0)
            break;
        if (ready < 0 && errno != EINTR)
            return errno;
    }
    int error = 0;
    socklen_t size = sizeof error;
    getsockopt(m_socket, SOL_SOCKET, SO_ERROR, &error, &size);
    return error;
}

std::string LocalHostName()
{
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0)
        return "localhost";
    buffer[255] = '\0';
    return buffer;
}
