#include "agent/audio/WaveDecoder.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A format chunk further in than this is not looked for (real files put it first, after a few
// metadata chunks at most).
constexpr int kMaxChunksBeforeFormat = 64;

uint32_t LittleEndian32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16
        | static_cast<uint32_t>(p[3]) << 24;
}

bool WithinLimits(int channels, int sampleRate)
{
    return channels >= CWaveDecoder::kMinChannels && channels <= CWaveDecoder::kMaxChannels
        && sampleRate >= CWaveDecoder::kMinSampleRate && sampleRate <= CWaveDecoder::kMaxSampleRate;
}

} // namespace

// The bytes of a recording, from memory or from an open file, read through libsndfile's virtual
// I/O so that the header check below and the decoder see exactly the same data.
struct CWaveDecoder::Source {
    std::string bytes;
    int fd = -1;
    sf_count_t size = 0;
    sf_count_t position = 0;
    SNDFILE* handle = nullptr;

    ~Source()
    {
        if (handle != nullptr) {
            sf_close(handle);
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }

    sf_count_t ReadAt(sf_count_t offset, void* out, sf_count_t count) const
    {
        if (offset < 0 || count <= 0 || offset >= size) {
            return 0;
        }
        const sf_count_t n = std::min(count, size - offset);
        if (fd < 0) {
            std::memcpy(out, bytes.data() + offset, static_cast<size_t>(n));
            return n;
        }
        const ssize_t got = ::pread(fd, out, static_cast<size_t>(n), offset);
        return got > 0 ? got : 0;
    }

    bool ReadExactly(sf_count_t offset, void* out, sf_count_t count) const
    {
        return ReadAt(offset, out, count) == count;
    }

    // Before libsndfile sees the data: it must be RIFF WAVE, and its first format chunk must be
    // within the limits. libsndfile sizes its decoding buffers by the header's channel count, so a
    // hostile one never reaches it.
    bool HeaderWithinLimits() const
    {
        unsigned char head[12];
        if (!ReadExactly(0, head, sizeof head) || std::memcmp(head, "RIFF", 4) != 0
            || std::memcmp(head + 8, "WAVE", 4) != 0) {
            return false;
        }
        sf_count_t offset = 12;
        for (int i = 0; i < kMaxChunksBeforeFormat; ++i) {
            unsigned char chunk[8];
            if (!ReadExactly(offset, chunk, sizeof chunk)) {
                return false;
            }
            const uint32_t length = LittleEndian32(chunk + 4);
            if (std::memcmp(chunk, "fmt ", 4) == 0) {
                unsigned char format[16];
                if (length < sizeof format || !ReadExactly(offset + 8, format, sizeof format)) {
                    return false;
                }
                const int channels = format[2] | format[3] << 8;
                const auto sampleRate = LittleEndian32(format + 4);
                return sampleRate <= static_cast<uint32_t>(kMaxSampleRate)
                    && WithinLimits(channels, static_cast<int>(sampleRate));
            }
            // Chunks are word-aligned: an odd length is followed by a pad byte.
            offset += 8 + static_cast<sf_count_t>(length) + (length & 1);
        }
        return false;
    }

    static sf_count_t Length(void* user) { return static_cast<Source*>(user)->size; }

    static sf_count_t Seek(sf_count_t offset, int whence, void* user)
    {
        auto* source = static_cast<Source*>(user);
        sf_count_t target = offset;
        if (whence == SEEK_CUR) {
            target = source->position + offset;
        } else if (whence == SEEK_END) {
            target = source->size + offset;
        }
        if (target < 0 || target > source->size) {
            return -1;
        }
        source->position = target;
        return target;
    }

    static sf_count_t Read(void* out, sf_count_t count, void* user)
    {
        auto* source = static_cast<Source*>(user);
        const sf_count_t n = source->ReadAt(source->position, out, count);
        source->position += n;
        return n;
    }

    static sf_count_t Write(const void*, sf_count_t, void*) { return 0; }

    static sf_count_t Tell(void* user) { return static_cast<Source*>(user)->position; }
};

CWaveDecoder::CWaveDecoder() = default;

CWaveDecoder::~CWaveDecoder() = default;

int CWaveDecoder::OpenFile(const std::string& path)
{
    Close();
    auto source = std::make_unique<Source>();
    // Non-blocking, so that a FIFO or a device in place of a recording cannot hang the caller.
    source->fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status { };
    if (source->fd < 0 || ::fstat(source->fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        return 0;
    }
    source->size = status.st_size;
    return Open(std::move(source));
}

int CWaveDecoder::OpenMemory(std::string bytes)
{
    Close();
    auto source = std::make_unique<Source>();
    source->bytes = std::move(bytes);
    source->size = static_cast<sf_count_t>(source->bytes.size());
    return Open(std::move(source));
}

int CWaveDecoder::Open(std::unique_ptr<Source> source)
{
    if (!source->HeaderWithinLimits()) {
        return 0;
    }
    SF_VIRTUAL_IO io {Source::Length, Source::Seek, Source::Read, Source::Write, Source::Tell};
    SF_INFO info {};
    source->handle = sf_open_virtual(&io, SFM_READ, &info, source.get());
    if (source->handle == nullptr) {
        return 0;
    }
    const int type = info.format & SF_FORMAT_TYPEMASK;
    if ((type != SF_FORMAT_WAV && type != SF_FORMAT_WAVEX) || !WithinLimits(info.channels, info.samplerate)
        || info.frames <= 0 || info.frames > static_cast<sf_count_t>(info.samplerate) * kMaxSeconds) {
        return 0;
    }
    // Floating-point data beyond full scale clips instead of wrapping round.
    sf_command(source->handle, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    m_source = std::move(source);
    m_channels = info.channels;
    m_sampleRate = info.samplerate;
    m_format = info.format;
    m_announcedFrames = info.frames;
    m_framesRead = 0;
    return 1;
}

void CWaveDecoder::Close()
{
    m_source.reset();
    m_channels = 0;
    m_sampleRate = 0;
    m_format = 0;
    m_announcedFrames = 0;
    m_framesRead = 0;
}

bool CWaveDecoder::IsOpen() const
{
    return m_source != nullptr;
}

int CWaveDecoder::ReadBlock(int16_t* out, int maxFrames)
{
    if (!m_source) {
        return 0;
    }
    const int64_t left = m_announcedFrames - m_framesRead;
    const auto frames = static_cast<sf_count_t>(std::min<int64_t>({maxFrames, kBlockFrames, left}));
    if (frames <= 0) {
        return 0;
    }
    const sf_count_t got = sf_readf_short(m_source->handle, out, frames);
    if (got <= 0) {
        // Nothing more comes: a truncated or damaged recording ends here.
        m_announcedFrames = m_framesRead;
        return 0;
    }
    m_framesRead += got;
    return static_cast<int>(got);
}
