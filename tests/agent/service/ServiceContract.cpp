// What the agent relies on from any message service, checked against a running one:
//   vandu_service_contract --base http://HOST:PORT --id ID --password PW [--free-id ID] [gtest flags]
// The runner seeds the service first: subscriber ID with password PW, exactly one voice message,
// one type-2 text (no sender) and one type-3 text (from another subscriber) waiting, a sponsor
// and a vendor. The checks consume the fixture (messages are marked read, one account is created),
// so the service must be seeded again before the next run. Tests run in the order written.

#include "agent/net/HttpClient.h"
#include "agent/net/Url.h"
#include "agent/service/ServiceAnswers.h"
#include "agent/service/ServiceCommands.h"
#include "agent/service/ServiceConfig.h"
#include "agent/service/ServiceResponse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

struct ContractOptions {
    std::string home;
    std::string id;
    std::string password;
    std::string freeId;
};

ContractOptions g_options;

// A password that differs from the real one in every digit.
std::string WrongPassword()
{
    std::string wrong = g_options.password.empty() ? "0000" : g_options.password;
    for (char& c : wrong) {
        c = (c >= '0' && c <= '9') ? static_cast<char>('0' + (c - '0' + 1) % 10) : '0';
    }
    return wrong;
}

std::string TextPart(const std::string& body)
{
    return body.substr(0, body.find('\0'));
}

// Occurrences of key in text, not counting those inside a longer key (URL= inside ImageURL=).
int CountKey(const std::string& text, const std::string& key)
{
    int count = 0;
    for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) {
        const bool insideLonger = at > 0 && std::isalpha(static_cast<unsigned char>(text[at - 1]));
        count += insideLonger ? 0 : 1;
    }
    return count;
}

// Every key stands once, before limit (the start of the raw data), in the key area of the answer.
void ExpectKeysOnce(const std::string& area, const std::vector<std::string>& keys, std::size_t limit)
{
    for (const std::string& key : keys) {
        SCOPED_TRACE(key);
        EXPECT_EQ(CountKey(area, key), 1) << "answer text: " << area;
        const std::size_t at = area.find(key);
        EXPECT_TRUE(at != std::string::npos && at < limit) << "key after the raw data";
    }
}

uint32_t Le32(const std::string& bytes, std::size_t at)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// The format tag of a RIFF/WAVE recording's "fmt " chunk; -1 when the file is not a sound WAV.
int WaveFormatTag(const std::string& wav)
{
    if (wav.size() < 12 || wav.compare(0, 4, "RIFF") != 0 || wav.compare(8, 4, "WAVE") != 0) {
        return -1;
    }
    EXPECT_EQ(Le32(wav, 4) + 8u, wav.size()) << "RIFF size does not match the recording";
    std::size_t at = 12;
    for (int chunks = 0; chunks < 64 && at + 8 <= wav.size(); ++chunks) {
        const uint32_t size = Le32(wav, at + 4);
        if (wav.compare(at, 4, "fmt ") == 0 && size >= 2 && at + 10 <= wav.size()) {
            return static_cast<unsigned char>(wav[at + 8]) | (static_cast<unsigned char>(wav[at + 9]) << 8);
        }
        at += 8 + size + (size & 1);
    }
    return -1;
}

