// The request jobs against a scripted loopback server: the failure paths, the online rule, the
// account codes, the remote log report and the jobs running together on one store.

#include "agent/service/RemoteLogState.h"
#include "agent/service/ServiceJob.h"
#include "tests/agent/service/JobTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <tuple>

using namespace vandu::test;

namespace {

class CRecordingNotifier : public ICompletionNotifier {
public:
    void Notify(int messageId) override { m_last.store(messageId); }
    std::atomic<int> m_last {0};
};

std::time_t UtcTime(int year, int month, int day)
{
    std::tm parts {};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = 12;
    return timegm(&parts);
}

} // namespace

TEST(ServiceJobPoll, FailedDownloadSkipsOnlyThatMessage)
{
    CScriptedServer server;
    server.On("GetNewMessageIDs&VanduID=7", {{200, "Result=21;22;"}});
    server.On("GetMessage2&VanduID=7&Password=1234&MessageID=21&AudioType=0", {{500, "busy"}});
    server.On("GetMessage2&VanduID=7&Password=1234&MessageID=22", {{200, TextAnswer("Second")}});
    server.On("MarkMessageAsRead", {{200, "Result=1"}});
    CServiceHome home(server.Home());
    CJobRig rig;
    CServiceJob job;
    CRecordingNotifier notifier;
    job.SetNotify(&notifier, 1225);

    RunJob(job, rig, REQUEST_POLL);

    EXPECT_EQ(notifier.m_last.load(), 1225);
    EXPECT_EQ(job.NewMessages(), 1);
    ASSERT_EQ(rig.Store->Count(), 1);
    EXPECT_EQ(rig.Store->MessageAt(0)->Text(), "Second");
    EXPECT_EQ(rig.Store->MessageAt(0)->Read(), 0);
    EXPECT_EQ(server.Count("MarkMessageAsRead&VanduID=7&Password=1234&MessageID=22"), 1);
    EXPECT_EQ(server.Count("MarkMessageAsRead&VanduID=7&Password=1234&MessageID=21"), 0);
    EXPECT_TRUE(PathExists(rig.MsgFile("7.vdm")));
}

TEST(ServiceJobPoll, MessageListedTwiceIsStoredTwice)
{
    CScriptedServer server;
    server.On("GetNewMessageIDs", {{200, "Result=5;5;"}});
    server.On("GetMessage2", {{200, TextAnswer("Hi")}});
    server.On("MarkMessageAsRead", {{500, ""}});
    CServiceHome home(server.Home());
    CJobRig rig;
    CServiceJob job;

    RunJob(job, rig, REQUEST_POLL);

    EXPECT_EQ(rig.Store->Count(), 2);
    EXPECT_EQ(server.Count("GetMessage2"), 2);
    EXPECT_EQ(server.Count("MarkMessageAsRead"), 2);
}

