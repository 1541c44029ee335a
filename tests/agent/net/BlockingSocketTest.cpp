#include "agent/net/TcpClientSocket.h"
#include "tests/agent/net/ScriptedHttpServer.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <functional>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A connected pair: the socket under test and the raw peer descriptor.
struct Pair {
    CBlockingSocket socket;
    int peer = -1;
    Pair()
    {
        int fds[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) == 0) {
            socket.Attach(fds[0]);
            peer = fds[1];
        }
    }
    ~Pair()
    {
        if (peer >= 0)
            ::close(peer);
    }
    void Write(const std::string& bytes) const
    {
        ASSERT_EQ(::write(peer, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    void ClosePeer()
    {
        ::close(peer);
        peer = -1;
    }
};

} // namespace

TEST(TcpClientSocket, ConnectsByNumberAndServiceName)
{
    vandu::test::ScriptedHttpServer server({"x"});
    CTcpClientSocket socket;
    EXPECT_GE(socket.Connect("127.0.0.1", server.PortText()), 0);
    EXPECT_EQ(socket.IsConnected(), 1);
    EXPECT_EQ(ntohs(socket.PortNetworkOrder()), server.Port());
    EXPECT_EQ(socket.HostText(), "127.0.0.1");
    socket.Close();
    EXPECT_EQ(socket.IsConnected(), 0);

    struct Case {
        const char* host;
        std::string port;
    } failing[] = {
        {"127.0.0.1", std::to_string(vandu::test::FreeLoopbackPort())}, // refused
        {"127.0.0.1", ""},
        {"127.0.0.1", "no-such-service"},
        {"127.0.0.1", "70000"},
        {"", server.PortText()},
        {"no-such-host.invalid", server.PortText()},
        {"\xff", server.PortText()},
    };
    for (const Case& c : failing) {
        SCOPED_TRACE(std::string(c.host) + ":" + c.port);
        CTcpClientSocket other;
        EXPECT_LT(other.Connect(c.host, c.port), 0);
        EXPECT_EQ(other.IsConnected(), 0);
    }
}

TEST(TcpClientSocket, ServiceNameGivesItsPort)
{
    // "http" is port 80 in the services table; nothing may listen there, but the attempt must go to 80.
    CTcpClientSocket socket;
    const int result = socket.Connect("127.0.0.1", "http");
    if (result >= 0)
        EXPECT_EQ(ntohs(socket.PortNetworkOrder()), 80);
    else
        EXPECT_EQ(result, -ECONNREFUSED);
}

TEST(BlockingSocket, ReadLineLimitsAndTerminators)
{
    Pair pair;
    pair.Write(std::string(5000, 'x') + "\nnext\n");
    char buffer[4096];
    EXPECT_EQ(pair.socket.ReadLine(buffer, 4095), 4095);
    EXPECT_EQ(pair.socket.ReadLine(buffer, 4095), 906);
    EXPECT_EQ(buffer[905], '\n');
    EXPECT_EQ(pair.socket.ReadLine(buffer, 4095), 5);
    EXPECT_EQ(std::string(buffer, 5), "next\n");
    pair.Write("abc");
    pair.ClosePeer();
    EXPECT_EQ(pair.socket.ReadLine(buffer, 4095), 0);
}

TEST(BlockingSocket, ReadLineGivesUpAfterItsLimit)
{
    Pair pair;
    pair.socket.SetReadLineLimit(200);
    pair.Write("HTTP/1.0 20");
    char buffer[64];
    const auto start = Clock::now();
    EXPECT_EQ(pair.socket.ReadLine(buffer, 63), 0);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(150));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
}

