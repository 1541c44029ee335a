// vandu-service as a program: its command line, the wake-up it sends from the depositing process,
// and a live server under concurrent polling and deposits.

#include "server/AudioConverter.h"
#include "server/DemoContent.h"
#include "server/MemorySoundFile.h"
#include "server/ServiceStore.h"

#include "tests/server/ServiceTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vandu::test;
using vandu::server::CDemoContent;
using vandu::server::CServiceStore;

namespace {

const std::string kCgi = "/cgi-bin/MessageManager.dll?";

class ServiceProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_db = m_dir.File("data/service.db");
        WriteFile(m_dir.File("voice.wav"), CDemoContent::MakeRecording(44100, 2, 1.5));
        WriteFile(m_dir.File("logo.bmp"), CDemoContent::MakeBanner(165, 16, 0x112233, 0xAABBCC));
        ASSERT_EQ(Cli({"add-subscriber", "5551234567", "1234", "Jane", "Doe", "jane@mail.test"}).Status, 0);
        ASSERT_EQ(Cli({"add-subscriber", "5559876543", "4321", "Sam", "Rivers", "sam@mail.test"}).Status, 0);
    }

    ProgramRun Cli(std::vector<std::string> args)
    {
        args.push_back("--db");
        args.push_back(m_db);
        return RunService(args);
    }

    size_t Waiting(const std::string& id = "5551234567")
    {
        CServiceStore store;
        return store.Open(m_db) == 0 ? store.WaitingIds(id).size() : 0;
    }

    TempDir m_dir;
    std::string m_db;
};

} // namespace

