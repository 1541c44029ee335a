#include "agent/store/MessageFileReader.h"
#include "agent/store/MessageList.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <iterator>
#include <string>

using vandu::test::ReadFile;
using vandu::test::TempDir;
using vandu::test::WriteFile;

namespace {

// Runs body in a child process that cannot read a file of mode 000: as user nobody when the tests
// run as root, as the user itself otherwise. Returns its exit status, or -1.
int RunUnprivileged(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            ::_exit(90);
        }
        ::_exit(body());
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::string kDataDir = std::string(VANDU_TEST_DATA_DIR) + "/store";

class MessageFileTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string folder = dir.File("msg");

    void SetUp() override { ASSERT_EQ(mkdir(folder.c_str(), 0755), 0); }

    std::string PathOf(const std::string& id) const { return folder + "/" + id + ".vdm"; }

    void CopyData(const std::string& name, const std::string& id) const
    {
        WriteFile(PathOf(id), ReadFile(kDataDir + "/" + name));
    }

    static void AppendText(CMessageList& list, int32_t type, const std::string& text, int32_t read = 0)
    {
        list.Append('\x01', "3/15/1999", "19:05:00", read, text, type, {}, {}, {}, "5551234567", "Jane", "Doe");
    }
};

TEST_F(MessageFileTest, EmptyListIsExactlyTheEightHeaderLines)
{
    CMessageList list(folder);
    list.Load("4711");
    ASSERT_EQ(list.Save({}), 1);
    EXPECT_EQ(ReadFile(PathOf("4711")),
        "[Vandu]\nCount=0\nLastDownloaded=\nSponsorID=\nSponsorDesc=\nSponsorURL=\n"
        "VendorDesc=\nVendorURL=\n");
}

TEST_F(MessageFileTest, SectionsAreWrittenLineByLine)
{
    struct Row {
        const char* name;
        int32_t type;
        int32_t read;
        const char* section;
    };
    const Row rows[] = {
        {"unread voice", 1, 0,
            "\n[Message1]\nDate=3/15/1999\nTime=19:05:00\nSenderVanduID=\nFirstName=\nLastName=\nType=1\n"
            "Message=47111234.wav\nCallerId=5550001\nCallerIdName=Bob\nRead=0\n"},
        {"type 2 written as 3, caller keys dropped", 2, 0,
            "\n[Message1]\nDate=3/15/1999\nTime=19:05:00\nSenderVanduID=\nFirstName=\nLastName=\nType=3\n"
            "Message=hi\nRead=0\n"},
        {"read 5 written as 1", 3, 5,
            "\n[Message1]\nDate=3/15/1999\nTime=19:05:00\nSenderVanduID=\nFirstName=\nLastName=\nType=3\n"
            "Message=hi\nRead=1\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::remove(PathOf("4711").c_str());
        CMessageList list(folder);
        list.Load("4711");
        list.Append('\x01', "3/15/1999", "19:05:00", row.read, row.type == 1 ? "" : "hi", row.type,
            row.type == 1 ? "47111234.wav" : "", "5550001", "Bob", "", "", "");
        SMessageFileHeader header {"12", "3", "Desc", "http://127.0.0.1/s", "VDesc", "http://127.0.0.1/v"};
        ASSERT_EQ(list.Save(header), 1);
        EXPECT_EQ(ReadFile(PathOf("4711")),
            std::string("[Vandu]\nCount=1\nLastDownloaded=12\nSponsorID=3\nSponsorDesc=Desc\n"
                        "SponsorURL=http://127.0.0.1/s\nVendorDesc=VDesc\nVendorURL=http://127.0.0.1/v\n")
                + row.section);
    }
}

TEST_F(MessageFileTest, UnknownTypeIsSkippedAndOrdinalsKeepTheSectionNumber)
{
    CopyData("skipped_type.vdm", "4711");
    CMessageList list(folder);
    list.Load("4711");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.At(0)->Ordinal(), '\x01');
    EXPECT_EQ(list.At(1)->Ordinal(), '\x03');
    EXPECT_EQ(list.At(0)->Text(), "Hello there");
    EXPECT_EQ(list.At(0)->FirstName(), "Jane");
    EXPECT_EQ(list.At(1)->VoiceFile(), "4711123.wav");
    EXPECT_EQ(list.At(1)->CallerIdName(), "Bob");
    EXPECT_EQ(list.At(1)->Text(), "");
    EXPECT_EQ(list.UnreadCount(), 1);
    EXPECT_EQ(list.LastDownloaded(), "42");
    EXPECT_EQ(list.VendorURL(), "http://127.0.0.1/v");
}

