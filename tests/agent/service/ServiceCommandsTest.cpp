#include "agent/service/ServiceCommands.h"
#include "agent/service/ServiceConfig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kCgi = "http://svc.test:8026/cgi-bin/";
const std::string kAsp = "http://svc.test:8026/asp/misc/";

struct UrlCase {
    const char* name;
    std::string built;
    const char* expected;
};

TEST(ServiceCommandsTest, EveryCommandBuildsItsExactUrl)
{
    const std::vector<UrlCase> cases = {
        {"GetNewMessageIDs", BuildGetNewMessageIDs(kCgi, "5145550100"),
            "http://svc.test:8026/cgi-bin/MessageManager.dll?GetNewMessageIDs&VanduID=5145550100"},
        {"GetMessage2", BuildGetMessage2(kCgi, "5145550100", "1234", 1021, 0),
            "http://svc.test:8026/cgi-bin/"
            "MessageManager.dll?GetMessage2&VanduID=5145550100&Password=1234&MessageID=1021"
            "&AudioType=0"},
        {"GetMessage2 negative id", BuildGetMessage2(kCgi, "7", "0000", -3, 1),
            "http://svc.test:8026/cgi-bin/"
            "MessageManager.dll?GetMessage2&VanduID=7&Password=0000&MessageID=-3&AudioType=1"},
        {"MarkMessageAsRead", BuildMarkMessageAsRead(kCgi, "5145550100", "1234", 1022),
            "http://svc.test:8026/cgi-bin/MessageManager.dll?MarkMessageAsRead&VanduID=5145550100&Password=1234"
            "&MessageID=1022"},
        {"GetSponsorID", BuildGetSponsorID(kCgi, "5145550100"),
            "http://svc.test:8026/cgi-bin/MessageManager.dll?GetSponsorID&VanduID=5145550100"},
        {"GetSponsor", BuildGetSponsor(kCgi, "5145550100"),
            "http://svc.test:8026/cgi-bin/MessageManager.dll?GetSponsor&VanduID=5145550100"},
        {"pda_get_vendor_logo2", BuildGetVendorLogo(kAsp, "5145550100"),
            "http://svc.test:8026/asp/misc/pda_get_vendor_logo2.asp?VanduID=5145550100"},
        {"IsPasswordValid", BuildIsPasswordValid(kCgi, "5145550100", "1234"),
            "http://svc.test:8026/cgi-bin/MessageManager.dll?IsPasswordValid&VanduID=5145550100&Password=1234"},
        {"pda_id_available", BuildIdAvailable(kAsp, "5145550199"),
            "http://svc.test:8026/asp/misc/pda_id_available.asp?VanduID=5145550199"},
        {"pda_signup", BuildSignup(kAsp, {"5145550199", "4321", "ann@mail.test", "Ann", "Lee"}),
            "http://svc.test:8026/asp/misc/pda_signup.asp?VanduID=5145550199&Password=4321&Email=ann%40mail%2Etest"
            "&FirstName=Ann&LastName=Lee&VendorID=0"},
        {"pda_signup names with space, & and =", BuildSignup(kAsp, {"51 4", "12&3", "a=b", "Ann Marie", "O'Lee&x=1"}),
            "http://svc.test:8026/asp/misc/pda_signup.asp?VanduID=51+4&Password=12%263&Email=a%3Db&FirstName=Ann+Marie"
            "&LastName=O%27Lee%26x%3D1&VendorID=0"},
        {"SendTextMessage", BuildSendTextMessage(kCgi, "5145550111", "5145550100", "Are you there?"),
            "http://svc.test:8026/cgi-bin/MessageManager.dll?SendTextMessage&VanduID=5145550111&From=5145550100"
            "&Text=Are+you+there%3F"},
        {"SetGetUserInfo", BuildSetGetUserInfo(kCgi, "5145550100", "1234"),
            "http://svc.test:8026/cgi-bin/"
            "MessageManager.dll?SetGetUserInfo&VanduID=5145550100&Password=1234&Version=4.2"},
        {"AddLogSponsorClick", BuildAddLogSponsorClick(kCgi, "17", "5145550100"),
            "http://svc.test:8026/cgi-bin/MessageManager.dll?AddLogSponsorClick&SponsorID=17&VanduID=5145550100"},
        {"remote log", BuildRemoteLog(kCgi, "5145550100-v4.2-OK-1"),
            "http://svc.test:8026/cgi-bin/log.dll?MfcISAPICommand=Add&Str=5145550100-v4.2-OK-1"},
        {"empty own ID stays an empty value", BuildGetNewMessageIDs(kCgi, ""),
            "http://svc.test:8026/cgi-bin/MessageManager.dll?GetNewMessageIDs&VanduID="},
    };
    for (const UrlCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.built, c.expected);
    }
}