TEST(ServiceJobPoll, TextsAndVoiceAnswers)
{
    const std::string recording = MakeWave(3000);
    CScriptedServer server;
    server.On("GetNewMessageIDs", {{200, "Result=1;2;3;4;"}});
    server.On("MessageID=1&", {{200, TextAnswer("Hello", "5550001")}});
    server.On("MessageID=2&", {{200, TextAnswer("Plain")}});
    server.On("MessageID=3&", {{200, "Date=1/2/1999\nTime=1:02:03\nType=1\nCallerID=5551234\nCallerIDName=Bob\n"}});
    server.On("MessageID=4&", {{200, "Date=1/2/1999\nTime=1:02:03\nType=1\nCallerID=5551234\nMessage=" + recording}});
    server.On("MarkMessageAsRead", {{200, ""}});
    CServiceHome home(server.Home());
    CJobRig rig;
    rig.Settings.SetAudioType(1);
    CServiceJob job;

    RunJob(job, rig, REQUEST_POLL);

    ASSERT_EQ(rig.Store->Count(), 4);
    EXPECT_EQ(server.Count("AudioType=1"), 4);
    EXPECT_EQ(rig.Store->MessageAt(0)->Text(), "Hello (from: Ann Lee)");
    EXPECT_EQ(rig.Store->MessageAt(1)->Text(), "Plain");
    // No recording in the answer: stored under its name all the same, without a file.
    EXPECT_EQ(rig.Store->MessageAt(2)->VoiceFile(), "73.wav");
    EXPECT_EQ(rig.Store->MessageAt(2)->Text(), "");
    EXPECT_EQ(rig.Store->MessageAt(2)->CallerIdName(), "Bob");
    EXPECT_FALSE(PathExists(rig.MsgFile("73.wav")));
    EXPECT_EQ(rig.Store->MessageAt(3)->VoiceFile(), "74.wav");
    EXPECT_EQ(ReadFile(rig.MsgFile("74.wav")), recording);
    EXPECT_EQ(server.Count("MarkMessageAsRead"), 4);
    EXPECT_EQ(rig.Store->CurrentIndex(), 3);
}

TEST(ServiceJobPoll, EmptyListSavesNothingAndReportsNothing)
{
    CScriptedServer server;
    server.On("GetNewMessageIDs", {{200, "Result="}});
    server.On("log.dll", {{200, ""}});
    CServiceHome home(server.Home());
    CJobRig rig;
    CFixedTime allowed;
    allowed.m_now = UtcTime(1999, 3, 1);
    CRemoteLogState logState;
    CServiceJob job;
    job.SetRemoteLogState(&logState, &allowed);

    RunJob(job, rig, REQUEST_POLL);

    EXPECT_EQ(job.NewMessages(), 0);
    EXPECT_EQ(rig.Store->Count(), 0);
    EXPECT_FALSE(PathExists(rig.MsgFile("7.vdm")));
    EXPECT_EQ(server.Count("log.dll"), 0);
    EXPECT_EQ(logState.StartupPending(), 0);
}

TEST(ServiceJobPoll, FailedListLeavesStartupPending)
{
    CScriptedServer server;
    server.On("GetNewMessageIDs", {{503, "Result=1;"}});
    CServiceHome home(server.Home());
    CJobRig rig;
    CRemoteLogState logState;
    CServiceJob job;
    job.SetRemoteLogState(&logState);

    RunJob(job, rig, REQUEST_POLL);

    EXPECT_EQ(logState.StartupPending(), 1);
    EXPECT_EQ(server.Count("GetMessage2"), 0);
}

// The online flag after one command of each job and operation, from either start value.
TEST(ServiceJobOnline, RuleAndItsExceptions)
{
    using Operation = std::function<void(CServiceJob&, CJobRig&)>;
    auto kind = [](int k) { return Operation([k](CServiceJob& job, CJobRig& rig) { RunJob(job, rig, k); }); };
    const std::vector<std::pair<std::string, Operation>> operations = {
        {"poll", kind(REQUEST_POLL)},
        {"sponsor", kind(REQUEST_SPONSOR)},
        {"userinfo", kind(REQUEST_USERINFO)},
        {"clicklog", kind(REQUEST_CLICKLOG)},
        {"vendor", kind(REQUEST_VENDORLOGO)},
        {"password", [](CServiceJob& job, CJobRig&) { job.CheckPassword(); }},
        {"text", [](CServiceJob& job, CJobRig&) { job.SendTextMessage("8", "hi"); }},
        {"idcheck", [](CServiceJob& job, CJobRig&) { job.CheckIdAvailable("9"); }},
        {"signup", [](CServiceJob& job, CJobRig&) { job.Signup("9", "1234", "a@b", "A", "B"); }},
    };
    auto expected = [](const std::string& op, int status, bool before) {
        const bool strict = op == "idcheck" || op == "signup";
        if (status == 200) {
            return op == "vendor" ? before : true;
        }
        if (status == -1) {
            return false;
        }
        return strict ? false : before;
    };
    for (const int status : {200, 500, -1}) {
        CScriptedServer server;
        server.On("", {{status, "Result=0"}});
        CServiceHome home(status == -1 ? DeadHome() : server.Home());
        for (const auto& [name, operation] : operations) {
            for (const bool before : {false, true}) {
                SCOPED_TRACE(name + " status " + std::to_string(status) + " before " + std::to_string(before));
                CJobRig rig;
                CServiceJob job;
                rig.Connection.SetOnline(before);
                job.SetInputs(rig.Store.get(), &rig.Settings, &rig.Connection, &rig.Account);
                operation(job, rig);
                EXPECT_EQ(rig.Connection.IsOnline(), expected(name, status, before));
            }
        }
    }
}

