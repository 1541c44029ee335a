#include "agent/audio/AudioSinkOutput.h"

#include "agent/audio/WaveDecoder.h"
#include "agent/audio/WaveStreamDevice.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

CAudioSinkOutput::CAudioSinkOutput() = default;

CAudioSinkOutput::~CAudioSinkOutput()
{
    Stop();
}

int CAudioSinkOutput::PlayFile(const std::string& path)
{
    Stop();
    auto decoder = std::make_unique<CWaveDecoder>();
    return decoder->OpenFile(path) == 1 ? Start(std::move(decoder)) : 0;
}

int CAudioSinkOutput::PlayMemory(std::string bytes)
{
    Stop();
    auto decoder = std::make_unique<CWaveDecoder>();
    return decoder->OpenMemory(std::move(bytes)) == 1 ? Start(std::move(decoder)) : 0;
}

void CAudioSinkOutput::Stop()
{
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
    }
    m_sink.reset();
    m_stream.reset();
}

bool CAudioSinkOutput::IsPlaying() const
{
    return m_sink && m_sink->state() == QAudio::ActiveState;
}

int CAudioSinkOutput::Start(std::unique_ptr<CWaveDecoder> decoder)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return 0;
    }
    QAudioFormat format;
    format.setSampleFormat(QAudioFormat::Int16);
    format.setChannelCount(decoder->Channels());
    format.setSampleRate(decoder->SampleRate());
    if (!device.isFormatSupported(format)) {
        // The device's own layout and rate, converted to as the recording plays.
        const QAudioFormat preferred = device.preferredFormat();
        format.setChannelCount(preferred.channelCount() > 0 ? preferred.channelCount() : 2);
        format.setSampleRate(preferred.sampleRate() > 0 ? preferred.sampleRate() : 48000);
    }
    m_stream = std::make_unique<CWaveStreamDevice>(std::move(decoder), format.channelCount(), format.sampleRate());
    m_stream->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    m_sink = std::make_unique<QAudioSink>(device, format);
    connect(m_sink.get(), &QAudioSink::stateChanged, this, &CAudioSinkOutput::OnStateChanged);
    m_sink->start(m_stream.get());
    if (m_sink->error() != QAudio::NoError) {
        Stop();
        return 0;
    }
    return 1;
}

void CAudioSinkOutput::OnStateChanged(QAudio::State state)
{
    // Idle after the last sample: give the device back so the next sound starts fresh.
    if (m_sink && state == QAudio::IdleState) {
        m_sink->stop();
    }
}
