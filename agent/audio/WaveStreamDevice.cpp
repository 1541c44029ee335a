#include "agent/audio/WaveStreamDevice.h"

#include <algorithm>
#include <cstring>

CWaveStreamDevice::CWaveStreamDevice(
    std::unique_ptr<CWaveDecoder> decoder, int outChannels, int outRate, QObject* parent)
    : QIODevice(parent)
    , m_decoder(std::move(decoder))
    , m_converter(m_decoder->Channels(), m_decoder->SampleRate(), outChannels, outRate)
    , m_convert(outChannels != m_decoder->Channels() || outRate != m_decoder->SampleRate())
{
}

bool CWaveStreamDevice::atEnd() const
{
    return m_ended && m_pendingOffset >= m_pending.size();
}

qint64 CWaveStreamDevice::bytesAvailable() const
{
    const auto pending = static_cast<qint64>((m_pending.size() - m_pendingOffset) * sizeof(int16_t));
    return pending + QIODevice::bytesAvailable();
}

bool CWaveStreamDevice::Refill(int wantedFrames)
{
    const int inFrames = std::min(m_convert ? m_converter.InputFramesFor(wantedFrames) : wantedFrames,
        static_cast<int>(CWaveDecoder::kBlockFrames));
    m_block.resize(static_cast<size_t>(inFrames) * static_cast<size_t>(m_decoder->Channels()));
    const int got = m_decoder->ReadBlock(m_block.data(), inFrames);
    if (got <= 0) {
        m_ended = true;
        return false;
    }
    m_pending.clear();
    m_pendingOffset = 0;
    const size_t samples = static_cast<size_t>(got) * static_cast<size_t>(m_decoder->Channels());
    if (m_convert) {
        m_converter.Convert(m_block.data(), got, m_pending);
    } else {
        m_pending.assign(m_block.begin(), m_block.begin() + static_cast<ptrdiff_t>(samples));
    }
    return true;
}

qint64 CWaveStreamDevice::readData(char* data, qint64 maxSize)
{
    const qint64 frameBytes = static_cast<qint64>(m_converter.OutChannels() * sizeof(int16_t));
    const qint64 wantedFrames = std::min<qint64>(maxSize / frameBytes, CWaveDecoder::kBlockFrames);
    const qint64 wantedBytes = wantedFrames * frameBytes;
    qint64 written = 0;
    while (written < wantedBytes) {
        if (m_pendingOffset >= m_pending.size()
            && !Refill(static_cast<int>((wantedBytes - written + frameBytes - 1) / frameBytes))) {
            break;
        }
        const auto available = static_cast<qint64>((m_pending.size() - m_pendingOffset) * sizeof(int16_t));
        const qint64 n = std::min(available, wantedBytes - written);
        std::memcpy(
            data + written, reinterpret_cast<const char*>(m_pending.data() + m_pendingOffset), static_cast<size_t>(n));
        written += n;
        m_pendingOffset += static_cast<size_t>(n) / sizeof(int16_t);
    }
    return written;
}
