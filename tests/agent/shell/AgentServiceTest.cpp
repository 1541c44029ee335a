// The built agent against the built reference service, both as separate processes: messages
// arrive by the first poll at start, and a deposit wakes the agent, which polls at once.

#include "tests/agent/shell/AgentProcess.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using namespace vandu::test;

namespace {

// "1234" as the settings store keeps it (scrambled with the store's fixed key).
constexpr const char* kScrambledDemoPassword = "%~(}";
constexpr const char* kDemoId = "5551234567";

class ServiceProcess {
public:
    ServiceProcess(const std::string& db, int port, int wakeupPort)
    {
        const std::string listen = "127.0.0.1:" + std::to_string(port);
        const std::string wake = std::to_string(wakeupPort);
        m_pid = fork();
        if (m_pid == 0) {
            execl(VANDU_SERVICE_PATH, "vandu-service", "serve", "--listen", listen.c_str(), "--wakeup-port",
                wake.c_str(), "--seed-demo", "--db", db.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~ServiceProcess()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }

private:
    pid_t m_pid = -1;
};

// Number of messages in the agent's message file, -1 when it does not exist yet.
int StoredCount(const AgentSandbox& sandbox)
{
    const std::string text = ReadFile(sandbox.ProgramDir() + "/msg/" + kDemoId + ".vdm");
    const size_t at = text.find("Count=");
    return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + 6);
}

bool WaitForCount(const AgentSandbox& sandbox, int count, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (StoredCount(sandbox) == count) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

TEST(AgentServiceTest, FirstPollBringsTheMessagesAndADepositWakesTheAgent)
{
    AgentSandbox sandbox;
    TempDir data;
    const int port = FreeLoopbackPort();
    const int wakeupPort = FreeLoopbackPort();
    ServiceProcess service(data.File("service.db"), port, wakeupPort);
    ASSERT_TRUE(WaitForPort("127.0.0.1", port, 10000));

    sandbox.WriteSettings(
        {{"VanduID", kDemoId}, {"Channel", kScrambledDemoPassword}, {"InternetConnectionType", "0"}}, 0600);
    AgentProcess agent(sandbox);
    agent.SetEnv("VANDU_SERVICE", "http://127.0.0.1:" + std::to_string(port));
    agent.SetEnv("VANDU_WAKEUP_PORT", std::to_string(wakeupPort));
    ASSERT_TRUE(agent.Start());
    ASSERT_TRUE(agent.WaitReady());

    // The demo subscriber has a voice message and two texts waiting; the start-up poll takes them.
    ASSERT_TRUE(WaitForCount(sandbox, 3, std::chrono::seconds(20))) << StoredCount(sandbox);
    EXPECT_TRUE(PathExists(sandbox.ProgramDir() + "/msg/" + kDemoId + "1.wav"));
    EXPECT_TRUE(PathExists(sandbox.ProgramDir() + "/msg/vendor.bmp"));

    // The minute timer cannot fire within the wait below: only the wake-up can bring the text.
    const std::string deposit = std::string(VANDU_SERVICE_PATH) + " deposit-text " + kDemoId
        + " 'Wake up call' --wakeup-port " + std::to_string(wakeupPort) + " --db " + data.File("service.db");
    ASSERT_EQ(std::system(deposit.c_str()), 0);
    ASSERT_TRUE(WaitForCount(sandbox, 4, std::chrono::seconds(8))) << StoredCount(sandbox);
    const std::string file = ReadFile(sandbox.ProgramDir() + "/msg/" + kDemoId + ".vdm");
    EXPECT_NE(file.find("Message=Wake up call\n"), std::string::npos) << file;

    agent.Signal(SIGTERM);
    EXPECT_EQ(agent.WaitExit(5000), 0);
}

} // namespace
