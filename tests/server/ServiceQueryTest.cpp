// How the service reads request targets and writes answers.

#include "server/ServiceQuery.h"
#include "server/ServiceAnswer.h"
#include "server/ServiceText.h"

#include <gtest/gtest.h>

using namespace vandu::server;

TEST(ServiceQuery, CommandComesFromTheRawQueryAndValuesAreDecoded)
{
    const CServiceQuery q = CServiceQuery::Parse(
        "/cgi-bin/MessageManager.dll?SendTextMessage&VanduID=5551234567&From=555&Text=Are+you+there%3F+5%266%3D11");
    EXPECT_EQ(q.Path(), "/cgi-bin/MessageManager.dll");
    EXPECT_EQ(q.Command(), "SendTextMessage");
    EXPECT_EQ(q.Value("VanduID").value_or("-"), "5551234567");
    EXPECT_EQ(q.Value("Text").value_or("-"), "Are you there? 5&6=11");
    EXPECT_FALSE(q.Value("vanduid").has_value()) << "names are case-sensitive";
}

TEST(ServiceQuery, LogTextIsTakenRawWithItsEqualsSigns)
{
    const CServiceQuery q
        = CServiceQuery::Parse("/cgi-bin/log.dll?MfcISAPICommand=Add&Str=555-v4.2-0-1--80-IP=1.2.3.4");
    EXPECT_EQ(q.Command(), "");
    EXPECT_EQ(q.Value("MfcISAPICommand").value_or("-"), "Add");
    EXPECT_EQ(q.RawTail("Str").value_or("-"), "555-v4.2-0-1--80-IP=1.2.3.4");
    EXPECT_EQ(q.RawTail("MfcISAPICommand").value_or("-"), "Add&Str=555-v4.2-0-1--80-IP=1.2.3.4");
    EXPECT_FALSE(q.RawTail("tr").has_value()) << "a name must not match the end of a longer one";
}

TEST(ServiceQuery, OddTargets)
{
    const struct {
        const char* target;
        const char* path;
        const char* command;
        size_t params;
    } rows[] = {
        {"/", "/", "", 0},
        {"/a?", "/a", "", 0},
        {"/a?Cmd", "/a", "Cmd", 0},
        {"/a?Cmd&&&", "/a", "Cmd", 0},
        {"/a?=x&y=", "/a", "", 2},
        {"/a?Cmd&a=1&a=2", "/a", "Cmd", 2},
        {"/a?x=1?y=2", "/a", "", 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.target);
        const CServiceQuery q = CServiceQuery::Parse(row.target);
        EXPECT_EQ(q.Path(), row.path);
        EXPECT_EQ(q.Command(), row.command);
        EXPECT_EQ(q.Params().size(), row.params);
    }
    EXPECT_EQ(CServiceQuery::Parse("/a?a=1&a=2").Value("a").value_or("-"), "1") << "the first value counts";
    EXPECT_EQ(CServiceQuery::Parse("/a?x=1?y=2").Value("x").value_or("-"), "1?y=2");
}

TEST(ServiceQuery, DecodeKeepsBrokenEscapes)
{
    const struct {
        const char* in;
        std::string out;
    } rows[] = {
        {"%41%62", "Ab"},
        {"%e9", "\xE9"},
        {"%", "%"},
        {"%4", "%4"},
        {"%zz", "%zz"},
        {"a+b", "a b"},
        {"%00x", std::string("\0x", 2)},
        {"100%", "100%"},
        {"%%41", "%A"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.in);
        EXPECT_EQ(CServiceQuery::Decode(row.in), row.out);
    }
}

TEST(ServiceAnswer, LinesEndInLineFeedAndValuesCannotBreakThem)
{
    CServiceAnswer answer;
    answer.Add("FirstName", "Ann\tLee\r\nLastName=X");
    answer.Add("Type", 3);
    answer.Add("Message", std::string("a\0b", 3));
    EXPECT_EQ(answer.Body(), "FirstName=Ann Lee  LastName=X\nType=3\nMessage=a b\n");
}

TEST(ServiceAnswer, RawBytesComeLastAndUnchanged)
{
    CServiceAnswer answer;
    answer.Add("Type", 1);
    const std::string wave("RIFF\0\t\n\r", 8);
    answer.AddRaw("Message", wave);
    answer.Add("Late", "x");
    EXPECT_EQ(answer.Body(), "Type=1\nMessage=" + wave);
}

TEST(ServiceAnswer, TailKeepsLineFeeds)
{
    CServiceAnswer answer;
    answer.Add("Result", 0);
    answer.AddTail("Message", "one\ntwo\tthree\n");
    EXPECT_EQ(answer.Body(), "Result=0\nMessage=one\ntwo three\n");
}

TEST(ServiceText, Shapes)
{
    EXPECT_TRUE(IsTenDigitId("5551234567"));
    EXPECT_FALSE(IsTenDigitId("555123456"));
    EXPECT_FALSE(IsTenDigitId("55512345678"));
    EXPECT_FALSE(IsTenDigitId("555123456a"));
    EXPECT_TRUE(IsFourDigitPassword("0007"));
    EXPECT_FALSE(IsFourDigitPassword("12a4"));
    EXPECT_FALSE(IsWellFormedId(""));
    EXPECT_FALSE(IsWellFormedId("1' OR '1'='1"));

    const struct {
        const char* name;
        bool valid;
    } names[] = {{"Mary Ann", true}, {"O'Neil", true}, {"Jos\xC3\xA9", true}, {"", false}, {"   ", false},
        {"R2D2", false}, {"a\tb", false}, {"0123456789012345678901234567890123456789x", false}};
    for (const auto& row : names) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(IsValidName(row.name), row.valid);
    }
    const struct {
        const char* email;
        bool valid;
    } emails[] = {{"ann@mail.test", true}, {"a@b.cd", true}, {"ann@mail", false}, {"@mail.test", false},
        {"a@b@c.de", false}, {"a b@c.de", false}, {"ann@.test", false}, {"ann@mail.", false}};
    for (const auto& row : emails) {
        SCOPED_TRACE(row.email);
        EXPECT_EQ(IsValidEmail(row.email), row.valid);
    }
}

TEST(ServiceText, UniversalDateAndTime)
{
    // 1999-03-05 07:04:09 UTC, and the last second of 1999.
    EXPECT_EQ(FormatServiceDate(920617449), "3/5/1999");
    EXPECT_EQ(FormatServiceTime(920617449), "7:04:09");
    EXPECT_EQ(FormatServiceDate(946684799), "12/31/1999");
    EXPECT_EQ(FormatServiceTime(946684799), "23:59:59");
}

TEST(ServiceText, HtmlEscape)
{
    EXPECT_EQ(HtmlEscape("<a href=\"x\">Tom & 'Jerry'</a>"),
        "&lt;a href=&quot;x&quot;&gt;Tom &amp; &#39;Jerry&#39;&lt;/a&gt;");
}
