// The request jobs and account operations against the real reference service on loopback, also
// through a real proxy, and a recording that cannot be written whole.

#include "agent/service/ServiceJob.h"
#include "tests/agent/service/JobTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <dirent.h>
#include <fstream>
#include <sstream>

using namespace vandu::test;

namespace {

constexpr const char* kBob = "5551234567";
constexpr const char* kBobPassword = "1234";
constexpr const char* kAnn = "5557654321";
constexpr const char* kAnnPassword = "4321";

// A WAV file whose RIFF size says how long the whole file is: so a cut-off shows.
bool IsWholeWave(const std::string& bytes)
{
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        return false;
    }
    uint32_t size = 0;
    for (int i = 3; i >= 0; --i) {
        size = (size << 8) | static_cast<unsigned char>(bytes[4 + i]);
    }
    return size + 8 == bytes.size();
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        ::closedir(dir);
    }
    return names;
}

// The service with Bob (who receives) and Ann (who sends) as subscribers.
class ServiceJobService : public ::testing::Test {
protected:
    void SetUp() override
    {
        VANDU_REQUIRE_PEER(!VanduServiceProgram().empty(), "vandu-service (build the vandu-service target)");
        StartService("127.0.0.1");
    }

    void StartService(const std::string& host)
    {
        m_service = std::make_unique<CVanduService>(m_data.Path(), host);
        ASSERT_TRUE(m_service->Running());
        m_home = std::make_unique<CServiceHome>(m_service->Home());
        ASSERT_EQ(Admin({"add-subscriber", kBob, kBobPassword, "Bob", "Ray", "bob@example.org"}), 0);
        ASSERT_EQ(Admin({"add-subscriber", kAnn, kAnnPassword, "Ann", "Lee", "ann@example.org"}), 0);
    }

    int Admin(const std::vector<std::string>& args, std::string* output = nullptr)
    {
        return m_service->Admin(args, output);
    }

    // A recording of the given size deposited for Bob.
    void DepositVoice(std::size_t bytes, const std::string& callerName = "Carl")
    {
        const std::string path = m_data.File("voice.wav");
        WriteFile(path, MakeWave(bytes));
        ASSERT_EQ(
            Admin({"deposit-voice", kBob, path, "--caller-id", "5550001", "--caller-name", callerName, "--no-wake"}),
            0);
    }

    std::string Waiting(const std::string& id)
    {
        std::string output;
        EXPECT_EQ(Admin({"list", id}, &output), 0);
        return output;
    }

    TempDir m_data;
    std::unique_ptr<CVanduService> m_service;
    std::unique_ptr<CServiceHome> m_home;
};

} // namespace

TEST_F(ServiceJobService, FullPollOfVoiceAndTexts)
{
    DepositVoice(16044);
    ASSERT_EQ(Admin({"deposit-text", kBob, "Hello there", "--from", kAnn, "--no-wake"}), 0);
    ASSERT_EQ(Admin({"deposit-text", kBob, "Plain", "--no-wake"}), 0);
    CJobRig rig(kBob, kBobPassword);
    rig.Settings.SetAudioType(1);
    CServiceJob job;

    RunJob(job, rig, REQUEST_POLL);

    EXPECT_EQ(job.NewMessages(), 1);
    ASSERT_EQ(rig.Store->Count(), 3);
    EXPECT_EQ(rig.Store->UnreadCount(), 3);
    const CStoredMessage voice = *rig.Store->MessageAt(0);
    EXPECT_EQ(voice.Type(), 1);
    EXPECT_EQ(voice.VoiceFile(), std::string(kBob) + "1.wav");
    EXPECT_EQ(voice.CallerId(), "5550001");
    EXPECT_EQ(voice.CallerIdName(), "Carl");
    EXPECT_TRUE(IsWholeWave(ReadFile(rig.MsgFile(voice.VoiceFile()))));
    EXPECT_EQ(rig.Store->MessageAt(1)->Text(), "Hello there (from: Ann Lee)");
    EXPECT_EQ(rig.Store->MessageAt(1)->SenderVanduID(), kAnn);
    EXPECT_EQ(rig.Store->MessageAt(2)->Text(), "Plain");
    EXPECT_EQ(rig.Store->CurrentIndex(), 2);
    EXPECT_TRUE(rig.Connection.IsOnline());
    EXPECT_EQ(Waiting(kBob), "");

    // The message file was saved: a fresh store over the folder finds the three messages.
    CJobRig reader(kBob, kBobPassword, rig.Folder);
    EXPECT_EQ(reader.Store->Count(), 3);

    // Nothing waits any more: the next poll brings nothing.
    RunJob(job, rig, REQUEST_POLL);
    EXPECT_EQ(job.NewMessages(), 0);
    EXPECT_EQ(rig.Store->Count(), 3);
}

