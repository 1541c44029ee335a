// The service's commands answered in-process over a real database file.

#include "server/ServiceHandlers.h"
#include "server/AudioConverter.h"
#include "server/DemoContent.h"
#include "server/MessageDelivery.h"
#include "server/ServiceStore.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vandu::server;

namespace {

const std::string kCgi = "/cgi-bin/MessageManager.dll?";
const std::string kAsp = "/asp/misc/";

class ServiceHandlers : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(m_store.Open(m_dir.File("service.db")), 0) << m_store.LastError();
        ASSERT_EQ(m_store.AddSubscriber({"5551234567", "1234", "Jane", "Doe", "jane@mail.test", ""}), 0);
        ASSERT_EQ(m_store.AddSubscriber({"5559876543", "4321", "Sam", "Rivers", "sam@mail.test", ""}), 0);
        CServiceMessage text;
        text.SubscriberId = "5551234567";
        text.Type = kPhoneText;
        text.Text = "first";
        m_textId = CMessageDelivery::Deliver(m_store, text, false, 0).MessageId;
        ASSERT_GT(m_textId, 0);
    }

    CServiceResponse Get(const std::string& target, const std::string& from = "127.0.0.9")
    {
        CServiceContext context {m_store, 1};
        return CServiceHandlers::Handle(context, target, from, "127.0.0.1:8026");
    }

    vandu::test::TempDir m_dir;
    CServiceStore m_store;
    int64_t m_textId = 0;
};

} // namespace

TEST_F(ServiceHandlers, StatusCodes)
{
    const std::string id = std::to_string(m_textId);
    const struct {
        std::string target;
        int status;
    } rows[] = {
        {kCgi + "GetNewMessageIDs&VanduID=5551234567", 200},
        {kCgi + "GetNewMessageIDs&VanduID=5550000000", 200},
        {kCgi + "GetNewMessageIDs", 404},
        {kCgi + "GetNewMessageIDs&VanduID=", 404},
        {kCgi + "GetNewMessageIDs&VanduID=555'; DROP TABLE messages;--", 404},
        {kCgi + "NoSuchCommand&VanduID=5551234567", 404},
        {kCgi + "getnewmessageids&VanduID=5551234567", 404},
        {"/cgi-bin/Other.dll?GetNewMessageIDs&VanduID=5551234567", 404},
        {kCgi + "GetMessage2&VanduID=5551234567&Password=1234&MessageID=" + id + "&AudioType=0", 200},
        {kCgi + "GetMessage2&VanduID=5551234567&Password=9999&MessageID=" + id + "&AudioType=0", 403},
        {kCgi + "GetMessage2&VanduID=5550000000&Password=1234&MessageID=" + id + "&AudioType=0", 403},
        {kCgi + "GetMessage2&VanduID=5559876543&Password=4321&MessageID=" + id + "&AudioType=0", 404},
        {kCgi + "GetMessage2&VanduID=5551234567&Password=1234&MessageID=99999&AudioType=0", 404},
        {kCgi + "GetMessage2&VanduID=5551234567&Password=1234&MessageID=1 OR 1=1&AudioType=0", 404},
        {kCgi + "GetMessage2&VanduID=5551234567&Password=1234&MessageID=" + id, 404},
        {kCgi + "MarkMessageAsRead&VanduID=5551234567&Password=9999&MessageID=" + id, 403},
        {kCgi + "MarkMessageAsRead&VanduID=5551234567&Password=1234", 404},
        {kCgi + "SetGetUserInfo&VanduID=5551234567&Password=9999&Version=4.2", 200},
        {kCgi + "SetGetUserInfo&VanduID=5551234567", 404},
        {kCgi + "SendTextMessage&VanduID=5551234567&From=5559876543", 404},
        {kCgi + "AddLogSponsorClick&SponsorID=1&VanduID=5551234567", 200},
        {"/cgi-bin/log.dll?MfcISAPICommand=Add&Str=x-IP=1", 200},
        {"/cgi-bin/log.dll?MfcISAPICommand=Remove&Str=x", 404},
        {"/cgi-bin/log.dll?MfcISAPICommand=Add", 404},
        {kAsp + "pda_id_available.asp?VanduID=12ab", 200},
        {kAsp + "pda_signup.asp?VanduID=5551112222&Password=1111", 404},
        {kAsp + "nothing.asp?VanduID=5551234567", 404},
        {kAsp + "help.asp?VanduID=5551234567&Tok=1", 200},
        {"/images/sponsor-1.bmp", 404},
        {"/", 200},
        {"/etc/passwd", 404},
        {kCgi + "GetNewMessageIDs&VanduID=5551234567&Pad=" + std::string(300, 'x'), 404},
        {kCgi + "SendTextMessage&VanduID=5551234567&From=5559876543&Text=" + std::string(3000, 'x'), 404},
        {std::string(9000, '/'), 404},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.target.substr(0, 120));
        const CServiceResponse response = Get(row.target);
        EXPECT_EQ(response.Status, row.status);
        if (row.status != 200) {
            EXPECT_EQ(response.Body, "") << "a refusal carries no keys";
        }
    }
    EXPECT_EQ(m_store.WaitingIds("5551234567").size(), 1u) << "nothing above may have changed the messages";
    EXPECT_EQ(m_store.IntegrityCheck(), "ok");
}

