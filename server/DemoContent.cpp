#include "server/DemoContent.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace vandu::server {

namespace {

#include "DemoPictures.inc"

template <size_t N> std::string Bytes(const unsigned char (&bytes)[N])
{
    return std::string(reinterpret_cast<const char*>(bytes), N);
}

void PutLe(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// One note of the tune at sample index i: frequency and loudness with a short attack and decay.
double TuneSample(size_t i, int rate, double seconds)
{
    static const double kNotes[] = {523.25, 659.25, 783.99, 659.25, 587.33, 698.46, 880.0, 1046.5};
    constexpr int kCount = sizeof kNotes / sizeof kNotes[0];
    const double t = static_cast<double>(i) / rate;
    const double noteLength = seconds / kCount;
    const int note = std::min(kCount - 1, static_cast<int>(t / noteLength));
    const double inNote = t - note * noteLength;
    const double envelope = std::min(1.0, inNote / 0.02) * std::exp(-3.0 * inNote / noteLength);
    const double tone
        = std::sin(2 * std::numbers::pi * kNotes[note] * t) + 0.3 * std::sin(4 * std::numbers::pi * kNotes[note] * t);
    return 0.45 * envelope * tone;
}

} // namespace

std::string CDemoContent::MakeRecording(int sampleRate, int channels, double seconds)
{
    const auto frames = static_cast<uint32_t>(seconds * sampleRate);
    const uint32_t dataBytes = frames * static_cast<uint32_t>(channels) * 2;
    std::string wave = "RIFF";
    PutLe(wave, 36 + dataBytes, 4);
    wave += "WAVEfmt ";
    PutLe(wave, 16, 4);
    PutLe(wave, 1, 2);
    PutLe(wave, static_cast<uint32_t>(channels), 2);
    PutLe(wave, static_cast<uint32_t>(sampleRate), 4);
    PutLe(wave, static_cast<uint32_t>(sampleRate * channels * 2), 4);
    PutLe(wave, static_cast<uint32_t>(channels * 2), 2);
    PutLe(wave, 16, 2);
    wave += "data";
    PutLe(wave, dataBytes, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        const auto value = static_cast<int16_t>(std::lround(TuneSample(i, sampleRate, seconds) * 32767));
        for (int c = 0; c < channels; ++c) {
            PutLe(wave, static_cast<uint16_t>(value), 2);
        }
    }
    return wave;
}

std::string CDemoContent::MakeBanner(int width, int height, unsigned firstColour, unsigned secondColour)
{
    const int stride = (width + 3) / 4 * 4;
    const uint32_t paletteBytes = 256 * 4;
    const uint32_t pixelBytes = static_cast<uint32_t>(stride * height);
    std::string bmp = "BM";
    PutLe(bmp, 14 + 40 + paletteBytes + pixelBytes, 4);
    PutLe(bmp, 0, 4);
    PutLe(bmp, 14 + 40 + paletteBytes, 4);
    PutLe(bmp, 40, 4);
    PutLe(bmp, static_cast<uint32_t>(width), 4);
    PutLe(bmp, static_cast<uint32_t>(height), 4);
    PutLe(bmp, 1, 2);
    PutLe(bmp, 8, 2);
    PutLe(bmp, 0, 4);
    PutLe(bmp, pixelBytes, 4);
    PutLe(bmp, 2835, 4);
    PutLe(bmp, 2835, 4);
    PutLe(bmp, 256, 4);
    PutLe(bmp, 0, 4);
    // Palette: 0 the first colour, 1 the second, 2 black for the border, the rest unused.
    const unsigned colours[3] = {firstColour, secondColour, 0x000000};
    for (int i = 0; i < 256; ++i) {
        const unsigned c = i < 3 ? colours[i] : 0;
        bmp += static_cast<char>(c & 0xFF);
        bmp += static_cast<char>((c >> 8) & 0xFF);
        bmp += static_cast<char>((c >> 16) & 0xFF);
        bmp += '\0';
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < stride; ++x) {
            const bool border = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            char index = border ? 2 : static_cast<char>(((x + y) / 8) % 2);
            bmp += x < width ? index : '\0';
        }
    }
    return bmp;
}

std::string CDemoContent::SponsorPicture()
{
    return Bytes(kDemoSponsorPicture);
}

std::string CDemoContent::VendorPicture()
{
    return Bytes(kDemoVendorPicture);
}

} // namespace vandu::server