TEST_F(ServiceJobService, SponsorAndVendorPictures)
{
    const std::string sponsorPicture = std::string("BM\0\0sponsor-picture\t\n", 21);
    const std::string vendorPicture = std::string("BM\0\0vendor\0logo", 15);
    WriteFile(m_data.File("s.bmp"), sponsorPicture);
    WriteFile(m_data.File("v.bmp"), vendorPicture);
    ASSERT_EQ(Admin({"set-sponsor", "S1", "Shoes", "http://shoes.example/", m_data.File("s.bmp")}), 0);
    ASSERT_EQ(Admin({"set-vendor", "Shop", "http://shop.example/", m_data.File("v.bmp")}), 0);
    CJobRig rig(kBob, kBobPassword);
    CServiceJob sponsorJob;
    CServiceJob vendorJob;

    RunJob(sponsorJob, rig, REQUEST_SPONSOR);
    RunJob(vendorJob, rig, REQUEST_VENDORLOGO);

    EXPECT_EQ(sponsorJob.NewItem(), 1);
    EXPECT_EQ(ReadFile(rig.MsgFile("sponsor.bmp")), sponsorPicture);
    EXPECT_EQ(rig.Store->HeaderValues().SponsorID, "S1");
    EXPECT_EQ(rig.Store->HeaderValues().SponsorDesc, "Shoes");
    EXPECT_EQ(rig.Store->HeaderValues().SponsorURL, "http://shoes.example/");
    EXPECT_EQ(vendorJob.NewItem(), 1);
    EXPECT_EQ(ReadFile(rig.MsgFile("vendor.bmp")), vendorPicture);
    EXPECT_EQ(rig.Store->HeaderValues().VendorDesc, "Shop");
    EXPECT_EQ(rig.Store->HeaderValues().VendorURL, "http://shop.example/");

    // The same sponsor again is not downloaded again; a new one named by URL is.
    RunJob(sponsorJob, rig, REQUEST_SPONSOR);
    EXPECT_EQ(sponsorJob.NewItem(), 0);
    const std::string byUrl = std::string("BM\0\0by-url", 10);
    WriteFile(m_data.File("s2.bmp"), byUrl);
    ASSERT_EQ(Admin({"set-sponsor", "S2", "Hats", "http://hats.example/", m_data.File("s2.bmp"), "--by-url"}), 0);
    RunJob(sponsorJob, rig, REQUEST_SPONSOR);
    EXPECT_EQ(sponsorJob.NewItem(), 1);
    EXPECT_EQ(ReadFile(rig.MsgFile("sponsor.bmp")), byUrl);
    EXPECT_EQ(rig.Store->HeaderValues().SponsorID, "S2");

    // Saved with the message file.
    CJobRig reader(kBob, kBobPassword, rig.Folder);
    EXPECT_EQ(reader.Store->HeaderValues().SponsorID, "S2");
    EXPECT_EQ(reader.Store->HeaderValues().VendorDesc, "Shop");
}

TEST_F(ServiceJobService, UserInfoAndPasswordCheck)
{
    CJobRig rig(kBob, kBobPassword);
    CServiceJob job;
    RunJob(job, rig, REQUEST_USERINFO);
    EXPECT_EQ(rig.Account.GetLoginOk(), 1);
    EXPECT_EQ(rig.Account.GetFirstName(), "Bob");
    EXPECT_EQ(rig.Account.GetLastName(), "Ray");
    EXPECT_FALSE(rig.Account.GetTollFreeNumber().empty());
    job.CheckPassword();
    EXPECT_EQ(rig.Account.GetLoginOk(), 1);

    rig.Settings.SetPassword("9999");
    job.CheckPassword();
    EXPECT_EQ(rig.Account.GetLoginOk(), 0);
    rig.Account.SetLoginOk(1);
    RunJob(job, rig, REQUEST_USERINFO);
    EXPECT_EQ(rig.Account.GetLoginOk(), 0);
}

