#pragma once

// A certificate authority made with openssl at test time, in a temporary folder, and the server
// certificates it issues (EC P-256, valid for two days from now). Only a test that trusts its
// certificate (TrustedAuthority) believes what it signs.

#include "tests/support/TestSupport.h"

#include <QSslConfiguration>

#include <optional>
#include <string>

namespace vandu::test {

class TestAuthority {
public:
    struct Issued {
        std::string CertificateFile;
        std::string KeyFile;
    };

    // program: the openssl tool; Ready() is false when it could not make the authority.
    TestAuthority(std::string program, const std::string& name);

    bool Ready() const { return m_ready; }
    std::string CertificateFile() const { return m_dir.File("authority.pem"); }
    // What openssl said, for failure messages.
    std::string Log() const { return ReadFile(m_dir.File("openssl.log")); }

    // A server certificate with the common name and subjectAltName entries ("DNS:localhost,IP:127.0.0.1").
    std::optional<Issued> Issue(const std::string& commonName, const std::string& altNames);

private:
    bool Openssl(const std::vector<std::string>& arguments) const;

    TempDir m_dir;
    std::string m_program;
    int m_issued = 0;
    bool m_ready = false;
};

// While it lives, Qt's default TLS configuration in this process trusts the authority's
// certificate (instead of the system's store); the configuration it found comes back after.
class TrustedAuthority {
public:
    explicit TrustedAuthority(const TestAuthority& authority);
    ~TrustedAuthority();
    TrustedAuthority(const TrustedAuthority&) = delete;
    TrustedAuthority& operator=(const TrustedAuthority&) = delete;

    bool Trusted() const { return m_trusted; }

private:
    QSslConfiguration m_saved;
    bool m_trusted = false;
};

} // namespace vandu::test
