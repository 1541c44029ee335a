#pragma once

// Running vandu-service from tests: its command line as a child process, a serving instance on
// a free loopback port with its own database, and plain HTTP/1.0 requests from a chosen loopback
// source address (as the agent's client sends them).

#include <string>
#include <vector>

namespace vandu::test {

struct ProgramRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// Runs vandu-service with args and waits (at most timeoutMs; then it is killed and Status is -1).
ProgramRun RunService(const std::vector<std::string>& args, int timeoutMs = 30000);
// Runs any program the same way.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args, int timeoutMs);

struct HttpAnswer {
    int Status = -1;
    std::string Body;
};

// One GET of target from sourceAddress to 127.0.0.1:port; Status -1 when no answer came.
HttpAnswer HttpGet(int port, const std::string& target, const std::string& sourceAddress = "127.0.0.1");

// A serving vandu-service: started by Start, stopped (SIGTERM, then waited for) by Stop or the destructor.
class ServiceProcess {
public:
    ServiceProcess() = default;
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    // True once the service answers on its port (port 0: a free one).
    bool Start(const std::string& database, const std::vector<std::string>& extraArgs = {}, int port = 0);
    // The exit status of the service (-1 when it had to be killed).
    int Stop();
    int Port() const { return m_port; }

private:
    int m_pid = -1;
    int m_port = 0;
};

// A loopback listener on address:port for wake-ups. AwaitWakeup returns 1 when a connection came
// within timeoutMs and its peer closed it without sending anything, 0 when none came, -1 when
// something was sent.
class WakeupListener {
public:
    WakeupListener(const std::string& address, int port);
    ~WakeupListener();
    WakeupListener(const WakeupListener&) = delete;
    WakeupListener& operator=(const WakeupListener&) = delete;

    bool Listening() const { return m_fd >= 0; }
    int AwaitWakeup(int timeoutMs);

private:
    int m_fd = -1;
};

// A free TCP port on address (any loopback address).
int FreePortOn(const std::string& address);

} // namespace vandu::test
