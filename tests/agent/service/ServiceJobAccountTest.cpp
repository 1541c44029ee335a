// The user-info job and the synchronous account operations against a scripted loopback server:
// the answers, codes and texts, and an operation beside a run in flight.

#include "agent/service/ServiceJob.h"
#include "tests/agent/service/JobTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <tuple>

using namespace vandu::test;

namespace {

constexpr const char* kNotConnected
    = "Sorry, your system is not currently connected to the Internet.\nStart your Internet connection,\n"
      "then press OK to continue.";

} // namespace

TEST(ServiceJobAccount, UserInfoAnswers)
{
    struct SCase {
        const char* name;
        int status;
        std::string body;
        int loginOk;
        std::string tollFree;
    };
    const std::vector<SCase> cases = {
        {"rejected", 200, "UserType=4\nFirstName=Ann\nPhoneCenter1=1-800\n", 0, "1-800"},
        {"no user type", 200, "FirstName=Ann\nPhoneCenter1=1-800\n", 1, "1-800"},
        {"no toll-free number", 200, "UserType=1\nFirstName=Ann\n", 1, ""},
        {"server error", 500, "UserType=4\nPhoneCenter1=1-800\n", -1, CAccountInfo::kDefaultTollFreeNumber},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        CScriptedServer server;
        server.On("SetGetUserInfo&VanduID=7&Password=1234&Version=4.2", {{c.status, c.body}});
        CServiceHome home(server.Home());
        CJobRig rig;
        rig.Account.SetLoginOk(-1);
        CServiceJob job;
        RunJob(job, rig, REQUEST_USERINFO);
        EXPECT_EQ(rig.Account.GetLoginOk(), c.loginOk);
        EXPECT_EQ(rig.Account.GetTollFreeNumber(), c.tollFree);
    }
}

TEST(ServiceJobAccount, PasswordCheck)
{
    const std::vector<std::tuple<int, std::string, int>> cases
        = {{200, "Result=1", 1}, {200, "Result=0", 0}, {200, "Result=10", 1}, {500, "Result=1", -1}};
    for (const auto& [status, body, loginOk] : cases) {
        SCOPED_TRACE(body + " " + std::to_string(status));
        CScriptedServer server;
        server.On("IsPasswordValid&VanduID=7&Password=1234", {{status, body}});
        CServiceHome home(server.Home());
        CJobRig rig;
        rig.Account.SetLoginOk(-1);
        CServiceJob job;
        job.SetInputs(rig.Store.get(), &rig.Settings, &rig.Connection, &rig.Account);
        job.CheckPassword();
        EXPECT_EQ(rig.Account.GetLoginOk(), loginOk);
    }
}

TEST(ServiceJobAccount, IdCheckCodes)
{
    struct SCase {
        int status;
        std::string body;
        int available;
        std::string message;
    };
    const std::vector<SCase> cases = {
        {200, "Result=0", 1, "previous"},
        {200, "Result=1", 0, "This Vandu ID is already taken.\nPlease choose another one."},
        {200, "Result=2", 0, "This Vandu ID is not valid.\nPlease choose another one."},
        {200, "Result=7", 0, "previous"},
        {200, "nothing", 0, "previous"},
        {500, "Result=0", -5, kNotConnected},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.body + " " + std::to_string(c.status));
        CScriptedServer server;
        server.On("pda_id_available.asp?VanduID=5551112222", {{c.status, c.body}});
        CServiceHome home(server.Home());
        CJobRig rig;
        rig.Account.SetIdAvailable(-5);
        rig.Account.SetIdMessage("previous");
        CServiceJob job;
        job.SetInputs(rig.Store.get(), &rig.Settings, &rig.Connection, &rig.Account);
        job.CheckIdAvailable("5551112222");
        EXPECT_EQ(rig.Account.GetIdAvailable(), c.available);
        EXPECT_EQ(rig.Account.GetIdMessage(), c.message);
    }
}

