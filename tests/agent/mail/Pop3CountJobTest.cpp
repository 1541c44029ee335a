#include "agent/mail/Pop3CountJob.h"

#include "agent/shell/WindowMessages.h"
#include "tests/agent/mail/ScriptedPop3Server.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

using vandu::test::ScriptedPop3Server;

class RecordingNotifier : public ICompletionNotifier {
public:
    void Notify(int messageId) override
    {
        std::lock_guard lock(m_mutex);
        m_messages.push_back(messageId);
    }
    std::vector<int> Messages()
    {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }

private:
    std::mutex m_mutex;
    std::vector<int> m_messages;
};

struct CountRun {
    int count = 0;
    std::vector<int> messages;
    std::chrono::milliseconds elapsed {0};
};

CountRun RunCount(int port, const std::string& user, const std::string& password, int receiveLimitMs = 5000)
{
    RecordingNotifier notifier;
    CPop3CountJob job;
    job.SetNotify(&notifier, WM_MAILCOUNT_DONE);
    job.SetConnectedMessage(WM_MAILCOUNT_CONNECTED);
    job.SetPort(port);
    job.SetReceiveLimit(receiveLimitMs);
    job.SetAccount("127.0.0.1", user, password);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(job.Start());
    job.Wait();
    CountRun run;
    run.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    run.count = job.Count();
    run.messages = notifier.Messages();
    return run;
}

const std::vector<int> kConnectedThenDone {WM_MAILCOUNT_CONNECTED, WM_MAILCOUNT_DONE};

struct DialogueCase {
    const char* name;
    std::map<std::string, std::string> replies;
    int expectedCount;
    std::vector<std::string> expectedCommands;
};

TEST(Pop3CountJobTest, DialogueOutcomes)
{
    const std::vector<std::string> full {"USER ann", "PASS secret", "STAT", "QUIT"};
    const std::vector<DialogueCase> cases {
        {"count and size", {{"STAT", "+OK 3 1024\r\n"}}, 3, full},
        {"empty mailbox", {{"STAT", "+OK 0 0\r\n"}}, 0, full},
        {"count without a following space", {{"STAT", "+OK 3\r\n"}}, 0, full},
        {"no digits before the space", {{"STAT", "+OK x 1024\r\n"}}, 0, full},
        {"user refused", {{"USER", "-ERR no such mailbox\r\n"}}, -3, {"USER ann", "QUIT"}},
        {"password refused", {{"PASS", "-ERR wrong password\r\n"}}, -4, {"USER ann", "PASS secret", "QUIT"}},
        {"STAT refused", {{"STAT", "-ERR mailbox locked\r\n"}}, -1, full},
        {"marker inside an error reply", {{"USER", "-ERR maybe +OK\r\n"}, {"STAT", "+OK 12 99\r\n"}}, 12, full},
    };
    for (const DialogueCase& row : cases) {
        SCOPED_TRACE(row.name);
        ScriptedPop3Server::Script script;
        script.replies = {{"USER", "+OK\r\n"}, {"PASS", "+OK logged in\r\n"}};
        for (const auto& [verb, reply] : row.replies)
            script.replies[verb] = reply;
        ScriptedPop3Server server(script);
        const CountRun run = RunCount(server.Port(), "ann", "secret");
        server.Stop();
        EXPECT_EQ(run.count, row.expectedCount);
        EXPECT_EQ(server.Commands(), row.expectedCommands);
        EXPECT_EQ(run.messages, kConnectedThenDone);
    }
}

