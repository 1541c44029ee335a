#pragma once

// Asynchronous sound: a new sound replaces the one playing; Stop ends it. The real player
// (CSoundPlayer, Qt Multimedia) lives in the Qt layer; tests record the calls.

#include <string>

class ISoundPlayer {
public:
    virtual ~ISoundPlayer() = default;

    virtual void PlayFile(const std::string& path) = 0;
    // The built-in sound by its resource number (171 is the new-message chime).
    virtual void PlayBuiltIn(int id) = 0;
    virtual void Stop() = 0;
};
