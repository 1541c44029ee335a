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

// How a run is set up besides the port; the account is always "ann" / "secret".
struct CountSetup {
    int receiveLimitMs = 5000;
    int security = CPop3CountJob::kSecurityNone;
    std::string host = "127.0.0.1";
    const char* module = vandu::mail::kMailModule;
};

CountRun RunCount(int port, const CountSetup& setup = {})
{
    RecordingNotifier notifier;
    CPop3CountJob job(setup.module);
    job.SetNotify(&notifier, WM_MAILCOUNT_DONE);
    job.SetConnectedMessage(WM_MAILCOUNT_CONNECTED);
    job.SetReceiveLimit(setup.receiveLimitMs);
    job.SetAccount(setup.host, "ann", "secret", setup.security, port);
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
        const CountRun run = RunCount(server.Port());
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
        const CountRun run = RunCount(server.Port(), {.receiveLimitMs = 1000});
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
    job.SetReceiveLimit(1000);
    job.SetDialogueLimit(kDialogueLimitMs);
    job.SetAccount("127.0.0.1", "ann", "secret", CPop3CountJob::kSecurityNone, slow.Port());

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
    job.SetAccount("127.0.0.1", "ann", "secret", CPop3CountJob::kSecurityNone, prompt.Port());
    ASSERT_TRUE(job.Start());
    ASSERT_TRUE(notifier.WaitForDone(2, 20000));
    EXPECT_EQ(job.Count(), 3);
}

TEST(Pop3CountJobTest, RefusedConnectionGivesMinusOneWithoutConnectedMessage)
{
    const CountRun run = RunCount(vandu::test::FreeLoopbackPort());
    EXPECT_EQ(run.count, -1);
    EXPECT_EQ(run.messages, std::vector<int> {WM_MAILCOUNT_DONE});
}

// With TLS chosen, a server that will not or cannot speak it gets no login: the count fails, the
// window is never told the count is under way, and neither the user name nor the password left
// the machine in the clear (the server keeps every byte it received).
TEST(Pop3CountJobTest, TlsChosenNeverFallsBackToAPlainLogin)
{
    struct Row {
        const char* name;
        int security;
        std::map<std::string, std::string> replies;
        std::string silentVerb;
        std::vector<std::string> expectedCommands;
    };
    const int startTls = CPop3CountJob::kSecurityStartTls;
    const std::vector<Row> rows {
        {"server without STLS", startTls, {}, "", {"STLS", "QUIT"}},
        {"STLS refused, the marker later in the reply", startTls, {{"STLS", "-ERR not now, +OK later\r\n"}}, "",
            {"STLS", "QUIT"}},
        {"STLS never answered", startTls, {}, "STLS", {"STLS"}},
        // Plain text after the go-ahead would be read later as if it had come through TLS.
        {"text after the STLS reply", startTls, {{"STLS", "+OK Begin TLS\r\n+OK 99 0\r\n"}}, "", {"STLS", "QUIT"}},
        {"STLS accepted, no TLS follows", startTls, {{"STLS", "+OK Begin TLS\r\n"}}, "", {}},
        {"TLS from the first byte, plain server", CPop3CountJob::kSecurityTls, {}, "", {}},
        {"unknown security value", 7, {}, "", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedPop3Server::Script script;
        script.replies = {{"USER", "+OK\r\n"}, {"PASS", "+OK\r\n"}, {"STAT", "+OK 3 1024\r\n"}};
        for (const auto& [verb, reply] : row.replies)
            script.replies[verb] = reply;
        script.silentVerb = row.silentVerb;
        ScriptedPop3Server server(script);
        const CountRun run = RunCount(server.Port(), {.receiveLimitMs = 2000, .security = row.security});
        server.Stop();
        EXPECT_EQ(run.count, -1);
        EXPECT_EQ(run.messages, std::vector<int> {WM_MAILCOUNT_DONE});
        EXPECT_LT(run.elapsed, std::chrono::seconds(10));
        const std::string received = server.Received();
        for (const char* secret : {"secret", "USER", "ann", "PASS"})
            EXPECT_EQ(received.find(secret), std::string::npos) << secret << " went out in the clear";
        if (!row.expectedCommands.empty()) {
            EXPECT_EQ(server.Commands(), row.expectedCommands);
        }
        if (row.security == 7) {
            EXPECT_EQ(received, "") << "nothing is sent for a security that is not known";
        }
    }
}

// The host name the user typed goes out in the TLS hello (server name indication), so that a
// server with several names can present the right certificate.
TEST(Pop3CountJobTest, TlsHelloNamesTheServer)
{
    ScriptedPop3Server::Script script;
    script.sendGreeting = false;
    ScriptedPop3Server server(script);
    const CountRun run = RunCount(
        server.Port(), {.receiveLimitMs = 1000, .security = CPop3CountJob::kSecurityTls, .host = "localhost"});
    server.Stop();
    EXPECT_EQ(run.count, -1);
    EXPECT_NE(server.Received().find("localhost"), std::string::npos);
}

// The socket dialogue is a module loaded at the first count; without a usable one the count
// fails like an unreachable server, and nothing goes on the wire.
TEST(Pop3CountJobTest, WithoutAUsableMailModuleTheCountFails)
{
    struct Row {
        const char* name;
        const char* module;
    };
    for (const Row& row :
        {Row {"no such module", "vandu_mail_missing"}, Row {"a library of another kind", "vandu_codec"}}) {
        SCOPED_TRACE(row.name);
        ScriptedPop3Server::Script script;
        script.replies = {{"USER", "+OK\r\n"}, {"PASS", "+OK\r\n"}, {"STAT", "+OK 3 1024\r\n"}};
        ScriptedPop3Server server(script);
        const CountRun run = RunCount(server.Port(), {.module = row.module});
        server.Stop();
        EXPECT_EQ(run.count, -1);
        EXPECT_EQ(run.messages, std::vector<int> {WM_MAILCOUNT_DONE});
        EXPECT_EQ(server.Received(), "");
    }
}

} // namespace
