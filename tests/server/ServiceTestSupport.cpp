#include "tests/server/ServiceTestSupport.h"

#include "tests/support/TestSupport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

extern char** environ;

namespace vandu::test {

namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in Loopback(const std::string& address, int port)
{
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, address.c_str(), &addr.sin_addr);
    return addr;
}

// The environment for a child: as ours, with the service's ThreadSanitizer suppressions added.
std::vector<std::string> ChildEnvironment()
{
    std::vector<std::string> env;
    std::string tsan = std::string("TSAN_OPTIONS=suppressions=") + VANDU_SERVER_TSAN_SUPPRESSIONS;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (text.rfind("TSAN_OPTIONS=", 0) == 0) {
            tsan = text + ":suppressions=" + VANDU_SERVER_TSAN_SUPPRESSIONS;
        } else {
            env.push_back(text);
        }
    }
    env.push_back(tsan);
    return env;
}

// Spawns program with args; its stdout and stderr go to the two pipe ends given (or stay).
int Spawn(const std::string& program, const std::vector<std::string>& args, int outFd, int errFd)
{
    std::vector<std::string> all {program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> env = ChildEnvironment();
    std::vector<char*> envp;
    for (std::string& entry : env) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    }
    if (errFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    }
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

// Reads both pipes until they close or the deadline passes.
void Drain(int outFd, int errFd, std::string& out, std::string& err, Clock::time_point deadline)
{
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string* sinks[2] = {&out, &err};
    int open = 2;
    while (open > 0 && Clock::now() < deadline) {
        if (poll(fds, 2, 100) <= 0) {
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP | POLLERR))) {
                char buffer[4096];
                const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
                if (n <= 0) {
                    fds[i].fd = -1;
                    --open;
                } else {
                    sinks[i]->append(buffer, static_cast<size_t>(n));
                }
            }
        }
    }
}

// Waits for pid until the deadline; kills it after that. Exit status, or -1.
int Reap(int pid, Clock::time_point deadline)
{
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        usleep(10000);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args, int timeoutMs)
{
    ProgramRun run;
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        return run;
    }
    const int pid = Spawn(program, args, out[1], err[1]);
    close(out[1]);
    close(err[1]);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    if (pid > 0) {
        Drain(out[0], err[0], run.Out, run.Err, deadline);
        run.Status = Reap(pid, deadline);
    }
    close(out[0]);
    close(err[0]);
    return run;
}

ProgramRun RunService(const std::vector<std::string>& args, int timeoutMs)
{
    return RunProgram(VANDU_SERVICE_PROGRAM, args, timeoutMs);
}

HttpAnswer HttpGet(int port, const std::string& target, const std::string& sourceAddress)
{
    HttpAnswer answer;
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return answer;
    }
    const sockaddr_in source = Loopback(sourceAddress, 0);
    const sockaddr_in server = Loopback("127.0.0.1", port);
    timeval timeout {10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    std::string response;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&source), sizeof source) == 0
        && connect(fd, reinterpret_cast<const sockaddr*>(&server), sizeof server) == 0) {
        const std::string request
            = "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n\r\n";
        if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
            char buffer[8192];
            ssize_t n = 0;
            while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0) {
                response.append(buffer, static_cast<size_t>(n));
            }
        }
    }
    close(fd);
    const size_t headerEnd = response.find("\r\n\r\n");
    if (response.rfind("HTTP/1.", 0) != 0 || headerEnd == std::string::npos || response.size() < 12) {
        return answer;
    }
    answer.Status = std::atoi(response.c_str() + 9);
    answer.Body = response.substr(headerEnd + 4);
    return answer;
}

ServiceProcess::~ServiceProcess()
{
    Stop();
}

bool ServiceProcess::Start(const std::string& database, const std::vector<std::string>& extraArgs, int port)
{
    m_port = port != 0 ? port : FreeLoopbackPort();
    std::vector<std::string> args {"serve", "--db", database, "--listen", "127.0.0.1:" + std::to_string(m_port)};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    m_pid = Spawn(VANDU_SERVICE_PROGRAM, args, devNull, -1);
    close(devNull);
    return m_pid > 0 && WaitForPort("127.0.0.1", m_port, 10000);
}

int ServiceProcess::Stop()
{
    if (m_pid <= 0) {
        return -1;
    }
    kill(m_pid, SIGTERM);
    const int status = Reap(m_pid, Clock::now() + std::chrono::seconds(10));
    m_pid = -1;
    return status;
}

WakeupListener::WakeupListener(const std::string& address, int port)
{
    m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in addr = Loopback(address, port);
    const int yes = 1;
    setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (m_fd >= 0 && (bind(m_fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 || listen(m_fd, 8) != 0)) {
        close(m_fd);
        m_fd = -1;
    }
}

WakeupListener::~WakeupListener()
{
    if (m_fd >= 0) {
        close(m_fd);
    }
}

int WakeupListener::AwaitWakeup(int timeoutMs)
{
    pollfd p {m_fd, POLLIN, 0};
    if (m_fd < 0 || poll(&p, 1, timeoutMs) != 1) {
        return 0;
    }
    const int peer = accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (peer < 0) {
        return 0;
    }
    timeval timeout {5, 0};
    setsockopt(peer, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    char byte = 0;
    const ssize_t n = recv(peer, &byte, 1, 0);
    close(peer);
    return n == 0 ? 1 : -1;
}

int FreePortOn(const std::string& address)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr = Loopback(address, 0);
    socklen_t length = sizeof addr;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0
        && getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length) == 0) {
        port = ntohs(addr.sin_port);
    }
    close(fd);
    return port;
}

} // namespace vandu::test
