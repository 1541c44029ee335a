#pragma once

// Recordings for the audio tests: tones written by libsndfile, and hand-made WAV files whose
// headers say what a damaged or hostile recording says.

#include <cstdint>
#include <string>
#include <vector>

namespace vandu::test::wave {

// A 440 Hz tone at about half of full scale in a libsndfile format (SF_FORMAT_WAV |
// SF_FORMAT_GSM610, ...); empty when libsndfile cannot write it.
std::string Tone(int format, int sampleRate, int channels, int64_t frames);

// Ogg Opus at 48 kHz holding `frames` frames whose last page claims claimedFrames.
std::string OggOpusClaiming(int channels, int64_t frames, int64_t claimedFrames);

// The fields of a WAV format chunk; blockAlign 0 means channels * bits / 8.
struct Format {
    uint16_t tag = 1;
    uint16_t channels = 1;
    uint32_t sampleRate = 8000;
    uint16_t bits = 16;
    uint16_t blockAlign = 0;
    std::string extra; // bytes after the 16 standard ones (cbSize and what follows)
};

// RIFF WAVE: the format chunk, then `chunks` (already framed), then a data chunk holding data
// whose declared size is dataSize (the real size when negative).
std::string Wave(const Format& format, const std::string& data, int64_t dataSize = -1, const std::string& chunks = {});
// One chunk: id, little-endian size, body and the pad byte of an odd size.
std::string Chunk(const char* id, const std::string& body);
std::string Le16(uint32_t value);
std::string Le32(uint32_t value);

// Byte offset of the data chunk's body in a WAV file; npos when there is none.
size_t DataOffset(const std::string& wave);

// Recordings that once made the player allocate gigabytes or crash, and whether each is still
// playable (its real content is) or undecodable (the bell).
struct Hostile {
    const char* name;
    std::string bytes;
    bool playable;
};
std::vector<Hostile> HostileRecordings();

} // namespace vandu::test::wave
