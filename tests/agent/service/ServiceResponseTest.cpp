#include "agent/service/ServiceResponse.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

TEST(ServiceResponseTest, TextValueRules)
{
    const struct {
        const char* name;
        std::string body;
        const char* key;
        std::string expected;
    } cases[] = {
        {"TAB ends the first name", "FirstName=Ann\tLastName=Lee\r\n", "FirstName=", "Ann"},
        {"line feed ends the last name, CR kept", "FirstName=Ann\tLastName=Lee\r\n", "LastName=", "Lee\r"},
        {"a later TAB wins over a nearer line feed", "FirstName=Ann\r\nLastName=Lee\tX=1",
            "FirstName=", "Ann\r\nLastName=Lee"},
        {"no TAB: up to the line feed", "FirstName=Ann\r\nLastName=Lee\r\n", "LastName=", "Lee\r"},
        {"no end mark: the whole rest", "Description=Best pizza", "Description=", "Best pizza"},
        {"empty value", "SenderVanduID=\nFirstName=Bo\n", "SenderVanduID=", ""},
        {"first occurrence wins", "A=1\nA=2\n", "A=", "1"},
        {"key found inside a longer key", "ImageURL=http://img.test/a.bmp\nURL=http://shop.test\n",
            "URL=", "http://img.test/a.bmp"},
        {"key need not start a line", "xxCallerID=42\n", "CallerID=", "42"},
        {"keys are case-sensitive", "firstname=ann\n", "FirstName=", ""},
        {"missing key", "Date=12/07/2026\n", "Time=", ""},
        {"value stops at the first zero byte", "Name=ab\0cd\tef"s, "Name=", "ab"},
        {"TAB after a zero byte is not seen", "Name=ab\ncd\0\t"s, "Name=", "ab"},
        {"key after a zero byte is not found", "A=1\n\0B=2\n"s, "B=", ""},
        {"key across the zero byte is not found", "A=1\nB\0=2\n"s, "B=", ""},
        {"empty body", "", "A=", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetResponseValue(c.body, c.key), c.expected);
    }
}

TEST(ServiceResponseTest, NumbersFromValues)
{
    const struct {
        const char* name;
        std::string body;
        int typeValue;
        int resultCode;
    } cases[] = {
        {"plain", "Type=1\r\nResult=0\r\n", 1, 0},
        {"white space and sign", "Type= -2x\nResult=+7;8;", -2, 7},
        {"no digits", "Type=voice\nResult=ok", 0, 0},
        {"empty values", "Type=\nResult=", 0, 0},
        {"absent keys", "Other=1\n", 0, -1},
        {"result remainder is not cut", "Result=\n\t12\n", 0, 12},
        {"saturates instead of overflowing", "Type=99999999999999999999\nResult=-99999999999999", INT_MAX, INT_MIN},
        {"result after a zero byte is absent", "Type=3\n\0Result=1"s, 3, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetResponseInt(c.body, "Type="), c.typeValue);
        EXPECT_EQ(GetResultCode(c.body), c.resultCode);
    }
}

TEST(ServiceResponseTest, IdLists)
{
    const struct {
        const char* name;
        std::string body;
        std::vector<int> expected;
    } cases[] = {
        {"each ID ended by a semicolon", "Result=1021;1022;", {1021, 1022}},
        {"a number without its semicolon is dropped", "Result=17;18;19", {17, 18}},
        {"Result= alone", "Result=", {}},
        {"no Result=", "Count=2;3;", {}},
        {"no semicolon", "Result=42", {}},
        {"parts without digits count as 0", "Result=;x;5;", {0, 0, 5}},
        {"line end after the list", "Result=7;8;\r\n", {7, 8}},
        {"list stops at the first zero byte", "Result=1;2\0;3;"s, {1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetResponseIdList(c.body), c.expected);
    }
}

TEST(ServiceResponseTest, PresenceAndTail)
{
    EXPECT_TRUE(ResponseContains("Result=10", "Result=1"));
    EXPECT_TRUE(ResponseContains("Note=x\nResult=1\n", "Result=1"));
    EXPECT_FALSE(ResponseContains("Result=01", "Result=1"));
    EXPECT_FALSE(ResponseContains("result=1", "Result=1"));
    EXPECT_FALSE(ResponseContains("X\0Result=1"s, "Result=1"));

    EXPECT_EQ(GetResponseTail("Result=0\nMessage=Welcome!\r\nLine two\tstill\n", "Message="),
        "Welcome!\r\nLine two\tstill\n");
    EXPECT_EQ(GetResponseTail("Result=0\n", "Message="), "");
    EXPECT_EQ(GetResponseTail("Message=ab\0cd"s, "Message="), "ab");
}

class ResponseTailFileTest : public ::testing::Test {
protected:
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    vandu::test::TempDir m_dir;
};

TEST_F(ResponseTailFileTest, WritesEveryByteAfterTheKey)
{
    const std::string recording = "RIFF\x10\0\0\0WAVE\0\0\t\n\r\xFF"s;
    const std::string path = m_dir.File("712.wav");
    vandu::test::WriteFile(path, "an older, longer recording that must go");
    ASSERT_EQ(WriteResponseTail("Type=1\nMessage=" + recording, "Message=", path), 1);
    EXPECT_EQ(vandu::test::ReadFile(path), recording);
    EXPECT_EQ(Entries(), std::vector<std::string> {"712.wav"});
}

TEST_F(ResponseTailFileTest, FailuresWriteNothing)
{
    const std::string vendor = m_dir.File("vendor.bmp");
    vandu::test::WriteFile(vendor, "BMold");
    const struct {
        const char* name;
        std::string body;
        const char* key;
        std::string path;
    } cases[] = {
        {"nothing after the key", "Description=Shop\nImage=", "Image=", vendor},
        {"key absent", "Description=Shop\n", "Image=", vendor},
        {"key only after a zero byte", "Description=Shop\0Image=BMnew"s, "Image=", vendor},
        {"folder missing", "Image=BMnew", "Image=", m_dir.File("no/such/vendor.bmp")},
        {"empty path", "Image=BMnew", "Image=", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WriteResponseTail(c.body, c.key, c.path), 0);
        EXPECT_EQ(vandu::test::ReadFile(vendor), "BMold");
        EXPECT_EQ(Entries(), std::vector<std::string> {"vendor.bmp"});
    }
}

TEST_F(ResponseTailFileTest, FullDiskKeepsTheOldFile)
{
    const std::string vendor = m_dir.File("vendor.bmp");
    vandu::test::WriteFile(vendor, "BMold");
    const std::string body = "Image=BM" + std::string(64 * 1024, '\x7F');
    const int status = vandu::test::RunWithWriteLimit(4096, [&] { return WriteResponseTail(body, "Image=", vendor); });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(vandu::test::ReadFile(vendor), "BMold");
    EXPECT_EQ(Entries(), std::vector<std::string> {"vendor.bmp"});
}

} // namespace
