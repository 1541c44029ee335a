#pragma once

// libsndfile virtual I/O over a byte string, so recordings never pass through temporary files.

#include <sndfile.h>

#include <string>
#include <utility>

namespace vandu::server {

class CMemorySoundFile {
public:
    explicit CMemorySoundFile(std::string bytes = {})
        : m_bytes(std::move(bytes))
    {
    }

    // Opens a libsndfile handle over the bytes (SFM_READ) or into them (SFM_WRITE); null on failure.
    SNDFILE* Open(int mode, SF_INFO& info);
    const std::string& Bytes() const { return m_bytes; }

private:
    static sf_count_t Length(void* self);
    static sf_count_t Seek(sf_count_t offset, int whence, void* self);
    static sf_count_t Read(void* buffer, sf_count_t count, void* self);
    static sf_count_t Write(const void* buffer, sf_count_t count, void* self);
    static sf_count_t Tell(void* self);

    std::string m_bytes;
    sf_count_t m_position = 0;
    SF_VIRTUAL_IO m_io {&Length, &Seek, &Read, &Write, &Tell};
};

} // namespace vandu::server
