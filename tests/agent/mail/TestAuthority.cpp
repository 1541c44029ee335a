#include "tests/agent/mail/TestAuthority.h"

#include <QSslCertificate>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <initializer_list>
#include <vector>

namespace vandu::test {

namespace {

// openssl req with a new P-256 key (quick to make) and no passphrase, then the arguments.
std::vector<std::string> Request(std::initializer_list<std::string> arguments)
{
    std::vector<std::string> words {"req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return words;
}

} // namespace

TestAuthority::TestAuthority(std::string program, const std::string& name)
    : m_program(std::move(program))
{
    m_ready = !m_program.empty()
        && Openssl(Request({"-x509", "-keyout", m_dir.File("authority.key"), "-out", CertificateFile(), "-days", "2",
            "-subj", "/CN=" + name, "-addext", "basicConstraints=critical,CA:TRUE", "-addext",
            "keyUsage=critical,keyCertSign,cRLSign"}));
}

std::optional<TestAuthority::Issued> TestAuthority::Issue(const std::string& commonName, const std::string& altNames)
{
    if (!m_ready)
        return std::nullopt;
    const std::string stem = m_dir.File("server" + std::to_string(++m_issued));
    Issued issued {stem + ".pem", stem + ".key"};
    WriteFile(stem + ".ext",
        "subjectAltName=" + altNames
            + "\nbasicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=serverAuth\n");
    const bool made
        = Openssl(Request({"-new", "-keyout", issued.KeyFile, "-out", stem + ".csr", "-subj", "/CN=" + commonName}))
        && Openssl({"x509", "-req", "-in", stem + ".csr", "-CA", CertificateFile(), "-CAkey",
            m_dir.File("authority.key"), "-set_serial", std::to_string(1000 + m_issued), "-days", "2", "-extfile",
            stem + ".ext", "-out", issued.CertificateFile});
    if (!made)
        return std::nullopt;
    return issued;
}

bool TestAuthority::Openssl(const std::vector<std::string>& arguments) const
{
    std::vector<std::string> words {m_program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string log = m_dir.File("openssl.log");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, m_program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TrustedAuthority::TrustedAuthority(const TestAuthority& authority)
    : m_saved(QSslConfiguration::defaultConfiguration())
{
    const QList<QSslCertificate> certificates
        = QSslCertificate::fromPath(QString::fromStdString(authority.CertificateFile()));
    m_trusted = certificates.size() == 1;
    QSslConfiguration trusting = m_saved;
    trusting.setCaCertificates(certificates);
    QSslConfiguration::setDefaultConfiguration(trusting);
}

TrustedAuthority::~TrustedAuthority()
{
    QSslConfiguration::setDefaultConfiguration(m_saved);
}

} // namespace vandu::test
