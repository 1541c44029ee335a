#include "agent/audio/SampleConverter.h"

#include <algorithm>
#include <cstddef>

CSampleConverter::CSampleConverter(int inChannels, int inRate, int outChannels, int outRate)
    : m_inChannels(std::max(inChannels, 1))
    , m_inRate(std::max(inRate, 1))
    , m_outChannels(std::max(outChannels, 1))
    , m_outRate(std::max(outRate, 1))
    , m_previous(static_cast<size_t>(m_outChannels))
    , m_current(static_cast<size_t>(m_outChannels))
{
}

void CSampleConverter::MapChannels(const int16_t* in, int16_t* frame) const
{
    if (m_outChannels == 1 && m_inChannels > 1) {
        int sum = 0;
        for (int c = 0; c < m_inChannels; ++c) {
            sum += in[c];
        }
        frame[0] = static_cast<int16_t>(sum / m_inChannels);
        return;
    }
    for (int c = 0; c < m_outChannels; ++c) {
        frame[c] = in[c % m_inChannels];
    }
}

void CSampleConverter::Convert(const int16_t* in, int frames, std::vector<int16_t>& out)
{
    const auto channels = static_cast<size_t>(m_outChannels);
    for (int f = 0; f < frames; ++f) {
        MapChannels(in + static_cast<ptrdiff_t>(f) * m_inChannels, m_current.data());
        if (m_inRate == m_outRate) {
            out.insert(out.end(), m_current.begin(), m_current.end());
            continue;
        }
        if (!m_havePrevious) {
            m_previous = m_current;
            m_havePrevious = true;
            continue;
        }
        for (; m_phase < m_outRate; m_phase += m_inRate) {
            for (size_t c = 0; c < channels; ++c) {
                const int64_t a = m_previous[c];
                const int64_t b = m_current[c];
                out.push_back(static_cast<int16_t>(a + (b - a) * m_phase / m_outRate));
            }
        }
        m_phase -= m_outRate;
        m_previous.swap(m_current);
    }
}

int CSampleConverter::InputFramesFor(int outFrames) const
{
    const int64_t frames = static_cast<int64_t>(outFrames) * m_inRate / m_outRate;
    return static_cast<int>(std::max<int64_t>(frames, 1));
}
