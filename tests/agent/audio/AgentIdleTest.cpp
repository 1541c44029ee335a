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
        : m_process(sandbox)
    {
        // No sign-up dialog: an ID is stored.
        m_process.StartOffline(stderrFile);
    }

    pid_t Pid() const { return m_process.Pid(); }
    bool Running() const { return m_process.Running(); }

    int Stop()
    {
        m_process.Signal(SIGTERM);
        return m_process.WaitExit(10000);
    }

private:
    AgentProcess m_process;
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
