#pragma once

// The demo's recording and pictures, made in code so that nothing binary has to be kept: a short
// tune as a WAV file and simple 8-bit BMP banners.

#include <string>

namespace vandu::server {

class CDemoContent {
public:
    // A few notes with soft onsets, 16-bit PCM mono WAV at the given rate and channel count (the
    // same tune on every channel); about seconds long.
    static std::string MakeRecording(int sampleRate, int channels, double seconds);
    // An 8-bit BMP with a palette: diagonal bands of the two colours (0xRRGGBB) inside a border.
    static std::string MakeBanner(int width, int height, unsigned firstColour, unsigned secondColour);
};

} // namespace vandu::server
