#pragma once

// Turns a recording in any form libsndfile reads (any rate, any number of channels) into the two
// forms the agent asks for: GSM 6.10 WAV and 16-bit PCM WAV, both 8000 Hz mono. Channels are
// averaged and the rate is converted with libsamplerate, since libsndfile does neither.

#include <string>

namespace vandu::server {

struct CConvertedRecording {
    std::string GsmWave;
    std::string PcmWave;
    double Seconds = 0;
};

class CAudioConverter {
public:
    // Longest recording accepted, so that a deposit cannot fill the database.
    static constexpr double kMaxSeconds = 300;

    // 0 on success; -1 with a one-line reason in error (not a sound file, empty, too long, ...).
    static int Convert(const std::string& fileBytes, CConvertedRecording& out, std::string& error);
};

} // namespace vandu::server
