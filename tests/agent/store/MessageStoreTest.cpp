#include "agent/store/MessageStore.h"
#include "tests/agent/store/StoreFakes.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

using vandu::test::PathExists;
using vandu::test::ReadFile;
using vandu::test::WriteFile;

namespace {

class MessageStoreTest : public ::testing::Test {
protected:
    vandu::test::TempDir dir;
    std::string folder = dir.File("msg");
    CMemorySettingsBackend backend;
    CSettingsStore settings {backend, [] { return std::pair {1024, 768}; }};
    CAccountInfo account;
    vandu::test::CRecordingRenderer renderer;
    vandu::test::CRecordingPlayer player;
    vandu::test::CFixedTimeSource clock {0, 300};
    CMessageStore store {renderer, player, settings, account, clock, folder};

    void SetUp() override
    {
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
        settings.SetVanduID("4711");
    }

    void AddText(const std::string& text, int32_t type = 3)
    {
        store.AddDownloadedMessage("3/15/1999", "19:05:00", type, "", "", text, "", "5551234567", "Jane", "Doe");
    }
    void AddVoice(const std::string& file, bool createFile = true)
    {
        if (createFile) {
            WriteFile(folder + "/" + file, "RIFF");
        }
        store.AddDownloadedMessage("3/15/1999", "19:05:00", 1, "5550001", "Bob", "", file, "", "", "");
    }
    std::string FileOf(const std::string& id) const { return ReadFile(folder + "/" + id + ".vdm"); }
};

TEST_F(MessageStoreTest, OpenLoadsTheFileAndDrawsTheSummaryAndTitle)
{
    WriteFile(folder + "/4711.vdm", ReadFile(std::string(VANDU_TEST_DATA_DIR) + "/store/skipped_type.vdm"));
    account.SetUserInfo(1, "Jane", "Doe", "1-800", "127.0.0.1");
    store.Open("4711");
    ASSERT_EQ(renderer.setups.size(), 1u);
    EXPECT_EQ(renderer.setups[0], (std::vector<int> {29, 60, 165, 58}));
    EXPECT_EQ(store.Count(), 2);
    SMessageFileHeader header = store.HeaderValues();
    EXPECT_EQ(header.LastDownloaded, "42");
    EXPECT_EQ(header.SponsorDesc, "Shop");
    EXPECT_EQ(header.VendorDesc, "Vend");
    ASSERT_EQ(renderer.draws.size(), 1u);
    EXPECT_EQ(renderer.draws[0].statusText, "Calls: 1 new - 1 old\n");
    EXPECT_EQ(renderer.draws[0].number, 1);
    EXPECT_EQ(renderer.titles, (std::vector<std::string> {"ID 4711 J. Doe"}));
}

TEST_F(MessageStoreTest, OpenWithoutAnIdLoadsAndDrawsNothing)
{
    store.Open("");
    EXPECT_EQ(renderer.setups.size(), 1u);
    EXPECT_TRUE(renderer.draws.empty());
    AddText("not saved anywhere");
    EXPECT_EQ(store.Save(), 0);
}

TEST_F(MessageStoreTest, DeleteCurrentOfFiveMakesTheNewestCurrent)
{
    store.Open("4711");
    for (const char* text : {"m0", "m1", "m2", "m3", "m4"}) {
        AddText(text);
    }
    store.Save();
    store.PreviousMessage();
    store.PreviousMessage();
    ASSERT_EQ(store.CurrentIndex(), 2);
    store.DeleteCurrent();
    EXPECT_EQ(store.Count(), 4);
    EXPECT_EQ(store.CurrentIndex(), 3);
    EXPECT_EQ(store.MessageAt(2)->Text(), "m3");
    EXPECT_NE(FileOf("4711").find("Count=4\n"), std::string::npos);
    EXPECT_EQ(FileOf("4711").find("m2"), std::string::npos);
}

TEST_F(MessageStoreTest, AConfirmedDeleteTakesOnlyTheMessageTheUserSaw)
{
    store.Open("4711");
    for (const char* text : {"m0", "m1", "m2"}) {
        AddText(text);
    }
    store.Save();
    store.PreviousMessage();
    const int index = store.CurrentIndex();
    const std::optional<CStoredMessage> shown = store.CurrentMessage();
    ASSERT_TRUE(shown);
    // While the question is open a poll brings a message and its save makes that one current.
    AddText("new");
    store.Save();
    EXPECT_FALSE(store.DeleteIfCurrent(index, *shown));
    EXPECT_EQ(store.Count(), 4);
    store.PreviousMessage();
    store.PreviousMessage();
    ASSERT_EQ(store.CurrentIndex(), index);
    EXPECT_TRUE(store.DeleteIfCurrent(index, *shown));
    EXPECT_EQ(store.Count(), 3);
    EXPECT_EQ(store.MessageAt(1)->Text(), "m2");
    EXPECT_EQ(store.MessageAt(2)->Text(), "new");
}

TEST_F(MessageStoreTest, DeletingTheOnlyVoiceMessageRemovesItsRecording)
{
    store.Open("4711");
    store.SetMailStatus(0);
    AddVoice("47111.wav");
    store.DeleteCurrent();
    EXPECT_FALSE(PathExists(folder + "/47111.wav"));
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.CurrentIndex(), -1);
    EXPECT_EQ(store.StatusLine(), "Calls: 0 new\nNo email");
    EXPECT_NE(FileOf("4711").find("Count=0\n"), std::string::npos);
}

