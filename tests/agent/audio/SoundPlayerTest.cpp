// What the player does with sounds it cannot play; needs no audio device.

#include "agent/audio/SoundPlayer.h"

#include "tests/support/TestSupport.h"

namespace {

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
    const Row rows[] = {
        {"missing file", [&] { player.PlayFile(dir.File("missing.wav")); }},
        {"garbage file", [&] { player.PlayFile(dir.File("garbage.wav")); }},
        {"empty file", [&] { player.PlayFile(dir.File("empty.wav")); }},
        {"empty path", [&] { player.PlayFile(""); }},
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
    EXPECT_EQ(bells, 5);
}

} // namespace
