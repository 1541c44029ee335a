#include "tests/support/LoopbackServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vandu::test {

LoopbackServer::~LoopbackServer()
{
    Stop();
}

bool LoopbackServer::Start(Handler handler, const std::string& address, int backlog)
{
    m_handler = std::move(handler);
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in where {};
    where.sin_family = AF_INET;
    inet_pton(AF_INET, address.c_str(), &where.sin_addr);
    where.sin_port = 0;
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0
        || ::listen(m_listener, backlog) != 0) {
        ADD_FAILURE() << "cannot listen on " << address;
        return false;
    }
    socklen_t size = sizeof where;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&where), &size);
    m_port = ntohs(where.sin_port);
    m_thread = std::thread([this] { Serve(); });
    return true;
}

void LoopbackServer::Stop()
{
    m_stop = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
    if (m_listener >= 0) {
        ::close(m_listener);
    }
    m_listener = -1;
}

void LoopbackServer::Serve()
{
    while (!m_stop) {
        pollfd entry {m_listener, POLLIN, 0};
        if (::poll(&entry, 1, 50) <= 0) {
            continue;
        }
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        ++m_connections;
        m_handler(fd);
        ::close(fd);
    }
}

} // namespace vandu::test
