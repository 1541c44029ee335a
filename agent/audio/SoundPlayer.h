#pragma once

// Plays WAV files and the built-in sounds asynchronously through Qt Multimedia: libsndfile decodes
// (PCM, GSM 6.10, anything it reads), a QAudioSink plays. One sound at a time; a new one or Stop
// ends the one playing. A sound that cannot be opened or decoded rings the desktop's bell instead,
// as the platform's default sound would.

#include "agent/audio/SoundPlayerInterface.h"

#include <QAudioDevice>
#include <QByteArray>
#include <QObject>

#include <functional>
#include <memory>

class QAudioSink;
class QBuffer;
struct CDecodedSound;

class CSoundPlayer : public QObject, public ISoundPlayer {
    Q_OBJECT
public:
    // bell rings when a sound cannot be played; by default QApplication::beep.
    explicit CSoundPlayer(QObject* parent = nullptr, std::function<void()> bell = {});
    ~CSoundPlayer() override;

    void PlayFile(const std::string& path) override;
    void PlayBuiltIn(int id) override;
    void Stop() override;

    // True while a sound is being played (until it ends, is replaced or stopped).
    bool IsPlaying() const;
    // The output device used by the last play.
    QAudioDevice Device() const { return m_device; }

private:
    void Start(const CDecodedSound& sound);
    void OnStateChanged();

    std::function<void()> m_bell;
    QAudioDevice m_device;
    // The sink reads from the buffer, which reads from the data: released in reverse order.
    QByteArray m_pcm;
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QAudioSink> m_sink;
};
