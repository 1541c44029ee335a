#pragma once

// nginx serving the files of its own temporary folder on a loopback address and a free port,
// configured from tests/data/net/nginx.conf, in the foreground; stopped on destruction.

#include "tests/agent/net/PeerProcess.h"
#include "tests/support/TestSupport.h"

#include <memory>
#include <string>

namespace vandu::test {

class NginxPeer {
public:
    explicit NginxPeer(std::string address = "127.0.0.1");
    ~NginxPeer();
    NginxPeer(const NginxPeer&) = delete;
    NginxPeer& operator=(const NginxPeer&) = delete;

    // A file served as /name.
    void AddFile(const std::string& name, const std::string& bytes);
    // False when nginx is missing or did not answer within 10 s.
    bool Start();

    int Port() const { return m_port; }
    // "http://address:port/"
    std::string Base() const;
    std::string ErrorLog() const;

private:
    std::string m_address;
    int m_port = 0;
    TempDir m_dir;
    std::unique_ptr<PeerProcess> m_process;
};

} // namespace vandu::test
