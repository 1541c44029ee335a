#include "tests/agent/mail/ScriptedPop3Server.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vandu::test {

namespace {

constexpr auto kConnectionLimit = std::chrono::seconds(20);

void SendAll(int fd, const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<std::size_t>(n);
    }
}

} // namespace

ScriptedPop3Server::ScriptedPop3Server(Script script)
    : m_script(std::move(script))
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in where {};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 || ::listen(m_listener, 4) != 0) {
        ADD_FAILURE() << "cannot listen on loopback";
        return;
    }
    socklen_t size = sizeof where;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&where), &size);
    m_port = ntohs(where.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

ScriptedPop3Server::~ScriptedPop3Server()
{
    Stop();
}

void ScriptedPop3Server::Stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listener >= 0)
        ::close(m_listener);
    m_listener = -1;
}

std::vector<std::string> ScriptedPop3Server::Commands() const
{
    std::lock_guard lock(m_mutex);
    return m_commands;
}

void ScriptedPop3Server::Serve()
{
    while (!m_stop) {
        pollfd entry {m_listener, POLLIN, 0};
        if (::poll(&entry, 1, 50) <= 0)
            continue;
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        Handle(fd);
        ::close(fd);
    }
}

void ScriptedPop3Server::Handle(int fd)
{
    if (m_script.sendGreeting)
        SendAll(fd, m_script.greeting);
    const auto end = std::chrono::steady_clock::now() + kConnectionLimit;
    std::string pending;
    while (!m_stop && std::chrono::steady_clock::now() < end) {
        pollfd entry {fd, POLLIN, 0};
        if (::poll(&entry, 1, 50) <= 0)
            continue;
        char buffer[1024];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t lineEnd = pending.find("\r\n"); lineEnd != std::string::npos; lineEnd = pending.find("\r\n")) {
            const std::string line = pending.substr(0, lineEnd);
            pending.erase(0, lineEnd + 2);
            if (!Answer(fd, line))
                return;
        }
    }
}

bool ScriptedPop3Server::Answer(int fd, const std::string& line)
{
    {
        std::lock_guard lock(m_mutex);
        m_commands.push_back(line);
    }
    const std::string verb = line.substr(0, line.find(' '));
    if (verb == m_script.silentVerb)
        return true;
    const auto reply = m_script.replies.find(verb);
    if (reply != m_script.replies.end())
        SendAll(fd, reply->second);
    else
        SendAll(fd, verb == "QUIT" ? "+OK bye\r\n" : "-ERR unknown command\r\n");
    return verb != "QUIT";
}

} // namespace vandu::test
