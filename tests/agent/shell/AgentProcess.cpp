#include "tests/agent/shell/AgentProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

namespace vandu::test {

namespace {

// Asks the agent on its channel whether it has finished starting; false while it starts or when
// nobody listens.
bool AgentSaysReady(const std::string& path)
{
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    path.copy(addr.sun_path, sizeof addr.sun_path - 1);
    timeval limit {2, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    std::string reply;
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0
        && send(fd, "status\n", 7, MSG_NOSIGNAL) == 7) {
        char buffer[64];
        while (reply.find('\n') == std::string::npos) {
            const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0) {
                break;
            }
            reply.append(buffer, static_cast<size_t>(got));
        }
    }
    close(fd);
    return reply.rfind("ready\n", 0) == 0;
}

} // namespace

AgentSandbox::AgentSandbox()
{
    namespace fs = std::filesystem;
    m_programDir = m_root.Path() + "/program";
    fs::create_directories(m_programDir);
    fs::create_directories(m_root.Path() + "/config");
    fs::create_directories(m_root.Path() + "/data");
    fs::create_directories(m_root.Path() + "/run");
    chmod((m_root.Path() + "/run").c_str(), 0700);
    fs::copy_file(VANDU_AGENT_PATH, Program());
}

std::string AgentSandbox::Setting(const std::string& key) const
{
    return IniValue(ReadFile(SettingsFile()), "Main", key);
}

void AgentSandbox::WriteSettings(const std::map<std::string, std::string>& values, int mode)
{
    std::filesystem::create_directories(m_root.Path() + "/config/Vandu");
    std::string text = "[Main]\n";
    for (const auto& [key, value] : values) {
        text += key + "=" + value + "\n";
    }
    WriteFile(SettingsFile(), text);
    chmod(SettingsFile().c_str(), static_cast<mode_t>(mode));
}

std::map<std::string, std::string> AgentSandbox::Environment() const
{
    return {{"XDG_CONFIG_HOME", m_root.Path() + "/config"}, {"XDG_DATA_HOME", m_root.Path() + "/data"},
        {"XDG_RUNTIME_DIR", m_root.Path() + "/run"}, {"HOME", m_root.Path()}, {"QT_QPA_PLATFORM", "offscreen"},
        // Leaks inside system libraries (D-Bus, fontconfig) are not the agent's.
        {"LSAN_OPTIONS", std::string("suppressions=") + VANDU_SOURCE_DIR + "/tests/lsan.supp"}};
}

AgentProcess::AgentProcess(const AgentSandbox& sandbox)
    : m_sandbox(sandbox)
{
}

AgentProcess::~AgentProcess()
{
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}

bool AgentProcess::StartOffline(const std::string& stderrFile)
{
    SetEnv("VANDU_SERVICE", "http://127.0.0.1:" + std::to_string(FreeLoopbackPort()));
    SetEnv("VANDU_REPORT_FIRST_FRAME", "1");
    SetBareEnvironment();
    SetStderrFile(stderrFile);
    return Start();
}

bool AgentProcess::Start()
{
    std::vector<std::string> env;
    auto overrides = m_sandbox.Environment();
    for (const auto& [name, value] : m_env) {
        overrides[name] = value;
    }
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        std::string name = entry.substr(0, entry.find('='));
        if (m_bare && name != "PATH" && name != "LANG") {
            continue;
        }
        if (!overrides.count(name) && name != "DISPLAY" && name != "WAYLAND_DISPLAY") {
            env.push_back(entry);
        }
    }
    for (const auto& [name, value] : overrides) {
        env.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (auto& entry : env) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    const std::string program = m_sandbox.Program();
    const std::string stderrFile = m_stderrFile;
    m_pid = fork();
    if (m_pid == 0) {
        if (!stderrFile.empty()) {
            const int fd = open(stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(fd, 2);
        }
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        execve(program.c_str(), argv, envp.data());
        _exit(127);
    }
    return m_pid > 0;
}

bool AgentProcess::Running() const
{
    return m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == 0;
}

bool AgentProcess::WaitReady(int timeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (AgentSaysReady(m_sandbox.SocketPath())) {
            return true;
        }
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void AgentProcess::Signal(int signalNumber)
{
    if (m_pid > 0) {
        kill(m_pid, signalNumber);
    }
}

int AgentProcess::WaitExit(int timeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_pid > 0 && std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1000;
}

} // namespace vandu::test
