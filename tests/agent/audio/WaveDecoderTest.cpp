// The streaming decoder on real files written by libsndfile and on hand-made hostile ones: only
// what desktop sound files have opens, and every read is one bounded block.

#include "agent/audio/WaveDecoder.h"

#include "tests/agent/audio/WaveFiles.h"
#include "tests/support/TestSupport.h"

#include <sndfile.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace {

using namespace vandu::test::wave;
using vandu::test::TempDir;

struct Decoded {
    std::vector<int16_t> samples;
    int64_t frames = 0;
    int largestBlock = 0;
};

// Reads to the end in blocks of `ask` frames, checking that no block is longer than asked.
Decoded ReadAll(CWaveDecoder& decoder, int ask)
{
    Decoded out;
    std::vector<int16_t> block(static_cast<size_t>(ask) * static_cast<size_t>(decoder.Channels()));
    for (int i = 0; i < 1000000; ++i) {
        const int got = decoder.ReadBlock(block.data(), ask);
        EXPECT_GE(got, 0);
        EXPECT_LE(got, std::min(ask, CWaveDecoder::kBlockFrames));
        if (got <= 0) {
            break;
        }
        out.largestBlock = std::max(out.largestBlock, got);
        out.frames += got;
        out.samples.insert(out.samples.end(), block.begin(), block.begin() + got * decoder.Channels());
    }
    return out;
}

double Rms(const std::vector<int16_t>& samples)
{
    double sum = 0;
    for (int16_t s : samples) {
        sum += static_cast<double>(s) * s;
    }
    return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

// GSM 6.10 at 8 kHz with `blocks` copies of one coded block of a tone (320 frames each).
std::string GsmBlocks(int blocks)
{
    const std::string tone = Tone(SF_FORMAT_WAV | SF_FORMAT_GSM610, 8000, 1, 640);
    const std::string block = tone.substr(DataOffset(tone), 65);
    Format gsm;
    gsm.tag = 0x31;
    gsm.bits = 0;
    gsm.blockAlign = 65;
    gsm.extra = Le16(2) + Le16(320);
    std::string data;
    data.reserve(static_cast<size_t>(blocks) * 65);
    for (int i = 0; i < blocks; ++i) {
        data += block;
    }
    return Wave(gsm, data);
}

TEST(WaveDecoder, DecodesEachVoiceFormatInBoundedBlocks)
{
    struct Row {
        const char* name;
        int format;
        int rate;
        int channels;
        int frames;
        int expectedFrames; // what the codec's block size makes of them
    };
    // GSM 6.10 in WAV codes 320-sample blocks of 65 bytes; the writer pads to an even block count so
    // the data chunk stays word-aligned, hence the rounding up to 640 frames.
    const Row rows[] = {
        {"gsm610 even blocks", SF_FORMAT_WAV | SF_FORMAT_GSM610, 8000, 1, 6400, 6400},
        {"gsm610 odd blocks", SF_FORMAT_WAV | SF_FORMAT_GSM610, 8000, 1, 8000, 8320},
        {"gsm610 partial block", SF_FORMAT_WAV | SF_FORMAT_GSM610, 8000, 1, 1000, 1280},
        {"pcm16", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 11025, 1, 4410, 4410},
        {"pcm8", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 8000, 1, 1234, 1234},
        {"mu-law", SF_FORMAT_WAV | SF_FORMAT_ULAW, 8000, 1, 5000, 5000},
        {"float", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 22050, 1, 3000, 3000},
        {"extensible stereo 48 kHz", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 48000, 2, 9600, 9600},
        {"8 channels at 192 kHz", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 192000, 8, 10000, 10000},
    };
    TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string bytes = Tone(row.format, row.rate, row.channels, row.frames);
        ASSERT_FALSE(bytes.empty());
        vandu::test::WriteFile(dir.File("tone.wav"), bytes);
        CWaveDecoder fromFile;
        ASSERT_EQ(fromFile.OpenFile(dir.File("tone.wav")), 1);
        EXPECT_EQ(fromFile.Channels(), row.channels);
        EXPECT_EQ(fromFile.SampleRate(), row.rate);
        EXPECT_EQ(fromFile.Format(), row.format);
        EXPECT_EQ(fromFile.AnnouncedFrames(), row.expectedFrames);
        // More than a block is asked for: the decoder still hands out one block at a time.
        const Decoded file = ReadAll(fromFile, 3 * CWaveDecoder::kBlockFrames);
        EXPECT_EQ(file.frames, row.expectedFrames);
        EXPECT_EQ(fromFile.FramesRead(), row.expectedFrames);
        EXPECT_LE(file.largestBlock, CWaveDecoder::kBlockFrames);
        // The lossy codecs keep the tone's energy within a few dB (16000 peak is about 11300 RMS).
        EXPECT_GT(Rms(file.samples), 7000.0);

        CWaveDecoder fromMemory;
        ASSERT_EQ(fromMemory.OpenMemory(bytes), 1);
        EXPECT_EQ(ReadAll(fromMemory, 333).samples, file.samples);
    }
}

