#include "agent/shell/PollScheduler.h"

#include "agent/settings/SettingsStore.h"
#include "agent/shell/ConnectionState.h"
#include "tests/agent/shell/DialupRig.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using vandu::test::DialupRig;
using Calls = std::vector<std::string>;

class RecordingOwner : public IPollOwner {
public:
    void StartUserInfo() override { m_calls.push_back("UserInfo"); }
    void StartVendorLogo() override { m_calls.push_back("VendorLogo"); }
    void StartSponsor() override { m_calls.push_back("Sponsor"); }
    void StartPoll() override { m_calls.push_back("Poll"); }
    void StartMailCount() override { m_calls.push_back("MailCount"); }
    void UpdateTrayIcon() override { m_calls.push_back("Tray"); }

    Calls Take() { return std::exchange(m_calls, {}); }

private:
    Calls m_calls;
};

const Calls kFullCycle {"UserInfo", "VendorLogo", "Sponsor", "Poll", "MailCount", "Tray"};
const Calls kIdle {"Tray"};

// The agent's real connection state on a dial-up setup, so that a test can pull the line.
class PollSchedulerTest : public ::testing::Test {
protected:
    PollSchedulerTest() { settings.SetInternetConnectionType(1); }

    // Ticks minutes first..last (the first tick is minute 0) and returns what each one started.
    std::map<unsigned, Calls> TickMinutes(unsigned first, unsigned last)
    {
        std::map<unsigned, Calls> byMinute;
        for (unsigned minute = first; minute <= last; ++minute) {
            scheduler.Tick();
            Calls calls = owner.Take();
            if (calls != kIdle)
                byMinute[minute] = calls;
        }
        return byMinute;
    }

    static std::map<unsigned, Calls> Expected(
        unsigned cycleMinute, const std::vector<unsigned>& polls, const std::vector<unsigned>& mails)
    {
        std::map<unsigned, Calls> expected {{0, kFullCycle}, {cycleMinute, kFullCycle}};
        for (unsigned minute : polls)
            expected[minute].push_back("Poll");
        for (unsigned minute : mails)
            expected[minute].push_back("MailCount");
        for (auto& [minute, calls] : expected)
            if (calls.back() != "Tray")
                calls.push_back("Tray");
        return expected;
    }

    DialupRig rig;
    CMemorySettingsBackend backend;
    CSettingsStore settings {backend, [] { return std::pair {1024, 768}; }};
    CConnectionState connection {settings, rig.Roots()};
    RecordingOwner owner;
    CPollScheduler scheduler {owner, connection, settings};
};

TEST_F(PollSchedulerTest, OneHourWithTheDefaultIntervals)
{
    std::vector<unsigned> polls, mails;
    for (unsigned m = 4; m <= 56; m += 4)
        polls.push_back(m);
    for (unsigned m = 5; m <= 55; m += 5)
        mails.push_back(m);
    EXPECT_EQ(TickMinutes(0, 60), Expected(60, polls, mails));
    // The counter starts again after the hourly cycle.
    EXPECT_EQ(TickMinutes(61, 64), (std::map<unsigned, Calls> {{64, {"Poll", "Tray"}}}));
}

TEST_F(PollSchedulerTest, TcpCheckAndAnotherMailPeriod)
{
    settings.SetTCPCheck(1);
    settings.SetPopPeriod(25);
    CPollScheduler tcpScheduler(owner, connection, settings);
    EXPECT_EQ(tcpScheduler.PollInterval(), 10);
    std::map<unsigned, Calls> byMinute;
    for (unsigned minute = 0; minute <= 60; ++minute) {
        tcpScheduler.Tick();
        if (Calls calls = owner.Take(); calls != kIdle)
            byMinute[minute] = calls;
    }
    EXPECT_EQ(byMinute, Expected(60, {10, 20, 30, 40, 50}, {25, 50}));
}

TEST_F(PollSchedulerTest, LostConnectionResetsTheCountAndItsReturnRunsAFullCycle)
{
    TickMinutes(0, 3);
    rig.SetLinkUp(false);
    EXPECT_EQ(TickMinutes(4, 9), (std::map<unsigned, Calls> {}));
    EXPECT_EQ(scheduler.Counter(), 0u);
    EXPECT_TRUE(scheduler.IsFirstPassPending());
    rig.SetLinkUp(true);
    EXPECT_EQ(TickMinutes(10, 14), (std::map<unsigned, Calls> {{10, kFullCycle}, {14, {"Poll", "Tray"}}}));
}

TEST_F(PollSchedulerTest, PollEndingOfflineMakesEveryMinuteAPollUntilOneEndsOnline)
{
    TickMinutes(0, 1);
    rig.SetLinkUp(false);
    scheduler.PollCompleted();
    EXPECT_EQ(scheduler.PollInterval(), 1);
    rig.SetLinkUp(true);
    // The line came back between two ticks: no full cycle, a poll every minute.
    EXPECT_EQ(TickMinutes(2, 4),
        (std::map<unsigned, Calls> {{2, {"Poll", "Tray"}}, {3, {"Poll", "Tray"}}, {4, {"Poll", "Tray"}}}));
    scheduler.PollCompleted();
    EXPECT_EQ(scheduler.PollInterval(), 4);
    EXPECT_EQ(TickMinutes(5, 8), (std::map<unsigned, Calls> {{5, {"MailCount", "Tray"}}, {8, {"Poll", "Tray"}}}));
    settings.SetTCPCheck(1);
    scheduler.PollCompleted();
    EXPECT_EQ(scheduler.PollInterval(), 10);
}

TEST_F(PollSchedulerTest, RestartCycleRunsAtOnceWithoutAskingTheConnection)
{
    TickMinutes(0, 7);
    scheduler.RestartCycle();
    EXPECT_EQ(owner.Take(), Calls(kFullCycle.begin(), kFullCycle.end() - 1));
    EXPECT_EQ(TickMinutes(1, 4), (std::map<unsigned, Calls> {{4, {"Poll", "Tray"}}}));

    // Offline: the restart still runs, and the first reachable tick still runs its own cycle.
    rig.SetLinkUp(false);
    scheduler.Tick();
    owner.Take();
    scheduler.RestartCycle();
    EXPECT_EQ(owner.Take(), Calls(kFullCycle.begin(), kFullCycle.end() - 1));
    rig.SetLinkUp(true);
    scheduler.Tick();
    EXPECT_EQ(owner.Take(), kFullCycle);
}

TEST_F(PollSchedulerTest, IntervalBelowOneMinuteIsClamped)
{
    TickMinutes(0, 0);
    scheduler.SetPollInterval(0);
    EXPECT_EQ(scheduler.PollInterval(), 1);
    EXPECT_EQ(TickMinutes(1, 2), (std::map<unsigned, Calls> {{1, {"Poll", "Tray"}}, {2, {"Poll", "Tray"}}}));
}

} // namespace
