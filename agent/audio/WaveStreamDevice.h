#pragma once

// The recording as the audio sink reads it: each read decodes only what the sink asks for (at most
// one decoder block), converted to the sink's format, so playback starts at once, memory stays at
// a block or two whatever the recording's length, and no read keeps the user-interface thread (on
// which the sink pulls, one period at a time) busy for more than a fraction of a millisecond.

#include "agent/audio/SampleConverter.h"
#include "agent/audio/WaveDecoder.h"

#include <QIODevice>

#include <memory>
#include <vector>

class CWaveStreamDevice : public QIODevice {
public:
    // decoder: open at its first frame. The sink plays outChannels at outRate.
    CWaveStreamDevice(std::unique_ptr<CWaveDecoder> decoder, int outChannels, int outRate, QObject* parent = nullptr);

    bool isSequential() const override { return true; }
    bool atEnd() const override;
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    bool Refill(int wantedFrames);

    std::unique_ptr<CWaveDecoder> m_decoder;
    CSampleConverter m_converter;
    bool m_convert;
    std::vector<int16_t> m_block;
    std::vector<int16_t> m_pending;
    size_t m_pendingOffset = 0;
    bool m_ended = false;
};
