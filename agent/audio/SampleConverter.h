#pragma once

// Turns 16-bit interleaved frames of one channel count and rate into another, block by block, for
// an output device that cannot take a recording's own format. Channels are copied, averaged to
// mono or spread from mono (otherwise output channel c takes input channel c modulo the input's
// count); the rate is converted by linear interpolation, plenty for voice and short chimes.

#include <cstdint>
#include <vector>

class CSampleConverter {
public:
    CSampleConverter(int inChannels, int inRate, int outChannels, int outRate);

    // Appends what `frames` more input frames give to out (the interpolation carries over blocks).
    void Convert(const int16_t* in, int frames, std::vector<int16_t>& out);
    // About how many input frames give outFrames output frames (at least 1).
    int InputFramesFor(int outFrames) const;

    int OutChannels() const { return m_outChannels; }

private:
    void MapChannels(const int16_t* in, int16_t* frame) const;

    int m_inChannels;
    int m_inRate;
    int m_outChannels;
    int m_outRate;
    std::vector<int16_t> m_previous;
    std::vector<int16_t> m_current;
    bool m_havePrevious = false;
    // Position of the next output frame between the previous and the current input frame, in
    // units of 1 / m_outRate of an input frame.
    int64_t m_phase = 0;
};