TEST_F(ServiceHandlers, MessageStaysListedUntilMarkedRead)
{
    const std::string id = std::to_string(m_textId);
    const std::string list = kCgi + "GetNewMessageIDs&VanduID=5551234567";
    EXPECT_EQ(Get(list).Body, "Result=" + id + ";\n");
    const CServiceResponse message
        = Get(kCgi + "GetMessage2&VanduID=5551234567&Password=1234&MessageID=" + id + "&AudioType=1");
    EXPECT_NE(message.Body.find("\nType=2\nCallerID=\nCallerIDName=\nSenderVanduID=\n"), std::string::npos)
        << message.Body;
    EXPECT_EQ(message.Body.substr(message.Body.size() - 15), "\nMessage=first\n");
    EXPECT_EQ(Get(list).Body, "Result=" + id + ";\n");
    EXPECT_EQ(Get(kCgi + "MarkMessageAsRead&VanduID=5551234567&Password=1234&MessageID=" + id).Body, "Result=1\n");
    EXPECT_EQ(Get(list).Body, "Result=\n");
    EXPECT_EQ(Get(kCgi + "GetMessage2&VanduID=5551234567&Password=1234&MessageID=" + id + "&AudioType=1").Status, 404);
}

TEST_F(ServiceHandlers, SentTextsAreStoredWithBlanksForLineBreaks)
{
    const CServiceResponse sent
        = Get(kCgi + "SendTextMessage&VanduID=5551234567&From=5559876543&Text=one%09two%0D%0Athree%00Type%3D1");
    EXPECT_EQ(sent.Body, "Message=Your message was sent to Jane Doe.\n");
    const int64_t id = m_store.WaitingIds("5551234567").back();
    const CServiceResponse message
        = Get(kCgi + "GetMessage2&VanduID=5551234567&Password=1234&MessageID=" + std::to_string(id) + "&AudioType=0");
    EXPECT_NE(message.Body.find("\nType=3\n"), std::string::npos);
    EXPECT_NE(message.Body.find("\nSenderVanduID=5559876543\nFirstName=Sam\nLastName=Rivers\n"), std::string::npos);
    EXPECT_NE(message.Body.find("\nMessage=one two  three Type=1\n"), std::string::npos) << message.Body;

    EXPECT_EQ(Get(kCgi + "SendTextMessage&VanduID=5550000000&From=5559876543&Text=hi").Body,
        "Message=Sorry, 5550000000 is not a Vandu subscriber. The message was not sent.\n");
    EXPECT_EQ(m_store.WaitingIds("5551234567").size(), 2u);
}

