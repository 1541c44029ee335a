#include "agent/store/AtomicFileWriter.h"
#include "agent/store/MessageFileWriter.h"
#include "agent/store/MessageList.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

std::string ContentOf(int count, char fill)
{
    CMessageList list;
    for (int i = 0; i < count; ++i) {
        list.Append('\x01', "12/31/1999", "23:30:00", i % 2, std::string(4000, fill), 3, {}, {}, {}, "1", "F", "L");
    }
    return CMessageFileWriter::BuildText(list.Messages(), {"7", "", "", "", "", ""});
}

// How many entries the folder holds: more than the message file means a temporary file.
int FolderEntries(const std::string& folder)
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

// A child saves two different contents in turn, with the full fsync path, until it is killed.
pid_t StartSaver(const std::string& path, const std::string& first, const std::string& second)
{
    pid_t pid = fork();
    if (pid == 0) {
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        for (int i = 0; i < 100000 && Clock::now() < deadline; ++i) {
            CAtomicFileWriter::Write(path, i % 2 == 0 ? second : first);
        }
        _exit(0);
    }
    return pid;
}

TEST(CrashSafetyTest, AKilledSaveAlwaysLeavesOneWholeFile)
{
    vandu::test::TempDir dir;
    const std::string folder = dir.File("msg");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const std::string path = folder + "/4711.vdm";
    const std::string first = ContentOf(280, 'a');
    const std::string second = ContentOf(270, 'b');
    ASSERT_GE(first.size(), 1u << 20);
    ASSERT_GE(second.size(), 1u << 20);
    ASSERT_TRUE(CAtomicFileWriter::Write(path, first));

    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> delayUs(200, 12000);
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    int kills = 0;
    int midSave = 0;
    for (int round = 0; round < 200 && Clock::now() < deadline; ++round) {
        pid_t pid = StartSaver(path, first, second);
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        kills += WIFSIGNALED(status) ? 1 : 0;
        midSave += FolderEntries(folder) > 1 ? 1 : 0;

        const std::string bytes = vandu::test::ReadFile(path);
        ASSERT_TRUE(bytes == first || bytes == second) << "round " << round << ": " << bytes.size() << " bytes";
        if (round % 20 == 0) {
            CMessageList list(folder);
            list.Load("4711");
            ASSERT_TRUE(list.Count() == 280 || list.Count() == 270);
            EXPECT_EQ(list.At(list.Count() - 1)->Text().size(), 4000u);
        }
    }
    EXPECT_EQ(kills, 200);
    // Most kills must land while a temporary file is being written, or the test proves nothing.
    EXPECT_GE(midSave, 20) << "kills during a save: " << midSave;
}

} // namespace