TEST(ServiceJobSponsor, DownloadOnlyWhenNamedSponsorIsNew)
{
    struct SCase {
        const char* name;
        std::string sponsorIdAnswer;
        std::string storedSponsor;
        int expectedGetSponsor;
    };
    const std::vector<SCase> cases = {
        {"no sponsor", "Result=0\n", "", 0},
        {"same sponsor", "Result=S1\n", "S1", 0},
        {"new sponsor", "Result=S1\n", "S0", 1},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        CScriptedServer server;
        server.On("GetSponsorID", {{200, c.sponsorIdAnswer}});
        const std::string picture("BM\x01\x00\x02", 5);
        server.On("GetSponsor&",
            {{200,
                "SponsorID=S1\nDescription=Shoes\nURL=http://s.example/\nImageURL=\n"
                "ImageFile="
                    + picture}});
        CServiceHome home(server.Home());
        CJobRig rig;
        rig.Store->SetSponsorID(c.storedSponsor);
        CServiceJob job;

        RunJob(job, rig, REQUEST_SPONSOR);

        EXPECT_EQ(server.Count("GetSponsor&"), c.expectedGetSponsor);
        EXPECT_EQ(job.NewItem(), c.expectedGetSponsor);
        EXPECT_EQ(PathExists(rig.MsgFile("sponsor.bmp")), c.expectedGetSponsor == 1);
        if (c.expectedGetSponsor == 1) {
            EXPECT_EQ(ReadFile(rig.MsgFile("sponsor.bmp")), picture);
            EXPECT_EQ(rig.Store->HeaderValues().SponsorID, "S1");
            EXPECT_EQ(rig.Store->HeaderValues().SponsorDesc, "Shoes");
            EXPECT_EQ(rig.Store->HeaderValues().SponsorURL, "http://s.example/");
        }
    }
}

TEST(ServiceJobSponsor, ImageByUrl)
{
    CScriptedServer images;
    images.On("/good.bmp", {{200, std::string("BM\0\0picture", 11)}});
    CScriptedServer server;
    server.On("GetSponsorID", {{200, "Result=S2\n"}});
    server.On("GetSponsor&",
        {{200, "SponsorID=S2\nDescription=D\nURL=http://s/\nImageURL=" + images.Home() + "/missing.bmp\n"},
            {200, "SponsorID=S2\nDescription=D\nURL=http://s/\nImageURL=" + images.Home() + "/good.bmp\n"}});
    CServiceHome home(server.Home());
    CJobRig rig;
    rig.Store->SetSponsorID("S1");
    CServiceJob job;

    // The picture's server answers 404: nothing is taken over, so the next run tries again.
    RunJob(job, rig, REQUEST_SPONSOR);
    EXPECT_EQ(job.NewItem(), 0);
    EXPECT_FALSE(PathExists(rig.MsgFile("sponsor.bmp")));
    EXPECT_EQ(rig.Store->HeaderValues().SponsorID, "S1");

    RunJob(job, rig, REQUEST_SPONSOR);
    EXPECT_EQ(job.NewItem(), 1);
    EXPECT_EQ(ReadFile(rig.MsgFile("sponsor.bmp")), std::string("BM\0\0picture", 11));
    EXPECT_EQ(rig.Store->HeaderValues().SponsorID, "S2");
    EXPECT_EQ(images.Count("/missing.bmp"), 1);
    EXPECT_EQ(images.Count("/good.bmp"), 1);
}