TEST_F(ServiceJobService, IdCheckSignupAndTextMessage)
{
    CJobRig rig(kBob, kBobPassword);
    CServiceJob job;
    job.SetInputs(rig.Store.get(), &rig.Settings, &rig.Connection, &rig.Account);

    job.CheckIdAvailable(kAnn);
    EXPECT_EQ(rig.Account.GetIdAvailable(), 0);
    EXPECT_EQ(rig.Account.GetIdMessage(), "This Vandu ID is already taken.\nPlease choose another one.");
    job.CheckIdAvailable("5550009999");
    EXPECT_EQ(rig.Account.GetIdAvailable(), 1);

    job.Signup("5550009999", "2468", "new@example.org", "Nora", "Quinn");
    EXPECT_EQ(rig.Account.GetSignupOk(), 1);
    EXPECT_FALSE(rig.Account.GetSignupConfirmation().empty());
    job.CheckIdAvailable("5550009999");
    EXPECT_EQ(rig.Account.GetIdAvailable(), 0);
    job.Signup("5550009999", "2468", "new@example.org", "Nora", "Quinn");
    EXPECT_EQ(rig.Account.GetSignupOk(), 0);
    EXPECT_FALSE(rig.Account.GetSignupMessage().empty());

    job.SendTextMessage(kAnn, "Are you there? 100% & more");
    EXPECT_FALSE(job.ResultText().empty());
    EXPECT_NE(Waiting(kAnn), "");
    CJobRig ann(kAnn, kAnnPassword);
    CServiceJob poll;
    RunJob(poll, ann, REQUEST_POLL);
    ASSERT_EQ(ann.Store->Count(), 1);
    EXPECT_EQ(ann.Store->MessageAt(0)->Text(), "Are you there? 100% & more (from: Bob Ray)");
}

// A recording larger than what may be written: nothing is stored or marked, no partial file is
// left, and the next poll brings it whole.
TEST_F(ServiceJobService, UnwritableRecordingComesBackWithNextPoll)
{
    DepositVoice(100044);
    TempDir folderHome;
    const std::string folder = folderHome.File("msg");
    ::mkdir(folder.c_str(), 0755);
    const std::string home = m_service->Home();

    const int status = RunWithWriteLimit(30000, [&folder, &home] {
        CServiceHome serviceHome(home);
        CJobRig rig(kBob, kBobPassword, folder);
        rig.Settings.SetAudioType(1);
        CServiceJob job;
        job.SetInputs(rig.Store.get(), &rig.Settings, &rig.Connection, &rig.Account);
        job.SetKind(REQUEST_POLL);
        if (!job.Start()) {
            return 10;
        }
        job.Wait();
        if (job.NewMessages() != 0 || rig.Store->Count() != 0) {
            return 11;
        }
        return 0;
    });
    ASSERT_EQ(status, 0);
    for (const std::string& name : FolderEntries(folder)) {
        EXPECT_EQ(name, std::string(kBob) + ".vdm") << "left behind";
    }
    EXPECT_NE(Waiting(kBob).find("Carl"), std::string::npos);

    CJobRig rig(kBob, kBobPassword, folder);
    rig.Settings.SetAudioType(1);
    CServiceJob job;
    RunJob(job, rig, REQUEST_POLL);
    ASSERT_EQ(rig.Store->Count(), 1);
    const std::string recording = ReadFile(rig.MsgFile(std::string(kBob) + "1.wav"));
    EXPECT_GE(recording.size(), 100000u);
    EXPECT_TRUE(IsWholeWave(recording));
    EXPECT_EQ(Waiting(kBob), "");
}

namespace {

// The commands tinyproxy passed on, in order, named as the service names them.
std::vector<std::string> ProxiedCommands(const std::string& log)
{
    std::vector<std::string> commands;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t request = line.find("Request (file descriptor ");
        const std::size_t get = line.find("): GET http://", request);
        if (request == std::string::npos || get == std::string::npos) {
            continue;
        }
        std::string target = line.substr(line.find('/', get + 14) + 1);
        for (const std::string prefix : {"cgi-bin/MessageManager.dll?", "asp/misc/"}) {
            if (target.rfind(prefix, 0) == 0) {
                target.erase(0, prefix.size());
            }
        }
        commands.push_back(target.substr(0, target.find_first_of("&?/ ")));
    }
    return commands;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

} // namespace

