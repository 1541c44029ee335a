#include "common/AgentChannel.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <vector>

using vandu::test::PathExists;
using vandu::test::TempDir;
using vandu::test::WriteFile;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPatience = std::chrono::seconds(10);

// Runs a blocking client call on another thread while this one serves the listener's events.
template <typename Call> auto Beside(Call call)
{
    auto result = std::async(std::launch::async, call);
    const auto deadline = Clock::now() + kPatience;
    while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready && Clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return result.get();
}

// Serves the listener's events until done() holds or the patience runs out.
template <typename Done> bool ServeUntil(Done done, Clock::duration patience = kPatience)
{
    const auto deadline = Clock::now() + patience;
    while (!done() && Clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

int Mode(const std::string& path)
{
    struct stat info { };
    return lstat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
}

// A peer speaking the channel's protocol byte by byte, as another program would.
class RawPeer {
public:
    explicit RawPeer(const std::string& path)
    {
        m_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        m_connected = connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~RawPeer() { close(m_fd); }
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    bool Connected() const { return m_connected; }
    bool Send(const std::string& bytes)
    {
        return send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
    }
    void EndSending() { shutdown(m_fd, SHUT_WR); }
    // Serves the listener until `lines` lines have arrived or the peer was closed ("<closed>" is
    // appended then).
    std::string Receive(int lines)
    {
        std::string received;
        bool closed = false;
        ServeUntil([&] {
            pollfd entry {m_fd, POLLIN, 0};
            if (!closed && poll(&entry, 1, 0) == 1) {
                char buffer[256];
                const ssize_t n = recv(m_fd, buffer, sizeof buffer, 0);
                if (n <= 0) {
                    received += "<closed>";
                    closed = true;
                } else {
                    received.append(buffer, static_cast<size_t>(n));
                }
            }
            return closed || std::count(received.begin(), received.end(), '\n') >= lines;
        });
        return received;
    }

private:
    int m_fd = -1;
    bool m_connected = false;
};

class AgentChannelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.Path()));
        QObject::connect(&listener, &CAgentListener::ShowRequested, [this] { ++shows; });
    }
    void TearDown() override
    {
        listener.Close();
        qputenv("XDG_RUNTIME_DIR", m_savedRuntime);
    }

    std::string Path() const { return runtime.Path() + "/VanduClassWindow"; }

    // A socket file with nobody behind it, as a crashed agent leaves it.
    void LeaveStaleSocket() const
    {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        Path().copy(address.sun_path, sizeof address.sun_path - 1);
        ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        close(fd);
    }

    TempDir runtime;
    CAgentListener listener;
    int shows = 0;

private:
    QByteArray m_savedRuntime;
};

TEST_F(AgentChannelTest, WithoutAnAgentNobodyIsFoundAndNothingIsLeftBehind)
{
    EXPECT_EQ(vandu::channel::SocketPath().toStdString(), Path());
    const auto start = Clock::now();
    EXPECT_FALSE(vandu::channel::IsAgentRunning(2000));
    EXPECT_FALSE(vandu::channel::AskRunningAgentToShow(2000));
    // Nobody listening is known at once, not after the time limit.
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
    EXPECT_FALSE(PathExists(Path()));
}

TEST_F(AgentChannelTest, StatusTellsStartingFromReadyAndShowIsAnsweredAfterTheWindowIsAsked)
{
    ASSERT_TRUE(listener.Listen());
    RawPeer peer(Path());
    ASSERT_TRUE(peer.Connected());
    ASSERT_TRUE(peer.Send("status\n"));
    EXPECT_EQ(peer.Receive(1), "starting\n");
    listener.MarkReady();
    ASSERT_TRUE(peer.Send("status\n"));
    EXPECT_EQ(peer.Receive(1), "ready\n");
    ASSERT_TRUE(peer.Send("show\n"));
    EXPECT_EQ(peer.Receive(1), "shown\n");
    EXPECT_EQ(shows, 1);

    EXPECT_TRUE(Beside([] { return vandu::channel::IsAgentRunning(); }));
    EXPECT_TRUE(Beside([] { return vandu::channel::AskRunningAgentToShow(); }));
    EXPECT_TRUE(ServeUntil([this] { return shows == 2; }));
}

