#include "agent/service/ServiceAnswers.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

std::string Recording()
{
    return vandu::test::ReadFile(VANDU_TEST_DATA_DIR "/service/voice_tab_in_riff_size.wav");
}

TEST(ServiceAnswersTest, VoiceAnswerWithTabInTheRecordingKeepsTextKeysExact)
{
    const std::string recording = Recording();
    ASSERT_EQ(recording.size(), 273u);
    ASSERT_EQ(recording.substr(4, 4), "\t\x01\0\0"s); // the RIFF size: a TAB before the first zero byte
    const std::string body = "Date=12/07/2026\nTime=18:04:05\nType=1\nCallerID=5145550123\nCallerIDName=Ann Lee\n"
                             "SenderVanduID=\nFirstName=\nLastName=\nMessage="
        + recording;

    const CMessageAnswer answer = ParseMessageAnswer(body);
    EXPECT_EQ(answer.Type, 1);
    EXPECT_EQ(answer.Date, "12/07/2026");
    EXPECT_EQ(answer.Time, "18:04:05");
    EXPECT_EQ(answer.CallerID, "5145550123");
    EXPECT_EQ(answer.CallerIDName, "Ann Lee");
    EXPECT_EQ(answer.SenderVanduID, "");
    EXPECT_EQ(answer.FirstName, "");
    EXPECT_EQ(answer.LastName, "");
    EXPECT_EQ(answer.Text, "");
    EXPECT_TRUE(answer.HasMessage);

    vandu::test::TempDir dir;
    ASSERT_EQ(WriteMessageVoice(body, dir.File("5145550100712.wav")), 1);
    EXPECT_EQ(vandu::test::ReadFile(dir.File("5145550100712.wav")), recording);
}

TEST(ServiceAnswersTest, VoiceAnswerKeysAreNotReadFromTheRecording)
{
    // Only the keys before "Message=" count: the recording's text must not fill absent ones.
    const std::string body = "Type=1\nCallerID=42\nMessage=RIFF\tFirstName=Eve\nLastName=X\n\0\0"s;
    const CMessageAnswer answer = ParseMessageAnswer(body);
    EXPECT_EQ(answer.CallerID, "42");
    EXPECT_EQ(answer.FirstName, "");
    EXPECT_EQ(answer.LastName, "");

    vandu::test::TempDir dir;
    EXPECT_EQ(WriteMessageVoice("Type=1\nCallerID=42\n", dir.File("a.wav")), 0);
    EXPECT_FALSE(vandu::test::PathExists(dir.File("a.wav")));
    EXPECT_FALSE(ParseMessageAnswer("Type=1\nCallerID=42\n").HasMessage);
}

