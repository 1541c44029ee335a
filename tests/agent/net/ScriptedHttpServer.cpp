#include "tests/agent/net/ScriptedHttpServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vandu::test {

ScriptedHttpServer::ScriptedHttpServer(Script script, const std::string& address)
    : m_script(std::move(script))
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in where {};
    where.sin_family = AF_INET;
    inet_pton(AF_INET, address.c_str(), &where.sin_addr);
    where.sin_port = 0;
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 || ::listen(m_listener, 16) != 0) {
        ADD_FAILURE() << "cannot listen on " << address;
        return;
    }
    socklen_t size = sizeof where;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&where), &size);
    m_port = ntohs(where.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

ScriptedHttpServer::~ScriptedHttpServer()
{
    Stop();
}

void ScriptedHttpServer::Stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listener >= 0)
        ::close(m_listener);
    m_listener = -1;
}

std::vector<std::string> ScriptedHttpServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

bool ScriptedHttpServer::Sleep(int ms) const
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (m_stop)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

void ScriptedHttpServer::Serve()
{
    while (!m_stop) {
        pollfd entry {m_listener, POLLIN, 0};
        if (::poll(&entry, 1, 50) <= 0)
            continue;
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ++m_connections;
        Handle(fd);
        ::close(fd);
    }
}

void ScriptedHttpServer::Handle(int fd)
{
    std::string request;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (m_script.readRequest && request.find("\r\n\r\n") == std::string::npos
        && request.find("\n\n") == std::string::npos && std::chrono::steady_clock::now() < deadline && !m_stop) {
        pollfd entry {fd, POLLIN, 0};
        if (::poll(&entry, 1, 50) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back(request);
    }
    std::size_t sent = 0;
    while (sent < m_script.answer.size() && !m_stop) {
        const ssize_t n = ::send(fd, m_script.answer.data() + sent, m_script.answer.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += static_cast<std::size_t>(n);
    }
    if (m_script.holdOpenMs > 0)
        Sleep(m_script.holdOpenMs);
}

} // namespace vandu::test
