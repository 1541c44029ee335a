#include "agent/net/HttpClient.h"
#include "agent/net/TcpClientSocket.h"
#include "tests/agent/net/ScriptedHttpServer.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>

using vandu::test::ScriptedHttpServer;

namespace {

const std::string kOk = "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello";

std::string Headers(const std::string& firstLine, const std::string& host)
{
    return firstLine + "\r\nHost: " + host + "\r\nConnection: keep-alive, persist\r\nPersist: " + host
        + "\r\nKeep-Alive:\r\nUser-Agent: Mozilla/3.0 (Win95,I)Windows; WIN32)\r\nAccept: */*\r\n\r\n";
}

struct Outcome {
    int result = 0;
    std::string body = "untouched";
    int length = -7;
};

Outcome FetchText(CHttpClient& client, const std::string& text, const std::string& method = "GET")
{
    CUrl url;
    url.Parse(text);
    Outcome outcome;
    outcome.result = client.Fetch(url, outcome.body, outcome.length, method);
    return outcome;
}

} // namespace

TEST(HttpClientRequest, DirectRequestLinesAndHeaders)
{
    ScriptedHttpServer server({kOk});
    const std::string port = server.PortText();
    struct Case {
        std::string url;
        std::string requestLine;
    } cases[] = {
        {"http://127.0.0.1:" + port + "/cgi-bin/Name.dll?Cmd&A=1", "GET /cgi-bin/Name.dll?Cmd&A=1 HTTP/1.0"},
        {"http://127.0.0.1:" + port, "GET / HTTP/1.0"},
        {"http://127.0.0.1:" + port + "?q=a:b", "GET /?q=a:b HTTP/1.0"},
        {"http://127.0.0.1:" + port + "//lead/x#frag", "GET /lead/x HTTP/1.0"},
        {"HTTP://127.0.0.1:" + port + "/up", "GET /up HTTP/1.0"},
        {"ftp://127.0.0.1:" + port + "/f", "GET /f HTTP/1.0"},
    };
    CHttpClient client;
    std::size_t index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(FetchText(client, c.url).result, 200);
        const auto requests = server.Requests();
        ASSERT_EQ(requests.size(), index + 1);
        EXPECT_EQ(requests[index], Headers(c.requestLine, "127.0.0.1"));
        ++index;
    }
}

TEST(HttpClientRequest, MethodGoesIntoTheRequestLineOnly)
{
    ScriptedHttpServer server({kOk});
    CHttpClient client;
    EXPECT_EQ(FetchText(client, "http://127.0.0.1:" + server.PortText() + "/p", "POST").result, 200);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0], Headers("POST /p HTTP/1.0", "127.0.0.1"));
}

TEST(HttpClientRequest, ResolvedNameInHostAndPersist)
{
    ScriptedHttpServer server({kOk});
    CHttpClient client;
    EXPECT_EQ(FetchText(client, "http://localhost:" + server.PortText() + "/x").result, 200);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0], Headers("GET /x HTTP/1.0", "127.0.0.1"));
    EXPECT_EQ(client.ResolveHost("localhost"), "127.0.0.1");
    EXPECT_EQ(client.ResolveHost("10.no.lookup"), "10.no.lookup");
    EXPECT_EQ(client.ResolveHost("no-such-host.invalid"), std::string(1, '\xff'));
}

TEST(HttpClientRequest, ThroughTheProxy)
{
    ScriptedHttpServer proxy({kOk});
    struct Case {
        std::string url;
        std::string requestLine;
    } cases[] = {
        {"http://127.0.0.2:8080/cgi-bin/N.dll?Cmd", "GET http://127.0.0.2:8080/cgi-bin/N.dll?Cmd HTTP/1.0"},
        {"http://127.0.0.2:80/path?q", "GET http://127.0.0.2/path?q HTTP/1.0"},
        {"http://127.0.0.2/path", "GET http://127.0.0.2/path HTTP/1.0"},
        {"http://127.0.0.2", "GET http://127.0.0.2/ HTTP/1.0"},
    };
    CHttpClient client;
    client.SetProxy("127.0.0.1", proxy.PortText(), 1);
    std::size_t index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(FetchText(client, c.url).result, 200);
        const auto requests = proxy.Requests();
        ASSERT_EQ(requests.size(), index + 1);
        EXPECT_EQ(requests[index], Headers(c.requestLine, "127.0.0.2"));
        ++index;
    }
}

