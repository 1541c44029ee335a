#include "tests/agent/mail/ScriptedPop3Server.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
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
    m_server.Start([this](int fd) { Handle(fd); }, "127.0.0.1", 4);
}

ScriptedPop3Server::~ScriptedPop3Server()
{
    Stop();
}

void ScriptedPop3Server::Stop()
{
    m_server.Stop();
}

std::vector<std::string> ScriptedPop3Server::Commands() const
{
    std::lock_guard lock(m_mutex);
    return m_commands;
}

std::string ScriptedPop3Server::Received() const
{
    std::lock_guard lock(m_mutex);
    return m_received;
}

void ScriptedPop3Server::Handle(int fd)
{
    if (m_script.sendGreeting)
        Send(fd, m_script.greeting);
    const auto end = std::chrono::steady_clock::now() + kConnectionLimit;
    std::string pending;
    while (!m_server.Stopping() && std::chrono::steady_clock::now() < end) {
        pollfd entry {fd, POLLIN, 0};
        if (::poll(&entry, 1, 50) <= 0)
            continue;
        char buffer[1024];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        pending.append(buffer, static_cast<std::size_t>(n));
        {
            std::lock_guard lock(m_mutex);
            m_received.append(buffer, static_cast<std::size_t>(n));
        }
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
        Send(fd, reply->second);
    else
        Send(fd, verb == "QUIT" ? "+OK bye\r\n" : "-ERR unknown command\r\n");
    return verb != "QUIT";
}

void ScriptedPop3Server::Send(int fd, const std::string& bytes) const
{
    const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_script.replyDelayMs);
    while (std::chrono::steady_clock::now() < due) {
        if (m_server.Stopping())
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    SendAll(fd, bytes);
}

} // namespace vandu::test
