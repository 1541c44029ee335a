// The codec check through its module, and what it leaves loaded.

#include "agent/audio/CodecCheck.h"

#include "tests/agent/audio/LoadedLibraries.h"
#include "tests/support/TestSupport.h"

#include <vector>

namespace {

using vandu::test::LoadedLibraries;

TEST(CodecCheck, KnowsGsm610AndRejectsUnknownTags)
{
    CCodecCheck check;
    EXPECT_EQ(check.HasGsm610(), 1);
    EXPECT_EQ(check.HasFormat(CCodecCheck::kWaveFormatPcm), 1);
    EXPECT_EQ(check.HasFormat(0), 0);
    EXPECT_EQ(check.HasFormat(0xFFFE), 0);
    EXPECT_EQ(check.HasFormat(-1), 0);
    // With the codec present nothing is reported, whatever the voice format setting says.
    EXPECT_FALSE(check.StartupWarningDue(0));
    EXPECT_FALSE(check.StartupWarningDue(1));
}

TEST(CodecCheck, LeavesNoSoundLibraryLoaded)
{
    // The test program links neither; the check loads libsndfile through its module and lets go.
    const std::vector<std::string> soundStack = {"libvandu_codec", "libsndfile", "libQt6Multimedia", "libpulse"};
    if (!LoadedLibraries({"libvandu_sound"}).empty()) {
        GTEST_SKIP() << "a sound played earlier in this process; run each test alone (as ctest does)";
    }
    EXPECT_EQ(LoadedLibraries(soundStack), std::vector<std::string> {});
    ASSERT_EQ(CCodecCheck().HasGsm610(), 1);
    EXPECT_EQ(LoadedLibraries(soundStack), std::vector<std::string> {});
}

} // namespace
