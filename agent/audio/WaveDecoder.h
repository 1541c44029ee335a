#pragma once

// Streams a WAV recording (RIFF WAVE; PCM, GSM 6.10, ADPCM and whatever else libsndfile decodes in
// that container) as 16-bit interleaved frames, one bounded block at a time, so neither memory nor
// the time of one call depends on what a header claims. Recordings come unchanged from the network:
// only what desktop sound files have is opened (1 to 8 channels, 8 to 192 kHz, at most 15 minutes);
// anything else counts as undecodable. Qt-free, so the fuzz build links it too.

#include <cstdint>
#include <memory>
#include <string>

class CWaveDecoder {
public:
    static constexpr int kMinChannels = 1;
    static constexpr int kMaxChannels = 8;
    static constexpr int kMinSampleRate = 8000;
    static constexpr int kMaxSampleRate = 192000;
    static constexpr int kMaxSeconds = 15 * 60;
    // The most frames one ReadBlock decodes (about 85 ms at 48 kHz, 0.5 ms of work for GSM 6.10).
    static constexpr int kBlockFrames = 4096;

    CWaveDecoder();
    ~CWaveDecoder();
    CWaveDecoder(const CWaveDecoder&) = delete;
    CWaveDecoder& operator=(const CWaveDecoder&) = delete;

    // Both return 1 when the data is a playable recording and leave the decoder at its first frame;
    // 0 when it cannot be opened or lies outside the limits above (the decoder is then closed).
    int OpenFile(const std::string& path);
    int OpenMemory(std::string bytes);
    void Close();

    bool IsOpen() const;
    int Channels() const { return m_channels; }
    int SampleRate() const { return m_sampleRate; }
    // libsndfile's format word (major | subtype).
    int Format() const { return m_format; }
    // Frames the header announces (never more than the 15-minute cap).
    int64_t AnnouncedFrames() const { return m_announcedFrames; }
    int64_t FramesRead() const { return m_framesRead; }

    // Decodes up to min(maxFrames, kBlockFrames) frames into out (Channels() samples per frame) and
    // returns how many it decoded; 0 at the end, after a decoding error or when the cap is reached.
    int ReadBlock(int16_t* out, int maxFrames);

private:
    struct Source;

    int Open(std::unique_ptr<Source> source);

    std::unique_ptr<Source> m_source;
    int m_channels = 0;
    int m_sampleRate = 0;
    int m_format = 0;
    int64_t m_announcedFrames = 0;
    int64_t m_framesRead = 0;
};