TEST(HttpClientRequest, LocalHostsAndTheProxyHostGoDirect)
{
    const std::string deadPort = std::to_string(vandu::test::FreeLoopbackPort());
    ScriptedHttpServer onFirst({kOk});
    ScriptedHttpServer onSecond({kOk}, "127.0.0.2");
    struct Case {
        std::string url;
        std::string proxyHost;
        const ScriptedHttpServer* server;
        std::string host;
    } cases[] = {
        {"http://127.0.0.1:" + onFirst.PortText() + "/a", "127.0.0.3", &onFirst, "127.0.0.1"},
        {"http://localhost:" + onFirst.PortText() + "/a", "127.0.0.3", &onFirst, "127.0.0.1"},
        {"http://127.0.0.2:" + onSecond.PortText() + "/a", "127.0.0.2", &onSecond, "127.0.0.2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        CHttpClient client;
        client.SetProxy(c.proxyHost, deadPort, 1);
        const std::size_t before = c.server->Requests().size();
        EXPECT_EQ(FetchText(client, c.url).result, 200);
        const auto requests = c.server->Requests();
        ASSERT_EQ(requests.size(), before + 1);
        EXPECT_EQ(requests.back(), Headers("GET /a HTTP/1.0", c.host));
    }
}

TEST(HttpClientRequest, FailuresBeforeAnyAnswer)
{
    ScriptedHttpServer server({kOk});
    CHttpClient client;
    SCOPED_TRACE("unsupported scheme");
    EXPECT_EQ(FetchText(client, "file://127.0.0.1:" + server.PortText() + "/x").result, 0);
    EXPECT_EQ(FetchText(client, "127.0.0.1:" + server.PortText()).result, 0);
    SCOPED_TRACE("blank or control byte in the path or query");
    for (const char* rest : {"/s.bmp\r", "/a b", "/x?q=\r\nX-Injected: 1", "/x?tab=\t", "/del\x7f"}) {
        EXPECT_EQ(FetchText(client, "http://127.0.0.1:" + server.PortText() + rest).result, 0) << rest;
    }
    EXPECT_EQ(server.Connections(), 0);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(
        FetchText(client, "http://127.0.0.1:" + std::to_string(vandu::test::FreeLoopbackPort()) + "/").result, -1);
    EXPECT_EQ(FetchText(client, "http://no-such-host.invalid/x").result, -1);
    CHttpClient proxied;
    proxied.SetProxy("127.0.0.1", std::to_string(vandu::test::FreeLoopbackPort()), 1);
    EXPECT_EQ(FetchText(proxied, "http://127.0.0.2/x").result, -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(HttpClientResponse, ResultsBodiesAndLengths)
{
    const std::string longLine = "X-Pad: " + std::string(4095 - 7, 'a') + "Content-Length: 3\r\n";
    struct Case {
        std::string name;
        std::string answer;
        int result;
        std::string body;
        int length;
        std::string method = "GET";
    } cases[] = {
        {"exact length", kOk, 200, "hello", 5},
        {"short body", "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nabc", 0, "abc", -7},
        {"204", "HTTP/1.0 204 No Content\r\n\r\n", 204, "", 0},
        {"302 read no further", "HTTP/1.0 302 Found\r\nContent-Length: 2\r\nLocation: /x\r\n\r\nzz", 302, "untouched",
            -7},
        {"404", "HTTP/1.0 404 Not Found\r\nContent-Length: 3\r\n\r\nnop", 404, "untouched", -7},
        {"401 body", "HTTP/1.0 401 Unauthorized\r\nContent-Length: 4\r\n\r\ndeny", 401, "deny", 4},
        {"500 body", "HTTP/1.1 500 Oops\r\n\r\nbroken", 500, "broken", 6},
        {"lower-case length", "HTTP/1.0 200 OK\r\ncontent-length:     3\r\n\r\nabcdef", 200, "abc", 3},
        {"no length", "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nto the end", 200, "to the end", 10},
        {"LF only", "HTTP/1.0 200 OK\nContent-Length: 2\n\nok", 200, "ok", 2},
        {"long header line split", "HTTP/1.0 200 OK\r\n" + longLine + "\r\nabcdef", 200, "abc", 3},
        {"zero bytes kept", std::string("HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\na\0b", 41), 200,
            std::string("a\0b", 3), 3},
        {"no status line", "garbage here\r\n\r\nbody", 0, "body", 4},
        {"later status replaces", "HTTP/1.0 200 OK\r\nHTTP/1.0 201 Created\r\n\r\nx", 201, "x", 1},
        {"HEAD", "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello", 200, "untouched", -7, "HEAD"},
        {"negative length", "HTTP/1.0 200 OK\r\nContent-Length: -5\r\n\r\nhello", 0, "untouched", -7},
        {"oversized length", "HTTP/1.0 200 OK\r\nContent-Length: 16777217\r\n\r\nhello", 0, "untouched", -7},
        {"huge length", "HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\nx", 0, "untouched", -7},
        {"3xx refused", "HTTP/1.0 301 Moved\r\n\r\nx", 301, "untouched", -7},
    };
    // Sent at once, the header block arrives whole; trickled, every line arrives in pieces. Either
    // way the same bytes are taken for the headers and the body.
    for (const bool trickled : {false, true}) {
        for (const Case& c : cases) {
            if (trickled && c.answer.size() > 200)
                continue;
            SCOPED_TRACE(c.name + (trickled ? ", trickled" : ""));
            ScriptedHttpServer::Script script {c.answer};
            script.trickleMs = trickled ? 1 : 0;
            ScriptedHttpServer server(script);
            CHttpClient client;
            const Outcome outcome = FetchText(client, "http://127.0.0.1:" + server.PortText() + "/", c.method);
            EXPECT_EQ(outcome.result, c.result);
            EXPECT_EQ(outcome.body, c.body);
            EXPECT_EQ(outcome.length, c.length);
            EXPECT_EQ(client.Status(), c.name == "no status line" ? 0 : c.result == 0 ? 200 : c.result);
        }
    }
}

TEST(HttpClientResponse, BodyWithoutLengthIsCutAt102400)
{
    ScriptedHttpServer server({"HTTP/1.0 200 OK\r\n\r\n" + std::string(150000, 'b')});
    CHttpClient client;
    const Outcome outcome = FetchText(client, "http://127.0.0.1:" + server.PortText() + "/");
    EXPECT_EQ(outcome.result, 200);
    EXPECT_EQ(outcome.length, 102400);
    EXPECT_EQ(outcome.body, std::string(102400, 'b'));
}

TEST(HttpClientResponse, SilentServerEndsAtTheIdleLimit)
{
    ScriptedHttpServer server({"HTTP/1.0 20", 8000});
    CHttpClient client;
    client.SetHeaderWait(1000);
    client.SetBodyWait(1000);
    client.SetIdleLimit(1000);
    const auto start = std::chrono::steady_clock::now();
    const Outcome outcome = FetchText(client, "http://127.0.0.1:" + server.PortText() + "/");
    EXPECT_EQ(outcome.result, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

TEST(HttpClientResponse, SilenceAfterHeadersEndsTheBodyWithoutLength)
{
    ScriptedHttpServer server({"HTTP/1.0 200 OK\r\n\r\npart", 8000});
    CHttpClient client;
    client.SetIdleLimit(500);
    const auto start = std::chrono::steady_clock::now();
    const Outcome outcome = FetchText(client, "http://127.0.0.1:" + server.PortText() + "/");
    EXPECT_EQ(outcome.result, 200);
    EXPECT_EQ(outcome.body, "part");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

TEST(HttpClientResponse, StatusLineUnderDecimalCommaLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "locale de_DE.UTF-8 must be generated";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    ScriptedHttpServer server({kOk});
    CHttpClient client;
    const Outcome outcome = FetchText(client, "http://127.0.0.1:" + server.PortText() + "/");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(outcome.result, 200);
    EXPECT_EQ(outcome.body, "hello");
}
