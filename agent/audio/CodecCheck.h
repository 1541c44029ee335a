#pragma once

// Whether this machine can decode the wave formats voice messages come in, GSM 6.10 above all.
// Each check loads the codec module (libsndfile, no Qt Multimedia) and unloads it afterwards, so
// the check costs the agent no memory once it has answered.

class CCodecCheck {
public:
    static constexpr int kWaveFormatPcm = 1;
    static constexpr int kWaveFormatGsm610 = 49;

    // 1 when WAV files with this wave format tag can be decoded, else 0 (also when the codec
    // module cannot be loaded: then nothing can be decoded).
    int HasFormat(int tag) const;
    int HasGsm610() const { return HasFormat(kWaveFormatGsm610); }

    // The start-up warning is due when the service sends compressed voice (AudioType 0) and this
    // machine cannot decode it; with uncompressed voice the check is skipped entirely.
    bool StartupWarningDue(int audioType) const { return audioType == 0 && HasGsm610() == 0; }
};
