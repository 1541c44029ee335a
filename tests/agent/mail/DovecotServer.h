#pragma once

// Dovecot serving POP3 on loopback ports from a maildir of three messages in a temporary folder,
// any user name with the password "secret". With a certificate it also offers STLS on the plain
// port and TLS from the first byte on a second port. It daemonises, so it is stopped through its
// master's pid file.

#include "tests/support/TestSupport.h"

#include <string>

namespace vandu::test {

class DovecotServer {
public:
    static constexpr const char* kPassword = "secret";
    static constexpr int kMessages = 3;

    // Plain POP3 only.
    explicit DovecotServer(const std::string& program);
    // With TLS: the certificate chain and key files (PEM).
    DovecotServer(const std::string& program, const std::string& certificateFile, const std::string& keyFile);
    ~DovecotServer();
    DovecotServer(const DovecotServer&) = delete;
    DovecotServer& operator=(const DovecotServer&) = delete;

    bool Started() const { return m_started; }
    int Port() const { return m_port; }
    // The TLS port; 0 without a certificate.
    int TlsPort() const { return m_tlsPort; }
    std::string Log() const { return ReadFile(m_dir.File("dovecot.log")); }

private:
    void Start(const std::string& program, std::string config);
    void MakeMaildir();
    bool Launch(const std::string& program);
    void Stop();

    TempDir m_dir;
    int m_port = 0;
    int m_tlsPort = 0;
    bool m_started = false;
};

} // namespace vandu::test
