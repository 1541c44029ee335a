// What the request jobs leave on the disk: every message marked read on the service is in the
// message file first, even when the agent dies in the middle of a poll; the files are private;
// an ID that is no plain name gets no file.

#include "agent/service/ServiceJob.h"
#include "tests/agent/service/JobTestSupport.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

using namespace vandu::test;

namespace {

std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The command of a request target ("GetMessage2", ...) and its message ID, if any.
std::string CommandOf(const std::string& target)
{
    const std::size_t start = target.find('?') + 1;
    std::string command = target.substr(start, target.find('&', start) - start);
    const std::size_t id = target.find("MessageID=");
    if (id != std::string::npos) {
        command += " " + target.substr(id + 10, target.find('&', id) - id - 10);
    }
    return command;
}

// An agent-like process: a child that polls once with a real store over the folder, started
// before any thread of the test exists (a child of a threaded process may not start threads).
// It waits for the service's home on a pipe and polls against it.
class CPollingChild {
public:
    explicit CPollingChild(const std::string& folder)
    {
        int fds[2];
        if (::pipe(fds) != 0) {
            return;
        }
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(fds[1]);
            ::_exit(Poll(fds[0], folder));
        }
        ::close(fds[0]);
        m_pipe = fds[1];
    }
    ~CPollingChild()
    {
        if (m_pipe >= 0) {
            ::close(m_pipe);
        }
        if (m_pid > 0) {
            Kill();
        }
    }
    bool Started() const { return m_pid > 0 && m_pipe >= 0; }
    void Go(const std::string& home)
    {
        const std::string line = home + "\n";
        EXPECT_EQ(::write(m_pipe, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    }
    // True when the child died from SIGKILL.
    bool Kill()
    {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        const bool killed = ::waitpid(m_pid, &status, 0) == m_pid && WIFSIGNALED(status);
        m_pid = -1;
        return killed;
    }

private:
    static int Poll(int pipe, const std::string& folder)
    {
        std::string home;
        char c = 0;
        pollfd waiter {pipe, POLLIN, 0};
        while (::poll(&waiter, 1, 30000) == 1 && ::read(pipe, &c, 1) == 1 && c != '\n') {
            home += c;
        }
        if (home.empty()) {
            return 10;
        }
        CServiceHome serviceHome(home);
        CJobRig rig("7", "1234", folder);
        CServiceJob job;
        job.SetInputs(rig.Store.get(), &rig.Settings, &rig.Connection, &rig.Account);
        job.SetKind(REQUEST_POLL);
        if (!job.Start()) {
            return 11;
        }
        job.Wait();
        return 0;
    }

    pid_t m_pid = -1;
    int m_pipe = -1;
};

} // namespace

// The service forgets a message once it is marked read, so the agent writes the message down
// before the mark: killed after the second of three marks, it still has both marked messages.
TEST(ServiceJobFiles, AKillAfterAMarkLosesNoMarkedMessage)
{
    TempDir home;
    const std::string folder = home.File("msg");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    CPollingChild child(folder);
    ASSERT_TRUE(child.Started());

    CScriptedServer server;
    server.On("GetNewMessageIDs", {{200, "Result=1;2;3;"}});
    server.On("MessageID=1&", {{200, TextAnswer("first")}});
    server.On("MessageID=2&", {{200, TextAnswer("second")}});
    server.On("MarkMessageAsRead", {{200, "Result=1"}});
    // The service stalls after the second mark, until the agent is gone.
    server.On("GetMessage2&VanduID=7&Password=1234&MessageID=3&", {{200, TextAnswer("third"), 10000}});
    child.Go(server.Home());

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (server.Count("MessageID=3&") == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(server.Count("MessageID=3&"), 1) << "the poll never reached the third message";
    EXPECT_TRUE(child.Kill());

    std::vector<std::string> commands;
    for (const std::string& target : server.Requests()) {
        commands.push_back(CommandOf(target));
    }
    EXPECT_EQ(commands,
        (std::vector<std::string> {"GetNewMessageIDs", "GetMessage2 1", "MarkMessageAsRead 1", "GetMessage2 2",
            "MarkMessageAsRead 2", "GetMessage2 3"}));

    // The restart.
    CJobRig rig("7", "1234", folder);
    ASSERT_EQ(rig.Store->Count(), 2);
    EXPECT_EQ(rig.Store->MessageAt(0)->Text(), "first");
    EXPECT_EQ(rig.Store->MessageAt(1)->Text(), "second");
    EXPECT_EQ(rig.Store->UnreadCount(), 2);
    EXPECT_EQ(Entries(folder), std::vector<std::string> {"7.vdm"});
}

// Recordings, pictures and the message file are the subscriber's own, whatever the umask.
TEST(ServiceJobFiles, EveryFileIsPrivate)
{
    CScriptedServer server;
    server.On("GetNewMessageIDs", {{200, "Result=3;"}});
    server.On(
        "MessageID=3&", {{200, "Date=1/2/1999\nTime=1:02:03\nType=1\nCallerID=5551234\nMessage=" + MakeWave(500)}});
    server.On("MarkMessageAsRead", {{200, ""}});
    server.On("GetSponsorID", {{200, "Result=S1\n"}});
    server.On("GetSponsor&", {{200, "SponsorID=S1\nDescription=D\nURL=http://s/\nImageURL=\nImageFile=BMsponsor"}});
    server.On("pda_get_vendor_logo2.asp", {{200, "Description=V\nURL=http://v/\nImage=BMvendor"}});
    CServiceHome serviceHome(server.Home());
    const mode_t oldMask = ::umask(0);
    CJobRig rig;
    CServiceJob poll;
    CServiceJob sponsor;
    CServiceJob vendor;
    RunJob(poll, rig, REQUEST_POLL);
    RunJob(sponsor, rig, REQUEST_SPONSOR);
    RunJob(vendor, rig, REQUEST_VENDORLOGO);
    ::umask(oldMask);

    const std::vector<std::string> files = {"7.vdm", "73.wav", "sponsor.bmp", "vendor.bmp"};
    ASSERT_EQ(Entries(rig.Folder), files);
    for (const std::string& name : files) {
        SCOPED_TRACE(name);
        EXPECT_EQ(vandu::test::FileMode(rig.MsgFile(name)), 0600u);
    }
}

// An ID that is no plain name still goes to the service exactly as written, but no file is read
// or written for it, anywhere: its messages live in memory.
TEST(ServiceJobFiles, AnIdThatIsNoPlainNameGetsNoFile)
{
    for (const std::string& id : {std::string("../7"), std::string("7/.."), std::string(65, '7')}) {
        SCOPED_TRACE(id);
        CScriptedServer server;
        server.On("GetNewMessageIDs", {{200, "Result=3;4;"}});
        server.On("MessageID=3&", {{200, "Date=1/2/1999\nTime=1:02:03\nType=1\nCallerID=5551234\nMessage=RIFFdata"}});
        server.On("MessageID=4&", {{200, TextAnswer("text")}});
        server.On("MarkMessageAsRead", {{200, ""}});
        CServiceHome serviceHome(server.Home());
        CJobRig rig(id);
        CServiceJob job;

        RunJob(job, rig, REQUEST_POLL);

        ASSERT_EQ(rig.Store->Count(), 2);
        EXPECT_TRUE(rig.Store->MessageAt(0)->IsVoice());
        EXPECT_EQ(rig.Store->MessageAt(0)->VoiceFile(), "");
        EXPECT_EQ(rig.Store->MessageAt(1)->Text(), "text");
        EXPECT_EQ(server.Count("MarkMessageAsRead"), 2);
        EXPECT_EQ(server.Count("VanduID=" + id), 5) << "the list, two downloads, two marks";
        EXPECT_TRUE(Entries(rig.Folder).empty());
        EXPECT_EQ(Entries(rig.Dir.Path()), std::vector<std::string> {"msg"});
    }
}

// A message that cannot be written down (a full disk, a broken folder) is not marked: the service
// keeps it, and it comes again with the next poll instead of being lost.
TEST(ServiceJobFiles, AMessageThatCannotBeWrittenDownIsNotMarked)
{
    CScriptedServer server;
    server.On("GetNewMessageIDs", {{200, "Result=3;"}});
    server.On("MessageID=3&", {{200, TextAnswer("keep me")}});
    server.On("MarkMessageAsRead", {{200, ""}});
    CServiceHome serviceHome(server.Home());
    CJobRig rig;
    // The journal's place leads nowhere, so nothing can be written there.
    ASSERT_EQ(::symlink(rig.Dir.File("gone/journal").c_str(), rig.MsgFile("7.vdm.journal").c_str()), 0);
    CServiceJob job;

    RunJob(job, rig, REQUEST_POLL);

    EXPECT_EQ(server.Count("MessageID=3&"), 1);
    EXPECT_EQ(server.Count("MarkMessageAsRead"), 0);
    EXPECT_EQ(rig.Store->Count(), 0);
}
