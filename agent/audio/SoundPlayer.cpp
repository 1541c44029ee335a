#include "agent/audio/SoundPlayer.h"

#include "agent/audio/WaveDecoder.h"

#include <QApplication>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QFile>
#include <QMediaDevices>

#include <algorithm>
#include <cmath>

namespace {

// Stored paths come with Windows separators (".\msg\..."); this platform wants slashes.
std::string NativePath(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// Linear interpolation is plenty for 8 kHz voice and a short chime; used only when the device
// cannot take the file's own rate.
CDecodedSound Resample(const CDecodedSound& in, int rate)
{
    CDecodedSound out;
    out.Channels = in.Channels;
    out.SampleRate = rate;
    out.Format = in.Format;
    const int64_t inFrames = in.Frames();
    const int64_t outFrames = inFrames * rate / in.SampleRate;
    out.Samples.resize(static_cast<size_t>(outFrames * in.Channels));
    for (int64_t f = 0; f < outFrames; ++f) {
        const double pos = static_cast<double>(f) * in.SampleRate / rate;
        const int64_t i0 = std::min<int64_t>(static_cast<int64_t>(pos), inFrames - 1);
        const int64_t i1 = std::min<int64_t>(i0 + 1, inFrames - 1);
        const double frac = pos - static_cast<double>(i0);
        for (int c = 0; c < in.Channels; ++c) {
            const double a = in.Samples[static_cast<size_t>(i0 * in.Channels + c)];
            const double b = in.Samples[static_cast<size_t>(i1 * in.Channels + c)];
            out.Samples[static_cast<size_t>(f * in.Channels + c)]
                = static_cast<int16_t>(std::lround(a + (b - a) * frac));
        }
    }
    return out;
}

} // namespace

CSoundPlayer::CSoundPlayer(QObject* parent, std::function<void()> bell)
    : QObject(parent)
    , m_bell(bell ? std::move(bell) : std::function<void()>([] { QApplication::beep(); }))
{
}

CSoundPlayer::~CSoundPlayer()
{
    Stop();
}

void CSoundPlayer::PlayFile(const std::string& path)
{
    Stop();
    CDecodedSound sound;
    if (path.empty() || CWaveDecoder::DecodeFile(NativePath(path), sound) != 1) {
        m_bell();
        return;
    }
    Start(sound);
}

void CSoundPlayer::PlayBuiltIn(int id)
{
    Stop();
    QFile resource(QStringLiteral(":/sounds/%1.wav").arg(id));
    CDecodedSound sound;
    if (!resource.open(QIODevice::ReadOnly)
        || CWaveDecoder::DecodeMemory(resource.readAll().toStdString(), sound) != 1) {
        m_bell();
        return;
    }
    Start(sound);
}

void CSoundPlayer::Stop()
{
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
    }
    m_sink.reset();
    m_buffer.reset();
    m_pcm.clear();
}

bool CSoundPlayer::IsPlaying() const
{
    return m_sink && m_sink->state() == QAudio::ActiveState;
}

void CSoundPlayer::Start(const CDecodedSound& decoded)
{
    m_device = QMediaDevices::defaultAudioOutput();
    QAudioFormat format;
    format.setSampleFormat(QAudioFormat::Int16);
    format.setChannelCount(decoded.Channels);
    format.setSampleRate(decoded.SampleRate);
    const CDecodedSound* sound = &decoded;
    CDecodedSound resampled;
    if (!m_device.isNull() && !m_device.isFormatSupported(format)) {
        resampled = Resample(decoded, m_device.preferredFormat().sampleRate());
        format.setSampleRate(resampled.SampleRate);
        sound = &resampled;
    }
    m_pcm = QByteArray(reinterpret_cast<const char*>(sound->Samples.data()),
        static_cast<qsizetype>(sound->Samples.size() * sizeof(int16_t)));
    m_buffer = std::make_unique<QBuffer>(&m_pcm);
    m_buffer->open(QIODevice::ReadOnly);
    m_sink = std::make_unique<QAudioSink>(m_device, format);
    connect(m_sink.get(), &QAudioSink::stateChanged, this, &CSoundPlayer::OnStateChanged);
    m_sink->start(m_buffer.get());
    if (m_sink->error() != QAudio::NoError) {
        Stop();
        m_bell();
    }
}

void CSoundPlayer::OnStateChanged()
{
    // Idle after the last sample: give the device back so the next sound starts fresh.
    if (m_sink && m_sink->state() == QAudio::IdleState) {
        m_sink->stop();
    }
}
