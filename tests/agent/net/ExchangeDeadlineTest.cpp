// The overall limit of one exchange: a server that trickles its answer one byte at a time, each
// well within the idle limit, or a connection that is never accepted, cannot hold the client (and
// the job that owns it) past the exchange limit.

#include "agent/net/HttpClient.h"
#include "agent/service/ServiceJob.h"
#include "tests/agent/net/ScriptedHttpServer.h"
#include "tests/agent/service/JobTestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace vandu::test;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kIdleLimitMs = 800;
constexpr int kExchangeLimitMs = 1500;
constexpr int kTrickleMs = 20; // forty times inside the idle limit
// Slack for a loaded machine under the sanitizers: the limit is what is tested, not the speed.
constexpr auto kSlack = std::chrono::seconds(6);

void ShortenLimits(CHttpClient& client)
{
    client.SetHeaderWait(200);
    client.SetBodyWait(200);
    client.SetIdleLimit(kIdleLimitMs);
    client.SetExchangeLimit(kExchangeLimitMs);
}

struct TrickleCase {
    const char* name;
    std::string answer; // long enough to trickle for far longer than the limit
    std::size_t atOnce; // bytes sent before the trickle starts
    int result;
    bool bodyGrows; // some trickled body bytes arrived before the limit
    bool lengthSet;
};

TEST(ExchangeDeadline, TricklingAnswerEndsAtTheLimitAsIfClosed)
{
    const std::string headers = "HTTP/1.0 200 OK\r\nContent-Length: 2000\r\n\r\n";
    const std::string noLength = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";
    const std::vector<TrickleCase> cases {
        {"status line", "HTTP/1.0 200 " + std::string(2000, 'O') + "\r\n\r\n", 0, 0, false, true},
        {"header line", "HTTP/1.0 200 OK\r\nContent-Length: 5\r\nX-Slow: " + std::string(2000, 's') + "\r\n\r\nhello",
            40, 0, false, false},
        {"announced body", headers + std::string(2000, 'b'), headers.size(), 0, true, false},
        {"body without length", noLength + std::string(2000, 'b'), noLength.size(), 200, true, true},
    };
    for (const TrickleCase& row : cases) {
        SCOPED_TRACE(row.name);
        ScriptedHttpServer::Script script {row.answer};
        script.trickleMs = kTrickleMs;
        script.trickleFrom = row.atOnce;
        ScriptedHttpServer server(script);
        CHttpClient client;
        ShortenLimits(client);
        CUrl url;
        url.Parse("http://127.0.0.1:" + server.PortText() + "/");
        std::string body = "untouched";
        int length = -7;
        const auto start = Clock::now();
        const int result = client.Fetch(url, body, length, "GET");
        const auto elapsed = Clock::now() - start;
        server.Stop();

        EXPECT_EQ(result, row.result);
        EXPECT_GE(elapsed, std::chrono::milliseconds(kExchangeLimitMs));
        EXPECT_LT(elapsed, std::chrono::milliseconds(kExchangeLimitMs) + kSlack);
        if (row.bodyGrows) {
            EXPECT_FALSE(body.empty());
            EXPECT_LT(body.size(), 2000u);
            EXPECT_EQ(body, std::string(body.size(), 'b'));
        } else {
            EXPECT_EQ(body, "");
        }
        EXPECT_EQ(length, row.lengthSet ? static_cast<int>(body.size()) : -7);
    }
}

// A listener whose accept queue is full: the system drops further connection requests, so a
// connect to it waits for the system's retries (minutes) unless something else ends it.
class FullListener {
public:
    FullListener()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(m_listener, 0) != 0
            || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        m_port = ntohs(address.sin_port);
        for (int& filler : m_fillers) {
            filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
        }
    }
    ~FullListener()
    {
        for (const int filler : m_fillers)
            ::close(filler);
        ::close(m_listener);
    }
    int Port() const { return m_port; }

private:
    int m_listener = -1;
    int m_port = 0;
    int m_fillers[4] = {-1, -1, -1, -1};
};

TEST(ExchangeDeadline, ConnectionNeverAcceptedEndsAtTheLimit)
{
    FullListener listener;
    ASSERT_NE(listener.Port(), 0);
    CHttpClient client;
    client.SetExchangeLimit(500);
    CUrl url;
    url.Parse("http://127.0.0.1:" + std::to_string(listener.Port()) + "/");
    std::string body;
    int length = 0;
    const auto start = Clock::now();
    EXPECT_EQ(client.Fetch(url, body, length, "GET"), -1);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500) + kSlack);
}

class WaitingNotifier : public ICompletionNotifier {
public:
    void Notify(int messageId) override
    {
        std::lock_guard lock(m_mutex);
        m_messages.push_back(messageId);
        m_changed.notify_all();
    }
    // True once count completions have been handed over, within timeoutMs.
    bool WaitFor(std::size_t count, int timeoutMs)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(
            lock, std::chrono::milliseconds(timeoutMs), [&] { return m_messages.size() >= count; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<int> m_messages;
};

TEST(ExchangeDeadline, PollJobHeldByATrickleIsFreeAgainAfterTheLimit)
{
    CJobRig rig;
    WaitingNotifier notifier;
    CServiceJob job;
    job.SetNotify(&notifier, 1225);
    job.SetKind(REQUEST_POLL);
    ShortenLimits(job.JobClient());

    const std::string headers = "HTTP/1.0 200 OK\r\nContent-Length: 2000\r\n\r\n";
    ScriptedHttpServer::Script script {headers + "Result=" + std::string(1993, '1')};
    script.trickleMs = kTrickleMs;
    script.trickleFrom = headers.size();
    ScriptedHttpServer trickler(script);
    {
        CServiceHome home("http://127.0.0.1:" + trickler.PortText());
        job.SetInputs(rig.Store.get(), &rig.Settings, &rig.Connection, &rig.Account);
        const auto start = Clock::now();
        ASSERT_TRUE(job.Start());
        ASSERT_TRUE(notifier.WaitFor(1, 20000)) << "the poll is still held";
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(kExchangeLimitMs) + kSlack);
        EXPECT_EQ(rig.Store->Count(), 0);
    }
    trickler.Stop();
    // Busy until the completion is handled, as the window does; then the next poll runs.
    EXPECT_FALSE(job.Start());
    job.ClearBusy();

    CScriptedServer service;
    service.On("GetNewMessageIDs", {{200, "Result=31;"}});
    service.On("GetMessage2", {{200, TextAnswer("After the trickle")}});
    service.On("MarkMessageAsRead", {{200, "Result=1"}});
    CServiceHome home(service.Home());
    job.SetInputs(rig.Store.get(), &rig.Settings, &rig.Connection, &rig.Account);
    ASSERT_TRUE(job.Start());
    ASSERT_TRUE(notifier.WaitFor(2, 20000));
    ASSERT_EQ(rig.Store->Count(), 1);
    EXPECT_EQ(rig.Store->MessageAt(0)->Text(), "After the trickle");
}

} // namespace
