#pragma once

// Which wave formats this machine decodes in WAV files, GSM 6.10 above all: libsndfile must accept
// the format and, for GSM 6.10, really decode a small built-in recording. Qt-free; the agent reaches
// it through its codec module (CCodecCheck), loaded only for the check.

class CWaveCodecs {
public:
    static constexpr int kWaveFormatPcm = 1;
    static constexpr int kWaveFormatGsm610 = 49;

    // 1 when WAV files with this wave format tag can be decoded, else 0.
    static int HasFormat(int tag);
};