TEST(ServiceAnswersTest, TextMessages)
{
    const struct {
        const char* name;
        std::string body;
        int type;
        const char* sender;
        const char* first;
        const char* last;
        const char* text;
    } cases[] = {
        {"from another subscriber",
            "Date=1/2/2026\tTime=3:04:05\tType=3\tSenderVanduID=5145550111\tFirstName=Ann\t"
            "LastName=Lee\tMessage=Call me back\t",
            3, "5145550111", "Ann", "Lee", "Call me back"},
        {"without sender, CRLF lines", "Type=2\r\nSenderVanduID=\r\nMessage=Your greeting was updated\r\n", 2, "\r", "",
            "", "Your greeting was updated\r"},
        {"keys after the text are still read", "Type=3\nMessage=Hi\nSenderVanduID=7\nFirstName=Bo\n", 3, "7", "Bo", "",
            "Hi"},
        {"no type at all is a text message", "Message=Hello", 0, "", "", "", "Hello"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CMessageAnswer answer = ParseMessageAnswer(c.body);
        EXPECT_EQ(answer.Type, c.type);
        EXPECT_EQ(answer.SenderVanduID, c.sender);
        EXPECT_EQ(answer.FirstName, c.first);
        EXPECT_EQ(answer.LastName, c.last);
        EXPECT_EQ(answer.Text, c.text);
    }
}

TEST(ServiceAnswersTest, SponsorAndVendor)
{
    const CSponsorAnswer inOrder = ParseSponsorAnswer(
        "SponsorID=17\nDescription=Pizza Roma\nURL=http://roma.test/\nImageURL=http://img.test/17.bmp\nImageFile=");
    EXPECT_EQ(inOrder.SponsorID, "17");
    EXPECT_EQ(inOrder.Description, "Pizza Roma");
    EXPECT_EQ(inOrder.URL, "http://roma.test/");
    EXPECT_EQ(inOrder.ImageURL, "http://img.test/17.bmp");

    // "URL=" is found inside "ImageURL=" when that comes first: the link takes the image address.
    const CSponsorAnswer reversed = ParseSponsorAnswer("ImageURL=http://img.test/17.bmp\nURL=http://roma.test/\n");
    EXPECT_EQ(reversed.URL, "http://img.test/17.bmp");

    EXPECT_EQ(ParseSponsorIdAnswer("Result=17\n"), "17");
    EXPECT_EQ(ParseSponsorIdAnswer("Result=0"), "0");
    EXPECT_EQ(ParseSponsorIdAnswer("Nothing\n"), "");

    vandu::test::TempDir dir;
    const std::string bitmap = "BM\x36\0\0\0\0\0\0\0\x36\0\0\0"s;
    EXPECT_EQ(WriteSponsorImage("SponsorID=17\nURL=\nImageURL=\nImageFile=" + bitmap, dir.File("sponsor.bmp")), 1);
    EXPECT_EQ(vandu::test::ReadFile(dir.File("sponsor.bmp")), bitmap);
    EXPECT_EQ(WriteSponsorImage("SponsorID=17\nImageFile=", dir.File("none.bmp")), 0);

    const CVendorAnswer vendor = ParseVendorAnswer("Description=Phones & More\tURL=http://shop.test\tImage=" + bitmap);
    EXPECT_EQ(vendor.Description, "Phones & More");
    EXPECT_EQ(vendor.URL, "http://shop.test");
    EXPECT_EQ(WriteVendorImage("Description=x\nImage=" + bitmap, dir.File("vendor.bmp")), 1);
    EXPECT_EQ(vandu::test::ReadFile(dir.File("vendor.bmp")), bitmap);
    EXPECT_EQ(WriteVendorImage("Description=x\nImage=", dir.File("vendor.bmp")), 0);
    EXPECT_EQ(vandu::test::ReadFile(dir.File("vendor.bmp")), bitmap);
}

TEST(ServiceAnswersTest, AccountAnswers)
{
    EXPECT_TRUE(ParsePasswordValidAnswer("Result=10"));
    EXPECT_FALSE(ParsePasswordValidAnswer("Result=0\n"));

    const struct {
        const char* body;
        int code;
    } idCases[] = {{"Result=0", 0}, {"Result=1\n", 1}, {"Result=2", 2}, {"Result=7", 7}, {"Free", -1}};
    for (const auto& c : idCases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(ParseIdAvailableAnswer(c.body), c.code);
    }

    const CSignupAnswer created = ParseSignupAnswer("Result=0\nMessage=Welcome to Vandu!\nYour ID is ready.\n");
    EXPECT_EQ(created.Result, 0);
    EXPECT_EQ(created.Message, "Welcome to Vandu!\nYour ID is ready.\n");
    const CSignupAnswer missing = ParseSignupAnswer("Error\n");
    EXPECT_EQ(missing.Result, -1);
    EXPECT_EQ(missing.Message, "");

    EXPECT_EQ(ParseSendTextAnswer("Result=0\nMessage=Message sent\nExtra=1\n"), "Message sent");
    EXPECT_EQ(ParseSendTextAnswer("Result=0\n"), "");
}

TEST(ServiceAnswersTest, UserInfo)
{
    const CUserInfoAnswer full = ParseUserInfoAnswer(
        "UserType=1\tFirstName=Ann\tLastName=Lee\tPhoneCenter1=1-888-555-0199\tIPAddress=192.0.2.7\t");
    EXPECT_EQ(full.UserType, 1);
    EXPECT_FALSE(full.Rejected());
    EXPECT_EQ(full.FirstName, "Ann");
    EXPECT_EQ(full.LastName, "Lee");
    EXPECT_EQ(full.PhoneCenter1, "1-888-555-0199");
    EXPECT_EQ(full.IPAddress, "192.0.2.7");

    EXPECT_TRUE(ParseUserInfoAnswer("UserType=4\n").Rejected());
    const CUserInfoAnswer empty = ParseUserInfoAnswer("Hello\n");
    EXPECT_EQ(empty.UserType, 0);
    EXPECT_FALSE(empty.Rejected());
    EXPECT_EQ(empty.PhoneCenter1, "");
}

} // namespace