TEST(Pop3CountJobTest, SilentServerEndsAfterTheReceiveLimit)
{
    struct SilentCase {
        const char* name;
        bool greeting;
        std::string silentVerb;
        std::vector<std::string> expectedCommands;
    };
    const std::vector<SilentCase> cases {
        {"no greeting", false, "", {}},
        {"no STAT reply", true, "STAT", {"USER ann", "PASS secret", "STAT"}},
    };
    for (const SilentCase& row : cases) {
        SCOPED_TRACE(row.name);
        ScriptedPop3Server::Script script;
        script.sendGreeting = row.greeting;
        script.silentVerb = row.silentVerb;
        script.replies = {{"USER", "+OK\r\n"}, {"PASS", "+OK\r\n"}};
        ScriptedPop3Server server(script);
        const CountRun run = RunCount(server.Port(), "ann", "secret", 1000);
        server.Stop();
        EXPECT_EQ(run.count, -1);
        EXPECT_LT(run.elapsed, std::chrono::seconds(5));
        EXPECT_EQ(server.Commands(), row.expectedCommands);
        EXPECT_EQ(run.messages, kConnectedThenDone);
    }
}

class WaitingNotifier : public ICompletionNotifier {
public:
    void Notify(int messageId) override
    {
        std::lock_guard lock(m_mutex);
        if (messageId == WM_MAILCOUNT_DONE)
            ++m_done;
        m_changed.notify_all();
    }
    // True once count runs have been handed over, within timeoutMs.
    bool WaitForDone(int count, int timeoutMs)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_done >= count; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_done = 0;
};

// Every step answered within the receive limit would take the dialogue to about 3.5 s; the
// dialogue limit ends it first, and the job can be started again once its completion is handled.
TEST(Pop3CountJobTest, SlowServerEndsAtTheDialogueLimitAndTheJobStartsAgain)
{
    constexpr int kDialogueLimitMs = 1200;
    ScriptedPop3Server::Script script;
    script.replies = {{"USER", "+OK\r\n"}, {"PASS", "+OK\r\n"}, {"STAT", "+OK 3 1024\r\n"}};
    script.replyDelayMs = 500;
    ScriptedPop3Server slow(script);
    WaitingNotifier notifier;
    CPop3CountJob job;
    job.SetNotify(&notifier, WM_MAILCOUNT_DONE);
    job.SetPort(slow.Port());
    job.SetReceiveLimit(1000);
    job.SetDialogueLimit(kDialogueLimitMs);
    job.SetAccount("127.0.0.1", "ann", "secret");

    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(job.Start());
    ASSERT_TRUE(notifier.WaitForDone(1, 20000)) << "the count is still held";
    const auto elapsed = std::chrono::steady_clock::now() - start;
    slow.Stop();
    EXPECT_EQ(job.Count(), -1);
    EXPECT_GE(elapsed, std::chrono::milliseconds(kDialogueLimitMs));
    EXPECT_LT(elapsed, std::chrono::milliseconds(kDialogueLimitMs) + std::chrono::seconds(6));
    const std::vector<std::string> commands = slow.Commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "STAT"), 0);

    EXPECT_FALSE(job.Start()) << "busy until the completion is handled";
    job.ClearBusy();
    script.replyDelayMs = 0;
    ScriptedPop3Server prompt(script);
    job.SetPort(prompt.Port());
    ASSERT_TRUE(job.Start());
    ASSERT_TRUE(notifier.WaitForDone(2, 20000));
    EXPECT_EQ(job.Count(), 3);
}

TEST(Pop3CountJobTest, RefusedConnectionGivesMinusOneWithoutConnectedMessage)
{
    const CountRun run = RunCount(vandu::test::FreeLoopbackPort(), "ann", "secret");
    EXPECT_EQ(run.count, -1);
    EXPECT_EQ(run.messages, std::vector<int> {WM_MAILCOUNT_DONE});
}

TEST(Pop3CountJobTest, StatCountParsing)
{
    const std::vector<std::pair<std::string, int>> rows {
        {"+OK 3 1024\r\n", 3},
        {"+OK 0 0\r\n", 0},
        {"+OK 3\r\n", 0},
        {"+OK", 0},
        {"+OK 42abc 1\r\n", 42},
        {"+OK  7 1\r\n", 0},
        {"+OK 99999999999 1", 2147483647},
    };
    for (const auto& [reply, count] : rows) {
        SCOPED_TRACE(reply);
        EXPECT_EQ(CPop3CountJob::ParseStatCount(reply), count);
    }
}

} // namespace