TEST(ServiceJobVendor, LogoNeedsPictureBytes)
{
    CScriptedServer server;
    server.On("pda_get_vendor_logo2.asp?VanduID=7",
        {{200, "Description=Shop\nURL=http://v/\nImage="}, {200, "Description=Shop\nURL=http://v/\nImage=BMxy"}});
    CServiceHome home(server.Home());
    CJobRig rig;
    CServiceJob job;

    RunJob(job, rig, REQUEST_VENDORLOGO);
    EXPECT_EQ(job.NewItem(), 0);
    EXPECT_FALSE(PathExists(rig.MsgFile("vendor.bmp")));
    EXPECT_EQ(rig.Store->HeaderValues().VendorDesc, "");

    RunJob(job, rig, REQUEST_VENDORLOGO);
    EXPECT_EQ(job.NewItem(), 1);
    EXPECT_EQ(ReadFile(rig.MsgFile("vendor.bmp")), "BMxy");
    EXPECT_EQ(rig.Store->HeaderValues().VendorDesc, "Shop");
    EXPECT_EQ(rig.Store->HeaderValues().VendorURL, "http://v/");
}

TEST(ServiceJobClickLog, SendsStoredSponsor)
{
    CScriptedServer server;
    CServiceHome home(server.Home());
    CJobRig rig;
    rig.Store->SetSponsorID("S9");
    CServiceJob job;
    RunJob(job, rig, REQUEST_CLICKLOG);
    EXPECT_EQ(server.Count("AddLogSponsorClick&SponsorID=S9&VanduID=7"), 1);
}

namespace {

struct SReportCase {
    const char* name;
    std::time_t now;
    bool wakeup; // a wake-up arrived before the poll
    bool startupDone; // an earlier poll already succeeded
    int tcpCheckBefore;
    std::string report; // expected text after "Str=", empty: no report
    int tcpCheckAfter;
};

} // namespace

TEST(ServiceJobRemoteLog, ReportFormsDateGateAndTcpCheck)
{
    const std::time_t march1999 = UtcTime(1999, 3, 10);
    const std::vector<SReportCase> cases = {
        {"wake-up, short form", march1999, true, false, 0, "7-v4.2-OK-0", 1},
        {"no wake-up, TCPCheck on: long form", march1999, false, true, 1, "7-v4.2-0-2--8080-IP=10.1.2.3", 0},
        {"no wake-up, TCPCheck off: short form", march1999, false, true, 0, "7-v4.2-OK-0", 0},
        {"first poll after start", march1999, false, false, 1, "", 1},
        {"September", UtcTime(1999, 9, 10), true, false, 0, "", 1},
        {"year 2000", UtcTime(2000, 1, 10), false, true, 1, "", 0},
    };
    for (const SReportCase& c : cases) {
        SCOPED_TRACE(c.name);
        CScriptedServer server;
        server.On("GetNewMessageIDs", {{200, "Result=3;"}});
        server.On("GetMessage2", {{200, TextAnswer("x")}});
        server.On("log.dll", {{200, ""}});
        CServiceHome home(server.Home());
        CJobRig rig;
        rig.Settings.SetInternetConnectionType(2);
        rig.Settings.SetProxyPort("8080");
        rig.Settings.SetTCPCheck(c.tcpCheckBefore);
        rig.Account.SetIPAddress("10.1.2.3");
        CFixedTime clock;
        clock.m_now = c.now;
        CRemoteLogState logState;
        if (c.startupDone) {
            logState.ClearStartupPending();
        }
        if (c.wakeup) {
            logState.WakeupArrived();
        }
        CServiceJob job;
        job.SetRemoteLogState(&logState, &clock);

        RunJob(job, rig, REQUEST_POLL);

        const std::vector<std::string> requests = server.Requests();
        std::vector<std::string> reports;
        for (const std::string& target : requests) {
            const std::string prefix = "/cgi-bin/log.dll?MfcISAPICommand=Add&Str=";
            if (target.rfind(prefix, 0) == 0) {
                reports.push_back(target.substr(prefix.size()));
            }
        }
        if (c.report.empty()) {
            EXPECT_TRUE(reports.empty());
        } else {
            ASSERT_EQ(reports.size(), 1u);
            EXPECT_EQ(reports[0], c.report);
            // The report follows the poll's own commands.
            EXPECT_NE(requests.back().find("log.dll"), std::string::npos);
        }
        EXPECT_EQ(rig.Settings.GetTCPCheck() ? 1 : 0, c.tcpCheckAfter);
        EXPECT_EQ(logState.WakeupSeen(), 0);
        EXPECT_EQ(logState.StartupPending(), 0);
    }
}

