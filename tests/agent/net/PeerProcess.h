#pragma once

// A peer program (nginx, tinyproxy) started by a test or benchmark with its output sent to
// /dev/null, and stopped by its process id on destruction: SIGTERM, then SIGKILL after 5 s.

#include <string>
#include <sys/types.h>
#include <vector>

namespace vandu::test {

class PeerProcess {
public:
    explicit PeerProcess(const std::vector<std::string>& argv);
    ~PeerProcess();
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    bool Started() const { return m_pid > 0; }

private:
    pid_t m_pid = -1;
};

// The text with @DIR@, @ADDR@ and @PORT@ replaced, as the peer configurations in tests/data/net expect.
std::string FillPeerConfig(std::string text, const std::string& dir, const std::string& address, int port);

} // namespace vandu::test
