#include "server/WakeupSender.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vandu::server {

namespace {

// Fills addr from a numeric address; false for anything else (host names are never looked up).
bool ToSockaddr(const std::string& address, int port, sockaddr_storage& addr, socklen_t& length)
{
    std::memset(&addr, 0, sizeof addr);
    auto* v4 = reinterpret_cast<sockaddr_in*>(&addr);
    if (inet_pton(AF_INET, address.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(static_cast<uint16_t>(port));
        length = sizeof(sockaddr_in);
        return true;
    }
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&addr);
    if (inet_pton(AF_INET6, address.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(static_cast<uint16_t>(port));
        length = sizeof(sockaddr_in6);
        return true;
    }
    return false;
}

} // namespace

int CWakeupSender::Wake(const std::string& address, int port, int timeoutMs)
{
    sockaddr_storage addr {};
    socklen_t length = 0;
    if (port <= 0 || port > 65535 || !ToSockaddr(address, port, addr, length)) {
        return -1;
    }
    const int fd = socket(addr.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    int result = -1;
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), length) == 0) {
        result = 0;
    } else if (errno == EINPROGRESS) {
        pollfd p {fd, POLLOUT, 0};
        int error = 0;
        socklen_t errorLength = sizeof error;
        if (poll(&p, 1, timeoutMs) == 1 && getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &errorLength) == 0
            && error == 0) {
            result = 0;
        }
    }
    close(fd);
    return result;
}

} // namespace vandu::server
