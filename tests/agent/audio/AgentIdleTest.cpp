// The agent as a user starts it: until a sound plays, neither Qt Multimedia nor PulseAudio nor
// libsndfile is in its address space (the codec check loads libsndfile and lets it go), and until
// a mail count, neither is Qt Network.

#include "tests/agent/audio/LoadedLibraries.h"
#include "tests/agent/shell/AgentProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace vandu::test;

class IdleAgent {
public:
    IdleAgent(const AgentSandbox& sandbox, const std::string& stderrFile)
    {
        auto environment = sandbox.Environment();
        // Every request is refused at once; no sign-up dialog, as an ID is stored.
        environment["VANDU_SERVICE"] = "http://127.0.0.1:" + std::to_string(FreeLoopbackPort());
        environment["VANDU_REPORT_FIRST_FRAME"] = "1";
        for (const char* name : {"PATH", "LANG"}) {
            if (const char* value = std::getenv(name)) {
                environment.emplace(name, value);
            }
        }
        std::vector<std::string> entries;
        for (const auto& [name, value] : environment) {
            entries.push_back(name + "=" + value);
        }
        std::vector<char*> envp;
        for (std::string& entry : entries) {
            envp.push_back(entry.data());
        }
        envp.push_back(nullptr);
        const std::string program = sandbox.Program();
        m_pid = fork();
        if (m_pid == 0) {
            const int fd = open(stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(fd, 2);
            chdir(sandbox.ProgramDir().c_str());
            char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
            execve(program.c_str(), argv, envp.data());
            _exit(127);
        }
    }

    ~IdleAgent()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }

    pid_t Pid() const { return m_pid; }

    bool Running() { return m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == 0; }

    int Stop()
    {
        kill(m_pid, SIGTERM);
        int status = 0;
        for (int i = 0; i < 500 && waitpid(m_pid, &status, WNOHANG) == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
};

TEST(AgentIdle, LoadsNoSoundOrNetworkLibraryBeforeTheirFirstUse)
{
    AgentSandbox sandbox;
    sandbox.WriteSettings({{"VanduID", "5551234567"}}, 0600);
    const std::string log = sandbox.ProgramDir() + "/../agent-stderr.txt";
    IdleAgent agent(sandbox, log);
    ASSERT_GT(agent.Pid(), 0);

    bool painted = false;
    for (int i = 0; i < 1500 && !painted && agent.Running(); ++i) {
        painted = ReadFile(log).find("first-frame ") != std::string::npos;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(painted) << "the agent painted no frame: " << ReadFile(log);

    // The playing side never comes in; the codec check's libraries go once it has answered.
    const std::vector<std::string> player = {"libvandu_sound", "libQt6Multimedia", "libpulse"};
    const std::vector<std::string> check = {"libvandu_codec", "libsndfile"};
    std::vector<std::string> checkLoaded = check;
    for (int i = 0; i < 500 && !checkLoaded.empty(); ++i) {
        EXPECT_EQ(LoadedLibraries(player, agent.Pid()), std::vector<std::string> {});
        checkLoaded = LoadedLibraries(check, agent.Pid());
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(checkLoaded, std::vector<std::string> {});
    // Still the agent, still idle: its window is up and nothing else was loaded meanwhile.
    ASSERT_TRUE(agent.Running());
    EXPECT_EQ(LoadedLibraries(player, agent.Pid()), std::vector<std::string> {});
    // No mail account here: the counter's module and Qt Network never come in.
    EXPECT_EQ(LoadedLibraries({"libvandu_mail", "libQt6Network"}, agent.Pid()), std::vector<std::string> {});
    EXPECT_EQ(agent.Stop(), 0);
}

} // namespace
