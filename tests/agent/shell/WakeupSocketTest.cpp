#include "agent/shell/WakeupSocket.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QStringList>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// Serves the event loop until done() holds, for at most ten seconds.
template <typename Done> bool ServeUntil(Done done)
{
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!done() && Clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

sockaddr_in Loopback(int port)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    return address;
}

// What the service does: a TCP connection to the agent's address, which the kernel completes.
int Knock(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(port);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// True once the agent has closed the connection (end of stream or reset) without answering.
bool ClosedUnanswered(int fd)
{
    bool closed = false;
    bool answered = false;
    ServeUntil([&] {
        pollfd entry {fd, POLLIN, 0};
        if (poll(&entry, 1, 0) == 1) {
            char byte = 0;
            const ssize_t n = recv(fd, &byte, 1, 0);
            answered = n > 0;
            closed = n <= 0;
        }
        return closed || answered;
    });
    return closed && !answered;
}

class WakeupSocketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QObject::connect(&wakeup, &CWakeupSocket::WakeupArrived, [this] { ++wakeups; });
    }

    CWakeupSocket wakeup {nullptr, 0};
    int wakeups = 0;
};

TEST_F(WakeupSocketTest, EachConnectionWakesOnceAndTheSamePortListensAgain)
{
    ASSERT_TRUE(wakeup.Listen());
    const int port = wakeup.Port();
    ASSERT_NE(port, 0);
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE(round);
        const int fd = Knock(port);
        ASSERT_GE(fd, 0);
        EXPECT_TRUE(ServeUntil([&] { return wakeups == round; }));
        // Whatever the caller sends is never read: the connection is closed under it.
        send(fd, "hello\n", 6, MSG_NOSIGNAL);
        EXPECT_TRUE(ClosedUnanswered(fd));
        close(fd);
        EXPECT_EQ(wakeup.Port(), port);
    }
    EXPECT_EQ(wakeups, 3);
}

TEST_F(WakeupSocketTest, SeveralKnocksBeforeTheLoopRunsWakeAtLeastOnceAndLeaveItListening)
{
    ASSERT_TRUE(wakeup.Listen());
    int fds[3];
    for (int& fd : fds) {
        fd = Knock(wakeup.Port());
        ASSERT_GE(fd, 0);
    }
    EXPECT_TRUE(ServeUntil([&] { return wakeups >= 1; }));
    for (int fd : fds) {
        close(fd);
    }
    const int before = wakeups;
    const int fd = Knock(wakeup.Port());
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(ServeUntil([&] { return wakeups == before + 1; }));
    close(fd);
}

TEST_F(WakeupSocketTest, APortAlreadyTakenLeavesTheAgentWithoutAListener)
{
    const int taken = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    ASSERT_EQ(bind(taken, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(taken, 1), 0);
    socklen_t length = sizeof address;
    getsockname(taken, reinterpret_cast<sockaddr*>(&address), &length);

    const quint16 port = ntohs(address.sin_port);
    CWakeupSocket second(nullptr, port);
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings.append(text); });
    EXPECT_FALSE(second.Listen());
    qInstallMessageHandler(previous);
    // Why the agent is never woken, with the port it wanted.
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("port %1 (").arg(port))) << warnings[0].toStdString();
    EXPECT_TRUE(warnings[0].contains(QString::fromUtf8(std::strerror(EADDRINUSE)))) << warnings[0].toStdString();
    close(taken);
    // Free again: the next attempt listens.
    EXPECT_TRUE(second.Listen());
}

} // namespace