TEST(WaveDecoder, RefusesWhatDesktopSoundFilesDoNotHave)
{
    const std::string good = Tone(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 1, 800);
    const std::string samples = good.substr(DataOffset(good));
    auto pcm = [&](uint16_t channels, uint32_t rate) {
        Format format;
        format.channels = channels;
        format.sampleRate = rate;
        return Wave(format, samples);
    };
    std::string junkFirst = good;
    std::string junk;
    for (int i = 0; i < 64; ++i) {
        junk += Chunk("JUNK", "x");
    }
    junkFirst.insert(12, junk);
    std::string rifx = good;
    rifx.replace(0, 4, "RIFX");
    std::string shortFormat = good;
    shortFormat.replace(16, 4, Le32(14));
    struct Row {
        const char* name;
        std::string bytes;
    };
    const Row rows[] = {
        {"empty", ""},
        {"text", "this is not a sound"},
        {"header only", good.substr(0, 40)},
        {"riff without wave", "RIFF\x10\0\0\0JUNKJUNKJUNKJUNK"},
        {"big-endian riff", rifx},
        {"format chunk shorter than 16 bytes", shortFormat},
        {"format chunk after 64 others", junkFirst},
        {"no channel", pcm(0, 8000)},
        {"9 channels", pcm(9, 8000)},
        {"255 channels", pcm(255, 8000)},
        {"7999 Hz", pcm(1, 7999)},
        {"192001 Hz", pcm(1, 192001)},
        {"4 GHz", pcm(1, 0xFFFFFFFFu)},
        {"zero-length data", Wave(Format {}, "")},
        {"AIFF", Tone(SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 8000, 1, 800)},
        {"AU", Tone(SF_FORMAT_AU | SF_FORMAT_PCM_16, 8000, 1, 800)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CWaveDecoder decoder;
        EXPECT_EQ(decoder.OpenMemory(row.bytes), 0);
        EXPECT_FALSE(decoder.IsOpen());
        int16_t block[16];
        EXPECT_EQ(decoder.ReadBlock(block, 8), 0);
    }
    // The boundaries themselves are desktop sound.
    for (const auto& [channels, rate] : {std::pair<uint16_t, uint32_t> {1, 8000}, {8, 192000}, {2, 44100}}) {
        SCOPED_TRACE(std::to_string(channels) + " channels at " + std::to_string(rate));
        CWaveDecoder decoder;
        EXPECT_EQ(decoder.OpenMemory(pcm(channels, rate)), 1);
    }
}

TEST(WaveDecoder, PlaysUpToFifteenMinutesAndNoMore)
{
    // 22500 blocks of 320 frames at 8 kHz are exactly 15 minutes.
    CWaveDecoder decoder;
    ASSERT_EQ(decoder.OpenMemory(GsmBlocks(22500)), 1);
    EXPECT_EQ(decoder.AnnouncedFrames(), 8000LL * 60 * 15);
    EXPECT_EQ(decoder.OpenMemory(GsmBlocks(22502)), 0);
}

TEST(WaveDecoder, HostileRecordingsDecodeOnlyWhatIsReallyThere)
{
    for (const Hostile& file : HostileRecordings()) {
        SCOPED_TRACE(file.name);
        ASSERT_FALSE(file.bytes.empty());
        CWaveDecoder decoder;
        ASSERT_EQ(decoder.OpenMemory(file.bytes), file.playable ? 1 : 0);
        if (!file.playable) {
            continue;
        }
        const Decoded decoded = ReadAll(decoder, CWaveDecoder::kBlockFrames);
        EXPECT_GT(decoded.frames, 0);
        EXPECT_LE(decoded.frames, decoder.AnnouncedFrames());
        // Never more samples than the file has bytes: every codec here takes at least a byte a frame
        // but GSM 6.10, which takes 65 bytes for 320.
        EXPECT_LE(decoded.frames, static_cast<int64_t>(file.bytes.size()) * 320 / 65);
    }
}

TEST(WaveDecoder, OpensOnlyRegularFilesAndNeverBlocks)
{
    TempDir dir;
    const std::string fifo = dir.File("fifo.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto started = std::chrono::steady_clock::now();
    for (const std::string& path : {fifo, dir.Path(), dir.File("missing.wav"), std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        CWaveDecoder decoder;
        EXPECT_EQ(decoder.OpenFile(path), 0);
    }
    // A FIFO without a writer would have blocked a plain open for ever.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

TEST(BuiltInSound, ChimeIsEightBitMonoPcmOfTheFixedLength)
{
    const std::string bytes = vandu::test::ReadFile(VANDU_SOURCE_DIR "/resources/sounds/171.wav");
    EXPECT_EQ(bytes.size(), 16180u);
    CWaveDecoder decoder;
    ASSERT_EQ(decoder.OpenMemory(bytes), 1);
    EXPECT_EQ(decoder.Format(), SF_FORMAT_WAV | SF_FORMAT_PCM_U8);
    EXPECT_EQ(decoder.Channels(), 1);
    EXPECT_EQ(decoder.SampleRate(), 11025);
    std::vector<int16_t> samples(20000);
    int frames = 0;
    for (int got = 1; got > 0 && frames < 20000; frames += got) {
        got = decoder.ReadBlock(samples.data() + frames, 20000 - frames);
    }
    samples.resize(static_cast<size_t>(frames));
    EXPECT_EQ(frames, 16122);
    // Audible, yet not clipped at either end of the 8-bit range.
    double sum = 0;
    for (int16_t s : samples) {
        sum += static_cast<double>(s) * s;
    }
    EXPECT_GT(std::sqrt(sum / frames), 1500.0);
    EXPECT_LT(*std::max_element(samples.begin(), samples.end()), 32512);
    EXPECT_GT(*std::min_element(samples.begin(), samples.end()), -32768);
}

} // namespace
