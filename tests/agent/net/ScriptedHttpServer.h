#pragma once

// A loopback HTTP server on its own thread for the client tests: accepts connections one after
// another, records the exact request bytes of each, plays one canned answer (at once, or trickled
// one byte at a time), and either closes or stays open and silent for a while. Stopped (and joined) by Stop or
// destruction.

#include "tests/support/LoopbackServer.h"

#include <mutex>
#include <string>
#include <vector>

namespace vandu::test {

class ScriptedHttpServer {
public:
    struct Script {
        std::string answer; // bytes sent once the request's empty line has arrived
        int holdOpenMs = 0; // silence kept after the answer before closing
        bool readRequest = true; // false: answer at once, without waiting for the request
        int trickleMs = 0; // > 0: after trickleFrom bytes, the rest goes out one byte per trickleMs
        std::size_t trickleFrom = 0;
    };

    explicit ScriptedHttpServer(Script script, const std::string& address = "127.0.0.1");
    ~ScriptedHttpServer();
    ScriptedHttpServer(const ScriptedHttpServer&) = delete;
    ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

    int Port() const { return m_server.Port(); }
    std::string PortText() const { return std::to_string(m_server.Port()); }
    void Stop();

    // Requests received so far, each exactly as its bytes arrived.
    std::vector<std::string> Requests() const;
    int Connections() const { return m_server.Connections(); }

private:
    void Handle(int fd);
    bool SendAnswer(int fd, std::size_t from, std::size_t to) const; // false when the client is gone
    bool Sleep(int ms) const; // false when stopped meanwhile

    Script m_script;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    LoopbackServer m_server; // last: its thread uses the members above
};

} // namespace vandu::test
