#pragma once

// A listening TCP socket on a loopback address served by one thread: each accepted connection is
// handed to the handler on that thread and closed afterwards. Stop (or destruction) ends it; the
// handler should check Stopping() in its own waits.

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace vandu::test {

class LoopbackServer {
public:
    using Handler = std::function<void(int fd)>;

    LoopbackServer() = default;
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Binds an ephemeral port on address; false (and a test failure) when that is impossible.
    bool Start(Handler handler, const std::string& address = "127.0.0.1", int backlog = 16);
    void Stop();

    int Port() const { return m_port; }
    int Connections() const { return m_connections.load(); }
    bool Stopping() const { return m_stop.load(); }

private:
    void Serve();

    Handler m_handler;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop {false};
    std::atomic<int> m_connections {0};
    std::thread m_thread;
};

} // namespace vandu::test