TEST_F(MessageStoreTest, NavigationStopsAtBothEndsButResetsTheScroll)
{
    store.Open("4711");
    store.NextMessage();
    EXPECT_EQ(store.CurrentIndex(), -1) << "no step before the first access";
    for (const char* text : {"a", "b", "c"}) {
        AddText(text);
    }
    store.Save();
    struct Step {
        const char* name;
        void (CMessageStore::*move)();
        int expected;
    };
    for (const Step& step :
        {Step {"next at last", &CMessageStore::NextMessage, 2}, Step {"previous", &CMessageStore::PreviousMessage, 1},
            Step {"previous", &CMessageStore::PreviousMessage, 0},
            Step {"previous at first", &CMessageStore::PreviousMessage, 0},
            Step {"next", &CMessageStore::NextMessage, 1}}) {
        SCOPED_TRACE(step.name);
        store.ScrollDown();
        ASSERT_FALSE(store.ResetScroll());
        (store.*step.move)();
        EXPECT_EQ(store.CurrentIndex(), step.expected);
        EXPECT_TRUE(store.ResetScroll());
    }
    store.ScrollUp();
    EXPECT_EQ(renderer.scrolls.back(), "up:b");
}

TEST_F(MessageStoreTest, APollOfTwoOntoThreeMakesTheLastCurrent)
{
    std::string file = "[Vandu]\nCount=3\n";
    for (const char* n : {"1", "2", "3"}) {
        file += std::string("[Message") + n + "]\nType=3\nMessage=old\nRead=1\n";
    }
    WriteFile(folder + "/4711.vdm", file);
    store.Open("4711");
    AddText("new 1");
    AddVoice("47119.wav");
    store.SetLastDownloaded("9");
    store.Save();
    store.RefreshStatus();
    EXPECT_EQ(store.CurrentIndex(), 4);
    EXPECT_EQ(store.MessageAt(3)->Read(), 0);
    EXPECT_EQ(store.MessageAt(4)->Read(), 0);
    EXPECT_EQ(store.MessageAt(4)->Ordinal(), '\x05');
    EXPECT_EQ(store.StatusLine(), "Calls: 2 new - 3 old\n");
    EXPECT_NE(FileOf("4711").find("LastDownloaded=9\n"), std::string::npos);
}

TEST_F(MessageStoreTest, ClickOnTheSummaryRevealsAndTheNextClickPlays)
{
    store.Open("4711");
    AddVoice("47111.wav");
    store.Save();
    store.RefreshStatus();
    store.ClickLcd();
    EXPECT_TRUE(player.calls.empty());
    EXPECT_EQ(store.StatusLine(), "");
    EXPECT_EQ(store.MessageAt(0)->Read(), 0);
    store.ClickLcd();
    EXPECT_EQ(player.calls, (std::vector<std::string> {"file:" + folder + "/47111.wav"}));
    EXPECT_EQ(store.MessageAt(0)->Read(), 1);
}

