#include "agent/mail/Pop3CountJob.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace vandu::test;

constexpr const char* kPassword = "secret"; // the static password of the configuration

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Dovecot serving POP3 on a loopback port from a maildir of three messages in a temporary folder.
// It daemonises, so it is stopped through its master's pid file.
class DovecotServer {
public:
    explicit DovecotServer(const std::string& program)
    {
        ::chmod(m_dir.Path().c_str(), 0755);
        const std::string mail = m_dir.File("mail");
        for (const std::string& folder : {mail, mail + "/cur", mail + "/new", mail + "/tmp"})
            ::mkdir(folder.c_str(), 0700);
        for (int i = 1; i <= 3; ++i)
            WriteFile(mail + "/new/" + std::to_string(i) + ".msg",
                "From: ann@example.org\r\nSubject: note " + std::to_string(i) + "\r\n\r\nbody\r\n");
        ChownToNobody(mail);
        m_port = FreeLoopbackPort();
        std::string config = ReadFile(std::string(VANDU_TEST_DATA_DIR) + "/mail/dovecot-pop3.conf");
        config = ReplaceAll(ReplaceAll(config, "@DIR@", m_dir.Path()), "@PORT@", std::to_string(m_port));
        WriteFile(m_dir.File("dovecot.conf"), config);
        m_started = Launch(program) && WaitForPort("127.0.0.1", m_port, 10000);
    }
    ~DovecotServer() { Stop(); }

    bool Started() const { return m_started; }
    int Port() const { return m_port; }
    std::string Log() const { return ReadFile(m_dir.File("dovecot.log")); }

private:
    static void ChownToNobody(const std::string& mail)
    {
        const passwd* user = ::getpwnam("nobody");
        const group* grp = ::getgrnam("nogroup");
        if (!user || !grp)
            return;
        for (const std::string& path : {mail, mail + "/cur", mail + "/new", mail + "/tmp", mail + "/new/1.msg",
                 mail + "/new/2.msg", mail + "/new/3.msg"})
            (void)::chown(path.c_str(), user->pw_uid, grp->gr_gid);
    }

    bool Launch(const std::string& program)
    {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        for (int fd : {0, 1, 2})
            posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
        const std::string configPath = m_dir.File("dovecot.conf");
        char* const argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("-c"),
            const_cast<char*>(configPath.c_str()), nullptr};
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0)
            return false;
        int status = 0;
        ::waitpid(pid, &status, 0); // the launcher returns once the daemon runs
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    void Stop()
    {
        const std::string pidText = ReadFile(m_dir.File("run/master.pid"));
        const pid_t pid = static_cast<pid_t>(std::atoi(pidText.c_str()));
        if (pid <= 0 || ::kill(pid, SIGTERM) != 0)
            return;
        // Wait for the master to go before its folder is removed.
        for (int i = 0; i < 200 && ::kill(pid, 0) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    TempDir m_dir;
    int m_port = 0;
    bool m_started = false;
};

TEST(DovecotCountTest, CountsTheMailboxAndReportsAWrongPassword)
{
    const std::string program = FindProgram("dovecot");
    VANDU_REQUIRE_PEER(!program.empty() && ::geteuid() == 0, "dovecot, run as root (package dovecot-pop3d)");
    DovecotServer server(program);
    ASSERT_TRUE(server.Started()) << server.Log();

    struct Row {
        const char* password;
        int expected;
    };
    // One job object reused, as the agent does: every run is a fresh login.
    CPop3CountJob job;
    job.SetPort(server.Port());
    for (const Row& row : {Row {kPassword, 3}, Row {"wrong", -4}, Row {kPassword, 3}}) {
        SCOPED_TRACE(row.password);
        job.SetAccount("127.0.0.1", "ann", row.password);
        ASSERT_TRUE(job.Start());
        job.Wait();
        job.ClearBusy();
        EXPECT_EQ(job.Count(), row.expected) << server.Log();
    }
}

} // namespace
