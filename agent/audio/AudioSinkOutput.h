#pragma once

// Plays one recording at a time through a Qt Multimedia QAudioSink that pulls from a
// CWaveStreamDevice. Lives in the sound module; the agent reaches it through CSoundPlayer.

#include "agent/audio/SoundOutput.h"

#include <QAudio>
#include <QObject>

#include <memory>

class CWaveDecoder;
class CWaveStreamDevice;
class QAudioSink;

class CAudioSinkOutput : public QObject, public ISoundOutput {
    Q_OBJECT
public:
    CAudioSinkOutput();
    ~CAudioSinkOutput() override;

    int PlayFile(const std::string& path) override;
    int PlayMemory(std::string bytes) override;
    void Stop() override;
    bool IsPlaying() const override;

private:
    int Start(std::unique_ptr<CWaveDecoder> decoder);
    void OnStateChanged(QAudio::State state);

    // The sink reads from the stream: released in reverse order.
    std::unique_ptr<CWaveStreamDevice> m_stream;
    std::unique_ptr<QAudioSink> m_sink;
};
