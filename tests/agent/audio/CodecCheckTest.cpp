// Decoding real GSM 6.10 and PCM data with libsndfile, and the codec check built on it.

#include "agent/audio/CodecCheck.h"
#include "agent/audio/WaveDecoder.h"

#include "tests/support/TestSupport.h"

#include <QFile>

#include <sndfile.h>

#include <cmath>
#include <vector>

namespace {

using vandu::test::TempDir;

// Writes frames of a 440 Hz tone at 8000 Hz mono in the given format; returns false on failure.
bool WriteTone(const std::string& path, int format, int frames)
{
    SF_INFO info {};
    info.samplerate = 8000;
    info.channels = 1;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return false;
    }
    std::vector<short> samples(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        samples[static_cast<size_t>(i)] = static_cast<short>(12000 * std::sin(2 * M_PI * 440 * i / 8000.0));
    }
    const sf_count_t written = sf_writef_short(file, samples.data(), frames);
    sf_close(file);
    return written == frames;
}

double Rms(const CDecodedSound& sound)
{
    double sum = 0;
    for (int16_t s : sound.Samples) {
        sum += static_cast<double>(s) * s;
    }
    return sound.Samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(sound.Samples.size()));
}

TEST(WaveDecoder, DecodesWavFilesOfEachVoiceFormat)
{
    struct Row {
        const char* name;
        int format;
        int frames;
        int expectedFrames;
    };
    // GSM 6.10 in WAV codes 320-sample blocks of 65 bytes; the writer pads to an even block count so
    // the data chunk stays word-aligned, hence the rounding up to 640 frames.
    const Row rows[] = {
        {"gsm610 even blocks", SF_FORMAT_WAV | SF_FORMAT_GSM610, 6400, 6400},
        {"gsm610 odd blocks", SF_FORMAT_WAV | SF_FORMAT_GSM610, 8000, 8320},
        {"gsm610 partial block", SF_FORMAT_WAV | SF_FORMAT_GSM610, 1000, 1280},
        {"pcm16", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 4410, 4410},
        {"pcm8", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1234, 1234},
    };
    TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = dir.File("tone.wav");
        ASSERT_TRUE(WriteTone(path, row.format, row.frames));
        CDecodedSound sound;
        ASSERT_EQ(CWaveDecoder::DecodeFile(path, sound), 1);
        EXPECT_EQ(sound.Channels, 1);
        EXPECT_EQ(sound.SampleRate, 8000);
        EXPECT_EQ(sound.Frames(), row.expectedFrames);
        EXPECT_EQ(sound.Format, row.format);
        // The lossy codec keeps the tone's energy within a few dB (12000 peak is about 8500 RMS).
        EXPECT_GT(Rms(sound), 5000.0);

        CDecodedSound fromMemory;
        ASSERT_EQ(CWaveDecoder::DecodeMemory(vandu::test::ReadFile(path), fromMemory), 1);
        EXPECT_EQ(fromMemory.Samples, sound.Samples);
    }
}

TEST(WaveDecoder, RejectsWhatCannotBePlayed)
{
    TempDir dir;
    ASSERT_TRUE(WriteTone(dir.File("good.wav"), SF_FORMAT_WAV | SF_FORMAT_GSM610, 3200));
    const std::string good = vandu::test::ReadFile(dir.File("good.wav"));
    struct Row {
        const char* name;
        std::string bytes;
    };
    const Row rows[] = {
        {"empty", ""},
        {"text", "this is not a sound"},
        {"header only", good.substr(0, 60)},
        {"riff without wave", "RIFF\x10\0\0\0JUNKJUNKJUNKJUNK"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        vandu::test::WriteFile(dir.File("bad.wav"), row.bytes);
        CDecodedSound sound;
        EXPECT_EQ(CWaveDecoder::DecodeFile(dir.File("bad.wav"), sound), 0);
        EXPECT_EQ(CWaveDecoder::DecodeMemory(row.bytes, sound), 0);
    }
    CDecodedSound sound;
    EXPECT_EQ(CWaveDecoder::DecodeFile(dir.File("missing.wav"), sound), 0);
}

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

TEST(BuiltInSound, ChimeIsEightBitMonoPcmOfTheFixedLength)
{
    QFile resource(":/sounds/171.wav");
    ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
    const QByteArray bytes = resource.readAll();
    CDecodedSound sound;
    ASSERT_EQ(CWaveDecoder::DecodeMemory(bytes.toStdString(), sound), 1);
    EXPECT_EQ(sound.Format, SF_FORMAT_WAV | SF_FORMAT_PCM_U8);
    EXPECT_EQ(sound.Channels, 1);
    EXPECT_EQ(sound.SampleRate, 11025);
    EXPECT_EQ(sound.Frames(), 16122);
    EXPECT_EQ(bytes.size(), 16180);
    // Audible, yet not clipped at either end of the 8-bit range.
    EXPECT_GT(Rms(sound), 1500.0);
    EXPECT_LT(*std::max_element(sound.Samples.begin(), sound.Samples.end()), 32512);
    EXPECT_GT(*std::min_element(sound.Samples.begin(), sound.Samples.end()), -32768);
}

} // namespace
