#include "tests/agent/service/JobTestSupport.h"

#include "agent/service/ServiceConfig.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace vandu::test {

CServiceHome::CServiceHome(const std::string& home)
{
    ::setenv(kServiceHomeVariable, home.c_str(), 1);
}

CServiceHome::~CServiceHome()
{
    ::unsetenv(kServiceHomeVariable);
}

CJobRig::CJobRig(const std::string& vanduId, const std::string& password, const std::string& folder)
    : Folder(folder.empty() ? Dir.File("msg") : folder)
    , Settings(Backend, [] { return std::make_pair(1024, 768); })
    , Connection(Settings)
{
    ::mkdir(Folder.c_str(), 0755);
    Settings.SetVanduID(vanduId);
    Settings.SetPassword(password);
    Store = std::make_unique<CMessageStore>(Renderer, Player, Settings, Account, Time, Folder);
    Store->Open(vanduId);
}

CScriptedServer::CScriptedServer(const std::string& host)
    : m_host(host)
{
    m_listenFd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    ::setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    ::inet_pton(AF_INET, host.c_str(), &address.sin_addr);
    if (::bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(m_listenFd, 16) != 0) {
        ADD_FAILURE() << "scripted server cannot listen on " << host;
        return;
    }
    socklen_t size = sizeof address;
    ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &size);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

CScriptedServer::~CScriptedServer()
{
    m_stop.store(true);
    if (m_thread.joinable()) {
        m_thread.join();
    }
    ::close(m_listenFd);
}

void CScriptedServer::On(const std::string& targetPart, std::vector<SScriptedAnswer> answers)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_rules.emplace_back(targetPart, std::deque<SScriptedAnswer>(answers.begin(), answers.end()));
}

std::string CScriptedServer::Home() const
{
    return "http://" + m_host + ":" + std::to_string(m_port);
}

std::vector<std::string> CScriptedServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

int CScriptedServer::Count(const std::string& targetPart) const
{
    int count = 0;
    for (const std::string& target : Requests()) {
        count += target.find(targetPart) != std::string::npos ? 1 : 0;
    }
    return count;
}

void CScriptedServer::Serve()
{
    while (!m_stop.load()) {
        pollfd waiter {m_listenFd, POLLIN, 0};
        if (::poll(&waiter, 1, 50) <= 0) {
            continue;
        }
        const int fd = ::accept(m_listenFd, nullptr, nullptr);
        if (fd >= 0 && m_connections.size() < 5000) {
            m_connections.emplace_back([this, fd] {
                Answer(fd);
                ::close(fd);
            });
        } else if (fd >= 0) {
            ::close(fd);
        }
    }
    for (std::thread& connection : m_connections) {
        connection.join();
    }
}

void CScriptedServer::Answer(int fd)
{
    std::string request;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536
        && std::chrono::steady_clock::now() < deadline) {
        pollfd waiter {fd, POLLIN, 0};
        if (::poll(&waiter, 1, 100) <= 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) {
            break;
        }
        request.append(buffer, static_cast<std::size_t>(got));
    }
    const std::size_t first = request.find(' ');
    const std::size_t second = request.find(' ', first + 1);
    if (first == std::string::npos || second == std::string::npos) {
        return;
    }
    const std::string target = request.substr(first + 1, second - first - 1);
    const SScriptedAnswer answer = Lookup(target);
    // Held back in short steps, so that stopping the server never waits out a long delay.
    const auto release = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::min(answer.DelayMs, 10000));
    while (std::chrono::steady_clock::now() < release && !m_stop.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const std::string reply = "HTTP/1.0 " + std::to_string(answer.Status)
        + " Scripted\r\nContent-Length: " + std::to_string(answer.Body.size()) + "\r\n\r\n" + answer.Body;
    std::size_t done = 0;
    while (done < reply.size()) {
        const ssize_t sent = ::send(fd, reply.data() + done, reply.size() - done, MSG_NOSIGNAL);
        if (sent <= 0) {
            break;
        }
        done += static_cast<std::size_t>(sent);
    }
}

SScriptedAnswer CScriptedServer::Lookup(const std::string& target)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.push_back(target);
    for (auto& [part, answers] : m_rules) {
        if (target.find(part) == std::string::npos || answers.empty()) {
            continue;
        }
        SScriptedAnswer answer = answers.front();
        if (answers.size() > 1) {
            answers.pop_front();
        }
        return answer;
    }
    return SScriptedAnswer {404, "Not found"};
}