class ServiceJobProxy : public ServiceJobService {
protected:
    void SetUp() override
    {
        VANDU_REQUIRE_PEER(!VanduServiceProgram().empty(), "vandu-service (build the vandu-service target)");
        const std::string tinyproxy = FindProgram("tinyproxy");
        VANDU_REQUIRE_PEER(!tinyproxy.empty(), "tinyproxy");
        // Not on 127.0.0.1: the client sends that address direct even with a proxy.
        StartService("127.0.0.2");
        m_proxyPort = FreeLoopbackPort();
        std::string config = ReadFile(std::string(VANDU_TEST_DATA_DIR) + "/service/tinyproxy.conf");
        config = ReplaceAll(ReplaceAll(config, "@DIR@", m_proxyDir.Path()), "@PORT@", std::to_string(m_proxyPort));
        WriteFile(m_proxyDir.File("tinyproxy.conf"), config);
        m_proxy = std::make_unique<CChildProcess>(
            std::vector<std::string> {tinyproxy, "-d", "-c", m_proxyDir.File("tinyproxy.conf")});
        ASSERT_TRUE(WaitForPort("127.0.0.1", m_proxyPort, 10000));
    }

    std::string StopProxyAndReadLog()
    {
        m_proxy->Stop();
        return ReadFile(m_proxyDir.File("tinyproxy.log"));
    }

    TempDir m_proxyDir;
    int m_proxyPort = 0;
    std::unique_ptr<CChildProcess> m_proxy;
};

TEST_F(ServiceJobProxy, PollSponsorAndVendorGoThroughProxyAccountDirect)
{
    DepositVoice(4044);
    ASSERT_EQ(Admin({"deposit-text", kBob, "Hello", "--from", kAnn, "--no-wake"}), 0);
    WriteFile(m_data.File("s.bmp"), "BMsponsor");
    ASSERT_EQ(Admin({"set-sponsor", "S1", "Shoes", "http://shoes.example/", m_data.File("s.bmp"), "--by-url"}), 0);
    ASSERT_EQ(Admin({"set-vendor", "Shop", "http://shop.example/", m_data.File("s.bmp")}), 0);
    CJobRig rig(kBob, kBobPassword);
    rig.Settings.SetProxyName("127.0.0.1");
    rig.Settings.SetProxyPort(std::to_string(m_proxyPort));
    CServiceJob poll;
    CServiceJob sponsor;
    CServiceJob vendor;
    CServiceJob userInfo;

    RunJob(poll, rig, REQUEST_POLL);
    RunJob(sponsor, rig, REQUEST_SPONSOR);
    RunJob(vendor, rig, REQUEST_VENDORLOGO);
    RunJob(userInfo, rig, REQUEST_USERINFO);
    userInfo.CheckPassword();
    userInfo.CheckIdAvailable("5550009999");
    userInfo.SendTextMessage(kAnn, "direct");
    // An empty proxy name later does not switch the proxy off.
    rig.Settings.SetProxyName("");
    RunJob(vendor, rig, REQUEST_VENDORLOGO);

    EXPECT_EQ(rig.Store->Count(), 2);
    EXPECT_EQ(sponsor.NewItem(), 1);
    EXPECT_EQ(ReadFile(rig.MsgFile("sponsor.bmp")), "BMsponsor");
    EXPECT_EQ(vendor.NewItem(), 1);
    EXPECT_EQ(rig.Account.GetFirstName(), "Bob");
    EXPECT_EQ(rig.Account.GetLoginOk(), 1);
    EXPECT_EQ(rig.Account.GetIdAvailable(), 1);
    EXPECT_FALSE(userInfo.ResultText().empty());
    const std::vector<std::string> expected = {
        "GetNewMessageIDs",
        "GetMessage2",
        "MarkMessageAsRead",
        "GetMessage2",
        "MarkMessageAsRead",
        "GetSponsorID",
        "GetSponsor",
        "images", // the sponsor picture named by URL
        "pda_get_vendor_logo2.asp",
        "pda_get_vendor_logo2.asp",
    };
    EXPECT_EQ(ProxiedCommands(StopProxyAndReadLog()), expected);
}
