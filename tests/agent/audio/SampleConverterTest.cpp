// Conversion to an output device's layout and rate, block by block.

#include "agent/audio/SampleConverter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// A sine of `frames` frames with each channel at its own amplitude, so channels can be told apart.
std::vector<int16_t> Signal(int channels, int rate, int frames)
{
    std::vector<int16_t> samples;
    for (int f = 0; f < frames; ++f) {
        const double s = std::sin(2 * M_PI * 440 * f / rate);
        for (int c = 0; c < channels; ++c) {
            samples.push_back(static_cast<int16_t>(std::lround(s * 3000 * (c + 1))));
        }
    }
    return samples;
}

TEST(SampleConverter, KeepsTheDurationAcrossRates)
{
    struct Row {
        int inRate;
        int outRate;
    };
    const Row rows[] = {{8000, 48000}, {11025, 44100}, {44100, 48000}, {48000, 8000}, {192000, 44100}, {8000, 8000}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.inRate) + " -> " + std::to_string(row.outRate));
        CSampleConverter converter(1, row.inRate, 1, row.outRate);
        const int frames = row.inRate / 2;
        const std::vector<int16_t> in = Signal(1, row.inRate, frames);
        std::vector<int16_t> out;
        converter.Convert(in.data(), frames, out);
        const double expected = static_cast<double>(frames) * row.outRate / row.inRate;
        // The last input frame only ends the final interval: its own output frames are not made.
        EXPECT_NEAR(static_cast<double>(out.size()), expected, 1.0 + row.outRate / row.inRate);
        // The tone keeps its level: a sine's RMS is its peak over the square root of two.
        double sum = 0;
        for (int16_t s : out) {
            sum += static_cast<double>(s) * s;
        }
        EXPECT_NEAR(std::sqrt(sum / static_cast<double>(out.size())), 3000 / std::sqrt(2.0), 60.0);
        EXPECT_NEAR(converter.InputFramesFor(static_cast<int>(out.size())), frames, 2 + row.inRate / row.outRate);
    }
}

TEST(SampleConverter, MapsChannels)
{
    struct Row {
        const char* name;
        int inChannels;
        int outChannels;
        std::vector<int16_t> in;
        std::vector<int16_t> expected;
    };
    const Row rows[] = {
        {"mono to stereo", 1, 2, {100, -200}, {100, 100, -200, -200}},
        {"stereo to mono averages", 2, 1, {100, 300, -32768, -32768}, {200, -32768}},
        {"eight to stereo keeps front left and right", 8, 2, {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2}},
        {"stereo to six repeats", 2, 6, {1, 2}, {1, 2, 1, 2, 1, 2}},
        {"same layout", 2, 2, {5, 6, 7, 8}, {5, 6, 7, 8}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CSampleConverter converter(row.inChannels, 8000, row.outChannels, 8000);
        std::vector<int16_t> out;
        converter.Convert(row.in.data(), static_cast<int>(row.in.size()) / row.inChannels, out);
        EXPECT_EQ(out, row.expected);
    }
}

TEST(SampleConverter, GivesTheSameOutputWhateverTheBlocks)
{
    const std::vector<int16_t> in = Signal(2, 11025, 5000);
    CSampleConverter whole(2, 11025, 2, 48000);
    std::vector<int16_t> expected;
    whole.Convert(in.data(), 5000, expected);

    CSampleConverter blocks(2, 11025, 2, 48000);
    std::vector<int16_t> out;
    std::srand(7);
    for (int done = 0; done < 5000;) {
        const int n = std::min(5000 - done, 1 + std::rand() % 700);
        blocks.Convert(in.data() + done * 2, n, out);
        done += n;
    }
    EXPECT_EQ(out, expected);
}

TEST(SampleConverter, InterpolatesBetweenNeighbours)
{
    // A ramp upsampled six times stays a ramp: each output lies between its two input neighbours.
    const std::vector<int16_t> in = {0, 600, 1200, -1200};
    CSampleConverter converter(1, 8000, 1, 48000);
    std::vector<int16_t> out;
    converter.Convert(in.data(), 4, out);
    ASSERT_EQ(out.size(), 18u);
    const std::vector<int16_t> firstSix(out.begin(), out.begin() + 6);
    EXPECT_EQ(firstSix, (std::vector<int16_t> {0, 100, 200, 300, 400, 500}));
    for (size_t i = 12; i < 18; ++i) {
        EXPECT_LE(out[i], 1200);
        EXPECT_GE(out[i], -1200);
    }
    EXPECT_GT(out[12], out[17]);
}

} // namespace
