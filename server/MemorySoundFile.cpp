#include "server/MemorySoundFile.h"

#include <algorithm>
#include <cstring>

namespace vandu::server {

SNDFILE* CMemorySoundFile::Open(int mode, SF_INFO& info)
{
    m_position = 0;
    return sf_open_virtual(&m_io, mode, &info, this);
}

sf_count_t CMemorySoundFile::Length(void* self)
{
    return static_cast<sf_count_t>(static_cast<CMemorySoundFile*>(self)->m_bytes.size());
}

sf_count_t CMemorySoundFile::Seek(sf_count_t offset, int whence, void* self)
{
    auto* file = static_cast<CMemorySoundFile*>(self);
    sf_count_t base = 0;
    if (whence == SEEK_CUR) {
        base = file->m_position;
    } else if (whence == SEEK_END) {
        base = static_cast<sf_count_t>(file->m_bytes.size());
    }
    const sf_count_t target = base + offset;
    if (target < 0) {
        return -1;
    }
    file->m_position = target;
    return target;
}

sf_count_t CMemorySoundFile::Read(void* buffer, sf_count_t count, void* self)
{
    auto* file = static_cast<CMemorySoundFile*>(self);
    const auto size = static_cast<sf_count_t>(file->m_bytes.size());
    if (count <= 0 || file->m_position >= size) {
        return 0;
    }
    const sf_count_t n = std::min(count, size - file->m_position);
    std::memcpy(buffer, file->m_bytes.data() + file->m_position, static_cast<size_t>(n));
    file->m_position += n;
    return n;
}

sf_count_t CMemorySoundFile::Write(const void* buffer, sf_count_t count, void* self)
{
    auto* file = static_cast<CMemorySoundFile*>(self);
    if (count <= 0) {
        return 0;
    }
    const auto end = static_cast<size_t>(file->m_position + count);
    if (file->m_bytes.size() < end) {
        file->m_bytes.resize(end);
    }
    std::memcpy(file->m_bytes.data() + file->m_position, buffer, static_cast<size_t>(count));
    file->m_position += count;
    return count;
}

sf_count_t CMemorySoundFile::Tell(void* self)
{
    return static_cast<CMemorySoundFile*>(self)->m_position;
}

} // namespace vandu::server
