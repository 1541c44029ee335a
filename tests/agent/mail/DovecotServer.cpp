#include "tests/agent/mail/DovecotServer.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vandu::test {

namespace {

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string Template(const char* name)
{
    return ReadFile(std::string(VANDU_TEST_DATA_DIR) + "/mail/" + name);
}

} // namespace

DovecotServer::DovecotServer(const std::string& program)
{
    Start(program, Template("dovecot-pop3.conf"));
}

DovecotServer::DovecotServer(const std::string& program, const std::string& certificateFile, const std::string& keyFile)
{
    m_tlsPort = FreeLoopbackPort();
    std::string config = Template("dovecot-pop3-tls.conf");
    config = ReplaceAll(ReplaceAll(config, "@CERT@", certificateFile), "@KEY@", keyFile);
    Start(program, ReplaceAll(config, "@TLSPORT@", std::to_string(m_tlsPort)));
}

DovecotServer::~DovecotServer()
{
    Stop();
}

void DovecotServer::Start(const std::string& program, std::string config)
{
    ::chmod(m_dir.Path().c_str(), 0755);
    MakeMaildir();
    m_port = FreeLoopbackPort();
    config = ReplaceAll(ReplaceAll(config, "@DIR@", m_dir.Path()), "@PORT@", std::to_string(m_port));
    WriteFile(m_dir.File("dovecot.conf"), config);
    m_started = Launch(program) && WaitForPort("127.0.0.1", m_port, 10000)
        && (m_tlsPort == 0 || WaitForPort("127.0.0.1", m_tlsPort, 10000));
}

// Owned by the user the mail is delivered for (nobody), as the configuration's userdb says.
void DovecotServer::MakeMaildir()
{
    const std::string mail = m_dir.File("mail");
    std::vector<std::string> paths {mail, mail + "/cur", mail + "/new", mail + "/tmp"};
    for (const std::string& folder : paths)
        ::mkdir(folder.c_str(), 0700);
    for (int i = 1; i <= kMessages; ++i) {
        paths.push_back(mail + "/new/" + std::to_string(i) + ".msg");
        WriteFile(paths.back(), "From: ann@example.org\r\nSubject: note " + std::to_string(i) + "\r\n\r\nbody\r\n");
    }
    const passwd* user = ::getpwnam("nobody");
    const group* grp = ::getgrnam("nogroup");
    if (!user || !grp)
        return;
    for (const std::string& path : paths)
        (void)::chown(path.c_str(), user->pw_uid, grp->gr_gid);
}

bool DovecotServer::Launch(const std::string& program)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {0, 1, 2})
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    const std::string configPath = m_dir.File("dovecot.conf");
    char* const argv[]
        = {const_cast<char*>(program.c_str()), const_cast<char*>("-c"), const_cast<char*>(configPath.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    int status = 0;
    ::waitpid(pid, &status, 0); // the launcher returns once the daemon runs
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void DovecotServer::Stop()
{
    const std::string pidText = ReadFile(m_dir.File("run/master.pid"));
    const pid_t pid = static_cast<pid_t>(std::atoi(pidText.c_str()));
    if (pid <= 0 || ::kill(pid, SIGTERM) != 0)
        return;
    // Wait for the master to go before its folder is removed.
    for (int i = 0; i < 200 && ::kill(pid, 0) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

} // namespace vandu::test