std::string VanduServiceProgram()
{
    // CTest passes the build folder in the environment; a test started by hand falls back to the
    // folder it was built in.
    const char* buildDir = std::getenv("VANDU_BUILD_DIR");
    if (!buildDir || !*buildDir) {
        buildDir = VANDU_JOBS_BINARY_DIR;
    }
    const std::string path = std::string(buildDir) + "/bin/vandu-service";
    return ::access(path.c_str(), X_OK) == 0 ? path : std::string();
}

namespace {

pid_t Spawn(const std::vector<std::string>& argv, int stdoutFd)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (stdoutFd >= 0) {
            ::dup2(stdoutFd, STDOUT_FILENO);
        }
        std::vector<char*> args;
        for (const std::string& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    return pid;
}

} // namespace

int RunProgram(const std::vector<std::string>& argv, std::string* output, int timeoutMs)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return -1;
    }
    const pid_t pid = Spawn(argv, pipeFds[1]);
    ::close(pipeFds[1]);
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd waiter {pipeFds[0], POLLIN, 0};
        if (::poll(&waiter, 1, 100) <= 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeFds[0]);
    int status = 0;
    if (std::chrono::steady_clock::now() >= deadline) {
        ::kill(pid, SIGKILL);
    }
    ::waitpid(pid, &status, 0);
    if (output) {
        *output = text;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

CChildProcess::CChildProcess(const std::vector<std::string>& argv)
{
    m_pid = Spawn(argv, -1);
}

CChildProcess::~CChildProcess()
{
    Stop();
}

void CChildProcess::Stop()
{
    if (m_pid <= 0) {
        return;
    }
    ::kill(m_pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 50 && ::waitpid(m_pid, &status, WNOHANG) == 0; ++i) {
        ::usleep(100000);
    }
    if (::waitpid(m_pid, &status, WNOHANG) == 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, &status, 0);
    }
    m_pid = -1;
}

CVanduService::CVanduService(const std::string& folder, const std::string& host)
    : m_program(VanduServiceProgram())
    , m_db(folder + "/service.db")
    , m_host(host)
{
    if (m_program.empty()) {
        return;
    }
    m_port = FreeLoopbackPort();
    const int wakeupPort = FreeLoopbackPort();
    m_process = std::make_unique<CChildProcess>(std::vector<std::string> {m_program, "serve", "--listen",
        host + ":" + std::to_string(m_port), "--db", m_db, "--wakeup-port", std::to_string(wakeupPort)});
    m_up = m_process->Started() && WaitForPort(host, m_port, 10000);
}

CVanduService::~CVanduService() = default;

std::string CVanduService::Home() const
{
    return "http://" + m_host + ":" + std::to_string(m_port);
}

int CVanduService::Admin(std::vector<std::string> args, std::string* output) const
{
    args.insert(args.begin(), m_program);
    args.push_back("--db");
    args.push_back(m_db);
    return RunProgram(args, output);
}

void RunJob(CServiceJob& job, CJobRig& rig, int kind)
{
    job.SetInputs(rig.Store.get(), &rig.Settings, &rig.Connection, &rig.Account);
    job.SetKind(kind);
    ASSERT_TRUE(job.Start());
    job.Wait();
    job.ClearBusy();
}

std::string TextAnswer(const std::string& text, const std::string& sender)
{
    return "Date=12/01/1999\nTime=10:20:30\nType=" + std::string(sender.empty() ? "2" : "3")
        + "\nSenderVanduID=" + sender + "\nFirstName=Ann\nLastName=Lee\nMessage=" + text + "\n";
}

std::string DeadHome()
{
    return "http://127.0.0.1:" + std::to_string(FreeLoopbackPort());
}

std::string MakeWave(std::size_t totalBytes)
{
    std::string wave(totalBytes, '\0');
    const std::size_t dataBytes = totalBytes - 44;
    auto put32 = [&](std::size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            wave[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
        }
    };
    auto put16 = [&](std::size_t at, uint16_t value) {
        wave[at] = static_cast<char>(value & 0xff);
        wave[at + 1] = static_cast<char>(value >> 8);
    };
    std::memcpy(&wave[0], "RIFF", 4);
    put32(4, static_cast<uint32_t>(totalBytes - 8));
    std::memcpy(&wave[8], "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1);
    put16(22, 1);
    put32(24, 8000);
    put32(28, 16000);
    put16(32, 2);
    put16(34, 16);
    std::memcpy(&wave[36], "data", 4);
    put32(40, static_cast<uint32_t>(dataBytes));
    // Samples with zero bytes, TABs and line feeds in them, so any cut-off shows.
    for (std::size_t i = 44; i < totalBytes; ++i) {
        wave[i] = static_cast<char>((i * 7) % 251);
    }
    return wave;
}

} // namespace vandu::test
