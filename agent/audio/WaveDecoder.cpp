#include "agent/audio/WaveDecoder.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Voice messages are minutes at most; decoding happens on the UI thread, so anything longer than
// 15 minutes of telephone sound (or about 2.5 minutes at 48 kHz) is refused as broken or hostile.
constexpr sf_count_t kMaxFrames = 8000LL * 60 * 15;

struct MemoryFile {
    const std::string* bytes;
    sf_count_t position;
};

sf_count_t MemLength(void* user)
{
    return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->bytes->size());
}

sf_count_t MemSeek(sf_count_t offset, int whence, void* user)
{
    auto* file = static_cast<MemoryFile*>(user);
    const sf_count_t size = MemLength(user);
    sf_count_t target = offset;
    if (whence == SEEK_CUR) {
        target = file->position + offset;
    } else if (whence == SEEK_END) {
        target = size + offset;
    }
    if (target < 0 || target > size) {
        return -1;
    }
    file->position = target;
    return target;
}

sf_count_t MemRead(void* ptr, sf_count_t count, void* user)
{
    auto* file = static_cast<MemoryFile*>(user);
    const sf_count_t available = MemLength(user) - file->position;
    const sf_count_t n = std::clamp<sf_count_t>(count, 0, std::max<sf_count_t>(available, 0));
    std::memcpy(ptr, file->bytes->data() + file->position, static_cast<size_t>(n));
    file->position += n;
    return n;
}

sf_count_t MemWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t MemTell(void* user)
{
    return static_cast<MemoryFile*>(user)->position;
}

struct SndfileCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
using SndfilePtr = std::unique_ptr<SNDFILE, SndfileCloser>;

int ReadAll(SNDFILE* handle, const SF_INFO& info, CDecodedSound& out)
{
    if (handle == nullptr || info.channels <= 0 || info.samplerate <= 0 || info.frames <= 0
        || info.frames > kMaxFrames) {
        return 0;
    }
    CDecodedSound sound;
    sound.Channels = info.channels;
    sound.SampleRate = info.samplerate;
    sound.Format = info.format;
    sound.Samples.resize(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
    const sf_count_t got = sf_readf_short(handle, sound.Samples.data(), info.frames);
    if (got <= 0) {
        return 0;
    }
    sound.Samples.resize(static_cast<size_t>(got) * static_cast<size_t>(info.channels));
    out = std::move(sound);
    return 1;
}

} // namespace

int CWaveDecoder::DecodeFile(const std::string& path, CDecodedSound& out)
{
    SF_INFO info {};
    SndfilePtr handle(sf_open(path.c_str(), SFM_READ, &info));
    return ReadAll(handle.get(), info, out);
}

int CWaveDecoder::DecodeMemory(const std::string& bytes, CDecodedSound& out)
{
    SF_VIRTUAL_IO io {MemLength, MemSeek, MemRead, MemWrite, MemTell};
    MemoryFile file {&bytes, 0};
    SF_INFO info {};
    SndfilePtr handle(sf_open_virtual(&io, SFM_READ, &info, &file));
    return ReadAll(handle.get(), info, out);
}