TEST_F(ServiceProgram, ClearErrorsChangeNothing)
{
    const struct {
        const char* name;
        std::vector<std::string> args;
    } rows[] = {
        {"no command", {}},
        {"unknown command", {"drop-everything"}},
        {"missing argument", {"deposit-text", "5551234567"}},
        {"extra argument", {"list", "5551234567", "x"}},
        {"unknown option", {"deposit-text", "5551234567", "hi", "--force"}},
        {"option without value", {"deposit-text", "5551234567", "hi", "--from"}},
        {"unknown subscriber", {"deposit-text", "5550000000", "hi"}},
        {"unknown sender", {"deposit-text", "5551234567", "hi", "--from", "5550000000"}},
        {"empty text", {"deposit-text", "5551234567", "\t\r\n"}},
        {"bad wake-up port", {"deposit-text", "5551234567", "hi", "--wakeup-port", "70000"}},
        {"unreadable recording", {"deposit-voice", "5551234567", "/nonexistent/voice.wav"}},
        {"recording that is no sound", {"deposit-voice", "5551234567", "logo.bmp"}},
        {"taken ID", {"add-subscriber", "5551234567", "1111", "Ann", "Lee", "ann@mail.test"}},
        {"short ID", {"add-subscriber", "555123", "1111", "Ann", "Lee", "ann@mail.test"}},
        {"bad password", {"add-subscriber", "5551112222", "11111", "Ann", "Lee", "ann@mail.test"}},
        {"sponsor ID 0", {"set-sponsor", "0", "d", "http://x/", "logo.bmp"}},
        {"sponsor picture missing", {"set-sponsor", "7", "d", "http://x/", "/nonexistent.bmp"}},
        {"vendor picture no BMP", {"set-vendor", "d", "http://x/", "voice.wav"}},
        {"list of unknown ID", {"list", "5550000000"}},
        {"help on an unknown command", {"help", "drop-everything"}},
        {"help on two commands", {"help", "list", "serve"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> args = row.args;
        for (std::string& arg : args) {
            if (arg == "logo.bmp" || arg == "voice.wav") {
                arg = m_dir.File(arg);
            }
        }
        const ProgramRun run = Cli(args);
        EXPECT_EQ(run.Status, 2);
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
        EXPECT_EQ(run.Err.rfind("vandu-service: ", 0), 0u) << run.Err;
    }
    EXPECT_EQ(Waiting(), 0u);
    CServiceStore store;
    ASSERT_EQ(store.Open(m_db), 0);
    EXPECT_FALSE(store.FindSubscriber("5551112222").has_value());
    EXPECT_FALSE(store.FindBanner("sponsor").has_value());
    EXPECT_FALSE(store.FindBanner("vendor").has_value());
    EXPECT_EQ(store.IntegrityCheck(), "ok");
}

TEST_F(ServiceProgram, DefaultDatabaseFollowsXdgDataHome)
{
    const std::string data = m_dir.File("xdg");
    const ProgramRun run = RunProgram("/usr/bin/env",
        {"XDG_DATA_HOME=" + data, VANDU_SERVICE_PROGRAM, "add-subscriber", "5551112222", "1111", "Ann", "Lee",
            "ann@mail.test"},
        30000);
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_TRUE(PathExists(data + "/vandu-service/service.db"));
}

// Help is asked for in several ways; each prints to the output stream, succeeds, and opens no
// database (the default one, under XDG_DATA_HOME, is never created).
TEST_F(ServiceProgram, HelpPrintsTheUsageAndTouchesNoDatabase)
{
    const std::string data = m_dir.File("xdg");
    const std::string database = data + "/vandu-service/service.db";
    const std::vector<std::string> commands = {"serve", "add-subscriber", "deposit-voice", "deposit-text",
        "set-sponsor", "clear-sponsor", "set-vendor", "list"};
    const struct {
        const char* name;
        std::vector<std::string> args;
        const char* only; // the one command described, or null for all of them
    } rows[] = {
        {"help", {"help"}, nullptr},
        {"--help", {"--help"}, nullptr},
        {"-h", {"-h"}, nullptr},
        {"help on a command", {"help", "deposit-text"}, "deposit-text"},
        {"--help after a command", {"deposit-voice", "--help"}, "deposit-voice"},
        {"--help among arguments", {"list", "5551234567", "--help", "--db", m_db}, "list"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> args = {"XDG_DATA_HOME=" + data, VANDU_SERVICE_PROGRAM};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const ProgramRun run = RunProgram("/usr/bin/env", args, 30000);
        EXPECT_EQ(run.Status, 0);
        EXPECT_EQ(run.Err, "");
        const std::string usage = std::string("usage: vandu-service ") + (row.only ? row.only : "COMMAND") + " ";
        EXPECT_EQ(run.Out.rfind(usage, 0), 0u) << run.Out;
        EXPECT_NE(run.Out.find(database), std::string::npos) << "the default database is named";
        for (const std::string& command : commands) {
            const bool listed = run.Out.find("\n  " + command + " ") != std::string::npos
                || run.Out.find("\n  " + command + "\n") != std::string::npos;
            EXPECT_EQ(listed, !row.only) << command << " in\n" << run.Out;
        }
    }
    EXPECT_FALSE(PathExists(data));
    EXPECT_EQ(Waiting(), 0u);
}

TEST_F(ServiceProgram, DepositedStereoRecordingComesBackInBothForms)
{
    ASSERT_EQ(Cli({"deposit-voice", "5551234567", m_dir.File("voice.wav"), "--caller-id", "5550142", "--caller-name",
                      "Pat\tCaller", "--no-wake"})
                  .Status,
        0);
    ASSERT_EQ(Cli({"deposit-text", "5551234567", "Call me\nback", "--no-wake"}).Status, 0);
    const ProgramRun list = Cli({"list", "5551234567"});
    EXPECT_EQ(list.Status, 0);
    EXPECT_NE(list.Out.find("\t1\t"), std::string::npos);
    EXPECT_NE(list.Out.find("Pat Caller (5550142)"), std::string::npos) << list.Out;
    EXPECT_EQ(std::count(list.Out.begin(), list.Out.end(), '\n'), 2);

    ServiceProcess service;
    ASSERT_TRUE(service.Start(m_db));
    const std::string ids = HttpGet(service.Port(), kCgi + "GetNewMessageIDs&VanduID=5551234567").Body;
    const std::string voiceId = ids.substr(7, ids.find(';') - 7);
    for (int audioType : {0, 1}) {
        SCOPED_TRACE("AudioType " + std::to_string(audioType));
        const HttpAnswer answer = HttpGet(service.Port(),
            kCgi
                + "GetMessage2&VanduID=5551234567&Password=1234"
                  "&MessageID="
                + voiceId + "&AudioType=" + std::to_string(audioType));
        ASSERT_EQ(answer.Status, 200);
        const size_t at = answer.Body.find("Message=");
        ASSERT_NE(at, std::string::npos);
        const std::string wave = answer.Body.substr(at + 8);
        ASSERT_GT(wave.size(), 22u);
        EXPECT_EQ(static_cast<unsigned char>(wave[20]), audioType == 0 ? 49 : 1);
        vandu::server::CMemorySoundFile file(wave);
        SF_INFO info {};
        SNDFILE* sound = file.Open(SFM_READ, info);
        ASSERT_NE(sound, nullptr);
        sf_close(sound);
        EXPECT_EQ(info.samplerate, 8000);
        EXPECT_EQ(info.channels, 1);
        EXPECT_NEAR(static_cast<double>(info.frames) / 8000, 1.5, 0.05);
    }
    EXPECT_EQ(service.Stop(), 0);
}

TEST_F(ServiceProgram, DepositsWakeTheAddressOfTheLatestRequest)
{
    const int port = FreePortOn("127.0.0.3");
    WakeupListener agent("127.0.0.3", port);
    ASSERT_TRUE(agent.Listening());
    const std::string wakeupPort = std::to_string(port);
    {
        ServiceProcess service;
        ASSERT_TRUE(service.Start(m_db));
        ASSERT_EQ(HttpGet(service.Port(), kCgi + "GetNewMessageIDs&VanduID=5551234567", "127.0.0.3").Status, 200);
    }
    // The server is gone: the wake-up can only come from the depositing process.
    const ProgramRun voice = Cli({"deposit-voice", "5551234567", m_dir.File("voice.wav"), "--wakeup-port", wakeupPort});
    EXPECT_EQ(voice.Status, 0) << voice.Err;
    EXPECT_EQ(agent.AwaitWakeup(5000), 1) << voice.Out;
    const ProgramRun text
        = Cli({"deposit-text", "5551234567", "hi", "--from", "5559876543", "--wakeup-port", wakeupPort});
    EXPECT_EQ(text.Status, 0) << text.Err;
    EXPECT_EQ(agent.AwaitWakeup(5000), 1) << text.Out;
    EXPECT_EQ(Cli({"deposit-text", "5551234567", "quiet", "--no-wake", "--wakeup-port", wakeupPort}).Status, 0);
    EXPECT_EQ(agent.AwaitWakeup(300), 0) << "--no-wake woke the agent";

    // A later request from elsewhere moves the wake-up there.
    {
        ServiceProcess service;
        ASSERT_TRUE(service.Start(m_db));
        ASSERT_EQ(HttpGet(service.Port(), kCgi + "GetNewMessageIDs&VanduID=5551234567", "127.0.0.4").Status, 200);
    }
    const ProgramRun moved = Cli({"deposit-text", "5551234567", "hi", "--wakeup-port", wakeupPort});
    EXPECT_EQ(moved.Status, 0) << "a wake-up nobody takes is no error";
    EXPECT_EQ(agent.AwaitWakeup(300), 0);
    EXPECT_EQ(Waiting(), 4u);
}

TEST_F(ServiceProgram, TextSentThroughTheServerWakesTheRecipient)
{
    const int port = FreePortOn("127.0.0.3");
    WakeupListener agent("127.0.0.3", port);
    ASSERT_TRUE(agent.Listening());
    ServiceProcess service;
    ASSERT_TRUE(service.Start(m_db, {"--wakeup-port", std::to_string(port)}));
    ASSERT_EQ(HttpGet(service.Port(), kCgi + "GetNewMessageIDs&VanduID=5551234567", "127.0.0.3").Status, 200);
    const HttpAnswer sent
        = HttpGet(service.Port(), kCgi + "SendTextMessage&VanduID=5551234567&From=5559876543&Text=hello", "127.0.0.5");
    EXPECT_EQ(sent.Body, "Message=Your message was sent to Jane Doe.\n");
    EXPECT_EQ(agent.AwaitWakeup(5000), 1);
}

// The port is never shared: a second service on it ends at once, naming the port, while the
// first answers every request; and a restart right after a stop still gets the port back.
TEST_F(ServiceProgram, SecondServiceOnATakenPortEndsAndTheFirstKeepsServing)
{
    ServiceProcess first;
    ASSERT_TRUE(first.Start(m_db));
    const std::string port = std::to_string(first.Port());
    const ProgramRun second
        = RunService({"serve", "--db", m_dir.File("other.db"), "--listen", "127.0.0.1:" + port}, 10000);
    EXPECT_EQ(second.Status, 2);
    EXPECT_NE(second.Err.find("port " + port + " on 127.0.0.1 is already in use"), std::string::npos) << second.Err;
    for (int i = 0; i < 20; ++i) {
        const HttpAnswer answer = HttpGet(first.Port(), kCgi + "GetNewMessageIDs&VanduID=5551234567");
        EXPECT_EQ(answer.Status, 200);
        EXPECT_EQ(answer.Body.rfind("Result=", 0), 0u) << answer.Body;
    }
    EXPECT_EQ(first.Stop(), 0);

    ServiceProcess restarted;
    ASSERT_TRUE(restarted.Start(m_db, {}, std::stoi(port))) << "connections still closing keep the port";
    EXPECT_EQ(HttpGet(restarted.Port(), kCgi + "GetNewMessageIDs&VanduID=5551234567").Status, 200);
}

namespace {

// A stop that comes the moment the port answers (before the accept loop may run) still ends it.
TEST_F(ServiceProgram, TermRightAfterStartEndsTheService)
{
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        ServiceProcess service;
        ASSERT_TRUE(service.Start(m_db));
        EXPECT_EQ(service.Stop(), 0);
    }
}

} // namespace
