// What the request jobs leave on the disk: the files are private; an ID that is no plain name
// gets no file.

#include "agent/service/ServiceJob.h"
#include "tests/agent/service/JobTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
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

unsigned ModeOf(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0u;
}

} // namespace

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
        EXPECT_EQ(ModeOf(rig.MsgFile(name)), 0600u);
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
