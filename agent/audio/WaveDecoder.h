#pragma once

// Decodes a sound file (any format libsndfile reads: PCM, GSM 6.10, ADPCM ...) to 16-bit
// interleaved samples. Built on libsndfile, so it is listed with the Qt layer, which links it.

#include <cstdint>
#include <string>
#include <vector>

struct CDecodedSound {
    int Channels = 0;
    int SampleRate = 0;
    int Format = 0; // libsndfile's format word (major | subtype)
    std::vector<int16_t> Samples; // interleaved, Channels per frame

    int64_t Frames() const { return Channels > 0 ? static_cast<int64_t>(Samples.size()) / Channels : 0; }
};

class CWaveDecoder {
public:
    // Both return 1 and fill out on success; 0 when the data cannot be opened or holds no frames.
    static int DecodeFile(const std::string& path, CDecodedSound& out);
    static int DecodeMemory(const std::string& bytes, CDecodedSound& out);
};
