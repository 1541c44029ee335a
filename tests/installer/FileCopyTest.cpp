#include "installer/FileCopy.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

using namespace vandu::install;
using vandu::test::ReadFile;
using vandu::test::TempDir;
using vandu::test::WriteFile;

namespace {

// Everything in the folder, so that a test sees a temporary file left behind.
std::vector<std::string> Listing(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Program(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7919) % 251);
    }
    return bytes;
}

TEST(FileCopyTest, CopiesByteForByteWithTheSourcesMode)
{
    for (const auto& [size, mode] : {std::pair {size_t {0}, 0755}, std::pair {size_t {1}, 0700},
             std::pair {size_t {65536}, 0755}, std::pair {size_t {3 * 65536 + 17}, 0644}}) {
        SCOPED_TRACE(size);
        TempDir dir;
        WriteFile(dir.File("Vandu"), Program(size));
        chmod(dir.File("Vandu").c_str(), static_cast<mode_t>(mode));
        std::filesystem::create_directory(dir.File("target"));
        WriteFile(dir.File("target/Vandu"), "old program, longer than some of the new ones");
        ASSERT_TRUE(CopyFileReplacing(dir.File("Vandu"), dir.File("target/Vandu")));
        EXPECT_EQ(ReadFile(dir.File("target/Vandu")), Program(size));
        EXPECT_EQ(vandu::test::FileMode(dir.File("target/Vandu")), mode);
        EXPECT_EQ(Listing(dir.File("target")), std::vector<std::string> {"Vandu"});
    }
}

TEST(FileCopyTest, SourceAndTargetTheSameFileCountsAsCopiedAndKeepsTheProgram)
{
    TempDir dir;
    WriteFile(dir.File("Vandu"), Program(100000));
    std::filesystem::create_symlink(dir.File("Vandu"), dir.File("link"));
    std::filesystem::create_directory(dir.File("sub"));
    struct Row {
        const char* what;
        std::string source;
    };
    for (const Row& row : {Row {"same path", dir.File("Vandu")}, Row {"through ./", dir.Path() + "/./Vandu"},
             Row {"through ..", dir.File("sub/../Vandu")}, Row {"through a link", dir.File("link")}}) {
        SCOPED_TRACE(row.what);
        EXPECT_TRUE(CopyFileReplacing(row.source, dir.File("Vandu")));
        EXPECT_EQ(ReadFile(dir.File("Vandu")), Program(100000));
    }
    std::filesystem::create_hard_link(dir.File("Vandu"), dir.File("hard"));
    EXPECT_TRUE(CopyFileReplacing(dir.File("hard"), dir.File("Vandu")));
    EXPECT_EQ(ReadFile(dir.File("Vandu")), Program(100000));
}

TEST(FileCopyTest, FailuresLeaveTheTargetAsItWasAndNoTemporaryFile)
{
    TempDir dir;
    WriteFile(dir.File("Vandu"), "new");
    std::filesystem::create_directory(dir.File("target"));
    WriteFile(dir.File("target/Vandu"), "old");
    std::filesystem::create_directory(dir.File("target/folder"));
    struct Row {
        const char* what;
        std::string source;
        std::string target;
    };
    for (const Row& row : {Row {"missing source", dir.File("nothing"), dir.File("target/Vandu")},
             Row {"source is a folder", dir.File("target"), dir.File("target/Vandu")},
             Row {"target folder missing", dir.File("Vandu"), dir.File("target/none/Vandu")},
             Row {"target is a folder", dir.File("Vandu"), dir.File("target/folder")}}) {
        SCOPED_TRACE(row.what);
        EXPECT_FALSE(CopyFileReplacing(row.source, row.target));
        EXPECT_EQ(ReadFile(dir.File("target/Vandu")), "old");
        EXPECT_TRUE(std::filesystem::is_directory(dir.File("target/folder")));
        EXPECT_EQ(Listing(dir.File("target")), (std::vector<std::string> {"Vandu", "folder"}));
    }
}

TEST(FileCopyTest, ReplacesAProgramThatIsRunning)
{
    // Writing into a running program's file fails (ETXTBSY); renaming over it does not.
    TempDir dir;
    const std::string sleepProgram = vandu::test::FindProgram("sleep");
    ASSERT_FALSE(sleepProgram.empty());
    std::filesystem::copy_file(sleepProgram, dir.File("running"));
    chmod(dir.File("running").c_str(), 0755);
    const pid_t child = fork();
    if (child == 0) {
        execl(dir.File("running").c_str(), "running", "5", static_cast<char*>(nullptr));
        _exit(127);
    }
    // The exec has happened once /proc shows the new program.
    for (int i = 0; i < 500
         && std::filesystem::read_symlink("/proc/" + std::to_string(child) + "/exe").string() != dir.File("running");
         ++i) {
        usleep(10000);
    }
    WriteFile(dir.File("new"), Program(5000));
    EXPECT_TRUE(CopyFileReplacing(dir.File("new"), dir.File("running")));
    EXPECT_EQ(ReadFile(dir.File("running")), Program(5000));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

TEST(FileCopyTest, MakeFolderCreatesMissingParentsPrivately)
{
    TempDir dir;
    const mode_t previous = umask(022);
    EXPECT_TRUE(MakeFolder(dir.File("a/b/Vandu")));
    EXPECT_TRUE(MakeFolder(dir.File("a/b/Vandu")));
    umask(previous);
    EXPECT_EQ(vandu::test::FileMode(dir.File("a")), 0700);
    EXPECT_EQ(vandu::test::FileMode(dir.File("a/b")), 0700);
    EXPECT_EQ(vandu::test::FileMode(dir.File("a/b/Vandu")), 0755);
    WriteFile(dir.File("file"), "x");
    EXPECT_FALSE(MakeFolder(dir.File("file")));
    EXPECT_FALSE(MakeFolder(dir.File("file/sub")));
    EXPECT_EQ(ReadFile(dir.File("file")), "x");
}

} // namespace