TEST_F(ServiceHandlers, UserInfoPasswordAndRememberedAddress)
{
    EXPECT_EQ(Get(kCgi + "SetGetUserInfo&VanduID=5551234567&Password=1234&Version=4.2", "127.0.0.3").Body,
        "UserType=1\nFirstName=Jane\nLastName=Doe\nPhoneCenter1=1-888-VANDU-42\nIPAddress=127.0.0.3\n");
    EXPECT_EQ(m_store.FindSubscriber("5551234567")->LastAddress, "127.0.0.3");
    EXPECT_EQ(Get(kCgi + "SetGetUserInfo&VanduID=12ab&Password=1234&Version=4.2").Body, "UserType=4\n");
    EXPECT_EQ(Get(kCgi + "IsPasswordValid&VanduID=5551234567&Password=1234").Body, "Result=1\n");
    EXPECT_EQ(Get(kCgi + "IsPasswordValid&VanduID=5551234567&Password=1235", "127.0.0.4").Body, "Result=0\n");
    EXPECT_EQ(m_store.FindSubscriber("5551234567")->LastAddress, "127.0.0.9")
        << "a rejected request does not move the wake-up address";
}

TEST_F(ServiceHandlers, SignupCodes)
{
    const struct {
        const char* query;
        const char* result;
    } rows[] = {
        {"VanduID=5551234567&Password=1111&Email=a@b.cd&FirstName=Ann&LastName=Lee", "Result=3\n"},
        {"VanduID=555123&Password=1111&Email=a@b.cd&FirstName=Ann&LastName=Lee", "Result=4\n"},
        {"VanduID=5551112222&Password=11a1&Email=a@b.cd&FirstName=Ann&LastName=Lee", "Result=5\n"},
        {"VanduID=5551112222&Password=1111&Email=a@b.cd&FirstName=&LastName=Lee", "Result=6\n"},
        {"VanduID=5551112222&Password=1111&Email=a@b.cd&FirstName=Ann&LastName=L%0Aee", "Result=7\n"},
        {"VanduID=5551112222&Password=1111&Email=nobody&FirstName=Ann&LastName=Lee", "Result=8\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.query);
        EXPECT_EQ(Get(kAsp + "pda_signup.asp?" + row.query + "&VendorID=0").Body, row.result);
    }
    EXPECT_EQ(Get(kAsp + "pda_id_available.asp?VanduID=5551112222").Body, "Result=0\n");
    const std::string created = Get(kAsp
        + "pda_signup.asp?VanduID=5551112222&Password=1111&Email=a@b.cd&FirstName=Mary+Ann&LastName=Lee"
          "&VendorID=0")
                                    .Body;
    EXPECT_EQ(created.rfind("Result=0\nMessage=Welcome to Vandu, Mary Ann Lee!\n", 0), 0u) << created;
    EXPECT_GT(std::count(created.begin(), created.end(), '\n'), 3);
    // A welcome text waits for the new subscriber's first poll.
    const std::string ids = Get(kCgi + "GetNewMessageIDs&VanduID=5551112222").Body;
    ASSERT_EQ(ids.rfind("Result=", 0), 0u) << ids;
    EXPECT_EQ(std::count(ids.begin(), ids.end(), ';'), 1) << ids;
    EXPECT_EQ(Get(kAsp + "pda_id_available.asp?VanduID=5551112222").Body, "Result=1\n");
    EXPECT_EQ(Get(kAsp + "pda_id_available.asp?VanduID=55511122223").Body, "Result=2\n");
}

TEST_F(ServiceHandlers, SponsorAndVendor)
{
    EXPECT_EQ(Get(kCgi + "GetSponsorID&VanduID=5551234567").Body, "Result=0\n");
    EXPECT_EQ(Get(kAsp + "pda_get_vendor_logo2.asp?VanduID=5551234567").Body, "Description=\nURL=\n");
    const std::string picture = CDemoContent::MakeBanner(150, 75, 0xFF0000, 0x00FF00);
    ASSERT_EQ(m_store.SetBanner(kSponsorBanner, {"42", "Coffee", "http://x.test/", picture, false}), 0);
    ASSERT_EQ(m_store.SetBanner(kVendorBanner, {"", "Shop", "http://y.test/", picture, false}), 0);
    EXPECT_EQ(Get(kCgi + "GetSponsorID&VanduID=5551234567").Body, "Result=42\n");
    EXPECT_EQ(Get(kCgi + "GetSponsor&VanduID=5551234567").Body,
        "SponsorID=42\nDescription=Coffee\nURL=http://x.test/\nImageURL=\nImageFile=" + picture);
    EXPECT_EQ(Get(kAsp + "pda_get_vendor_logo2.asp?VanduID=5551234567").Body,
        "Description=Shop\nURL=http://y.test/\nImage=" + picture);

    ASSERT_EQ(m_store.SetBanner(kSponsorBanner, {"43", "Tea", "http://x.test/", picture, true}), 0);
    EXPECT_EQ(Get(kCgi + "GetSponsor&VanduID=5551234567").Body,
        "SponsorID=43\nDescription=Tea\nURL=http://x.test/\n"
        "ImageURL=http://127.0.0.1:8026/images/sponsor-43.bmp\n");
    EXPECT_EQ(Get("/images/sponsor-43.bmp").Body, picture);
    EXPECT_EQ(Get("/images/sponsor-42.bmp").Status, 404) << "an old sponsor's picture is gone";
}

TEST_F(ServiceHandlers, AccountPagesAreEscapedHtml)
{
    ASSERT_EQ(m_store.AddSubscriber({"5550001111", "1111", "<b>Bob</b>", "O'Hara", "bob@mail.test", ""}), 0);
    const CServiceResponse page = Get(kCgi + "OLLogin&VanduID=5550001111&Password=1111");
    EXPECT_EQ(page.ContentType.rfind("text/html", 0), 0u);
    EXPECT_NE(page.Body.find("&lt;b&gt;Bob&lt;/b&gt;"), std::string::npos);
    EXPECT_EQ(page.Body.find("<b>Bob"), std::string::npos);
    EXPECT_NE(Get(kCgi + "OLLogin&VanduID=5550001111&Password=1111&Destination=OLSettings").Body.find("bob@mail.test"),
        std::string::npos);
    EXPECT_NE(Get(kCgi + "OLLogin&VanduID=5550001111&Password=1111&Destination=OLGreeting").Body.find("greeting"),
        std::string::npos);
    EXPECT_NE(Get(kCgi + "OLLogin&VanduID=5550001111&Password=2222").Body.find("Sign-in failed"), std::string::npos);
    EXPECT_NE(Get(kAsp + "cfwd-signup1.asp?VanduID=5550001111&Tok=x").Body.find("555-000-1111"), std::string::npos);
}

TEST_F(ServiceHandlers, VoiceAnswerEndsInTheRecordingOfTheAskedType)
{
    CConvertedRecording recording;
    std::string error;
    ASSERT_EQ(CAudioConverter::Convert(CDemoContent::MakeRecording(8000, 1, 0.5), recording, error), 0) << error;
    CServiceMessage voice;
    voice.SubscriberId = "5551234567";
    voice.CallerId = "555\t0142";
    voice.CallerName = "Pat\nCaller";
    voice.GsmWave = recording.GsmWave;
    voice.PcmWave = recording.PcmWave;
    const std::string id = std::to_string(CMessageDelivery::Deliver(m_store, voice, false, 0).MessageId);
    const std::string ask = kCgi + "GetMessage2&VanduID=5551234567&Password=1234&MessageID=" + id + "&AudioType=";
    const std::string gsm = Get(ask + "0").Body;
    const std::string head = "\nType=1\nCallerID=555 0142\nCallerIDName=Pat Caller\nSenderVanduID=\nFirstName=\n"
                             "LastName=\nMessage=";
    ASSERT_NE(gsm.find(head), std::string::npos) << gsm.substr(0, 200);
    EXPECT_EQ(gsm.substr(gsm.find(head) + head.size()), recording.GsmWave);
    const std::string pcm = Get(ask + "1").Body;
    EXPECT_EQ(pcm.substr(pcm.find(head) + head.size()), recording.PcmWave);
}
