#pragma once

// What the sound module gives the agent's player: one recording playing at a time, decoded as it
// plays. The module (Qt Multimedia, libsndfile, PulseAudio) is loaded at the first sound only.

#include <string>

class ISoundOutput {
public:
    virtual ~ISoundOutput() = default;

    // 1 when the recording starts playing (the one playing before is stopped first); 0 when it
    // cannot be opened, is not a playable recording, or no output device takes it.
    virtual int PlayFile(const std::string& path) = 0;
    virtual int PlayMemory(std::string bytes) = 0;
    virtual void Stop() = 0;
    // Until the recording ends, is replaced or stopped.
    virtual bool IsPlaying() const = 0;
};