TEST_F(MessageStoreTest, ClickKeepsAnOverriddenStatus)
{
    store.Open("4711");
    AddText("t");
    store.SetStatusOverride(true, "Right click");
    store.RefreshStatus();
    store.ClickLcd();
    EXPECT_EQ(store.StatusLine(), "Right click");
    store.SetStatusOverride(false, "");
    store.RefreshStatus();
    EXPECT_EQ(store.StatusLine(), "Calls: 1 new\n");
}

TEST_F(MessageStoreTest, PlayCurrentVoiceIgnoresTextsAndTheStatusLine)
{
    store.Open("4711");
    AddText("a text");
    store.PlayCurrentVoice();
    EXPECT_TRUE(player.calls.empty());
    EXPECT_EQ(store.MessageAt(0)->Read(), 0);
    AddVoice("47112.wav");
    store.Save();
    store.RefreshStatus();
    store.PlayCurrentVoice();
    store.StopPlaying();
    EXPECT_EQ(player.calls, (std::vector<std::string> {"file:" + folder + "/47112.wav", "stop"}));
    EXPECT_EQ(store.MessageAt(1)->Read(), 1);
}

TEST_F(MessageStoreTest, ReloadKeepsTheVendorAndWritesItIntoTheNewFile)
{
    WriteFile(folder + "/4711.vdm", ReadFile(std::string(VANDU_TEST_DATA_DIR) + "/store/skipped_type.vdm"));
    WriteFile(folder + "/5555.vdm",
        "[Vandu]\nCount=1\nSponsorID=8\nVendorDesc=Other\nVendorURL=x\n"
        "[Message1]\nType=3\nMessage=only\nRead=1\n");
    store.Open("4711");
    store.Save();
    store.NextMessage();
    ASSERT_EQ(store.CurrentIndex(), 1);
    settings.SetVanduID("5555");
    store.Reload();
    SMessageFileHeader header = store.HeaderValues();
    EXPECT_EQ(header.VendorDesc, "Vend");
    EXPECT_EQ(header.VendorURL, "http://127.0.0.1/v");
    EXPECT_EQ(header.SponsorID, "8");
    EXPECT_EQ(header.LastDownloaded, "");
    EXPECT_NE(FileOf("5555").find("VendorDesc=Vend\nVendorURL=http://127.0.0.1/v\n"), std::string::npos);
    ASSERT_FALSE(renderer.draws.empty());
    ASSERT_TRUE(renderer.draws.back().message.has_value()) << "the draw saw a message inside the new list";
    EXPECT_EQ(renderer.draws.back().message->Text(), "only");
    EXPECT_EQ(renderer.draws.back().number, 1);
    EXPECT_EQ(store.CurrentIndex(), 0);
    EXPECT_EQ(renderer.titles.back(), "ID 5555 . ");
}

TEST_F(MessageStoreTest, DeleteAllRemovesEveryRecordingAndLeavesTheHeader)
{
    store.Open("4711");
    WriteFile(folder + "/99991.wav", "another subscriber");
    AddVoice("47111.wav");
    AddText("t");
    AddVoice("47113.wav");
    store.SetVendorDesc("V");
    store.DeleteAll();
    EXPECT_FALSE(PathExists(folder + "/47111.wav"));
    EXPECT_FALSE(PathExists(folder + "/47113.wav"));
    EXPECT_TRUE(PathExists(folder + "/99991.wav"));
    EXPECT_EQ(store.CurrentIndex(), -1);
    EXPECT_EQ(store.StatusLine(), "Calls: 0 new\n");
    EXPECT_EQ(FileOf("4711"),
        "[Vandu]\nCount=0\nLastDownloaded=\nSponsorID=\nSponsorDesc=\nSponsorURL=\n"
        "VendorDesc=V\nVendorURL=\n");
}