TEST_F(MessageFileTest, CountDecidesHowManySectionsAreRead)
{
    const std::string section = "[Message%]\nType=3\nMessage=text %\nRead=0\n";
    auto sections = [&](int n) {
        std::string text;
        for (int i = 1; i <= n; ++i) {
            std::string s = section;
            for (size_t at; (at = s.find('%')) != std::string::npos;) {
                s.replace(at, 1, std::to_string(i));
            }
            text += s;
        }
        return text;
    };
    struct Row {
        const char* count;
        int sections;
        int expected;
    };
    for (const Row& row : {Row {"5", 2, 2}, Row {"1", 3, 1}, Row {"0", 2, 0}, Row {"2147483647", 2, 2}, Row {"x", 2, 0},
             Row {"2abc", 3, 2}}) {
        SCOPED_TRACE(row.count);
        WriteFile(PathOf("1"), std::string("[Vandu]\nCount=") + row.count + "\n" + sections(row.sections));
        CMessageList list(folder);
        list.Load("1");
        ASSERT_EQ(list.Count(), row.expected);
        if (row.expected > 0) {
            EXPECT_EQ(list.At(row.expected - 1)->Text(), "text " + std::to_string(row.expected));
        }
    }
}

TEST_F(MessageFileTest, AHugeCountWithOneFarSectionLoadsAtOnce)
{
    // A damaged file: a count near the limit and one section with a huge number, in any order.
    WriteFile(PathOf("1"),
        "[Message999999999]\nType=2\nMessage=far\nRead=0\n[Vandu]\nCount=999999999\n"
        "[Message2]\nType=2\nMessage=near\nRead=1\n[Message0002]\nType=2\nMessage=alias\n");
    CMessageList list(folder);
    list.Load("1");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.At(0)->Text(), "near");
    EXPECT_EQ(list.At(1)->Text(), "far");
    EXPECT_EQ(list.At(1)->Ordinal(), static_cast<char>(999999999 & 0xFF));
}

TEST_F(MessageFileTest, LongTextsAreCutToTheBufferOfTheirType)
{
    CMessageList writer(folder);
    writer.Load("9");
    writer.Append('\x01', "", "", 0, std::string(5200, 'a'), 3, {}, {}, {}, {}, {}, {});
    ASSERT_EQ(writer.Save({}), 1);
    WriteFile(PathOf("8"),
        "[Vandu]\nCount=2\n[Message1]\nType=2\nMessage=" + std::string(150, 'b')
            + "\n[Message2]\nType=1\nMessage=" + std::string(120, 'c') + "\nCallerId=" + std::string(100, 'd') + "\n");
    CMessageList list(folder);
    list.Load("9");
    list.Load("8");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.At(0)->Text(), std::string(5119, 'a'));
    EXPECT_EQ(list.At(1)->Text(), std::string(99, 'b'));
    EXPECT_EQ(list.At(2)->VoiceFile(), std::string(99, 'c'));
    EXPECT_EQ(list.At(2)->CallerId(), std::string(99, 'd'));
}

TEST_F(MessageFileTest, LoadingTwiceDoublesTheMessages)
{
    CopyData("skipped_type.vdm", "4711");
    CMessageList list(folder);
    list.Load("4711");
    list.Load("4711");
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.At(2)->Text(), "Hello there");
    EXPECT_EQ(list.At(3)->Ordinal(), '\x03');
}

TEST_F(MessageFileTest, KeysInAnyCaseAndOrderStillLoad)
{
    CopyData("mixed_case.vdm", "4711");
    CMessageList list(folder);
    list.Load("4711");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_TRUE(list.At(0)->IsVoice());
    EXPECT_EQ(list.At(0)->VoiceFile(), "greeting.wav");
    EXPECT_EQ(list.At(0)->CallerId(), "5550002");
    EXPECT_EQ(list.At(0)->Time(), "08:00:00");
    EXPECT_EQ(list.At(0)->Date(), "");
    EXPECT_EQ(list.At(1)->Text(), "second text");
    EXPECT_EQ(list.At(1)->Read(), 5);
    EXPECT_EQ(list.At(1)->Date(), "1/2/2000");
    EXPECT_EQ(list.LastDownloaded(), "99");
    EXPECT_EQ(list.SponsorURL(), "http://127.0.0.1/x");
}

