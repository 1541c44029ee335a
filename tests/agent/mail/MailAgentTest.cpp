// The built agent as a user runs it: the mail module comes in at the first count and not before,
// it is found in each of its places, and the security and port of the settings reach the wire.

#include "tests/agent/audio/LoadedLibraries.h"
#include "tests/agent/mail/ScriptedPop3Server.h"
#include "tests/agent/shell/AgentProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace vandu::test;

// The agent in its sandbox, its standard error in a file; killed on destruction.
class RunningAgent {
public:
    RunningAgent(const AgentSandbox& sandbox, const std::string& stderrFile)
        : m_stderrFile(stderrFile)
        , m_process(sandbox)
    {
        m_process.StartOffline(stderrFile);
    }

    pid_t Pid() const { return m_process.Pid(); }
    std::string Errors() const { return ReadFile(m_stderrFile); }

    // True once the first frame is painted (bounded wait).
    bool WaitForFirstFrame()
    {
        for (int i = 0; i < 1500; ++i) {
            if (Errors().find("first-frame ") != std::string::npos)
                return true;
            if (!m_process.Running())
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    // The file the agent maps whose name is `file`; empty when none.
    std::string MappedPath(const std::string& file) const
    {
        const std::string maps = ReadFile("/proc/" + std::to_string(Pid()) + "/maps");
        const std::size_t at = maps.find("/" + file + "\n");
        if (at == std::string::npos)
            return "";
        const std::size_t start = maps.rfind(' ', at) + 1;
        return maps.substr(start, at + file.size() + 1 - start);
    }

private:
    std::string m_stderrFile;
    AgentProcess m_process;
};

std::map<std::string, std::string> MailSettings(bool enabled, int port, int security)
{
    return {{"VanduID", "5551234567"}, {"InternetConnectionType", "2"}, {"PopEnabled", enabled ? "1" : "0"},
        {"PopServer", "127.0.0.1"}, {"PopUser", "ann"}, {"PopPort", std::to_string(port)},
        {"PopSecurity", std::to_string(security)}};
}

// Waits (bounded) until the server has seen `count` command lines.
std::vector<std::string> WaitForCommands(const ScriptedPop3Server& server, std::size_t count)
{
    std::vector<std::string> commands;
    for (int i = 0; i < 1500 && (commands = server.Commands()).size() < count; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return commands;
}

const std::string kModuleFile = "libvandu_mail.so";

TEST(MailAgentTest, IdleAgentHasNoMailModule)
{
    AgentSandbox sandbox;
    sandbox.WriteSettings(MailSettings(false, FreeLoopbackPort(), 1), 0600);
    RunningAgent agent(sandbox, sandbox.ProgramDir() + "/../agent-stderr.txt");
    ASSERT_TRUE(agent.WaitForFirstFrame()) << agent.Errors();
    // The first full cycle (and its count, when enabled) has run by the first frame.
    EXPECT_EQ(LoadedLibraries({"libvandu_mail"}, agent.Pid()), std::vector<std::string> {});
}

TEST(MailAgentTest, FirstCountLoadsTheModuleFromItsPlaceAndUsesTheSettings)
{
    namespace fs = std::filesystem;
    struct Row {
        const char* name;
        const char* folder; // relative to the sandbox's root; null: the build tree
        int security;
        std::vector<std::string> expected;
    };
    const std::vector<Row> rows {
        {"beside the program, plain", "program", 0, {"USER ann", "PASS ", "STAT", "QUIT"}},
        {"installed layout, STARTTLS refused", VANDU_MAIL_INSTALL_LIBDIR "/vandu", 2, {"STLS", "QUIT"}},
        {"build tree, plain", nullptr, 0, {"USER ann", "PASS ", "STAT", "QUIT"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedPop3Server::Script script;
        script.replies = {{"USER", "+OK\r\n"}, {"PASS", "+OK\r\n"}, {"STAT", "+OK 2 300\r\n"}};
        ScriptedPop3Server server(script);
        AgentSandbox sandbox;
        const std::string root = fs::path(sandbox.ProgramDir()).parent_path();
        std::string expectedModule = std::string(VANDU_BUILD_DIR) + "/bin/" + kModuleFile;
        if (row.folder != nullptr) {
            fs::create_directories(root + "/" + row.folder);
            expectedModule = root + "/" + row.folder + "/" + kModuleFile;
            fs::copy_file(std::string(VANDU_BUILD_DIR) + "/bin/" + kModuleFile, expectedModule);
        }
        sandbox.WriteSettings(MailSettings(true, server.Port(), row.security), 0600);
        RunningAgent agent(sandbox, root + "/agent-stderr.txt");
        EXPECT_EQ(WaitForCommands(server, row.expected.size()), row.expected) << agent.Errors();
        EXPECT_EQ(agent.MappedPath(kModuleFile), fs::path(expectedModule).lexically_normal().string());
    }
}

} // namespace