TEST_F(MessageStoreTest, VoiceFilesOutsideTheFolderAreNeverPlayedOrDeleted)
{
    store.Open("4711");
    WriteFile(dir.File("victim"), "keep me");
    for (const char* name : {"../victim", "", ".", "..", "sub/victim", "..\\victim", "/etc/passwd"}) {
        SCOPED_TRACE(name);
        AddVoice(name, false);
        store.Save();
        store.PlayCurrentVoice();
        store.RefreshStatus();
        store.ClickLcd();
        store.ClickLcd();
        store.DeleteCurrent();
        EXPECT_TRUE(player.calls.empty());
        EXPECT_EQ(ReadFile(dir.File("victim")), "keep me");
        EXPECT_EQ(store.Count(), 0);
    }
    AddVoice("../victim", false);
    store.DeleteAll();
    EXPECT_TRUE(PathExists(dir.File("victim")));
}

TEST_F(MessageStoreTest, APlantedSectionInATextReloadsAsOneMessage)
{
    WriteFile(dir.File("victim"), "keep me");
    store.Open("4711");
    AddText("hello\n[Message2]\nType=1\nMessage=../victim\nRead=1");
    store.Save();
    store.Reload();
    ASSERT_EQ(store.Count(), 1);
    EXPECT_FALSE(store.MessageAt(0)->IsVoice());
    EXPECT_EQ(store.MessageAt(0)->Text(), "hello [Message2] Type=1 Message=../victim Read=1");
    store.DeleteAll();
    EXPECT_EQ(ReadFile(dir.File("victim")), "keep me");
}

TEST_F(MessageStoreTest, CurrentMessageOfAnEmptyListShowsTheCallCount)
{
    store.Open("4711");
    store.SetMailStatus(3);
    store.SetStatusOverride(false, "stale");
    EXPECT_FALSE(store.CurrentMessage().has_value());
    EXPECT_EQ(store.StatusLine(), "Calls: 0 new\n3 emails");
    store.SetStatusOverride(true, "fixed");
    EXPECT_FALSE(store.CurrentMessage().has_value());
    EXPECT_EQ(store.StatusLine(), "fixed");
    AddText("x");
    ASSERT_EQ(store.CurrentIndex(), -1);
    EXPECT_EQ(store.CurrentMessage()->Text(), "x");
    EXPECT_EQ(store.CurrentIndex(), 0);
}

TEST_F(MessageStoreTest, OrdinalsKeepTheLowEightBits)
{
    store.Open("4711");
    for (int i = 0; i < 301; ++i) {
        AddText("t");
    }
    EXPECT_EQ(static_cast<unsigned char>(store.MessageAt(300)->Ordinal()), 45);
}

TEST_F(MessageStoreTest, DetailTextsOfTheCurrentMessage)
{
    store.Open("4711");
    EXPECT_EQ(store.DetailText(), "");
    EXPECT_EQ(store.DetailFrom(), "");
    EXPECT_EQ(store.DetailReceived(), "");
    AddVoice("47111.wav");
    EXPECT_EQ(store.DetailText(), "Voice Message");
    EXPECT_EQ(store.DetailFrom(), "5550001");
    EXPECT_EQ(store.DetailReceived(), "14:05 03/15/1999");
    AddText("body");
    store.AddDownloadedMessage("3/15/1999", "19:05:00", 2, "", "", "plain", "", "", "", "");
    store.Save();
    EXPECT_EQ(store.DetailText(), "plain");
    EXPECT_EQ(store.DetailFrom(), "  ");
    store.PreviousMessage();
    EXPECT_EQ(store.DetailFrom(), "5551234567 Jane Doe");
}

