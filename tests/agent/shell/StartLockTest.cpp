// The lock agents starting at the same moment take turns with.

#include "agent/shell/StartLock.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using vandu::test::TempDir;

TEST(StartLockTest, OneHolderAtATimeAndTheKernelFreesADeadOnesLock)
{
    TempDir dir;
    const std::string path = dir.File("VanduClassWindow.lock");
    {
        const CStartLock first(path, 0);
        ASSERT_TRUE(first.Held());
        struct stat info { };
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        // A second agent waits its bounded time, then goes on without it.
        const CStartLock second(path, 50);
        EXPECT_FALSE(second.Held());
    }
    // Let go when its holder is gone: at the end of its scope, or when its process dies.
    EXPECT_TRUE(CStartLock(path, 0).Held());
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const CStartLock held(path, 0);
        const char byte = held.Held() ? 'y' : 'n';
        (void)!::write(ready[1], &byte, 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    EXPECT_EQ(byte, 'y');
    EXPECT_FALSE(CStartLock(path, 0).Held());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(CStartLock(path, 0).Held());
    // A place where no file can be made: no lock, no harm.
    EXPECT_FALSE(CStartLock(dir.File("missing/VanduClassWindow.lock"), 0).Held());
}

} // namespace