bool IsDigits(const std::string& text, std::size_t minCount, std::size_t maxCount)
{
    return text.size() >= minCount && text.size() <= maxCount
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Splits "a<sep>b<sep>c" into exactly three fields of digits; false otherwise.
bool ThreeNumbers(const std::string& text, char separator, std::vector<std::string>& fields)
{
    fields.clear();
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t end = i < 2 ? text.find(separator, start) : text.size();
        if (end == std::string::npos) {
            return false;
        }
        fields.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

// Month/day/year and hour:minute:second, universal time: not ahead of the clock here.
void ExpectUniversalDateTime(const std::string& date, const std::string& time)
{
    std::vector<std::string> d;
    std::vector<std::string> t;
    ASSERT_TRUE(ThreeNumbers(date, '/', d) && IsDigits(d[0], 1, 2) && IsDigits(d[1], 1, 2)
        && (IsDigits(d[2], 2, 2) || IsDigits(d[2], 4, 4)))
        << "Date=" << date;
    ASSERT_TRUE(ThreeNumbers(time, ':', t) && IsDigits(t[0], 1, 2) && IsDigits(t[1], 2, 2) && IsDigits(t[2], 2, 2))
        << "Time=" << time;
    std::tm tm {};
    tm.tm_mon = std::stoi(d[0]) - 1;
    tm.tm_mday = std::stoi(d[1]);
    tm.tm_year = (d[2].size() == 2 ? 2000 + std::stoi(d[2]) : std::stoi(d[2])) - 1900;
    tm.tm_hour = std::stoi(t[0]);
    tm.tm_min = std::stoi(t[1]);
    tm.tm_sec = std::stoi(t[2]);
    EXPECT_TRUE(tm.tm_mon >= 0 && tm.tm_mon < 12 && tm.tm_mday >= 1 && tm.tm_mday <= 31 && tm.tm_hour < 24
        && tm.tm_min < 60 && tm.tm_sec < 60)
        << date << " " << time;
    EXPECT_LE(::timegm(&tm), std::time(nullptr) + 300) << "message time lies in the future: local time?";
}

// The text after "Result=": IDs each followed by ";", nothing else (a CR before the line feed allowed).
bool IsIdList(std::string list)
{
    if (!list.empty() && list.back() == '\r') {
        list.pop_back();
    }
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t semicolon = list.find(';', start);
        if (semicolon == std::string::npos || !IsDigits(list.substr(start, semicolon - start), 1, 10)) {
            return false;
        }
        start = semicolon + 1;
    }
    return true;
}

class ServiceContract : public ::testing::Test {
protected:
    std::string Cgi() const { return ServiceCgiBaseOf(g_options.home); }
    std::string Asp() const { return ServiceAspBaseOf(g_options.home); }

    // One GET; the body is only meaningful with 200.
    int Get(const std::string& urlText, std::string& body)
    {
        CUrl url;
        url.Parse(urlText);
        body.clear();
        int length = 0;
        return m_client.Fetch(url, body, length, "GET");
    }

    std::string GetOk(const std::string& urlText)
    {
        std::string body;
        EXPECT_EQ(Get(urlText, body), 200) << urlText;
        return body;
    }

    std::vector<int> WaitingIds()
    {
        const std::string body = GetOk(BuildGetNewMessageIDs(Cgi(), g_options.id));
        const std::string list = GetResponseValue(body, "Result=");
        EXPECT_TRUE(ResponseContains(body, "Result=")) << body;
        EXPECT_TRUE(IsIdList(list)) << "Result=" << list;
        return GetResponseIdList(body);
    }

    CMessageAnswer CheckMessage(int id, int audioType, std::string* recording);

    CHttpClient m_client;
};

CMessageAnswer ServiceContract::CheckMessage(int id, int audioType, std::string* recording)
{
    const std::string body = GetOk(BuildGetMessage2(Cgi(), g_options.id, g_options.password, id, audioType));
    const CMessageAnswer answer = ParseMessageAnswer(body);
    const std::string text = TextPart(body);
    const std::size_t message = text.find("Message=");
    EXPECT_NE(message, std::string::npos) << "no Message= in " << text;
    // The key area: all of it but the message text, which may quote anything.
    std::string area = text;
    if (message != std::string::npos) {
        const std::size_t length = answer.Type == kMessageTypeVoice ? std::string::npos : 8 + answer.Text.size();
        area.erase(message + 8, length == std::string::npos ? length : length - 8);
    }
    ExpectKeysOnce(area,
        {"Date=", "Time=", "Type=", "CallerID=", "CallerIDName=", "SenderVanduID=", "FirstName=", "LastName=",
            "Message="},
        answer.Type == kMessageTypeVoice ? message + 8 : std::string::npos);
    ExpectUniversalDateTime(answer.Date, answer.Time);
    if (answer.Type == kMessageTypeVoice && message != std::string::npos && recording != nullptr) {
        *recording = body.substr(message + 8);
        const std::filesystem::path path
            = std::filesystem::temp_directory_path() / ("vandu-contract-" + std::to_string(::getpid()) + ".wav");
        EXPECT_EQ(WriteMessageVoice(body, path.string()), 1);
        std::ifstream in(path, std::ios::binary);
        const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(written, *recording) << "recording not written byte for byte";
        std::filesystem::remove(path);
    }
    return answer;
}

TEST_F(ServiceContract, UserInfoAndPasswordCheck)
{
    const std::string good = GetOk(BuildSetGetUserInfo(Cgi(), g_options.id, g_options.password));
    ExpectKeysOnce(
        TextPart(good), {"UserType=", "FirstName=", "LastName=", "PhoneCenter1=", "IPAddress="}, std::string::npos);
    EXPECT_NE(ParseUserInfoAnswer(good).UserType, kUserTypeRejected) << good;

    const std::string bad = GetOk(BuildSetGetUserInfo(Cgi(), g_options.id, WrongPassword()));
    EXPECT_EQ(ParseUserInfoAnswer(bad).UserType, kUserTypeRejected) << bad;
    const std::string unknown = GetOk(BuildSetGetUserInfo(Cgi(), "12ab", g_options.password));
    EXPECT_EQ(ParseUserInfoAnswer(unknown).UserType, kUserTypeRejected) << unknown;

    EXPECT_TRUE(ParsePasswordValidAnswer(GetOk(BuildIsPasswordValid(Cgi(), g_options.id, g_options.password))));
    EXPECT_FALSE(ParsePasswordValidAnswer(GetOk(BuildIsPasswordValid(Cgi(), g_options.id, WrongPassword()))));
}

TEST_F(ServiceContract, MessagesStayListedUntilMarkedRead)
{
    const std::vector<int> ids = WaitingIds();
    ASSERT_EQ(ids.size(), 3u) << "fixture: one voice, one type-2 and one type-3 message waiting";
    std::vector<int> types;
    for (int id : ids) {
        SCOPED_TRACE("message " + std::to_string(id));
        std::string compressed;
        const CMessageAnswer answer = CheckMessage(id, 0, &compressed);
        types.push_back(answer.Type);
        if (answer.Type == kMessageTypeVoice) {
            EXPECT_EQ(WaveFormatTag(compressed), 49) << "AudioType 0 must give GSM 6.10";
            std::string plain;
            const CMessageAnswer again = CheckMessage(id, 1, &plain);
            EXPECT_EQ(again.Type, kMessageTypeVoice);
            EXPECT_EQ(WaveFormatTag(plain), 1) << "AudioType 1 must give PCM";
        } else if (answer.Type == 2) {
            EXPECT_EQ(answer.SenderVanduID, "");
        } else {
            EXPECT_NE(answer.SenderVanduID, "");
            EXPECT_NE(answer.SenderVanduID, g_options.id);
        }
    }
    std::sort(types.begin(), types.end());
    EXPECT_EQ(types, (std::vector<int> {1, 2, 3}));

    EXPECT_EQ(WaitingIds(), ids) << "fetching a message must not take it off the list";
    GetOk(BuildMarkMessageAsRead(Cgi(), g_options.id, g_options.password, ids[0]));
    EXPECT_EQ(WaitingIds(), (std::vector<int> {ids[1], ids[2]}));
    GetOk(BuildMarkMessageAsRead(Cgi(), g_options.id, g_options.password, ids[1]));
    GetOk(BuildMarkMessageAsRead(Cgi(), g_options.id, g_options.password, ids[2]));
    EXPECT_EQ(WaitingIds(), std::vector<int> {});
}

TEST_F(ServiceContract, TextMessageArrivesDecoded)
{
    const std::vector<int> before = WaitingIds();
    const std::string text = "Are you there? 5 & 6 = 11, -ok- 100% \xE9t\xE9";
    const std::string sent = GetOk(BuildSendTextMessage(Cgi(), g_options.id, g_options.id, text));
    EXPECT_TRUE(ResponseContains(sent, "Message=")) << sent;

    std::vector<int> added;
    for (int id : WaitingIds()) {
        if (std::find(before.begin(), before.end(), id) == before.end()) {
            added.push_back(id);
        }
    }
    ASSERT_EQ(added.size(), 1u);
    const CMessageAnswer answer = CheckMessage(added[0], 0, nullptr);
    EXPECT_NE(answer.Type, kMessageTypeVoice);
    EXPECT_EQ(answer.SenderVanduID, g_options.id);
    EXPECT_EQ(answer.Text, text);
    GetOk(BuildMarkMessageAsRead(Cgi(), g_options.id, g_options.password, added[0]));
    EXPECT_EQ(WaitingIds(), before);
}

TEST_F(ServiceContract, SponsorWithPicture)
{
    const std::string sponsorId = ParseSponsorIdAnswer(GetOk(BuildGetSponsorID(Cgi(), g_options.id)));
    ASSERT_TRUE(IsDigits(sponsorId, 1, 10)) << "Result=" << sponsorId;
    EXPECT_NE(sponsorId, "0") << "fixture: a sponsor";

    const std::string body = GetOk(BuildGetSponsor(Cgi(), g_options.id));
    const std::string text = TextPart(body);
    const std::size_t raw = text.find("ImageFile=");
    ExpectKeysOnce(text, {"SponsorID=", "Description=", "URL=", "ImageURL="}, raw);
    const std::size_t imageUrl = text.find("ImageURL=");
    EXPECT_TRUE(CountKey(text, "URL=") == 1 && text.find("URL=") < imageUrl) << "URL= must stand before ImageURL=";
    const CSponsorAnswer answer = ParseSponsorAnswer(body);
    EXPECT_EQ(answer.SponsorID, sponsorId);
    if (!answer.ImageURL.empty()) {
        EXPECT_EQ(GetOk(answer.ImageURL).compare(0, 2, "BM"), 0) << "ImageURL names no bitmap";
    } else {
        ASSERT_NE(raw, std::string::npos) << "neither ImageURL nor ImageFile";
        EXPECT_EQ(body.compare(raw + 10, 2, "BM"), 0) << "ImageFile= carries no bitmap";
    }
    GetOk(BuildAddLogSponsorClick(Cgi(), sponsorId, g_options.id));
}

TEST_F(ServiceContract, VendorWithLogo)
{
    const std::string body = GetOk(BuildGetVendorLogo(Asp(), g_options.id));
    const std::string text = TextPart(body);
    const std::size_t raw = text.find("Image=");
    ASSERT_NE(raw, std::string::npos) << "fixture: a vendor logo after Image=";
    ExpectKeysOnce(text, {"Description=", "URL="}, raw);
    EXPECT_EQ(body.compare(raw + 6, 2, "BM"), 0) << "Image= carries no bitmap";
}

TEST_F(ServiceContract, IdAvailabilityAndSignupCodes)
{
    const std::string freeId = g_options.freeId;
    EXPECT_EQ(ParseIdAvailableAnswer(GetOk(BuildIdAvailable(Asp(), g_options.id))), 1);
    EXPECT_EQ(ParseIdAvailableAnswer(GetOk(BuildIdAvailable(Asp(), "12ab"))), 2);
    ASSERT_EQ(ParseIdAvailableAnswer(GetOk(BuildIdAvailable(Asp(), freeId))), 0) << freeId << " is not free";

    const struct {
        const char* name;
        CSignupValues values;
        int code;
    } failures[] = {
        {"ID taken", {g_options.id, "1234", "ann@mail.test", "Mary Ann", "Tester"}, 3},
        {"ID not valid", {"12ab", "1234", "ann@mail.test", "Mary Ann", "Tester"}, 4},
        {"password not valid", {freeId, "12a", "ann@mail.test", "Mary Ann", "Tester"}, 5},
    };
    for (const auto& c : failures) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseSignupAnswer(GetOk(BuildSignup(Asp(), c.values))).Result, c.code);
    }

    const CSignupAnswer created
        = ParseSignupAnswer(GetOk(BuildSignup(Asp(), {freeId, "4321", "ann@mail.test", "Mary Ann", "Tester"})));
    EXPECT_EQ(created.Result, 0);
    EXPECT_EQ(ParseIdAvailableAnswer(GetOk(BuildIdAvailable(Asp(), freeId))), 1);
    const CUserInfoAnswer info = ParseUserInfoAnswer(GetOk(BuildSetGetUserInfo(Cgi(), freeId, "4321")));
    EXPECT_NE(info.UserType, kUserTypeRejected);
    EXPECT_EQ(info.FirstName, "Mary Ann") << "signup values must arrive decoded";
    EXPECT_TRUE(ParsePasswordValidAnswer(GetOk(BuildIsPasswordValid(Cgi(), freeId, "4321"))));
}

