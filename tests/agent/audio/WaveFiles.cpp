#include "tests/agent/audio/WaveFiles.h"

#include "tests/support/TestSupport.h"

#include <sndfile.h>

#include <cmath>

namespace vandu::test::wave {

std::string Tone(int format, int sampleRate, int channels, int64_t frames)
{
    TempDir dir;
    const std::string path = dir.File("tone");
    SF_INFO info {};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return {};
    }
    constexpr int kChunk = 4096;
    std::vector<short> samples(static_cast<size_t>(kChunk) * static_cast<size_t>(channels));
    bool ok = true;
    for (int64_t done = 0; ok && done < frames; done += kChunk) {
        const auto n = static_cast<int>(std::min<int64_t>(kChunk, frames - done));
        for (int i = 0; i < n; ++i) {
            const auto s
                = static_cast<short>(16000 * std::sin(2 * M_PI * 440 * static_cast<double>(done + i) / sampleRate));
            for (int c = 0; c < channels; ++c) {
                samples[static_cast<size_t>(i * channels + c)] = s;
            }
        }
        ok = sf_writef_short(file, samples.data(), n) == n;
    }
    sf_close(file);
    return ok ? ReadFile(path) : std::string();
}

namespace {

// CRC-32 of Ogg pages: polynomial 0x04C11DB7, not reflected, starting at 0.
uint32_t OggCrc(const std::string& page)
{
    uint32_t crc = 0;
    for (unsigned char byte : page) {
        crc ^= static_cast<uint32_t>(byte) << 24;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x80000000u) != 0 ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
        }
    }
    return crc;
}

} // namespace

std::string OggOpusClaiming(int channels, int64_t frames, int64_t claimedFrames)
{
    TempDir dir;
    const std::string path = dir.File("opus");
    SF_INFO info {};
    info.samplerate = 48000;
    info.channels = channels;
    info.format = SF_FORMAT_OGG | SF_FORMAT_OPUS;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return {};
    }
    double lowestRate = 1.0;
    sf_command(file, SFC_SET_COMPRESSION_LEVEL, &lowestRate, sizeof lowestRate);
    const std::vector<short> silence(static_cast<size_t>(frames * channels), 100);
    const bool ok = sf_writef_short(file, silence.data(), frames) == frames;
    sf_close(file);
    std::string bytes = ok ? ReadFile(path) : std::string();
    // The length of an Ogg stream is the granule position of its last page (plus the encoder's
    // pre-skip, 312 samples here): claim more there and re-seal the page.
    size_t last = std::string::npos;
    for (size_t page = 0; page + 27 <= bytes.size() && bytes.compare(page, 4, "OggS") == 0;) {
        last = page;
        const auto segments = static_cast<unsigned char>(bytes[page + 26]);
        size_t size = 27 + segments;
        for (size_t i = 0; i < segments && page + 27 + i < bytes.size(); ++i) {
            size += static_cast<unsigned char>(bytes[page + 27 + i]);
        }
        page += size;
    }
    if (last == std::string::npos) {
        return {};
    }
    const std::string granule = Le32(static_cast<uint32_t>(claimedFrames + 312)) + Le32(0);
    bytes.replace(last + 6, 8, granule);
    bytes.replace(last + 22, 4, Le32(0));
    const auto size = static_cast<size_t>(27 + static_cast<unsigned char>(bytes[last + 26]));
    size_t body = 0;
    for (size_t i = 0; i + 27 < size; ++i) {
        body += static_cast<unsigned char>(bytes[last + 27 + i]);
    }
    bytes.replace(last + 22, 4, Le32(OggCrc(bytes.substr(last, size + body))));
    return bytes;
}

std::string Le16(uint32_t value)
{
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

std::string Le32(uint32_t value)
{
    return Le16(value & 0xFFFF) + Le16(value >> 16);
}

std::string Chunk(const char* id, const std::string& body)
{
    std::string chunk = std::string(id, 4) + Le32(static_cast<uint32_t>(body.size())) + body;
    if (body.size() % 2 != 0) {
        chunk += '\0';
    }
    return chunk;
}

std::string Wave(const Format& format, const std::string& data, int64_t dataSize, const std::string& chunks)
{
    const uint16_t blockAlign
        = format.blockAlign != 0 ? format.blockAlign : static_cast<uint16_t>(format.channels * format.bits / 8);
    const std::string fmt = Le16(format.tag) + Le16(format.channels) + Le32(format.sampleRate)
        + Le32(format.sampleRate * blockAlign) + Le16(blockAlign) + Le16(format.bits) + format.extra;
    const auto declared = static_cast<uint32_t>(dataSize < 0 ? static_cast<int64_t>(data.size()) : dataSize);
    std::string body = "WAVE" + Chunk("fmt ", fmt) + chunks + "data" + Le32(declared) + data;
    return "RIFF" + Le32(static_cast<uint32_t>(body.size())) + body;
}

size_t DataOffset(const std::string& wave)
{
    size_t offset = 12;
    while (offset + 8 <= wave.size()) {
        const auto size = static_cast<uint32_t>(static_cast<unsigned char>(wave[offset + 4]))
            | static_cast<uint32_t>(static_cast<unsigned char>(wave[offset + 5])) << 8
            | static_cast<uint32_t>(static_cast<unsigned char>(wave[offset + 6])) << 16
            | static_cast<uint32_t>(static_cast<unsigned char>(wave[offset + 7])) << 24;
        if (wave.compare(offset, 4, "data") == 0) {
            return offset + 8;
        }
        offset += 8 + size + (size & 1);
    }
    return std::string::npos;
}

std::vector<Hostile> HostileRecordings()
{
    std::vector<Hostile> set;
    // 22 KB of 16-bit samples for 255 channels whose data chunk claims 3.6 GB.
    Format wide;
    wide.channels = 255;
    set.push_back({"255 channels", Wave(wide, std::string(22 * 1024, '\x5a'), 3600000000LL), false});

    // 8-bit mono whose data chunk and fact chunk claim 2^31 frames; 22 KB are really there.
    Format pcm8;
    pcm8.bits = 8;
    const std::string tone8 = Tone(SF_FORMAT_RAW | SF_FORMAT_PCM_U8, 8000, 1, 22 * 1024);
    set.push_back(
        {"header claiming 2^31 frames", Wave(pcm8, tone8, 0x80000000LL, Chunk("fact", Le32(0x80000000u))), true});

    // Four GSM 6.10 blocks (65 bytes each) cut 30 bytes into the third.
    const std::string gsm = Tone(SF_FORMAT_WAV | SF_FORMAT_GSM610, 8000, 1, 1280);
    set.push_back({"truncated GSM 6.10 block", gsm.substr(0, DataOffset(gsm) + 2 * 65 + 30), true});

    set.push_back({"zero-length data chunk", Wave(Format {}, ""), false});
    // 20 KB of Ogg Opus for 255 channels that claims 7 million frames (3.6 GB as 16-bit samples).
    set.push_back({"non-WAV container (Ogg Opus, 255 channels)", OggOpusClaiming(255, 4800, 7000000), false});
    return set;
}

} // namespace vandu::test::wave
