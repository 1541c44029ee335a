#include "agent/store/AtomicFileWriter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

using vandu::test::ReadFile;
using vandu::test::TempDir;
using vandu::test::WriteFile;

namespace {

std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

// Sets the umask for the life of the object.
class CUmask {
public:
    explicit CUmask(mode_t mask)
        : m_old(::umask(mask))
    {
    }
    ~CUmask() { ::umask(m_old); }

private:
    mode_t m_old;
};

TEST(AtomicFileWriterTest, ReplacesTheWholeFileWithAPrivateOne)
{
    TempDir dir;
    const std::string path = dir.File("7.vdm");
    WriteFile(path, "old content");
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    CUmask open(0);

    const std::string bytes = std::string("new\0content\n", 12) + std::string(100000, 'x');
    const SFileWriteResult result = CAtomicFileWriter::Write(path, bytes);

    EXPECT_TRUE(result);
    EXPECT_EQ(result.SystemError, 0);
    EXPECT_EQ(ReadFile(path), bytes);
    EXPECT_EQ(vandu::test::FileMode(path), 0600u) << "a subscriber's files are nobody else's to read";
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string> {"7.vdm"});
}

TEST(AtomicFileWriterTest, FailuresLeaveTheOldFileAndNoTemporaryFile)
{
    TempDir dir;
    WriteFile(dir.File("plain"), "x");
    ASSERT_EQ(::mkdir(dir.File("folder").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(dir.File("folder/taken").c_str(), 0755), 0);
    struct SCase {
        const char* name;
        std::string path;
        EFileWriteError error;
        int systemError;
    };
    const SCase cases[] = {
        {"missing folder", dir.File("none/7.vdm"), EFileWriteError::Create, ENOENT},
        {"folder is a plain file", dir.File("plain/7.vdm"), EFileWriteError::Create, ENOTDIR},
        {"target is a folder", dir.File("folder/taken"), EFileWriteError::Rename, EISDIR},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SFileWriteResult result = CAtomicFileWriter::Write(c.path, "bytes");
        EXPECT_FALSE(result);
        EXPECT_EQ(result.Error, c.error);
        EXPECT_EQ(result.SystemError, c.systemError);
    }
    EXPECT_EQ(ReadFile(dir.File("plain")), "x");
    EXPECT_EQ(Entries(dir.File("folder")), std::vector<std::string> {"taken"});
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder/taken")));
}

// A full disk, as the file-size limit makes it (root cannot get past it either): the write of the
// temporary file fails, and the file in place stays whole.
TEST(AtomicFileWriterTest, AFullDiskKeepsTheOldFile)
{
    TempDir dir;
    const std::string path = dir.File("sponsor.bmp");
    const std::string before(3000, 'o');
    ASSERT_TRUE(CAtomicFileWriter::Write(path, before));

    const int status = vandu::test::RunWithWriteLimit(4096, [&] {
        const SFileWriteResult result = CAtomicFileWriter::Write(path, std::string(5000, 'n'));
        if (result || result.Error != EFileWriteError::Write || result.SystemError != EFBIG) {
            return 1;
        }
        // Exactly at the limit still fits.
        return CAtomicFileWriter::Write(path, std::string(4096, 'f')) ? 0 : 2;
    });

    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFile(path), std::string(4096, 'f'));
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string> {"sponsor.bmp"});
}

// Two writers of one file (the message file from the poll and from the user-interface thread)
// never take each other's temporary file: whatever a reader finds is one whole content.
TEST(AtomicFileWriterTest, ConcurrentWritersOfOneFileNeverMixTheirContents)
{
    TempDir dir;
    const std::string path = dir.File("7.vdm");
    const std::string first(200000, 'a');
    const std::string second(150000, 'b');
    ASSERT_TRUE(CAtomicFileWriter::Write(path, first, false));
    std::atomic<int> failures {0};
    auto writer = [&](const std::string& content) {
        for (int i = 0; i < 200; ++i) {
            failures += CAtomicFileWriter::Write(path, content, false) ? 0 : 1;
        }
    };
    std::thread one(writer, first);
    std::thread two(writer, second);
    int torn = 0;
    for (int i = 0; i < 200; ++i) {
        const std::string seen = ReadFile(path);
        torn += seen == first || seen == second ? 0 : 1;
    }
    one.join();
    two.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string> {"7.vdm"});
}

} // namespace
