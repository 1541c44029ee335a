#include "tests/agent/net/PeerProcess.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vandu::test {

PeerProcess::PeerProcess(const std::vector<std::string>& argv)
{
    if (argv.empty())
        return;
    m_pid = ::fork();
    if (m_pid == 0) {
        const int devNull = ::open("/dev/null", O_RDWR);
        ::dup2(devNull, 0);
        ::dup2(devNull, 1);
        ::dup2(devNull, 2);
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
}

PeerProcess::~PeerProcess()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
}

std::string FillPeerConfig(std::string text, const std::string& dir, const std::string& address, int port)
{
    const std::pair<std::string, std::string> keys[]
        = {{"@DIR@", dir}, {"@ADDR@", address}, {"@PORT@", std::to_string(port)}};
    for (const auto& [key, value] : keys) {
        for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
            text.replace(at, key.size(), value);
    }
    return text;
}

} // namespace vandu::test
