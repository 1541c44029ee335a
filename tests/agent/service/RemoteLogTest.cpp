#include "agent/service/RemoteLog.h"

#include "agent/lcd/TimeSource.h"
#include "agent/net/HttpClient.h"
#include "agent/service/RemoteLogState.h"
#include "agent/service/ServiceConfig.h"
#include "agent/settings/SettingsStore.h"
#include "tests/agent/net/ScriptedHttpServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

using vandu::test::ScriptedHttpServer;

class FixedClock : public ITimeSource {
public:
    std::time_t Now() const override { return now; }
    int BiasMinutes() const override { return bias; }
    std::time_t now = 0;
    int bias = 0;
};

std::time_t Utc(int year, int month, int day, int hour = 12, int minute = 0)
{
    std::tm parts {};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    return timegm(&parts);
}

constexpr const char* kLogPath = "GET /cgi-bin/log.dll?MfcISAPICommand=Add&Str=";

// The report goes to the service named by VANDU_SERVICE: a scripted server on loopback here.
class RemoteLogTest : public ::testing::Test {
protected:
    RemoteLogTest()
    {
        ::setenv(kServiceHomeVariable, ("http://127.0.0.1:" + server.PortText()).c_str(), 1);
        settings.SetVanduID("5145550100");
        settings.SetInternetConnectionType(2);
        settings.SetProxyName("proxy.example.net");
        settings.SetProxyPort("8080");
        clock.now = Utc(1999, 8, 15);
    }
    ~RemoteLogTest() override { ::unsetenv(kServiceHomeVariable); }

    // The report texts that reached the server, in order.
    std::vector<std::string> Reports()
    {
        std::vector<std::string> texts;
        for (const std::string& request : server.Requests()) {
            EXPECT_EQ(request.rfind(kLogPath, 0), 0u) << request;
            const std::size_t end = request.find(" HTTP/1.0\r\n");
            texts.push_back(request.substr(std::string(kLogPath).size(), end - std::string(kLogPath).size()));
        }
        return texts;
    }

    ScriptedHttpServer server {{"HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nOK"}};
    CMemorySettingsBackend backend;
    CSettingsStore settings {backend, [] { return std::pair {1024, 768}; }};
    CRemoteLogState state;
    FixedClock clock;
    CRemoteLog log {state, settings, clock};
    CHttpClient client;
};

TEST_F(RemoteLogTest, ReportFormsAndTheTcpCheckThatFollows)
{
    struct Row {
        const char* name;
        bool wakeup;
        int tcpCheck;
        std::string proxyName;
        std::string report;
        bool tcpCheckAfter;
    };
    const std::vector<Row> rows {
        {"wake-up seen", true, 0, "proxy.example.net", "5145550100-v4.2-OK-0", true},
        {"wake-up seen while TCPCheck is on", true, 1, "proxy.example.net", "5145550100-v4.2-OK-1", true},
        {"no wake-up, TCPCheck off", false, 0, "proxy.example.net", "5145550100-v4.2-OK-0", false},
        {"no wake-up, TCPCheck on", false, 1, "proxy.example.net",
            "5145550100-v4.2-0-2-proxy.example.net-8080-IP=10.1.2.3", false},
        {"no wake-up, no proxy name", false, 1, "", "5145550100-v4.2-0-2--8080-IP=10.1.2.3", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        settings.SetTCPCheck(row.tcpCheck);
        settings.SetProxyName(row.proxyName);
        state.ClearStartupPending();
        if (row.wakeup)
            state.WakeupArrived();
        const std::size_t before = server.Requests().size();
        log.ReportPoll(client, "10.1.2.3");
        const std::vector<std::string> reports = Reports();
        ASSERT_EQ(reports.size(), before + 1);
        EXPECT_EQ(reports.back(), row.report);
        EXPECT_EQ(settings.GetTCPCheck(), row.tcpCheckAfter);
        EXPECT_EQ(state.WakeupSeen(), 0);
    }
}

TEST_F(RemoteLogTest, DateGateUsesTheLocalDate)
{
    struct Row {
        const char* name;
        std::time_t now;
        int bias;
        bool sent;
    };
    const std::vector<Row> rows {
        {"August 1999", Utc(1999, 8, 31, 12), 0, true},
        {"January 1980", Utc(1980, 1, 1, 12), 0, true},
        {"September 1999", Utc(1999, 9, 1, 12), 0, false},
        {"December 1998", Utc(1998, 12, 24, 12), 0, false},
        {"January 2000", Utc(2000, 1, 3, 12), 0, false},
        {"this decade", Utc(2026, 3, 1, 12), 0, false},
        {"still August in universal time, September locally", Utc(1999, 8, 31, 23, 30), -60, false},
        {"September in universal time, still August locally", Utc(1999, 9, 1, 0, 30), 60, true},
    };
    settings.SetTCPCheck(0);
    state.WakeupArrived();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        clock.now = row.now;
        clock.bias = row.bias;
        EXPECT_EQ(IsRemoteLogDateAllowed(row.now, row.bias), row.sent);
        const std::size_t before = server.Requests().size();
        state.WakeupArrived();
        log.ReportPoll(client, "10.1.2.3");
        EXPECT_EQ(server.Requests().size(), before + (row.sent ? 1 : 0));
        // The TCPCheck update does not depend on the date.
        EXPECT_TRUE(settings.GetTCPCheck());
        settings.SetTCPCheck(0);
    }
}

TEST_F(RemoteLogTest, NothingBeforeTheFirstSuccessfulPollOrWakeup)
{
    settings.SetTCPCheck(1);
    EXPECT_EQ(log.SendRemoteLog(client, "10.1.2.3"), 0);
    log.UpdateTcpCheck();
    EXPECT_EQ(server.Connections(), 0);
    EXPECT_TRUE(settings.GetTCPCheck()) << "TCPCheck is left alone until start-up has passed";

    state.ClearStartupPending();
    EXPECT_EQ(log.SendRemoteLog(client, "10.1.2.3"), 200);
    EXPECT_EQ(Reports(), std::vector<std::string> {"5145550100-v4.2-0-2-proxy.example.net-8080-IP=10.1.2.3"});
}

TEST_F(RemoteLogTest, UnreachableLogServiceIsIgnored)
{
    server.Stop();
    state.WakeupArrived();
    settings.SetTCPCheck(0);
    EXPECT_EQ(log.SendRemoteLog(client, "10.1.2.3"), -1);
    log.UpdateTcpCheck();
    EXPECT_TRUE(settings.GetTCPCheck());
}

} // namespace
