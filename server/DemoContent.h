#pragma once

// The demo's recording and pictures: a short tune made in code as a WAV file, the sponsor and
// vendor pictures the demo hands out (drawn by tools/artgen like the agent's own, compiled in from
// server/demo/), and plain 8-bit BMP banners of any size for tests.

#include <string>

namespace vandu::server {

class CDemoContent {
public:
    // A few notes with soft onsets, 16-bit PCM mono WAV at the given rate and channel count (the
    // same tune on every channel); about seconds long.
    static std::string MakeRecording(int sampleRate, int channels, double seconds);
    // An 8-bit BMP with a palette: diagonal bands of the two colours (0xRRGGBB) inside a border.
    static std::string MakeBanner(int width, int height, unsigned firstColour, unsigned secondColour);
    // The demo sponsor's picture (150 x 75) and the demo's vendor strip (165 x 16): 8-bit BMP files
    // with a palette, the sizes of the agent's own built-in pictures.
    static std::string SponsorPicture();
    static std::string VendorPicture();
};

} // namespace vandu::server