TEST_F(MessageStoreTest, AFailedSaveKeepsTheMessagesAndTheOldFile)
{
    WriteFile(dir.File("plain"), "x");
    CMessageStore blocked {renderer, player, settings, account, clock, dir.File("plain") + "/msg"};
    blocked.Open("4711");
    blocked.AddDownloadedMessage("1/1/2000", "0:0:0", 3, "", "", "kept", "", "", "", "");
    EXPECT_EQ(blocked.Save(), 0);
    EXPECT_EQ(blocked.Count(), 1);
    EXPECT_EQ(blocked.CurrentIndex(), 0);

    store.Open("4711");
    AddText("first");
    ASSERT_EQ(store.Save(), 1);
    const std::string before = FileOf("4711");
    AddText(std::string(500, 'y'));
    int status = vandu::test::RunWithWriteLimit(static_cast<long>(before.size()), [&] {
        return store.Save() == 0 && store.Count() == 2 && FileOf("4711") == before ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_NE(ReadFile(folder + "/4711.vdm.journal").find(std::string(500, 'y')), std::string::npos)
        << "the journal still holds the message the file could not take";
}

// The subscriber hears once that the messages could not be read; nothing written meanwhile,
// the exit's save included, replaces the file until it can be read again.
TEST_F(MessageStoreTest, AnUnreadableFileIsToldOnceAndLeftAlone)
{
    ASSERT_EQ(mkdir((folder + "/4711.vdm").c_str(), 0755), 0);
    store.Open("4711");
    EXPECT_EQ(store.StatusLine(), CMessageStore::kReadFailedText);
    store.Redraw();
    ASSERT_FALSE(renderer.draws.empty());
    EXPECT_EQ(renderer.draws.back().statusText, CMessageStore::kReadFailedText);
    store.ClickLcd();
    EXPECT_EQ(store.StatusLine(), "Calls: 0 new\n") << "a click shows the user has seen it";

    AddText("arrived meanwhile");
    EXPECT_EQ(store.Count(), 1) << "kept in memory";
    EXPECT_FALSE(PathExists(folder + "/4711.vdm.journal"));
    EXPECT_EQ(store.Save(), 0);
    store.RefreshStatus();
    EXPECT_EQ(store.StatusLine(), "Calls: 1 new\n") << "told once, not on every refresh";
    store.DeleteAll();
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/4711.vdm"));

    ASSERT_EQ(rmdir((folder + "/4711.vdm").c_str()), 0);
    WriteFile(folder + "/4711.vdm", ReadFile(std::string(VANDU_TEST_DATA_DIR) + "/store/skipped_type.vdm"));
    store.Reload();
    EXPECT_EQ(store.Count(), 2);
    EXPECT_EQ(store.StatusLine(), "Calls: 1 new - 1 old\n");
    AddText("after");
    EXPECT_EQ(store.Save(), 1);
    EXPECT_NE(FileOf("4711").find("Message=after"), std::string::npos);
}

// The poll writes each message down before it marks it, into a journal beside the file; the
// user's place in the list stays. A store opened after a kill replays the journal into the file.
TEST_F(MessageStoreTest, ADownloadedMessageIsWrittenDownAtOnceAndSurvivesAKill)
{
    store.Open("4711");
    AddText("one");
    AddText("two");
    ASSERT_EQ(store.Save(), 1);
    EXPECT_FALSE(PathExists(folder + "/4711.vdm.journal"));
    store.PreviousMessage();
    ASSERT_EQ(store.CurrentIndex(), 0);
    AddText("three");
    AddVoice("47113.wav");
    EXPECT_EQ(store.CurrentIndex(), 0);
    EXPECT_NE(FileOf("4711").find("Count=2\n"), std::string::npos) << "the file itself waits for the save";
    EXPECT_EQ(vandu::test::FileMode(folder + "/4711.vdm.journal"), 0600u);

    // The agent is killed here; the next one finds all four, in order, and folds the journal in.
    CMessageStore next {renderer, player, settings, account, clock, folder};
    next.Open("4711");
    ASSERT_EQ(next.Count(), 4);
    EXPECT_EQ(next.MessageAt(2)->Text(), "three");
    EXPECT_EQ(next.MessageAt(3)->VoiceFile(), "47113.wav");
    EXPECT_EQ(next.MessageAt(3)->CallerIdName(), "Bob");
    EXPECT_EQ(next.UnreadCount(), 4);
    EXPECT_FALSE(PathExists(folder + "/4711.vdm.journal"));
    EXPECT_NE(FileOf("4711").find("Count=4\n"), std::string::npos);
}

// What a journal left by a kill or a crash can look like, and what the next start makes of it.
TEST_F(MessageStoreTest, AJournalIsReplayedOnlyOverTheFileItWasWrittenFor)
{
    const std::string section3 = "\n[Message1]\nDate=1/1/2000\nTime=1:00:00\nType=3\nMessage=three\nRead=0\n";
    const std::string section4 = "\n[Message2]\nDate=1/1/2000\nTime=1:00:00\nType=3\nMessage=four\nRead=0\n";
    const struct {
        const char* name;
        std::string journal;
        std::vector<std::string> texts;
    } rows[] = {
        {"killed during the poll", "[Journal]\nBase=2\n" + section3 + section4, {"one", "two", "three", "four"}},
        // The save wrote the journal's messages into the file but was killed before it removed it.
        {"killed after the save", "[Journal]\nBase=1\n" + section3, {"one", "two"}},
        {"cut short inside a section", "[Journal]\nBase=2\n" + section3 + section4.substr(0, 60),
            {"one", "two", "three"}},
        {"cut short in its header", "[Jour", {"one", "two"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        WriteFile(folder + "/4711.vdm",
            "[Vandu]\nCount=2\n[Message1]\nType=3\nMessage=one\nRead=1\n[Message2]\nType=3\nMessage=two\nRead=1\n");
        WriteFile(folder + "/4711.vdm.journal", row.journal);
        CMessageStore opened {renderer, player, settings, account, clock, folder};
        opened.Open("4711");
        std::vector<std::string> texts;
        for (int i = 0; i < opened.Count(); ++i) {
            texts.push_back(opened.MessageAt(i)->Text());
        }
        EXPECT_EQ(texts, row.texts);
        opened.Save();
        EXPECT_FALSE(PathExists(folder + "/4711.vdm.journal"));
        EXPECT_NE(FileOf("4711").find("Count=" + std::to_string(row.texts.size()) + "\n"), std::string::npos);
    }
}

// A journal that exists but cannot be read holds marked messages: nothing is saved over them.
// One that cannot be written keeps the message from being kept (and so from being marked).
TEST_F(MessageStoreTest, AJournalThatCannotBeReadOrWrittenLosesNothing)
{
    ASSERT_EQ(mkdir((folder + "/4711.vdm.journal").c_str(), 0755), 0);
    store.Open("4711");
    EXPECT_EQ(store.StatusLine(), CMessageStore::kReadFailedText);
    AddText("in memory");
    EXPECT_EQ(store.Save(), 0);
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/4711.vdm.journal"));
    ASSERT_EQ(rmdir((folder + "/4711.vdm.journal").c_str()), 0);

    store.Reload();
    ASSERT_EQ(symlink((dir.File("no-such-folder") + "/journal").c_str(), (folder + "/4711.vdm.journal").c_str()), 0);
    const int before = store.Count();
    EXPECT_FALSE(store.AddDownloadedMessage("1/1/2000", "1:00:00", 3, "", "", "lost?", "", "", "", ""));
    EXPECT_EQ(store.Count(), before);
}

// Temporary files of writes cut short by a crash or a kill go when the store opens; everything
// else in the folder, other subscribers' files included, stays.
TEST_F(MessageStoreTest, OpenRemovesLeftoversOfInterruptedWrites)
{
    const std::vector<std::string> leftovers = {"4711.vdm.tmp", "4711.vdm.aB3dE9", "47115.wav.Q1w2E3",
        "sponsor.bmp.zzzzzz", "vendor.bmp.000000", "999.vdm.tmp"};
    std::vector<std::string> kept
        = {"4711.vdm", "47115.wav", "999.vdm", "sponsor.bmp", "notes.txt.tmp", "47115.wav.backup1", "47115.wav.Q1_2E3"};
    for (const std::string& name : leftovers) {
        WriteFile(folder + "/" + name, "part");
    }
    for (const std::string& name : kept) {
        WriteFile(folder + "/" + name, name == "4711.vdm" ? "[Vandu]\nCount=0\n" : "keep");
    }
    store.Open("4711");
    std::vector<std::string> present;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        present.push_back(entry.path().filename().string());
    }
    std::sort(present.begin(), present.end());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(present, kept);
}

} // namespace
