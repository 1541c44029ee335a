// The counter against a real Dovecot on loopback: plain POP3 as it always was, TLS from the first
// byte and STLS with a certificate from an authority the test trusts, and certificates that must
// not be believed.

#include "agent/mail/Pop3CountJob.h"

#include "agent/shell/WindowMessages.h"
#include "tests/agent/mail/DovecotServer.h"
#include "tests/agent/mail/TestAuthority.h"
#include "tests/support/TestSupport.h"

#include <QSslError>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace vandu::test;

class RecordingNotifier : public ICompletionNotifier {
public:
    void Notify(int messageId) override
    {
        std::lock_guard lock(m_mutex);
        m_messages.push_back(messageId);
    }
    std::vector<int> Take()
    {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_messages, {});
    }

private:
    std::mutex m_mutex;
    std::vector<int> m_messages;
};

// One job object reused for every row, as the agent does: every run is a fresh login.
class Counter {
public:
    Counter()
    {
        m_job.SetNotify(&m_notifier, WM_MAILCOUNT_DONE);
        m_job.SetConnectedMessage(WM_MAILCOUNT_CONNECTED);
        m_job.SetReceiveLimit(10000);
    }
    int Count(const std::string& host, const std::string& password, int security, int port)
    {
        m_job.SetAccount(host, "ann", password, security, port);
        EXPECT_TRUE(m_job.Start());
        m_job.Wait();
        m_job.ClearBusy();
        return m_job.Count();
    }
    std::vector<int> Messages() { return m_notifier.Take(); }

private:
    RecordingNotifier m_notifier;
    CPop3CountJob m_job;
};

const std::vector<int> kConnectedThenDone {WM_MAILCOUNT_CONNECTED, WM_MAILCOUNT_DONE};
const std::vector<int> kDoneOnly {WM_MAILCOUNT_DONE};

std::string Dovecot()
{
    return FindProgram("dovecot");
}

int Occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// Dovecot's log is written by a process of its own: wait (bounded) for what the sessions left there.
// Returns the part of the log after `from` once it holds `text` `times` times, or all of that part
// on time-out.
std::string LogAfter(const DovecotServer& server, std::size_t from, const std::string& text, int times = 1)
{
    std::string added;
    for (int i = 0; i < 100; ++i) {
        const std::string log = server.Log();
        added = log.size() > from ? log.substr(from) : std::string();
        if (Occurrences(added, text) >= times)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return added;
}

// A server without TLS: plain POP3 counts as it always did, and STARTTLS chosen against it ends
// with no login at all rather than a plain one.
TEST(DovecotCountTest, CountsPlainAndRefusesStartTlsWithoutStls)
{
    const std::string program = Dovecot();
    VANDU_REQUIRE_PEER(!program.empty() && ::geteuid() == 0, "dovecot, run as root (package dovecot-pop3d)");
    DovecotServer server(program);
    ASSERT_TRUE(server.Started()) << server.Log();

    struct Row {
        const char* name;
        int security;
        const char* password;
        int expected;
        std::vector<int> messages;
        const char* sessionLog; // what Dovecot logs at the end of the session
    };
    const std::vector<Row> rows {
        {"plain", CPop3CountJob::kSecurityNone, DovecotServer::kPassword, 3, kConnectedThenDone, "Login: user=<ann>"},
        {"plain, wrong password", CPop3CountJob::kSecurityNone, "wrong", -4, kConnectedThenDone, "auth failed"},
        {"STARTTLS, no STLS offered", CPop3CountJob::kSecurityStartTls, DovecotServer::kPassword, -1, kDoneOnly,
            "no auth attempts"},
        {"plain again", CPop3CountJob::kSecurityNone, DovecotServer::kPassword, 3, kConnectedThenDone,
            "Login: user=<ann>"},
    };
    Counter counter;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::size_t logSize = server.Log().size();
        EXPECT_EQ(counter.Count("127.0.0.1", row.password, row.security, server.Port()), row.expected) << server.Log();
        EXPECT_EQ(counter.Messages(), row.messages);
        const std::string log = LogAfter(server, logSize, row.sessionLog);
        EXPECT_NE(log.find(row.sessionLog), std::string::npos) << log;
        if (row.security == CPop3CountJob::kSecurityStartTls) {
            EXPECT_EQ(log.find("user=<ann>"), std::string::npos) << log;
        }
    }
}

class DovecotTlsCountTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dovecot = Dovecot();
        m_openssl = FindProgram("openssl");
    }
    bool PeersPresent() const { return !m_dovecot.empty() && ::geteuid() == 0 && !m_openssl.empty(); }

    std::string m_dovecot;
    std::string m_openssl;
};

#define VANDU_REQUIRE_TLS_PEERS()                                                                                      \
    VANDU_REQUIRE_PEER(PeersPresent(), "dovecot and openssl, run as root (packages dovecot-pop3d, openssl)")

