// CWaveDecoder on arbitrary bytes, as a recording from the network: no crash, and what it opens
// stays within the limits (channels, rate, the 15-minute cap), no block is longer than asked, no
// more frames come than announced, and the conversion to a device's format keeps to its size.

#include "agent/audio/SampleConverter.h"
#include "agent/audio/WaveDecoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CWaveDecoder decoder;
    if (decoder.OpenMemory(std::string(reinterpret_cast<const char*>(data), size)) != 1) {
        if (decoder.IsOpen())
            std::abort();
        return 0;
    }
    const int channels = decoder.Channels();
    const int rate = decoder.SampleRate();
    if (channels < CWaveDecoder::kMinChannels || channels > CWaveDecoder::kMaxChannels
        || rate < CWaveDecoder::kMinSampleRate || rate > CWaveDecoder::kMaxSampleRate || decoder.AnnouncedFrames() <= 0
        || decoder.AnnouncedFrames() > static_cast<int64_t>(rate) * CWaveDecoder::kMaxSeconds)
        std::abort();

    CSampleConverter converter(channels, rate, 2, 48000);
    std::vector<int16_t> block(static_cast<size_t>(CWaveDecoder::kBlockFrames) * static_cast<size_t>(channels));
    std::vector<int16_t> converted;
    int64_t total = 0;
    // A few hundred blocks are plenty to reach every decoder state; small inputs end much sooner.
    for (int i = 0; i < 256; ++i) {
        const int ask = 1 + (i * 997) % CWaveDecoder::kBlockFrames;
        const int got = decoder.ReadBlock(block.data(), ask);
        if (got < 0 || got > ask)
            std::abort();
        if (got == 0)
            break;
        total += got;
        if (total > decoder.AnnouncedFrames() || total != decoder.FramesRead())
            std::abort();
        converted.clear();
        converter.Convert(block.data(), got, converted);
        if (converted.size() > (static_cast<size_t>(got) * 48000 / static_cast<size_t>(rate) + 2) * 2)
            std::abort();
    }
    return 0;
}