TEST_F(ServiceContract, RemoteLogIsAccepted)
{
    GetOk(BuildRemoteLog(Cgi(), g_options.id + "-v4.2-OK-0"));
    GetOk(BuildRemoteLog(Cgi(), g_options.id + "-v4.2-0-1--80-IP=127.0.0.1"));
}

// A 10-digit ID that starts like a phone number and is most likely unused.
std::string RandomFreeId()
{
    std::random_device device;
    std::mt19937 random(device());
    std::string id(1, static_cast<char>('2' + random() % 8));
    while (id.size() < 10) {
        id += static_cast<char>('0' + random() % 10);
    }
    return id;
}

int Usage()
{
    std::fprintf(stderr,
        "usage: vandu_service_contract --base http://HOST:PORT --id ID --password PW "
        "[--free-id ID] [gtest flags]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        std::string* target = name == "--base" ? &g_options.home
            : name == "--id"                   ? &g_options.id
            : name == "--password"             ? &g_options.password
            : name == "--free-id"              ? &g_options.freeId
                                               : nullptr;
        if (target == nullptr) {
            return Usage();
        }
        *target = argv[i + 1];
    }
    if (argc % 2 == 0 || g_options.home.empty() || g_options.id.empty() || g_options.password.empty()) {
        return Usage();
    }
    g_options.home = ServiceHomeFrom(g_options.home.c_str());
    if (g_options.freeId.empty()) {
        g_options.freeId = RandomFreeId();
    }
    return RUN_ALL_TESTS();
}
