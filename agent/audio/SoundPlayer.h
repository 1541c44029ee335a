#pragma once

// Plays WAV files and the built-in sounds asynchronously: one sound at a time, a new one or Stop
// ends the one playing. A sound that cannot be opened or decoded rings the desktop's bell instead,
// as the platform's default sound would. The sound stack (Qt Multimedia, libsndfile, PulseAudio)
// is the sound module, loaded at the first sound, so the agent starts and idles without it.

#include "agent/audio/SoundPlayerInterface.h"

#include <QObject>

#include <functional>
#include <memory>

class CAudioModule;
class ISoundOutput;

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

private:
    // Loads the sound module on the first call; null when it cannot be loaded.
    ISoundOutput* Output();

    std::function<void()> m_bell;
    std::unique_ptr<CAudioModule> m_module;
    // Code of the module, which stays loaded: released first.
    std::unique_ptr<ISoundOutput> m_output;
};