// The poll, sponsor, vendor and user-info jobs running over and over at once against one store,
// while this thread reads and changes the store as the UI would.
TEST(ServiceJobConcurrency, JobsShareOneStore)
{
    CScriptedServer server;
    server.On("GetNewMessageIDs", {{200, "Result=1;2;"}});
    server.On("MessageID=1&", {{200, TextAnswer("one", "8")}});
    server.On("MessageID=2&", {{200, "Type=1\nMessage=" + MakeWave(2000)}});
    server.On("GetSponsorID", {{200, "Result=S1\n"}});
    server.On("GetSponsor&", {{200, "SponsorID=S1\nDescription=D\nURL=http://s/\nImageURL=\nImageFile=BM1"}});
    server.On("pda_get_vendor_logo2", {{200, "Description=V\nURL=http://v/\nImage=BM2"}});
    server.On("SetGetUserInfo", {{200, "UserType=1\nFirstName=Ann\nLastName=Lee\n"}});
    CServiceHome home(server.Home());
    CJobRig rig;
    CRemoteLogState logState;
    std::vector<std::unique_ptr<CServiceJob>> jobs;
    for (const int kind : {REQUEST_POLL, REQUEST_SPONSOR, REQUEST_VENDORLOGO, REQUEST_USERINFO}) {
        jobs.push_back(std::make_unique<CServiceJob>());
        jobs.back()->SetKind(kind);
    }
    jobs[0]->SetRemoteLogState(&logState);
    constexpr int kRounds = 5;
    for (int round = 0; round < kRounds; ++round) {
        for (auto& job : jobs) {
            job->SetInputs(rig.Store.get(), &rig.Settings, &rig.Connection, &rig.Account);
            ASSERT_TRUE(job->Start());
        }
        for (int i = 0; i < 200 && std::any_of(jobs.begin(), jobs.end(), [](auto& j) { return j->IsRunning(); }); ++i) {
            rig.Store->CurrentMessage();
            rig.Store->Redraw();
            (void)rig.Store->UnreadCount();
            (void)rig.Account.GetNames();
            (void)rig.Connection.IsOnline();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        for (auto& job : jobs) {
            job->Wait();
            job->ClearBusy();
        }
        if (round == 2) {
            rig.Store->DeleteAll();
        }
    }
    EXPECT_EQ(rig.Store->Count(), 2 * (kRounds - 3));
    EXPECT_EQ(ReadFile(rig.MsgFile("sponsor.bmp")), "BM1");
    EXPECT_EQ(ReadFile(rig.MsgFile("vendor.bmp")), "BM2");
    EXPECT_EQ(rig.Account.GetFirstName(), "Ann");
    EXPECT_TRUE(rig.Connection.IsOnline());
}