TEST(BlockingSocket, Waits)
{
    CBlockingSocket unconnected;
    const auto start = Clock::now();
    EXPECT_EQ(unconnected.WaitReadable(5, 0), 0);
    EXPECT_EQ(unconnected.WaitForWritable(-1, 0), 0);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));

    Pair pair;
    EXPECT_EQ(pair.socket.WaitReadable(0, 50000), 0);
    EXPECT_EQ(pair.socket.WaitForWritable(0, 0), 1);
    std::thread writer([&pair] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        pair.Write("z");
    });
    const auto before = Clock::now();
    EXPECT_EQ(pair.socket.WaitReadable(-1, 0), 1);
    EXPECT_GE(Clock::now() - before, std::chrono::milliseconds(150));
    writer.join();
    char c = 0;
    EXPECT_EQ(pair.socket.Receive(&c, 1), 1);
    EXPECT_EQ(c, 'z');
}

TEST(BlockingSocket, SendToAClosedPeerIsAnErrorNotASignal)
{
    Pair pair;
    pair.ClosePeer();
    const std::string data(100000, 'd');
    // Without MSG_NOSIGNAL the default SIGPIPE action would end this test program here.
    EXPECT_LT(pair.socket.Send(data.data(), static_cast<int>(data.size())), 0);
    char c = 0;
    EXPECT_EQ(pair.socket.Receive(&c, 1), 0);
}

TEST(Deadline, ClampsWaitsToWhatIsLeft)
{
    const CDeadline never;
    EXPECT_FALSE(never.IsSet());
    EXPECT_FALSE(never.Expired());
    EXPECT_EQ(never.RemainingMs(), -1);
    EXPECT_EQ(never.Clamp(-1), -1);
    EXPECT_EQ(never.Clamp(250), 250);
    EXPECT_FALSE(CDeadline::After(-1).IsSet());

    const CDeadline passed = CDeadline::After(0);
    EXPECT_TRUE(passed.Expired());
    EXPECT_EQ(passed.Clamp(-1), 0);
    EXPECT_EQ(passed.Clamp(250), 0);

    const CDeadline later = CDeadline::After(60000);
    EXPECT_FALSE(later.Expired());
    EXPECT_GT(later.RemainingMs(), 50000);
    EXPECT_LE(later.RemainingMs(), 60000);
    EXPECT_EQ(later.Clamp(250), 250);
    EXPECT_EQ(later.Clamp(-1), later.RemainingMs());
    EXPECT_LE(later.Clamp(120000), 60000);
}

// Every operation that can wait gives up once the socket's deadline has passed, although the
// peer is still there: as on a close for the receives, with an error for a send.
TEST(BlockingSocket, DeadlineEndsEveryWait)
{
    struct Case {
        const char* name;
        std::string arrived; // what the peer sent before going quiet
        std::function<int(CBlockingSocket&)> operation;
        int result;
    };
    char buffer[64];
    const std::string big(16 << 20, 'd'); // more than the buffers take while the peer reads nothing
    const std::vector<Case> cases {
        {"WaitReadable", "", [](CBlockingSocket& s) { return s.WaitReadable(-1, 0); }, 0},
        {"Receive", "", [&](CBlockingSocket& s) { return s.Receive(buffer, sizeof buffer); }, 0},
        {"Peek", "", [&](CBlockingSocket& s) { return s.Peek(buffer, sizeof buffer); }, 0},
        {"ReadLine", "no line end", [&](CBlockingSocket& s) { return s.ReadLine(buffer, sizeof buffer); }, 0},
        {"Send", "", [&](CBlockingSocket& s) { return s.Send(big.data(), static_cast<int>(big.size())); }, -ETIMEDOUT},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        Pair pair;
        if (!row.arrived.empty())
            pair.Write(row.arrived);
        pair.socket.SetDeadline(CDeadline::After(300));
        const auto start = Clock::now();
        EXPECT_EQ(row.operation(pair.socket), row.result);
        EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    }
}

TEST(LocalHostName, MatchesTheSystemName)
{
    char expected[256] = {};
    ASSERT_EQ(gethostname(expected, sizeof expected - 1), 0);
    EXPECT_EQ(LocalHostName(), expected);
    EXPECT_LE(LocalHostName().size(), 255u);
}