TEST_F(DovecotTlsCountTest, CountsOverTlsAndStartTlsWhenTheCertificateVerifies)
{
    VANDU_REQUIRE_TLS_PEERS();
    TestAuthority authority(m_openssl, "Vandu test authority");
    ASSERT_TRUE(authority.Ready()) << authority.Log();
    const auto issued = authority.Issue("localhost", "DNS:localhost,IP:127.0.0.1");
    ASSERT_TRUE(issued) << authority.Log();
    DovecotServer server(m_dovecot, issued->CertificateFile, issued->KeyFile);
    ASSERT_TRUE(server.Started()) << server.Log();
    TrustedAuthority trust(authority);
    ASSERT_TRUE(trust.Trusted());

    const int plain = server.Port();
    const int tls = server.TlsPort();
    struct Row {
        const char* name;
        const char* host;
        int security;
        int port;
        const char* password;
        int expected;
        const char* loginLog; // what Dovecot logs for the login; "TLS" marks a protected one
        bool overTls;
    };
    const std::vector<Row> rows {
        {"TLS from the first byte", "localhost", CPop3CountJob::kSecurityTls, tls, DovecotServer::kPassword, 3,
            "Login: user=<ann>", true},
        {"TLS to the address", "127.0.0.1", CPop3CountJob::kSecurityTls, tls, DovecotServer::kPassword, 3,
            "Login: user=<ann>", true},
        {"STARTTLS", "localhost", CPop3CountJob::kSecurityStartTls, plain, DovecotServer::kPassword, 3,
            "Login: user=<ann>", true},
        {"STARTTLS, wrong password", "localhost", CPop3CountJob::kSecurityStartTls, plain, "wrong", -4, "auth failed",
            true},
        {"plain on the same server", "localhost", CPop3CountJob::kSecurityNone, plain, DovecotServer::kPassword, 3,
            "Login: user=<ann>", false},
    };
    Counter counter;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::size_t logSize = server.Log().size();
        EXPECT_EQ(counter.Count(row.host, row.password, row.security, row.port), row.expected) << server.Log();
        EXPECT_EQ(counter.Messages(), kConnectedThenDone);
        const std::string log = LogAfter(server, logSize, row.loginLog);
        EXPECT_NE(log.find(row.loginLog), std::string::npos) << log;
        EXPECT_EQ(log.find(", TLS") != std::string::npos, row.overTls) << log;
    }

    // TLS chosen but the port speaks plain POP3: its greeting is no TLS handshake.
    EXPECT_EQ(counter.Count("localhost", DovecotServer::kPassword, CPop3CountJob::kSecurityTls, plain), -1);
    EXPECT_EQ(counter.Messages(), kDoneOnly);
}

// The warnings Qt's message handler receives while it lives, from any thread.
class CapturedWarnings {
public:
    CapturedWarnings() { m_previous = qInstallMessageHandler(&CapturedWarnings::Handle); }
    ~CapturedWarnings() { qInstallMessageHandler(m_previous); }
    CapturedWarnings(const CapturedWarnings&) = delete;
    CapturedWarnings& operator=(const CapturedWarnings&) = delete;

    static std::string Take()
    {
        std::lock_guard lock(s_mutex);
        return std::exchange(s_text, {});
    }

private:
    static void Handle(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type != QtWarningMsg)
            return;
        std::lock_guard lock(s_mutex);
        s_text += message.toStdString() + "\n";
    }

    static inline std::mutex s_mutex;
    static inline std::string s_text;
    QtMessageHandler m_previous = nullptr;
};

TEST_F(DovecotTlsCountTest, RefusesACertificateThatDoesNotVerify)
{
    VANDU_REQUIRE_TLS_PEERS();
    TestAuthority trusted(m_openssl, "Vandu test authority");
    TestAuthority unknown(m_openssl, "Unknown authority");
    ASSERT_TRUE(trusted.Ready() && unknown.Ready()) << trusted.Log() << unknown.Log();
    TrustedAuthority trust(trusted);
    ASSERT_TRUE(trust.Trusted());

    struct Row {
        const char* name;
        TestAuthority* issuer;
        const char* commonName;
        const char* altNames;
        QSslError::SslError reason; // what the log must say
    };
    const std::vector<Row> rows {
        {"issued for another host name", &trusted, "mail.example.org", "DNS:mail.example.org",
            QSslError::HostNameMismatch},
        {"issued by an authority nobody trusts", &unknown, "localhost", "DNS:localhost,IP:127.0.0.1",
            QSslError::UnableToGetLocalIssuerCertificate},
    };
    CapturedWarnings warnings;
    Counter counter;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto issued = row.issuer->Issue(row.commonName, row.altNames);
        ASSERT_TRUE(issued) << row.issuer->Log();
        DovecotServer server(m_dovecot, issued->CertificateFile, issued->KeyFile);
        ASSERT_TRUE(server.Started()) << server.Log();
        for (const auto& [security, port] : {std::pair {CPop3CountJob::kSecurityTls, server.TlsPort()},
                 std::pair {CPop3CountJob::kSecurityStartTls, server.Port()}}) {
            SCOPED_TRACE(security);
            EXPECT_EQ(counter.Count("localhost", DovecotServer::kPassword, security, port), -1);
            EXPECT_EQ(counter.Messages(), kDoneOnly);
            const std::string warned = CapturedWarnings::Take();
            EXPECT_NE(warned.find("mail server localhost"), std::string::npos) << warned;
            EXPECT_NE(warned.find(QSslError(row.reason).errorString().toStdString()), std::string::npos) << warned;
        }
        // The handshakes failed (the probe of the TLS port when the server started ended one too),
        // so no user name ever reached the server.
        const std::string log = LogAfter(server, 0, "TLS handshaking", 3);
        EXPECT_EQ(Occurrences(log, "TLS handshaking"), 3) << log;
        EXPECT_EQ(log.find("user=<ann>"), std::string::npos) << log;
    }
}

} // namespace