TEST(ServiceJobAccount, SignupCodes)
{
    struct SCase {
        int status;
        std::string body;
        int ok;
        std::string message;
        std::string confirmation;
    };
    const std::vector<SCase> cases = {
        {200, "Result=0\nMessage=Welcome\nLine two\n", 1, "previous", "Welcome\nLine two\n"},
        {200, "Result=1", 0, "Sorry, can not create Vandu ID.\nPlease try again.", ""},
        {200, "Result=3", 0, "Sorry, this Vandu ID is not available.\nPlease try another one.", ""},
        {200, "Result=4", 0, "Sorry, this Vandu ID is not valid.\nPlease try another one.", ""},
        {200, "Result=5", 0,
            "Sorry, the password is not valid.\nPassword must contain 4 numbers. No letters are allowed\nPlease try "
            "again.",
            ""},
        {200, "Result=6", 0, "Sorry, the first name is not valid.\nPlease try another one.", ""},
        {200, "Result=7", 0, "Sorry, the last name is not valid.\nPlease try another one.", ""},
        {200, "Result=8", 0, "Sorry, the email address is not valid.\nPlease try another one.", ""},
        {200, "Result=9", 0, "previous", ""},
        {404, "Result=0", -5, kNotConnected, ""},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.body + " " + std::to_string(c.status));
        CScriptedServer server;
        server.On("pda_signup.asp?VanduID=5551112222&Password=4321&", {{c.status, c.body}});
        CServiceHome home(server.Home());
        CJobRig rig;
        rig.Account.SetSignupOk(-5);
        rig.Account.SetSignupMessage("previous");
        CServiceJob job;
        job.SetInputs(rig.Store.get(), &rig.Settings, &rig.Connection, &rig.Account);
        job.Signup("5551112222", "4321", "ann@example.org", "Ann", "Lee");
        EXPECT_EQ(rig.Account.GetSignupOk(), c.ok);
        EXPECT_EQ(rig.Account.GetSignupMessage(), c.message);
        EXPECT_EQ(rig.Account.GetSignupConfirmation(), c.confirmation);
    }
}

TEST(ServiceJobAccount, TextMessage)
{
    CScriptedServer server;
    server.On("SendTextMessage&VanduID=8&From=7&Text=Are+you+there%3F", {{200, "Message=Sent to Bob\tx\n"}});
    server.On("SendTextMessage", {{500, "Message=not this"}});
    CServiceHome home(server.Home());
    CJobRig rig;
    CServiceJob job;
    job.SetInputs(rig.Store.get(), &rig.Settings, &rig.Connection, &rig.Account);

    job.SendTextMessage("8", "Are you there?");
    EXPECT_EQ(job.ResultText(), "Sent to Bob");
    job.SendTextMessage("9", "again");
    EXPECT_EQ(job.ResultText(), "");
}

// An account operation while the user-info run waits for its answer: it neither waits for the
// run nor releases the run's busy flag.
TEST(ServiceJobAccount, SynchronousOperationBesideRunInFlight)
{
    CScriptedServer server;
    server.On("SetGetUserInfo", {{200, "UserType=1\nFirstName=Ann\n", 1500}});
    server.On("IsPasswordValid", {{200, "Result=1"}});
    CServiceHome home(server.Home());
    CJobRig rig;
    CServiceJob job;
    job.SetInputs(rig.Store.get(), &rig.Settings, &rig.Connection, &rig.Account);
    job.SetKind(REQUEST_USERINFO);
    ASSERT_TRUE(job.Start());
    for (int i = 0; i < 100 && server.Count("SetGetUserInfo") == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    rig.Account.SetLoginOk(0);
    job.CheckPassword();

    EXPECT_EQ(rig.Account.GetLoginOk(), 1);
    EXPECT_TRUE(job.IsRunning());
    EXPECT_TRUE(job.IsBusy());
    EXPECT_FALSE(job.Start());
    job.Wait();
    EXPECT_TRUE(job.IsBusy());
    EXPECT_EQ(rig.Account.GetFirstName(), "Ann");
}
