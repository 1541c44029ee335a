#include "agent/net/HttpClient.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace vandu::test;

namespace {

std::string Fill(std::string text, const std::string& dir, const std::string& address, int port)
{
    const std::pair<std::string, std::string> keys[]
        = {{"@DIR@", dir}, {"@ADDR@", address}, {"@PORT@", std::to_string(port)}};
    for (const auto& [key, value] : keys) {
        for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
            text.replace(at, key.size(), value);
    }
    return text;
}

// A peer program started by the test and stopped by its process id when the test ends.
class Peer {
public:
    explicit Peer(const std::vector<std::string>& argv)
    {
        m_pid = ::fork();
        if (m_pid == 0) {
            const int devNull = ::open("/dev/null", O_RDWR);
            ::dup2(devNull, 0);
            ::dup2(devNull, 1);
            ::dup2(devNull, 2);
            std::vector<char*> args;
            for (const std::string& arg : argv)
                args.push_back(const_cast<char*>(arg.c_str()));
            args.push_back(nullptr);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
    }
    ~Peer()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

private:
    pid_t m_pid = -1;
};

const std::string kData = VANDU_TEST_DATA_DIR "/net/";

} // namespace

TEST(NetInterop, NginxDirectAndThroughTinyproxy)
{
    const std::string nginx = FindProgram("nginx");
    const std::string tinyproxy = FindProgram("tinyproxy");
    VANDU_REQUIRE_PEER(!nginx.empty(), "nginx");
    VANDU_REQUIRE_PEER(!tinyproxy.empty(), "tinyproxy");

    TempDir dir;
    ::chmod(dir.Path().c_str(), 0755); // the nginx worker may run as another user
    ::mkdir(dir.File("www").c_str(), 0755);
    const std::string answer = ReadFile(kData + "answer.txt");
    ASSERT_FALSE(answer.empty());
    WriteFile(dir.File("www/answer.txt"), answer);
    const int webPort = FreeLoopbackPort();
    const int proxyPort = FreeLoopbackPort();
    WriteFile(dir.File("nginx.conf"), Fill(ReadFile(kData + "nginx.conf"), dir.Path(), "127.0.0.2", webPort));
    WriteFile(dir.File("tinyproxy.conf"), Fill(ReadFile(kData + "tinyproxy.conf"), dir.Path(), "", proxyPort));

    Peer web({nginx, "-e", dir.File("error.log"), "-c", dir.File("nginx.conf"), "-p", dir.Path()});
    Peer proxy({tinyproxy, "-d", "-c", dir.File("tinyproxy.conf")});
    ASSERT_TRUE(WaitForPort("127.0.0.2", webPort, 10000)) << ReadFile(dir.File("error.log"));
    ASSERT_TRUE(WaitForPort("127.0.0.1", proxyPort, 10000)) << "tinyproxy did not start";

    CUrl url;
    url.Parse("http://127.0.0.2:" + std::to_string(webPort) + "/answer.txt");
    {
        SCOPED_TRACE("direct");
        CHttpClient client;
        std::string body;
        int length = 0;
        EXPECT_EQ(client.Fetch(url, body, length, "GET"), 200);
        EXPECT_EQ(body, answer);
        EXPECT_EQ(length, static_cast<int>(answer.size()));
    }
    {
        SCOPED_TRACE("through the proxy");
        CHttpClient client;
        client.SetProxy("127.0.0.1", std::to_string(proxyPort), 1);
        std::string body;
        int length = 0;
        EXPECT_EQ(client.Fetch(url, body, length, "GET"), 200);
        EXPECT_EQ(body, answer);
        const std::string wanted = "GET http://127.0.0.2:" + std::to_string(webPort) + "/answer.txt";
        std::string log;
        for (int i = 0; i < 50 && log.find(wanted) == std::string::npos; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            log = ReadFile(dir.File("tinyproxy.log"));
        }
        EXPECT_NE(log.find(wanted), std::string::npos) << log;
    }
}
