// Recordings of any rate and channel count become GSM 6.10 and PCM WAV at 8000 Hz mono.

#include "server/AudioConverter.h"
#include "server/DemoContent.h"
#include "server/MemorySoundFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

using namespace vandu::server;

namespace {

struct WaveFacts {
    int FormatTag = -1;
    int Rate = 0;
    int Channels = 0;
    double Seconds = 0;
    double Peak = 0;
};

// What the agent's decoder would find: the WAV format tag and the decoded samples.
WaveFacts Inspect(const std::string& wave)
{
    WaveFacts facts;
    if (wave.size() >= 22 && wave.compare(12, 4, "fmt ") == 0) {
        facts.FormatTag = static_cast<unsigned char>(wave[20]) | (static_cast<unsigned char>(wave[21]) << 8);
    }
    CMemorySoundFile file(wave);
    SF_INFO info {};
    SNDFILE* sound = file.Open(SFM_READ, info);
    if (!sound) {
        return facts;
    }
    facts.Rate = info.samplerate;
    facts.Channels = info.channels;
    facts.Seconds = static_cast<double>(info.frames) / info.samplerate;
    std::vector<float> samples(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(sound, samples.data(), info.frames);
    for (float s : samples) {
        facts.Peak = std::max(facts.Peak, static_cast<double>(std::fabs(s)));
    }
    sf_close(sound);
    return facts;
}

// A 16-bit PCM WAV whose second channel is the first one inverted: averaged, it is silence.
std::string OppositeStereo(int rate, double seconds)
{
    const std::string mono = CDemoContent::MakeRecording(rate, 1, seconds);
    std::string wave = CDemoContent::MakeRecording(rate, 2, seconds);
    const size_t frames = (mono.size() - 44) / 2;
    for (size_t i = 0; i < frames; ++i) {
        const auto lo = static_cast<uint8_t>(mono[44 + 2 * i]);
        const auto hi = static_cast<uint8_t>(mono[45 + 2 * i]);
        const auto inverted = static_cast<uint16_t>(-static_cast<int16_t>(lo | (hi << 8)));
        wave[44 + 4 * i] = static_cast<char>(lo);
        wave[45 + 4 * i] = static_cast<char>(hi);
        wave[46 + 4 * i] = static_cast<char>(inverted & 0xFF);
        wave[47 + 4 * i] = static_cast<char>(inverted >> 8);
    }
    return wave;
}

} // namespace

TEST(AudioConverter, AnyRateAndChannelCountBecomesBothForms)
{
    const struct {
        int rate;
        int channels;
        double seconds;
    } rows[] = {{44100, 2, 2.5}, {8000, 1, 1.0}, {48000, 6, 1.2}, {11025, 1, 0.3}, {96000, 2, 0.75}, {22050, 1, 0.05},
        {16000, 1, 1.02}, {16000, 1, 0.98}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.rate) + " Hz, " + std::to_string(row.channels) + " channels");
        const std::string input = CDemoContent::MakeRecording(row.rate, row.channels, row.seconds);
        const double inputPeak = Inspect(input).Peak;
        CConvertedRecording out;
        std::string error;
        ASSERT_EQ(CAudioConverter::Convert(input, out, error), 0) << error;
        const WaveFacts gsm = Inspect(out.GsmWave);
        const WaveFacts pcm = Inspect(out.PcmWave);
        EXPECT_EQ(gsm.FormatTag, 49);
        EXPECT_EQ(pcm.FormatTag, 1);
        for (const WaveFacts* facts : {&gsm, &pcm}) {
            EXPECT_EQ(facts->Rate, 8000);
            EXPECT_EQ(facts->Channels, 1);
            EXPECT_NEAR(facts->Seconds, row.seconds, 0.05);
            EXPECT_GT(facts->Peak, 0.5 * inputPeak) << "the tune must survive";
        }
    }
}

TEST(AudioConverter, ChannelsAreAveraged)
{
    CConvertedRecording out;
    std::string error;
    ASSERT_EQ(CAudioConverter::Convert(OppositeStereo(44100, 0.5), out, error), 0) << error;
    EXPECT_LT(Inspect(out.PcmWave).Peak, 0.01) << "one channel was taken instead of the average";
}

TEST(AudioConverter, RefusesWhatIsNoRecording)
{
    std::string emptyWave = CDemoContent::MakeRecording(8000, 1, 0);
    const struct {
        const char* name;
        std::string bytes;
    } rows[] = {
        {"nothing", ""},
        {"text", "Result=1\nMessage=hello\n"},
        {"no frames", emptyWave},
        {"cut header", CDemoContent::MakeRecording(8000, 1, 1).substr(0, 30)},
        {"bitmap", CDemoContent::MakeBanner(16, 16, 0, 0xFFFFFF)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CConvertedRecording out;
        std::string error;
        EXPECT_EQ(CAudioConverter::Convert(row.bytes, out, error), -1);
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(out.GsmWave.empty() && out.PcmWave.empty());
    }
}