TEST(ServiceCommandsTest, UrlEncodeKeepsOnlyLettersAndDigits)
{
    const std::string allBytesBut0 = [] {
        std::string s;
        for (int c = 1; c < 256; ++c) {
            s += static_cast<char>(c);
        }
        return s;
    }();
    const struct {
        const char* name;
        std::string text;
        std::string expected;
    } cases[] = {
        {"words and punctuation", "Hi you!", "Hi+you%21"},
        {"hyphen", "-", "%2D"},
        {"byte 233", std::string(1, static_cast<char>(233)), "%E9"},
        {"ampersand and equals", "a&b=c", "a%26b%3Dc"},
        {"zero byte inside", std::string("a\0b", 3), "a%00b"},
        {"control and high bytes", "\t\n\x7F\xFF", "%09%0A%7F%FF"},
        {"reserved characters", "%+./~_", "%25%2B%2E%2F%7E%5F"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(UrlEncode(c.text), c.expected);
    }
    // Every byte maps to exactly one unit: 62 kept, the space to "+", the other 192 to "%XX".
    EXPECT_EQ(UrlEncode(allBytesBut0).size(), 62u + 1u + 192u * 3u);
    EXPECT_EQ(UrlEncode("abc", 2), "ab");
}

TEST(ServiceConfigTest, BasesComeFromOneHome)
{
    const struct {
        const char* overrideValue;
        const char* home;
        const char* cgi;
        const char* asp;
        const char* host;
    } cases[] = {
        {nullptr, "http://127.0.0.1:8026", "http://127.0.0.1:8026/cgi-bin/", "http://127.0.0.1:8026/asp/misc/",
            "127.0.0.1"},
        {"", "http://127.0.0.1:8026", "http://127.0.0.1:8026/cgi-bin/", "http://127.0.0.1:8026/asp/misc/", "127.0.0.1"},
        {"http://msg.example.test/", "http://msg.example.test", "http://msg.example.test/cgi-bin/",
            "http://msg.example.test/asp/misc/", "msg.example.test"},
        {"http://localhost:9090//", "http://localhost:9090", "http://localhost:9090/cgi-bin/",
            "http://localhost:9090/asp/misc/", "localhost"},
        {"127.0.0.2:8026", "http://127.0.0.2:8026", "http://127.0.0.2:8026/cgi-bin/", "http://127.0.0.2:8026/asp/misc/",
            "127.0.0.2"},
        {"http://[::1]:8026", "http://[::1]:8026", "http://[::1]:8026/cgi-bin/", "http://[::1]:8026/asp/misc/",
            "[::1]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.overrideValue ? c.overrideValue : "(unset)");
        const std::string home = ServiceHomeFrom(c.overrideValue);
        EXPECT_EQ(home, c.home);
        EXPECT_EQ(ServiceCgiBaseOf(home), c.cgi);
        EXPECT_EQ(ServiceAspBaseOf(home), c.asp);
        EXPECT_EQ(ServiceHostNameOf(home), c.host);
    }
}

TEST(ServiceConfigTest, EnvironmentVariableOverridesTheHome)
{
    ASSERT_EQ(::setenv("VANDU_SERVICE", "http://127.0.0.9:1234/", 1), 0);
    EXPECT_EQ(ServiceHomePage(), "http://127.0.0.9:1234");
    EXPECT_EQ(ServiceCgiBase(), "http://127.0.0.9:1234/cgi-bin/");
    EXPECT_EQ(ServiceAspBase(), "http://127.0.0.9:1234/asp/misc/");
    EXPECT_EQ(ServiceHostName(), "127.0.0.9");
    ASSERT_EQ(::unsetenv("VANDU_SERVICE"), 0);
    EXPECT_EQ(ServiceCgiBase(), "http://127.0.0.1:8026/cgi-bin/");
}

} // namespace