TEST_F(MessageFileTest, MissingFileGivesAnEmptyListAndDefaults)
{
    CMessageList list(folder);
    EXPECT_TRUE(list.Load("nobody")) << "no file yet is no failure";
    EXPECT_FALSE(list.ReadFailed());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.FilePath(), folder + "/nobody.vdm");
    EXPECT_EQ(list.SponsorID(), "");
    CMessageFileReader reader(folder + "/nobody.vdm");
    EXPECT_EQ(reader.GetInt("Vandu", "Count", 17), 17);
}

TEST_F(MessageFileTest, ReaderFollowsTheProfileRules)
{
    WriteFile(PathOf("r"),
        "Stray=1\n[A]\nNum= 42abc \nNeg=-3\nEmpty=\nText=  two  words \nText=second\n"
        "novalue\n[b]\nx=1\n[a]\nNum=7\nLate=1\n");
    CMessageFileReader reader(PathOf("r"));
    EXPECT_EQ(reader.GetInt("a", "NUM", 0), 42);
    EXPECT_EQ(reader.GetInt("A", "Neg", 9), 0);
    EXPECT_EQ(reader.GetInt("A", "Empty", 9), 0);
    EXPECT_EQ(reader.GetInt("A", "Late", 9), 9) << "a repeated section adds nothing";
    EXPECT_EQ(reader.GetString("A", "text", 100), "two  words") << "the first key of a name wins";
    EXPECT_EQ(reader.GetString("A", "text", 4), "two");
    EXPECT_EQ(reader.GetInt("B", "X", 0), 1);
    EXPECT_EQ(reader.GetString("", "Stray", 100), "");
    EXPECT_EQ(reader.GetString("A", "novalue", 100), "");
}

// Sections far larger than the file ever holds (hand-edited or damaged) are indexed, and the
// index keeps the rules: names in any case, the first key of a name wins, missing keys default.
TEST_F(MessageFileTest, ABigSectionKeepsTheProfileRules)
{
    std::string text = "[Vandu]\nCount=2\n[MESSAGE1]\nmessage=first\n";
    for (int i = 0; i < 3000; ++i) {
        text += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    }
    text += "TYPE=2\nMessage=second\nkey17=late\nRead=1\n[Message2]\nType=2\nMessage=other\n";
    WriteFile(PathOf("big"), text);
    CMessageFileReader reader(PathOf("big"));
    EXPECT_EQ(reader.GetString("message1", "KEY17", 100), "17");
    EXPECT_EQ(reader.GetString("Message1", "key2999", 100), "2999");
    EXPECT_EQ(reader.GetInt("Message1", "Key3000", -1), -1);
    EXPECT_EQ(reader.GetString("Message2", "Key17", 100), "");

    CMessageList list(folder);
    list.Load("big");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.At(0)->Text(), "first");
    EXPECT_EQ(list.At(0)->Read(), 1);
    EXPECT_EQ(list.At(1)->Text(), "other");
}

TEST_F(MessageFileTest, LineBreaksInValuesCannotAddSectionsOrKeys)
{
    CMessageList list(folder);
    list.Load("4711");
    const std::string planted = "hi\n\n[Message2]\r\nType=1\nMessage=../victim\nRead=1";
    AppendText(list, 3, planted);
    ASSERT_EQ(list.Save({"1\n[Message9]", "", "", "", "", ""}), 1);

    CMessageList reread(folder);
    reread.Load("4711");
    ASSERT_EQ(reread.Count(), 1);
    EXPECT_EQ(reread.At(0)->Text(), "hi  [Message2]  Type=1 Message=../victim Read=1");
    EXPECT_EQ(reread.At(0)->Read(), 0);
    EXPECT_EQ(reread.LastDownloaded(), "1 [Message9]");
}

