// What the player does with sounds it cannot play, and when it loads the sound stack; needs no
// audio device. The program links no sound library of its own, so that its maps show what the
// player loads.

#include "agent/audio/SoundPlayer.h"

#include "tests/agent/audio/LoadedLibraries.h"
#include "tests/support/TestSupport.h"

namespace {

using vandu::test::LoadedLibraries;
using vandu::test::TempDir;

TEST(SoundPlayer, RingsTheBellForSoundsThatCannotBePlayed)
{
    TempDir dir;
    vandu::test::WriteFile(dir.File("garbage.wav"), "RIFF\x24\0\0\0WAVEfmt nothing useful here");
    vandu::test::WriteFile(dir.File("empty.wav"), "");
    int bells = 0;
    CSoundPlayer player(nullptr, [&bells] { ++bells; });
    struct Row {
        const char* name;
        std::function<void()> play;
    };
    const std::vector<Row> rows = {
        {"missing file", [&] { player.PlayFile(dir.File("missing.wav")); }},
        {"garbage file", [&] { player.PlayFile(dir.File("garbage.wav")); }},
        {"empty file", [&] { player.PlayFile(dir.File("empty.wav")); }},
        {"empty path", [&] { player.PlayFile(""); }},
        {"a folder", [&] { player.PlayFile(dir.Path()); }},
        {"unknown built-in", [&] { player.PlayBuiltIn(4711); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const int before = bells;
        row.play();
        EXPECT_EQ(bells, before + 1);
        EXPECT_FALSE(player.IsPlaying());
    }
    player.Stop();
    EXPECT_EQ(bells, static_cast<int>(rows.size()));
}

TEST(SoundPlayer, LoadsTheSoundStackAtTheFirstSoundOnly)
{
    const std::vector<std::string> soundStack = {"libvandu_sound", "libQt6Multimedia", "libsndfile"};
    ASSERT_EQ(LoadedLibraries(soundStack), std::vector<std::string> {}) << "the test program must not link them";
    int bells = 0;
    CSoundPlayer player(nullptr, [&bells] { ++bells; });
    // Nothing to play needs no sound stack.
    player.Stop();
    player.PlayFile("");
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(LoadedLibraries(soundStack), std::vector<std::string> {});

    TempDir dir;
    vandu::test::WriteFile(dir.File("empty.wav"), "");
    player.PlayFile(dir.File("empty.wav"));
    EXPECT_EQ(LoadedLibraries(soundStack), soundStack);
    EXPECT_EQ(bells, 2);
}

} // namespace
