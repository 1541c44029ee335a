#pragma once

// Whether this machine can decode the wave formats voice messages come in, GSM 6.10 above all.
// Built on libsndfile, so it is listed with the Qt layer, which links it.

class CCodecCheck {
public:
    static constexpr int kWaveFormatPcm = 1;
    static constexpr int kWaveFormatGsm610 = 49;

    // 1 when WAV files with this wave format tag can be decoded, else 0.
    int HasFormat(int tag) const;
    int HasGsm610() const { return HasFormat(kWaveFormatGsm610); }

    // The start-up warning is due when the service sends compressed voice (AudioType 0) and this
    // machine cannot decode it; with uncompressed voice the check is skipped entirely.
    bool StartupWarningDue(int audioType) const { return audioType == 0 && HasGsm610() == 0; }
};