TEST_F(MessageFileTest, FailedWritesKeepTheOldFile)
{
    CMessageList list(folder);
    list.Load("4711");
    AppendText(list, 3, "first");
    ASSERT_EQ(list.Save({}), 1);
    const std::string before = ReadFile(PathOf("4711"));

    // With a write limit below the new file's size the temporary file cannot be written.
    int status = vandu::test::RunWithWriteLimit(static_cast<long>(before.size()) + 100, [&] {
        for (int i = 0; i < 50; ++i) {
            AppendText(list, 3, std::string(100, 'x'));
        }
        if (list.Save({}) != 0 || list.Count() != 51) {
            return 1;
        }
        const bool alone = std::distance(std::filesystem::directory_iterator(folder), {}) == 1;
        return ReadFile(PathOf("4711")) == before && alone ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFile(PathOf("4711")), before);

    // A folder path that runs through a plain file cannot hold a file at all.
    WriteFile(dir.File("plain"), "x");
    CMessageList blocked(dir.File("plain") + "/msg");
    blocked.Load("4711");
    AppendText(blocked, 3, "kept");
    EXPECT_EQ(blocked.Save({}), 0);
    EXPECT_EQ(blocked.Count(), 1);
    EXPECT_EQ(ReadFile(dir.File("plain")), "x");
}

// A file that exists but cannot be read is not an empty file: the list keeps its hands off it
// until a load succeeds, so that the next save does not write the few messages in memory over all
// those it holds. Root reads any file whatever its mode, so the permission case runs as nobody.
TEST_F(MessageFileTest, AFileThatCannotBeReadIsNeverSavedOver)
{
    const std::string kept = "[Vandu]\nCount=1\n[Message1]\nType=2\nMessage=precious\n";
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    WriteFile(PathOf("4711"), kept);
    ASSERT_EQ(::chmod(PathOf("4711").c_str(), 0), 0);
    const int status = RunUnprivileged([&] {
        CMessageList list(folder);
        if (list.Load("4711") || !list.ReadFailed() || list.Count() != 0) {
            return 1;
        }
        AppendText(list, 3, "arrived meanwhile");
        return list.Save({}) == 0 ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
    ASSERT_EQ(::chmod(PathOf("4711").c_str(), 0644), 0);
    EXPECT_EQ(ReadFile(PathOf("4711")), kept);

    // A folder in place of the file reads with EISDIR; a path through a plain file with ENOTDIR.
    ASSERT_EQ(::mkdir(PathOf("folder").c_str(), 0755), 0);
    WriteFile(dir.File("plain"), "x");
    struct SCase {
        const char* name;
        std::string folder;
        std::string id;
    };
    for (const SCase& c :
        {SCase {"folder in its place", folder, "folder"}, SCase {"parent is a file", dir.File("plain"), "x"}}) {
        SCOPED_TRACE(c.name);
        CMessageList list(c.folder);
        EXPECT_FALSE(list.Load(c.id));
        AppendText(list, 3, "arrived meanwhile");
        EXPECT_EQ(list.Save({}), 0);
    }
    EXPECT_TRUE(std::filesystem::is_directory(PathOf("folder")));

    // Once the file can be read again, a load lifts the block.
    CMessageList list(folder);
    EXPECT_FALSE(list.Load("folder"));
    ASSERT_EQ(::rmdir(PathOf("folder").c_str()), 0);
    WriteFile(PathOf("folder"), kept);
    EXPECT_TRUE(list.Load("folder"));
    ASSERT_EQ(list.Count(), 1);
    AppendText(list, 3, "second");
    EXPECT_EQ(list.Save({}), 1);
    CMessageList reread(folder);
    reread.Load("folder");
    EXPECT_EQ(reread.Count(), 2);
}

// The ID becomes a file name only when it is a plain one; any other gets no file at all, so
// nothing is read from or written to a place outside the message folder.
TEST_F(MessageFileTest, AnIdThatIsNoPlainNameGetsNoFile)
{
    const std::string planted = "[Vandu]\nCount=1\n[Message1]\nType=2\nMessage=planted\n";
    WriteFile(dir.File("evil.vdm"), planted);
    const std::string ids[] = {"../evil", "a/b", ".", "..", "a\\b",
        std::string("47\0"
                    "11",
            5),
        std::string(CMessageList::kMaxVanduIDBytes + 1, '1')};
    for (const std::string& id : ids) {
        SCOPED_TRACE(id);
        CMessageList list(folder);
        EXPECT_TRUE(list.Load(id));
        EXPECT_EQ(list.FilePath(), "");
        EXPECT_EQ(list.Count(), 0);
        AppendText(list, 3, "kept in memory");
        EXPECT_EQ(list.Save({}), 0);
        EXPECT_EQ(list.Count(), 1);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
    EXPECT_EQ(ReadFile(dir.File("evil.vdm")), planted);

    for (const std::string& id : {std::string(CMessageList::kMaxVanduIDBytes, '1'), std::string("x.y")}) {
        SCOPED_TRACE(id);
        CMessageList list(folder);
        list.Load(id);
        AppendText(list, 3, "saved");
        EXPECT_EQ(list.Save({}), 1);
        EXPECT_TRUE(vandu::test::PathExists(PathOf(id)));
    }
}

TEST_F(MessageFileTest, SaveWithoutAPathWritesNothing)
{
    CMessageList list(folder);
    AppendText(list, 3, "unsaved");
    EXPECT_EQ(list.Save({}), 0);
}

} // namespace
