#include "agent/net/HttpClient.h"
#include "tests/agent/net/NginxPeer.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace vandu::test;

namespace {

const std::string kData = VANDU_TEST_DATA_DIR "/net/";

} // namespace

TEST(NetInterop, NginxDirectAndThroughTinyproxy)
{
    const std::string nginx = FindProgram("nginx");
    const std::string tinyproxy = FindProgram("tinyproxy");
    VANDU_REQUIRE_PEER(!nginx.empty(), "nginx");
    VANDU_REQUIRE_PEER(!tinyproxy.empty(), "tinyproxy");

    const std::string answer = ReadFile(kData + "answer.txt");
    ASSERT_FALSE(answer.empty());
    NginxPeer web("127.0.0.2");
    web.AddFile("answer.txt", answer);
    ASSERT_TRUE(web.Start()) << web.ErrorLog();
    const int webPort = web.Port();

    TempDir dir;
    const int proxyPort = FreeLoopbackPort();
    WriteFile(
        dir.File("tinyproxy.conf"), FillPeerConfig(ReadFile(kData + "tinyproxy.conf"), dir.Path(), "", proxyPort));
    PeerProcess proxy({tinyproxy, "-d", "-c", dir.File("tinyproxy.conf")});
    ASSERT_TRUE(WaitForPort("127.0.0.1", proxyPort, 10000)) << "tinyproxy did not start";

    CUrl url;
    url.Parse(web.Base() + "answer.txt");
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
