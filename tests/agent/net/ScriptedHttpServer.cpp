#include "tests/agent/net/ScriptedHttpServer.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    m_server.Start([this](int fd) { Handle(fd); }, address, 16);
}

ScriptedHttpServer::~ScriptedHttpServer()
{
    Stop();
}

void ScriptedHttpServer::Stop()
{
    m_server.Stop();
}

std::vector<std::string> ScriptedHttpServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

bool ScriptedHttpServer::Sleep(int ms) const
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (auto now = std::chrono::steady_clock::now(); now < end; now = std::chrono::steady_clock::now()) {
        if (m_server.Stopping())
            return false;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(end - now, std::chrono::milliseconds(10)));
    }
    return !m_server.Stopping();
}

void ScriptedHttpServer::Handle(int fd)
{
    std::string request;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (m_script.readRequest && request.find("\r\n\r\n") == std::string::npos
        && request.find("\n\n") == std::string::npos && std::chrono::steady_clock::now() < deadline
        && !m_server.Stopping()) {
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
    const std::size_t size = m_script.answer.size();
    const std::size_t atOnce = m_script.trickleMs > 0 ? std::min(m_script.trickleFrom, size) : size;
    bool open = SendAnswer(fd, 0, atOnce);
    for (std::size_t at = atOnce; open && at < size; ++at)
        open = Sleep(m_script.trickleMs) && SendAnswer(fd, at, at + 1);
    if (open && m_script.holdOpenMs > 0)
        Sleep(m_script.holdOpenMs);
}

bool ScriptedHttpServer::SendAnswer(int fd, std::size_t from, std::size_t to) const
{
    while (from < to && !m_server.Stopping()) {
        const ssize_t n = ::send(fd, m_script.answer.data() + from, to - from, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        from += static_cast<std::size_t>(n);
    }
    return from == to;
}

} // namespace vandu::test