TEST_F(AgentChannelTest, LinesAreReadWhateverTheirPacketsAndUnknownOnesIgnored)
{
    ASSERT_TRUE(listener.Listen());
    struct Row {
        const char* name;
        std::vector<std::string> sends;
        int replies;
        std::string expected;
    };
    const Row rows[] = {
        {"split across sends", {"sta", "tus\r\n"}, 1, "starting\n"},
        {"two in one send", {"status\nshow\n"}, 2, "starting\nshown\n"},
        {"padded", {"  status \n"}, 1, "starting\n"},
        {"unknown first", {"hello\nSTATUS\nstatus\n"}, 1, "starting\n"},
        {"empty lines", {"\n\n\nstatus\n"}, 1, "starting\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RawPeer peer(Path());
        ASSERT_TRUE(peer.Connected());
        for (const std::string& bytes : row.sends) {
            ASSERT_TRUE(peer.Send(bytes));
            // The listener sees each piece on its own: the bytes are queued when send returns.
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        EXPECT_EQ(peer.Receive(row.replies), row.expected);
    }
}

TEST_F(AgentChannelTest, APeerThatEndsItsSideStillGetsItsAnswer)
{
    ASSERT_TRUE(listener.Listen());
    RawPeer peer(Path());
    ASSERT_TRUE(peer.Send("status\n"));
    peer.EndSending();
    EXPECT_EQ(peer.Receive(2), "starting\n<closed>");
}

TEST_F(AgentChannelTest, APeerThatNeverEndsALineIsDroppedAndOthersAreStillServed)
{
    ASSERT_TRUE(listener.Listen());
    RawPeer flood(Path());
    ASSERT_TRUE(flood.Send(std::string(CAgentListener::kLineLimit + 1, 'x')));
    EXPECT_EQ(flood.Receive(1), "<closed>");
    RawPeer peer(Path());
    ASSERT_TRUE(peer.Send("status\n"));
    EXPECT_EQ(peer.Receive(1), "starting\n");
}

TEST_F(AgentChannelTest, APeerThatStopsTalkingIsDroppedButOneThatKeepsEndingLinesIsNot)
{
    constexpr int kLimitMs = 1500;
    listener.SetIdleLimit(kLimitMs);
    ASSERT_TRUE(listener.Listen());
    struct Row {
        const char* name;
        std::string sends;
        std::string expected;
    };
    const Row rows[] = {
        {"half a line", "sta", "<closed>"},
        {"nothing at all", "", "<closed>"},
        {"a line, then silence", "status\n", "starting\n<closed>"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RawPeer peer(Path());
        ASSERT_TRUE(peer.Connected());
        ASSERT_TRUE(row.sends.empty() || peer.Send(row.sends));
        EXPECT_EQ(peer.Receive(99), row.expected);
    }

    // Each line starts the time again: this peer talks for longer than the limit in all.
    RawPeer talker(Path());
    const auto start = Clock::now();
    for (int line = 0; line < 4; ++line) {
        SCOPED_TRACE(line);
        ServeUntil([] { return false; }, std::chrono::milliseconds(kLimitMs * 2 / 5));
        ASSERT_TRUE(talker.Send("status\n"));
        EXPECT_EQ(talker.Receive(1), "starting\n");
    }
    EXPECT_GT(Clock::now() - start, std::chrono::milliseconds(kLimitMs));
}

TEST_F(AgentChannelTest, TheSocketIsPrivateAndGoesWithTheListener)
{
    ASSERT_TRUE(listener.Listen());
    EXPECT_EQ(Mode(Path()) & 077, 0) << std::oct << Mode(Path());
    EXPECT_EQ(Mode(Path()) & 0700, 0700) << std::oct << Mode(Path());
    listener.Close();
    EXPECT_FALSE(PathExists(Path()));
    EXPECT_FALSE(vandu::channel::IsAgentRunning());
}

TEST_F(AgentChannelTest, WhatACrashLeftIsReplacedButALiveAgentIsNot)
{
    struct Row {
        const char* name;
        std::function<void()> leave;
    };
    const Row rows[] = {
        {"stale socket", [this] { LeaveStaleSocket(); }},
        {"plain file", [this] { WriteFile(Path(), "junk"); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.leave();
        ASSERT_TRUE(listener.Listen());
        EXPECT_TRUE(vandu::channel::IsAgentRunning());
        listener.Close();
    }

    ASSERT_TRUE(listener.Listen());
    CAgentListener second;
    EXPECT_FALSE(second.Listen());
    // The live agent still answers on its own socket.
    RawPeer peer(Path());
    ASSERT_TRUE(peer.Send("status\n"));
    EXPECT_EQ(peer.Receive(1), "starting\n");
}

TEST_F(AgentChannelTest, ClosingLeavesASocketThatAnotherAgentMadeSinceAlone)
{
    ASSERT_TRUE(listener.Listen());
    // Someone removed the file and another agent took the name.
    ASSERT_EQ(unlink(Path().c_str()), 0);
    CAgentListener other;
    ASSERT_TRUE(other.Listen());
    listener.Close();
    EXPECT_TRUE(PathExists(Path()));
    EXPECT_TRUE(vandu::channel::IsAgentRunning());
}

TEST_F(AgentChannelTest, APathTooLongForASocketFailsCleanly)
{
    const std::string deep = runtime.Path() + "/" + std::string(120, 'd');
    ASSERT_EQ(mkdir(deep.c_str(), 0700), 0);
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(deep));
    EXPECT_FALSE(listener.Listen());
    EXPECT_FALSE(vandu::channel::IsAgentRunning());
    EXPECT_FALSE(vandu::channel::AskRunningAgentToShow());
}

} // namespace
