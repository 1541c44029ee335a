#include "tests/agent/shell/AgentProcess.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <thread>

using namespace vandu::test;

namespace {

TEST(StartupTest, FirstStartWritesFirstRunValuesAndTermSavesTheWindowState)
{
    AgentSandbox sandbox;
    AgentProcess agent(sandbox);
    ASSERT_TRUE(agent.Start());
    ASSERT_TRUE(agent.WaitReady());
    EXPECT_EQ(sandbox.Setting("FirstTime"), "0");
    EXPECT_EQ(sandbox.Setting("InstallDir"), sandbox.ProgramDir());
    EXPECT_TRUE(PathExists(sandbox.ProgramDir() + "/msg"));
    EXPECT_EQ(vandu::test::FileMode(sandbox.SettingsFile()), 0600);

    agent.Signal(SIGTERM);
    EXPECT_EQ(agent.WaitExit(5000), 0);
    EXPECT_EQ(sandbox.Setting("XPos"), "100");
    EXPECT_EQ(sandbox.Setting("YPos"), "100");
    EXPECT_EQ(sandbox.Setting("Hidden"), "0");
    EXPECT_EQ(vandu::test::FileMode(sandbox.SettingsFile()), 0600);
}

TEST(StartupTest, SecondStartEndsAtOnceTouchesNothingAndShowsTheHiddenFirst)
{
    AgentSandbox sandbox;
    // Written by another program with a looser mode: the agent's first write tightens it.
    sandbox.WriteSettings({{"Hidden", "1"}, {"XPos", "40"}, {"YPos", "50"}}, 0644);
    AgentProcess first(sandbox);
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(first.WaitReady());
    EXPECT_EQ(vandu::test::FileMode(sandbox.SettingsFile()), 0600);
    const std::string before = ReadFile(sandbox.SettingsFile());

    AgentProcess second(sandbox);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(second.Start());
    EXPECT_EQ(second.WaitExit(2000), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(ReadFile(sandbox.SettingsFile()), before);

    // The first agent was asked to show itself: its exit records a visible window.
    first.Signal(SIGTERM);
    EXPECT_EQ(first.WaitExit(5000), 0);
    EXPECT_EQ(sandbox.Setting("Hidden"), "0");
    EXPECT_EQ(sandbox.Setting("XPos"), "40");
    EXPECT_EQ(sandbox.Setting("YPos"), "50");
}

// The offscreen platform has no notification area: a hidden agent would be out of reach, so it
// shows its window, and its exit records it as visible. (With a tray it stays hidden: see the
// end-to-end tray test.)
TEST(StartupTest, HiddenStartWithoutANotificationAreaShowsTheWindow)
{
    AgentSandbox sandbox;
    sandbox.WriteSettings({{"Hidden", "1"}}, 0600);
    AgentProcess agent(sandbox);
    ASSERT_TRUE(agent.Start());
    ASSERT_TRUE(agent.WaitReady());
    agent.Signal(SIGINT);
    EXPECT_EQ(agent.WaitExit(5000), 0);
    EXPECT_EQ(sandbox.Setting("Hidden"), "0");
}

TEST(StartupTest, TwoAgentsStartedTogetherOverAStaleSocketLeaveOneRunning)
{
    AgentSandbox sandbox;
    {
        AgentProcess crashed(sandbox);
        ASSERT_TRUE(crashed.Start());
        ASSERT_TRUE(crashed.WaitReady());
        crashed.Signal(SIGKILL);
        EXPECT_EQ(crashed.WaitExit(5000), -SIGKILL);
    }
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        AgentProcess first(sandbox);
        AgentProcess second(sandbox);
        ASSERT_TRUE(first.Start());
        ASSERT_TRUE(second.Start());
        // One of them defers to the other and ends; the other keeps running.
        int firstExit = -1000;
        int secondExit = -1000;
        for (int poll = 0; poll < 100 && firstExit == -1000 && secondExit == -1000; ++poll) {
            firstExit = first.WaitExit(20);
            secondExit = firstExit == -1000 ? second.WaitExit(20) : -1000;
        }
        ASSERT_TRUE(firstExit == 0 || secondExit == 0) << firstExit << " " << secondExit;
        AgentProcess& survivor = firstExit == 0 ? second : first;
        EXPECT_EQ(survivor.WaitExit(300), -1000) << "both agents ended";
        survivor.Signal(SIGTERM);
        EXPECT_EQ(survivor.WaitExit(5000), 0);
    }
}

TEST(StartupTest, StartAfterACrashIsNotBlockedByTheLeftOverSocket)
{
    AgentSandbox sandbox;
    {
        AgentProcess crashed(sandbox);
        ASSERT_TRUE(crashed.Start());
        ASSERT_TRUE(crashed.WaitReady());
        crashed.Signal(SIGKILL);
        EXPECT_EQ(crashed.WaitExit(5000), -SIGKILL);
    }
    ASSERT_TRUE(PathExists(sandbox.SocketPath()));

    AgentProcess next(sandbox);
    ASSERT_TRUE(next.Start());
    ASSERT_TRUE(next.WaitReady());
    // It really is the running agent now: a further start defers to it.
    AgentProcess third(sandbox);
    ASSERT_TRUE(third.Start());
    EXPECT_EQ(third.WaitExit(2000), 0);
    next.Signal(SIGTERM);
    EXPECT_EQ(next.WaitExit(5000), 0);
}

} // namespace

namespace {

// The number after "label:" in xwininfo's output; -1 when absent.
int Field(const std::string& text, const std::string& label)
{
    const size_t at = text.find(label + ":");
    if (at == std::string::npos) {
        return -1;
    }
    return std::atoi(text.c_str() + at + label.size() + 1);
}

TEST(StartupOnX11Test, FirstStartShowsTheBorderlessWindowAtItsDefaultPlace)
{
    XvfbServer x11;
    VANDU_REQUIRE_PEER(x11.Start(), "Xvfb");
    VANDU_REQUIRE_PEER(!FindProgram("xwininfo").empty() && !FindProgram("xprop").empty(), "xwininfo and xprop");
    AgentSandbox sandbox;
    AgentProcess agent(sandbox);
    agent.SetEnv("DISPLAY", x11.Display());
    agent.SetEnv("QT_QPA_PLATFORM", "xcb");
    ASSERT_TRUE(agent.Start());
    ASSERT_TRUE(agent.WaitReady());

    const std::string query = "xwininfo -display " + x11.Display() + " -name Vandu 2>/dev/null";
    std::string info;
    for (int attempt = 0; attempt < 100 && info.find("IsViewable") == std::string::npos; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        info = RunCapture(query);
    }
    ASSERT_NE(info.find("IsViewable"), std::string::npos) << info;
    EXPECT_EQ(Field(info, "Absolute upper-left X"), 100);
    EXPECT_EQ(Field(info, "Absolute upper-left Y"), 100);
    EXPECT_EQ(Field(info, "Width"), 234);
    EXPECT_EQ(Field(info, "Height"), 169);
    const std::string wmClass = RunCapture("xprop -display " + x11.Display() + " -name Vandu WM_CLASS");
    EXPECT_NE(wmClass.find("\"VanduClassWindow\""), std::string::npos) << wmClass;

    agent.Signal(SIGTERM);
    EXPECT_EQ(agent.WaitExit(5000), 0);
    EXPECT_EQ(sandbox.Setting("Hidden"), "0");
}

} // namespace
