#pragma once

// The HTTP side of the service: cpp-httplib's server, every request handed to CServiceHandlers
// with its raw target, answered with Content-Length and closed as HTTP/1.0 clients expect.

#include <atomic>
#include <memory>
#include <string>

namespace httplib {
class Server;
}

namespace vandu::server {

class CServiceStore;

class CServiceServer {
public:
    CServiceServer(CServiceStore& store, int wakeupPort);
    ~CServiceServer();
    CServiceServer(const CServiceServer&) = delete;
    CServiceServer& operator=(const CServiceServer&) = delete;

    // 0 when host:port is bound, else an errno value saying why (EADDRINUSE: another program
    // listens there). The port is never shared with another listener.
    int Bind(const std::string& host, int port);
    // Serves until Stop; returns 0 after a Stop, -1 when serving failed.
    int Run();
    // Safe from another thread.
    void Stop();

private:
    CServiceStore& m_store;
    int m_wakeupPort;
    std::unique_ptr<httplib::Server> m_http;
    std::atomic<bool> m_runEntered {false};
    std::atomic<bool> m_stopRequested {false};
};

} // namespace vandu::server
